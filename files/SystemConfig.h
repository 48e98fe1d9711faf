// SPDX-License-Identifier: MIT
#pragma once
// Where a machine's administrator sets the tools up: /etc/tevr-loader on Linux, tevr-loader in
// the program data folder on Windows; TEVR_LOADER_CONFIG names another folder (tests, a bench
// run from a USB stick). Each platform implements it in its own folder.
#include <string>

// The folder, without a separator at its end.
std::string SystemConfigFolder();

// The trusted-keys file in it.
std::string SystemTrustedKeysPath();
