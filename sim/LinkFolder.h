// SPDX-License-Identifier: MIT
#pragma once
// The folder of the simulator's link: the shared folder of simulator links is made when it is
// missing, so that `bk-sim --link /tmp/tevr-sim/NAME` works on a fresh machine.
#include <string>

#include "base/SimulatorLinks.h"

// Makes the shared folder of simulator links, which every user writes to and the port list looks
// in, when `folder` is that folder and missing: world-writable with the sticky bit (as /tmp).
// Any other folder must be there already. Throws SimError when the folder is not there and
// cannot be made.
void MakeLinkFolder(const std::string& folder, const std::string& sharedFolder = kSimulatorLinkDir);
