// SPDX-License-Identifier: MIT
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "base/ScopedFd.h"
#include "base/Translation.h"
#include "cli/AppendFile.h"
#include "cli/SubjectError.h"

struct AppendFile::Native {
    ScopedFd fd;
};

AppendFile::AppendFile(const std::string& path)
    : path_(path),
      native_(new Native{
          ScopedFd(::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644))}) {
    if (!native_->fd.Valid())
        throw SubjectError(path_, Fill(Tr("cannot open: %1"), {std::strerror(errno)}));
}

AppendFile::~AppendFile() = default;

void AppendFile::Append(const std::string& text) {
    ssize_t written;
    do {
        written = ::write(native_->fd.Get(), text.data(), text.size());
    } while (written < 0 && errno == EINTR);
    if (written < 0)
        throw SubjectError(path_, Fill(Tr("cannot write: %1"), {std::strerror(errno)}));
    // A part of a line (a full disk) would spoil the file for every reader after it.
    if (static_cast<size_t>(written) != text.size()) throw SubjectError(path_, kAppendCutShort);
}
