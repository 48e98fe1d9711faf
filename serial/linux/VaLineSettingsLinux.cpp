// SPDX-License-Identifier: MIT
#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>

#include "serial/VaUtils.h"
#include "serial/linux/VaLinux.h"

namespace {

int BuildTermios(const TVaDcb& dcb, termios2& t) {
    if (dcb.BaudRate == 0 || dcb.BaudRate > 0x7FFFFFFFu) return EINVAL;
    t = termios2{};
    switch (dcb.ByteSize) {
        case 5:
            t.c_cflag |= CS5;
            break;
        case 6:
            t.c_cflag |= CS6;
            break;
        case 7:
            t.c_cflag |= CS7;
            break;
        case 8:
            t.c_cflag |= CS8;
            break;
        default:
            return EINVAL;
    }
    switch (dcb.Parity) {
        case NOPARITY:
            break;
        case ODDPARITY:
            t.c_cflag |= PARENB | PARODD;
            break;
        case EVENPARITY:
            t.c_cflag |= PARENB;
            break;
        case MARKPARITY:
            t.c_cflag |= PARENB | PARODD | CMSPAR;
            break;
        case SPACEPARITY:
            t.c_cflag |= PARENB | CMSPAR;
            break;
        default:
            return EINVAL;
    }
    switch (dcb.StopBits) {
        case ONESTOPBIT:
            break;
        case ONE5STOPBITS:  // Linux has no one and a half; two is the nearer safe choice.
        case TWOSTOPBITS:
            t.c_cflag |= CSTOPB;
            break;
        default:
            return EINVAL;
    }
    const bool rtsHandshake = (dcb.Flags & fRtsControlMask) == fRtsControlHandshake;
    if ((dcb.Flags & fOutxCtsFlow) || rtsHandshake) t.c_cflag |= CRTSCTS;
    t.c_cflag |= CLOCAL | CREAD | BOTHER | (BOTHER << IBSHIFT);
    t.c_ospeed = dcb.BaudRate;
    t.c_ispeed = dcb.BaudRate;

    if (dcb.Flags & fParity) t.c_iflag |= INPCK;
    if (dcb.Flags & fOutX) t.c_iflag |= IXON;
    if (dcb.Flags & fInX) t.c_iflag |= IXOFF;
    t.c_cc[VSTART] = static_cast<cc_t>(dcb.XonChar);
    t.c_cc[VSTOP] = static_cast<cc_t>(dcb.XoffChar);
    // Non-canonical: a poll reports every single byte, and reads never wait in the driver.
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    return 0;
}

}  // namespace

int VaReadTermios2Rate(int fd, std::uint32_t& bitsPerSecond) {
    termios2 now;
    if (ioctl(fd, TCGETS2, &now) < 0) return errno;
    bitsPerSecond = now.c_ospeed;
    return 0;
}

int VaWriteTermios2(int fd, const TVaDcb& dcb) {
    termios2 wanted;
    if (const int error = BuildTermios(dcb, wanted)) return error;
    termios2 previous;
    if (ioctl(fd, TCGETS2, &previous) < 0) return errno;
    if (ioctl(fd, TCSETS2, &wanted) < 0) return errno;
    termios2 now;
    if (ioctl(fd, TCGETS2, &now) < 0) return errno;
    if (!VaRateClose(now.c_ospeed, dcb.BaudRate) || !VaRateClose(now.c_ispeed, dcb.BaudRate)) {
        (void)ioctl(fd, TCSETS2, &previous);
        return EINVAL;
    }
    return 0;
}
