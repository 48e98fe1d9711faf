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
std::string PortsFoundHint() {
    std::vector<std::string> found;
    for (const TVaPortInfo& info : ListPorts(BootLoaderPortRoots())) {
        const std::string description = PortDescriptionText(info);
        // A port the system tells nothing of (Wine's) is named alone, without empty parentheses.
        found.push_back(description.empty() ? info.Path
                                            // TRANSLATORS: a port's path and what it is:
                                            // "/dev/ttyS0 (Serial port COM1)".
                                            : Fill(Tr("%1 (%2)"), {info.Path, description}));
    }
    if (found.empty())
        return Tr("no serial port is found; plug the adapter in, then see tevr-flash ports");
    return Fill(Tr("the ports found are %1; tevr-flash ports lists them"), {NameList(found)});
}

std::string AccessHint(const std::string& port) {
    const std::string group = VaDeviceGroupName(VaSystemDevicePath(port));
    // The administrator's own group is no group to join.
    if (group == "root") return Tr("only the administrator may use the port; ask for access to it");
    return Fill(Tr("only members of the group '%1' that owns the port may use it: add your user "
                   "to it (sudo usermod -aG %1 $USER), then log out and in again"),
                {group.empty() ? "dialout" : group});
}

std::string BusyHint(const TVaPortHolder& holder) {
    if (holder.ProcessId == 0)
        return Tr(
            "close the program that holds the port (a terminal program, another "
            "tevr-flash), then try again");
    return Fill(Tr("close %1 (process %2), which holds the port, then try again"),
                {holder.Name, std::to_string(holder.ProcessId)});
}
}  // namespace

SubjectError PortError(const std::string& port, const SerialProblem& problem) {
    // The port is the subject; the text need not name it again.
    SerialProblem named = problem;
    if (named.device == port) named.device.clear();
    std::vector<std::string> hints;
    // A name that leads to no port, or to something else: the ports there are.
    if (problem.fault == TVaCommFault::DeviceNotFound ||
        problem.systemFault == TVaSystemFault::NotFound ||
        problem.systemFault == TVaSystemFault::NotASerialPort)
        hints.push_back(PortsFoundHint());
    else if (VaIsAccessDeniedError(problem.code))
        hints.push_back(AccessHint(port));
    else if (problem.systemFault == TVaSystemFault::Busy)
        hints.push_back(BusyHint(problem.holder));
    return SubjectError(port, SerialProblemText(named), std::move(hints));
}

SubjectError PortError(const std::string& port, const std::exception& error) {
    if (const auto* named = dynamic_cast<const SubjectError*>(&error)) return *named;
    const Problem problem = ProblemOf(error);
    if (const auto* serial = std::get_if<SerialProblem>(&problem)) return PortError(port, *serial);
    return SubjectError(port, ProblemText(problem));
}
