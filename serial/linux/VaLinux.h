// SPDX-License-Identifier: MIT
#pragma once
// Shared by the Linux sources of the serial component. The termios2 code lives alone in its own
// file, because the kernel's termios header cannot be included together with <termios.h>.
#include "serial/VaTypes.h"

// Writes the line settings of `dcb` to the terminal `fd` (raw mode, the exact rate in both speed
// fields) and reads the rate back. Returns 0 or an error code; on a refused rate the previous
// settings are restored.
int VaWriteTermios2(int fd, const TVaDcb& dcb);
// The output rate the terminal driver reports.
int VaReadTermios2Rate(int fd, std::uint32_t& bitsPerSecond);
