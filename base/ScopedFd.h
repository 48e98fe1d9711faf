// SPDX-License-Identifier: MIT
#pragma once
// Owns a POSIX file descriptor and closes it once, when the owner goes; for the Linux code only.
#include <unistd.h>

#include "base/ScopedGeneric.h"

struct FdTraits {
    using Value = int;
    static constexpr int None() { return -1; }
    static constexpr bool IsValid(int fd) { return fd >= 0; }
    static void Free(int fd) { ::close(fd); }
};

using ScopedFd = ScopedGeneric<FdTraits>;
