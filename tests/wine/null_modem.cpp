// SPDX-License-Identifier: MIT
// A null-modem cable between two pseudo-terminals, for the Windows serial suite under Wine: the
// links A and B lead to the two lines (Wine's COM8 and COM9), every byte written to one comes out
// of the other, while COMMAND runs. Exits with the command's status.
//   null-modem LINK_A LINK_B -- COMMAND [ARGS...]
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "sim/PseudoTerminal.h"
#include "sim/SimError.h"

extern char** environ;

namespace {

// Moves what `from` has to `to`; what the far line does not take at once is dropped, as on a
// cable with nobody listening.
void Carry(int from, int to) {
    unsigned char bytes[4096];
    const ssize_t n = ::read(from, bytes, sizeof bytes);
    if (n > 0) (void)!::write(to, bytes, static_cast<std::size_t>(n));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5 || std::string(argv[3]) != "--") {
        std::fprintf(stderr, "usage: null-modem LINK_A LINK_B -- COMMAND [ARGS...]\n");
        return 2;
    }
    try {
        PseudoTerminal a(argv[1]);
        PseudoTerminal b(argv[2]);
        pid_t child = -1;
        if (const int error = posix_spawnp(&child, argv[4], nullptr, nullptr, argv + 4, environ)) {
            std::fprintf(stderr, "null-modem: cannot start %s: %s\n", argv[4],
                         std::strerror(error));
            return 127;
        }
        for (;;) {
            int status = 0;
            if (::waitpid(child, &status, WNOHANG) == child)
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            pollfd lines[] = {{a.Master(), POLLIN, 0}, {b.Master(), POLLIN, 0}};
            // Wakes now and then to see whether the command has ended.
            if (::poll(lines, 2, 20) <= 0) continue;
            if (lines[0].revents & POLLIN) Carry(a.Master(), b.Master());
            if (lines[1].revents & POLLIN) Carry(b.Master(), a.Master());
        }
    } catch (const SimError& e) {
        std::fprintf(stderr, "null-modem: %s\n", e.what());
        return 1;
    }
}
