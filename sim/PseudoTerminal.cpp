// SPDX-License-Identifier: MIT
#include "sim/PseudoTerminal.h"
#include "base/Translation.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "sim/LinkFolder.h"
#include "sim/SimError.h"

namespace {
[[noreturn]] void Fail(const std::string& what) {
    throw SystemSimError(what, errno);
}
}  // namespace

PseudoTerminal::PseudoTerminal(const std::string& linkPath) {
    master_.Reset(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (!master_.Valid()) Fail(Tr("cannot open a pseudo-terminal"));
    char name[256];
    if (::grantpt(master_.Get()) != 0 || ::unlockpt(master_.Get()) != 0 ||
        ::ptsname_r(master_.Get(), name, sizeof name) != 0) {
        Fail(Tr("cannot prepare the pseudo-terminal"));
    }
    terminalPath_ = name;
    terminal_.Reset(::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (!terminal_.Valid()) Fail(Fill(Tr("cannot open %1"), {terminalPath_}));
    // Raw until the tool sets its own line settings: no echo, no translation of bytes.
    termios settings{};
    if (::tcgetattr(terminal_.Get(), &settings) != 0) Fail(Tr("cannot read the line settings"));
    ::cfmakeraw(&settings);
    if (::tcsetattr(terminal_.Get(), TCSANOW, &settings) != 0) {
        Fail(Tr("cannot set the line settings"));
    }
    const int flags = ::fcntl(master_.Get(), F_GETFL);
    if (flags < 0 || ::fcntl(master_.Get(), F_SETFL, flags | O_NONBLOCK) != 0) {
        Fail(Tr("cannot make the line non-blocking"));
    }
    if (!linkPath.empty()) {
        MakeLinkFolder(std::filesystem::path(linkPath).parent_path().string());
        struct stat existing {};
        if (::lstat(linkPath.c_str(), &existing) == 0) {
            // Anything else there is someone's file, which a simulator has no business removing.
            if (!S_ISLNK(existing.st_mode))
                throw SimError(Fill(
                    Tr("%1 is there already and is not a link; it is left as it is"), {linkPath}));
            ::unlink(linkPath.c_str());
        }
        if (::symlink(terminalPath_.c_str(), linkPath.c_str()) != 0) {
            Fail(Fill(Tr("cannot make the link %1"), {linkPath}));
        }
        linkPath_ = linkPath;
        linked_ = true;
    }
}

PseudoTerminal::~PseudoTerminal() {
    HangUp();
}

void PseudoTerminal::DiscardUnread() {
    if (terminal_.Valid()) ::tcflush(terminal_.Get(), TCIFLUSH);
}

int PseudoTerminal::Unread() const {
    int count = 0;
    if (!terminal_.Valid() || ::ioctl(terminal_.Get(), FIONREAD, &count) != 0) return 0;
    return count;
}

void PseudoTerminal::ReleaseTerminal() {
    terminal_.Reset();
}

void PseudoTerminal::HangUp() {
    terminal_.Reset();
    master_.Reset();
    RemoveLink();
}

void PseudoTerminal::RemoveLink() {
    if (!linked_) return;
    linked_ = false;
    // Only our own link: a newer simulator may have taken the path meanwhile.
    char target[256];
    const ssize_t n = ::readlink(linkPath_.c_str(), target, sizeof target - 1);
    if (n >= 0 && std::string(target, static_cast<size_t>(n)) == terminalPath_) {
        ::unlink(linkPath_.c_str());
    }
}
