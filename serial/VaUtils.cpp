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

void VaRaisePortError(const std::string& templ, int code) {
    if (VaIsDeviceGoneError(code))
        throw EVaCommDeviceGone(VaErrorMessage(kVaDeviceGoneMessage, code), code);
    throw EVaCommError(VaErrorMessage(templ, code), code);
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
