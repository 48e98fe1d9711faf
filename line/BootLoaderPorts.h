// SPDX-License-Identifier: MIT
#pragma once
// Where the window and tevr-flash look for ports: the system's serial devices and the links of
// the simulator's shared folder, where the system has one.
#include "base/SimulatorLinks.h"
#include "serial/VaPortList.h"

inline TVaPortListRoots BootLoaderPortRoots() {
    TVaPortListRoots roots;
    if (kSimulatorLinkDir[0] != '\0')
        roots.LinkFolders = {{kSimulatorLinkDir, kSimulatorDescription}};
    return roots;
}
