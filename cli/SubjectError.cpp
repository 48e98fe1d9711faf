// SPDX-License-Identifier: MIT
#include "cli/SubjectError.h"

#include "serial/VaClasses.h"
#include "serial/VaPort.h"
#include "serial/VaUtils.h"

SubjectError PortError(const std::string& port, const std::exception& error) {
    if (const auto* named = dynamic_cast<const SubjectError*>(&error)) return *named;
    const auto* comm = dynamic_cast<const EVaCommError*>(&error);
    if (!comm || !VaIsAccessDeniedError(comm->Code())) return SubjectError(port, error.what());
    std::string group = VaDeviceGroupName(VaSystemDevicePath(port));
    if (group.empty()) group = "dialout";
    return SubjectError(port, error.what(),
                        {port + ": only members of the group '" + group +
                         "' that owns the port may use it: add your user to it (sudo usermod -aG " +
                         group + " $USER), then log out and in again"});
}
