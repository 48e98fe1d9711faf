// SPDX-License-Identifier: MIT
#include "cli/SubjectError.h"

#include "base/Translation.h"
#include "cli/PartOfAll.h"
#include "line/BootLoaderPorts.h"
#include "serial/VaPort.h"
#include "serial/VaPortList.h"
#include "words/Words.h"

namespace {
// The ports there are, for a port that is not: "/dev/ttyUSB0 (FT232R USB UART), ...".
std::string PortsFoundHint(const std::string& port) {
    std::vector<std::string> found;
    for (const TVaPortInfo& info : ListPorts(BootLoaderPortRoots()))
        // TRANSLATORS: a port's path and what it is: "/dev/ttyS0 (Serial port COM1)".
        found.push_back(Fill(Tr("%1 (%2)"), {info.Path, PortDescriptionText(info)}));
    if (found.empty())
        return Fill(Tr("%1: no serial port is found; plug the adapter in, then see tevr-flash "
                       "ports"),
                    {port});
    return Fill(Tr("%1: the ports found are %2 (tevr-flash ports lists them)"),
                {port, NameList(found)});
}

std::string AccessHint(const std::string& port) {
    const std::string group = VaDeviceGroupName(VaSystemDevicePath(port));
    // The administrator's own group is no group to join.
    if (group == "root")
        return Fill(Tr("%1: only the administrator may use the port; ask for access to it"),
                    {port});
    return Fill(Tr("%1: only members of the group '%2' that owns the port may use it: "
                   "add your user to it (sudo usermod -aG %2 $USER), then log out and "
                   "in again"),
                {port, group.empty() ? "dialout" : group});
}

std::string BusyHint(const std::string& port, const TVaPortHolder& holder) {
    if (holder.ProcessId == 0)
        return Fill(Tr("%1: close the program that holds the port (a terminal program, another "
                       "tevr-flash), then try again"),
                    {port});
    return Fill(Tr("%1: close %2 (process %3), which holds the port, then try again"),
                {port, holder.Name, std::to_string(holder.ProcessId)});
}
}  // namespace

SubjectError PortError(const std::string& port, const SerialProblem& problem) {
    // The port is the subject; the text need not name it again.
    SerialProblem named = problem;
    if (named.device == port) named.device.clear();
    std::vector<std::string> hints;
    if (problem.fault == TVaCommFault::DeviceNotFound ||
        problem.systemFault == TVaSystemFault::NotFound)
        hints.push_back(PortsFoundHint(port));
    else if (VaIsAccessDeniedError(problem.code))
        hints.push_back(AccessHint(port));
    else if (problem.systemFault == TVaSystemFault::Busy)
        hints.push_back(BusyHint(port, problem.holder));
    return SubjectError(port, SerialProblemText(named), std::move(hints));
}

SubjectError PortError(const std::string& port, const std::exception& error) {
    if (const auto* named = dynamic_cast<const SubjectError*>(&error)) return *named;
    const Problem problem = ProblemOf(error);
    if (const auto* serial = std::get_if<SerialProblem>(&problem)) return PortError(port, *serial);
    return SubjectError(port, ProblemText(problem));
}
