// SPDX-License-Identifier: MIT
#pragma once
// Message and name helpers of the serial component.
#include <cstdint>
#include <string>

#include "serial/VaClasses.h"
#include "serial/VaTypes.h"

// The system's text for an error code: at most 255 characters, with trailing blanks, control
// characters and full stops removed.
std::string VaSystemErrorText(int code);

// Fills a message template: the first "%d" gets `code`, the first "%s" after it the system's text
// for `code`. A template without place-holders comes back unchanged.
std::string VaErrorMessage(const std::string& templ, int code);

// The component's English message of a fault, with the code, its system text and the device
// filled in.
std::string VaFaultMessage(TVaCommFault fault, int code = 0, const std::string& device = {});

// The error of `fault` with its message (EVaCommDeviceGone of DeviceGone).
EVaCommError VaCommError(TVaCommFault fault, int code = 0, const std::string& device = {},
                         TVaPortHolder holder = {});

// Raises the error of a failed device call: EVaCommDeviceGone when the code says the device has
// gone, otherwise the error of `fault`.
[[noreturn]] void VaRaisePortError(TVaCommFault fault, int code);

// Puts `text` in place of the first "%s" of `templ`. The text is not scanned again, so a device
// name holding '%' cannot disturb the codes filled in afterwards.
std::string VaFillText(const std::string& templ, const std::string& text);

// Formats a device-name template with the port number: "%d" (also "%u", "%i") becomes the number,
// "%%" a single '%'; anything else stands as written.
std::string VaFormatDeviceName(const std::string& templ, int portNum);

// Whether a rate the driver reports is the one asked for: drivers may report the rate their
// divisor gives, and a UART copes with 2 % either way.
constexpr bool VaRateClose(std::uint32_t got, std::uint32_t wanted) {
    const std::uint32_t diff = got > wanted ? got - wanted : wanted - got;
    return std::uint64_t{diff} * 50 <= wanted;
}
