// SPDX-License-Identifier: MIT
#include "cli/SubjectError.h"

#include "base/Translation.h"
#include "serial/VaPort.h"
#include "words/Words.h"

SubjectError PortError(const std::string& port, const SerialProblem& problem) {
    // The port is the subject; the text need not name it again.
    SerialProblem named = problem;
    if (named.device == port) named.device.clear();
    if (!VaIsAccessDeniedError(problem.code)) return SubjectError(port, SerialProblemText(named));
    std::string group = VaDeviceGroupName(VaSystemDevicePath(port));
    if (group.empty()) group = "dialout";
    return SubjectError(
        port, SerialProblemText(named),
        {Fill(Tr("%1: only members of the group '%2' that owns the port may use it: "
                 "add your user to it (sudo usermod -aG %2 $USER), then log out and "
                 "in again"),
              {port, group})});
}

SubjectError PortError(const std::string& port, const std::exception& error) {
    if (const auto* named = dynamic_cast<const SubjectError*>(&error)) return *named;
    const Problem problem = ProblemOf(error);
    if (const auto* serial = std::get_if<SerialProblem>(&problem)) return PortError(port, *serial);
    return SubjectError(port, ProblemText(problem));
}
