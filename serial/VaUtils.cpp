// SPDX-License-Identifier: MIT
#include "serial/VaUtils.h"

#include "serial/VaClasses.h"
#include "serial/VaPort.h"
#include "serial/VaSystem.h"

std::string VaSystemErrorText(int code) {
    std::string result = VaSystemMessage(code);
    if (result.size() > 255) result.resize(255);
    while (!result.empty()) {
        const unsigned char last = static_cast<unsigned char>(result.back());
        if (last == ' ' || last == '.' || last < 0x20 || last == 0x7F)
            result.pop_back();
        else
            break;
    }
    return result;
}

std::string VaFaultMessage(TVaCommFault fault, int code, const std::string& device) {
    switch (fault) {
        case TVaCommFault::Other:
            break;
        case TVaCommFault::RefusedWhileOpen:
            return "Can't perform this operation while port is open";
        case TVaCommFault::DeviceNotFound:
            return VaFillText("Specified device not found (%s).", device);
        case TVaCommFault::CantOpen:
            return VaFillText("Can't open specified device %s", device) +
                   VaErrorMessage(" (Error %d, %s)", code);
        case TVaCommFault::WriteDcb:
            return VaErrorMessage("Error writing dcb (%d), %s", code);
        case TVaCommFault::InitBuffers:
            return VaErrorMessage("Error initializing buffers (%d), %s", code);
        case TVaCommFault::SetTimeouts:
            return VaErrorMessage("Error setting timeouts (%d), %s", code);
        case TVaCommFault::NoDispatcher:
            return "No owning thread to hand the port's events to (no dispatcher set)";
        case TVaCommFault::SetEventMask:
            return VaErrorMessage(" Error setting EventMask (%d), %s", code);
        case TVaCommFault::Write:
            return VaErrorMessage("Write error (%d), %s", code);
        case TVaCommFault::StartThread:
            return VaErrorMessage("Can't start thread (%d), %s", code);
        case TVaCommFault::DtrWithHandshake:
            return "DTR line updates not allowed when flowcontrol is set to Handshake.";
        case TVaCommFault::CommFunction:
            return VaErrorMessage("Error calling comm function (%d), %s", code);
        case TVaCommFault::Read:
            return VaErrorMessage("Read error (%d), %s", code);
        case TVaCommFault::Statistics:
            return VaErrorMessage("Error retrieving statistics (%d), %s", code);
        case TVaCommFault::LineSettings:
            return VaErrorMessage("Error reading the line settings (%d), %s", code);
        case TVaCommFault::OutputFull:
            return "Output buffer is full. Please check comm status.";
        case TVaCommFault::DeviceGone:
            return VaErrorMessage("The device or its adapter went away (Error %d, %s)", code);
    }
    return VaErrorMessage("Serial port error (%d), %s", code);
}

EVaCommError VaCommError(TVaCommFault fault, int code, const std::string& device,
                         TVaPortHolder holder) {
    return EVaCommError(fault, VaFaultMessage(fault, code, device), code, device,
                        code != 0 ? VaSystemFaultOf(code) : TVaSystemFault::Other,
                        std::move(holder));
}

void VaRaisePortError(TVaCommFault fault, int code) {
    if (VaIsDeviceGoneError(code))
        throw EVaCommDeviceGone(TVaCommFault::DeviceGone,
                                VaFaultMessage(TVaCommFault::DeviceGone, code), code, std::string(),
                                TVaSystemFault::Gone);
    throw VaCommError(fault, code);
}

std::string VaFillText(const std::string& templ, const std::string& text) {
    const auto at = templ.find("%s");
    if (at == std::string::npos) return templ;
    return templ.substr(0, at) + text + templ.substr(at + 2);
}

std::string VaErrorMessage(const std::string& templ, int code) {
    std::string result;
    bool codeDone = false;
    bool textDone = false;
    for (std::size_t i = 0; i < templ.size(); ++i) {
        if (templ[i] == '%' && i + 1 < templ.size()) {
            const char kind = templ[i + 1];
            if (kind == 'd' && !codeDone) {
                result += std::to_string(code);
                codeDone = true;
                ++i;
                continue;
            }
            if (kind == 's' && !textDone) {
                result += VaSystemErrorText(code);
                textDone = true;
                ++i;
                continue;
            }
        }
        result += templ[i];
    }
    return result;
}

std::string VaFormatDeviceName(const std::string& templ, int portNum) {
    std::string result;
    for (std::size_t i = 0; i < templ.size(); ++i) {
        if (templ[i] == '%' && i + 1 < templ.size()) {
            const char kind = templ[i + 1];
            if (kind == 'd' || kind == 'u' || kind == 'i') {
                result += std::to_string(portNum);
                ++i;
                continue;
            }
            if (kind == '%') {
                result += '%';
                ++i;
                continue;
            }
        }
        result += templ[i];
    }
    return result;
}
