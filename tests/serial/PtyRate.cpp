// SPDX-License-Identifier: MIT
// Alone in its file: the kernel's termios header does not mix with <termios.h>.
#include <asm/termbits.h>
#include <sys/ioctl.h>

#include "PtyFarEnd.h"

unsigned PtyFarEnd::SlaveRate() const {
    // Terminal settings asked of a master are those of its slave.
    termios2 t{};
    if (ioctl(master_.Get(), TCGETS2, &t) != 0) return 0;
    return t.c_ospeed;
}
