// SPDX-License-Identifier: MIT
#include <cmath>
#include <cstdio>

#include "base/Translation.h"
#include "words/Words.h"

std::string DecimalText(double value, int decimals) {
    char number[64];
    std::snprintf(number, sizeof number, "%.*f", decimals, value);
    return DecimalSeparated(number);
}

std::string SecondsText(double seconds) {
    // Tenths where they say something: "0.4 s", "2.5 s", but "3 s" and "12 s".
    const double tenths = std::round(seconds * 10);
    const bool whole = std::fmod(tenths, 10) == 0 || std::fabs(seconds) >= 10;
    return Fill(Tr("%1 s"), {DecimalText(seconds, whole ? 0 : 1)});
}
