// SPDX-License-Identifier: MIT
#pragma once
// Where the programs meet the simulator: bk-sim makes its links in this folder (shared by all
// users, mode 1777 as /tmp), and the window and tevr-flash offer every link there as a port.
// The simulator needs a pseudo-terminal and runs on Linux only: elsewhere there is no folder.
#if defined(_WIN32)
inline constexpr const char* kSimulatorLinkDir = "";
#else
inline constexpr const char* kSimulatorLinkDir = "/tmp/tevr-sim";
#endif
inline constexpr const char* kSimulatorDescription = "TEVR-R7 simulator";
