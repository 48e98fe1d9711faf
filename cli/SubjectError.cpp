// SPDX-License-Identifier: MIT
#include "cli/SubjectError.h"

#include "base/Translation.h"
#include "serial/VaClasses.h"
#include "serial/VaPort.h"
#include "serial/VaUtils.h"

SubjectError PortError(const std::string& port, const std::exception& error) {
    if (const auto* named = dynamic_cast<const SubjectError*>(&error)) return *named;
    const auto* comm = dynamic_cast<const EVaCommError*>(&error);
    if (!comm || !VaIsAccessDeniedError(comm->Code())) return SubjectError(port, MessageOf(error));
    std::string group = VaDeviceGroupName(VaSystemDevicePath(port));
    if (group.empty()) group = "dialout";
    return SubjectError(
        port, MessageOf(error),
        {Fill(Tr("%1: only members of the group '%2' that owns the port may use it: "
                 "add your user to it (sudo usermod -aG %2 $USER), then log out and "
                 "in again"),
              {port, group})});
}
