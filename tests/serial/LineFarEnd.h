// SPDX-License-Identifier: MIT
#pragma once
// The far end of a real line for the component: a pseudo-terminal's master on Linux, the other
// port of a null modem on Windows. Port() is what the component opens; Send and Receive drive
// the line from the far side.
#if defined(_WIN32)
#include "win32/ComFarEnd.h"
using LineFarEnd = ComFarEnd;
#else
#include "PtyFarEnd.h"
using LineFarEnd = PtyFarEnd;
#endif
