// SPDX-License-Identifier: MIT
#pragma once
// A refused update file as the tests compare it: the fault's code, its line and its data
// ("byte-given-twice@3 000F 0F 0E"), which is what the front ends make words of.
#include <string>

#include "base/HexDigits.h"
#include "loader/Errors.h"

inline std::string Describe(const ConversionProblem& p) {
    std::string text = std::string(ConversionFaultCode(p.fault)) + "@" + std::to_string(p.line);
    switch (p.fault) {
        case ConversionFault::NotANumber:
        case ConversionFault::ForeignEncoding:
        case ConversionFault::UnmarkedUtf16:
            return text + " '" + p.text + "'";
        case ConversionFault::NotIntelHex:
            return text + " " + ForeignFormatCode(p.format);
        case ConversionFault::UnknownRecordType:
            return text + " " + HexDigits(p.value, 2);
        case ConversionFault::OutsideMemory:
            return text + " " + HexDigits(p.address, 4);
        case ConversionFault::ByteGivenTwice:
            return text + " " + HexDigits(p.address, 4) + " " + HexDigits(p.value, 2) + " " +
                   HexDigits(p.otherValue, 2);
        case ConversionFault::ScriptLineTooLong:
            return text + " " + std::to_string(p.limit);
        default:
            return text;
    }
}

// Runs `work` and describes the refusal it throws; "accepted" when it throws none.
template <typename Work>
std::string RefusalIn(Work&& work) {
    try {
        work();
    } catch (const EConvertError& e) {
        return Describe(e.Problem());
    }
    return "accepted";
}
