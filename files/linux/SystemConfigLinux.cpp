// SPDX-License-Identifier: MIT
#include <cstdlib>

#include "files/SystemConfig.h"

std::string SystemConfigFolder() {
    if (const char* folder = std::getenv("TEVR_LOADER_CONFIG"); folder && *folder) return folder;
    return "/etc/tevr-loader";
}

std::string SystemTrustedKeysPath() {
    return SystemConfigFolder() + "/trusted-keys";
}
