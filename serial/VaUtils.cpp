// SPDX-License-Identifier: MIT
#include "serial/VaUtils.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstring>

#include "serial/VaClasses.h"
#include "serial/VaPort.h"

std::string VaSystemErrorText(int code) {
    char buffer[256];
    // The GNU strerror_r may return its own static text instead of filling the buffer.
    const char* text = strerror_r(code, buffer, sizeof buffer);
    std::string result(text ? text : "");
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

std::string VaSystemDevicePath(const std::string& devicePath) {
    if (!devicePath.empty() && devicePath[0] == '/') return devicePath;
    if (devicePath.size() > 3 && devicePath.size() <= 3 + 9 &&
        (devicePath.compare(0, 3, "COM") == 0 || devicePath.compare(0, 3, "com") == 0)) {
        long number = 0;
        bool digits = true;
        for (std::size_t i = 3; i < devicePath.size(); ++i) {
            if (devicePath[i] < '0' || devicePath[i] > '9') {
                digits = false;
                break;
            }
            number = number * 10 + (devicePath[i] - '0');
        }
        if (digits && number >= 1) return "/dev/ttyS" + std::to_string(number - 1);
    }
    return "/dev/" + devicePath;
}

void VaSetThreadPriority(int tid, TThreadPriority priority) {
    // Nice values: each step of the named priorities is a few nice levels, the two ends the
    // extremes the scheduler offers.
    static constexpr int kNice[] = {19, 10, 5, 0, -5, -10, -20};
    if (tid <= 0 || priority > tpTimeCritical) return;
    (void)setpriority(PRIO_PROCESS, static_cast<id_t>(tid), kNice[priority]);
}

int VaCurrentThreadId() {
    return static_cast<int>(syscall(SYS_gettid));
}
