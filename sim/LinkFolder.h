// SPDX-License-Identifier: MIT
#pragma once
// The folder of the simulator's link, made when it is missing, so that `bk-sim --link` works on
// a fresh machine.
#include <string>

#include "base/SimulatorLinks.h"

// Makes `folder` and its missing parents. The shared folder of simulator links, which every user
// writes to and the port list looks in, is made world-writable with the sticky bit (as /tmp);
// other folders get the usual mode. Throws SimError when a folder cannot be made.
void MakeLinkFolder(const std::string& folder, const std::string& sharedFolder = kSimulatorLinkDir);
