// SPDX-License-Identifier: MIT
#pragma once
// Numbers on the command line, checked with texts in the user's language: the help shows the
// range as the language writes numbers (its decimal separator, its words around the bounds), and
// a value that is no number or lies outside is refused saying so. A decimal comma is taken as well
// as a point: the help of a Russian run shows commas, and a technician types what the help shows.
#include <CLI/CLI.hpp>
#include <charconv>
#include <cstddef>
#include <string>
#include <system_error>

#include "base/Translation.h"

// `value` in its shortest form, with the decimal separator of the user's language.
inline std::string ShortNumberText(double value) {
    char digits[64];
    const std::to_chars_result written = std::to_chars(digits, digits + sizeof digits, value);
    return DecimalSeparated(std::string(digits, written.ptr));
}

namespace number_range {
// Reads the whole of `value` as a number: a point or a comma before the decimals (a comma
// becomes a point, which the option's own conversion expects). An empty text when it holds.
inline std::string Check(std::string& value, double min, double max, bool whole) {
    const std::string given = value;
    if (const std::size_t comma = value.find(','); comma != std::string::npos && !whole)
        value[comma] = '.';
    const char* const end = value.data() + value.size();
    double number = 0;
    bool read = false;
    if (whole) {
        long long integer = 0;
        const std::from_chars_result r = std::from_chars(value.data(), end, integer);
        read = r.ec == std::errc() && r.ptr == end;
        number = static_cast<double>(integer);
    } else {
        const std::from_chars_result r = std::from_chars(value.data(), end, number);
        read = r.ec == std::errc() && r.ptr == end;
    }
    if (!read)
        return Fill(whole ? Tr("%1 is not a whole number") : Tr("%1 is not a number"), {given});
    if (number < min || number > max)
        return Fill(Tr("%1 is not between %2 and %3"),
                    {given, ShortNumberText(min), ShortNumberText(max)});
    return {};
}

inline CLI::Validator Validator(double min, double max, bool whole) {
    return CLI::Validator(
        [min, max, whole](std::string& value) { return Check(value, min, max, whole); },
        Fill(Tr("%1 to %2"), {ShortNumberText(min), ShortNumberText(max)}));
}
}  // namespace number_range

// For an option of a floating-point type; give it with transform(), which lets the comma become
// a point.
inline CLI::Validator NumberRange(double min, double max) {
    return number_range::Validator(min, max, false);
}

// For an option of an integer type.
inline CLI::Validator WholeNumberRange(long long min, long long max) {
    return number_range::Validator(static_cast<double>(min), static_cast<double>(max), true);
}
