// SPDX-License-Identifier: MIT
#include "base/Translation.h"
#include "words/Words.h"

namespace {
// What the system said, and its code: "access denied, error 13". Only the kinds are worded here:
// the system's own text would come in the language of the process, not of the reader.
std::string SystemPart(const SerialProblem& p) {
    std::string said;
    switch (p.systemFault) {
        case TVaSystemFault::NotFound:
            said = Tr("no such device");
            break;
        case TVaSystemFault::AccessDenied:
            said = Tr("access denied");
            break;
        case TVaSystemFault::Busy:
            said = p.holder.ProcessId == 0
                       ? std::string(Tr("the port is in use by another program"))
                       : Fill(Tr("in use by %1, process %2"),
                              {p.holder.Name, std::to_string(p.holder.ProcessId)});
            break;
        case TVaSystemFault::NotASerialPort:
            said = Tr("not a serial port");
            break;
        case TVaSystemFault::Gone:
            said = Tr("the device went away");
            break;
        case TVaSystemFault::Other:
            return Fill(Tr("error %1"), {std::to_string(p.code)});
    }
    return Fill(Tr("%1, error %2"), {said, std::to_string(p.code)});
}
}  // namespace

std::string SerialProblemText(const SerialProblem& p) {
    const std::string system = SystemPart(p);
    switch (p.fault) {
        case TVaCommFault::Other:
            break;
        case TVaCommFault::RefusedWhileOpen:
            return Tr("the port's settings cannot change while it is open");
        // Without a device where the front end names the port in front of the text.
        case TVaCommFault::DeviceNotFound:
            if (p.device.empty()) return Tr("the port does not exist");
            return Fill(Tr("the port %1 does not exist"), {p.device});
        case TVaCommFault::CantOpen:
            if (p.device.empty()) return Fill(Tr("the port cannot be opened (%1)"), {system});
            return Fill(Tr("the port %1 cannot be opened (%2)"), {p.device, system});
        case TVaCommFault::WriteDcb:
            return Fill(Tr("the port's line settings cannot be set (%1)"), {system});
        case TVaCommFault::InitBuffers:
            return Fill(Tr("the port's buffers cannot be set up (%1)"), {system});
        case TVaCommFault::SetTimeouts:
            return Fill(Tr("the port's time-outs cannot be set (%1)"), {system});
        case TVaCommFault::NoDispatcher:
            return Tr("the port has no thread to hand its events to");
        case TVaCommFault::SetEventMask:
            return Fill(Tr("the port's events cannot be watched (%1)"), {system});
        case TVaCommFault::Write:
            return Fill(Tr("writing to the port failed (%1)"), {system});
        case TVaCommFault::StartThread:
            return Fill(Tr("the port's thread cannot be started (%1)"), {system});
        case TVaCommFault::DtrWithHandshake:
            return Tr("the DTR line cannot be set by hand while the handshake uses it");
        case TVaCommFault::CommFunction:
            return Fill(Tr("the port's control lines cannot be set (%1)"), {system});
        case TVaCommFault::Read:
            return Fill(Tr("reading from the port failed (%1)"), {system});
        case TVaCommFault::Statistics:
            return Fill(Tr("the port's state cannot be read (%1)"), {system});
        case TVaCommFault::LineSettings:
            return Fill(Tr("the port's line settings cannot be read back (%1)"), {system});
        case TVaCommFault::OutputFull:
            return Tr("the port's output buffer is full: the line takes no more bytes");
        case TVaCommFault::DeviceGone:
            return Tr("the on-board computer or its adapter went away");
    }
    return Fill(Tr("the port failed (%1)"), {system});
}
