// SPDX-License-Identifier: MIT
#include "loader/HexRecord.h"

#include <cassert>

#include "loader/Errors.h"
#include "loader/HexField.h"

namespace {
// The byte of the pair at `offset`, or -1 when a character is not hexadecimal.
int PairAt(std::string_view line, size_t offset) {
    assert(offset + 2 <= line.size());
    const int high = HexDigitValue(line[offset]);
    const int low = HexDigitValue(line[offset + 1]);
    return high < 0 || low < 0 ? -1 : (high << 4) | low;
}

[[noreturn]] void Refuse(ConversionFault fault, int64_t lineNumber) {
    throw EConvertError({.fault = fault, .line = lineNumber});
}

int32_t FieldValue(std::string_view chars, int64_t lineNumber) {
    // A field the line ends before has no characters to name.
    if (chars.empty()) Refuse(ConversionFault::LineTooShort, lineNumber);
    int32_t value = 0;
    if (!TryHexFieldToInt(chars, value)) {
        throw EConvertError(
            {.fault = ConversionFault::NotANumber, .line = lineNumber, .text = std::string(chars)});
    }
    return value;
}

}  // namespace

HexRecord ParseHexRecord(std::string_view line, int64_t lineNumber) {
    HexRecord r;
    r.lengthText = TextColumns(line, 2, 2);
    r.length = FieldValue(r.lengthText, lineNumber);
    r.addressText = TextColumns(line, 4, 4);
    r.address = FieldValue(r.addressText, lineNumber);

    if (line[0] != ':') {
        Refuse(ConversionFault::NoStartCode, lineNumber);
    }
    // A field that read as a number but holds fewer digits than its width ("1" at the end of a
    // short line) is a line too short for its record as well.
    const size_t needed = 11 + 2 * static_cast<size_t>(r.length);
    if (r.lengthText.size() != 2 || r.addressText.size() != 4 || line.size() < needed) {
        Refuse(ConversionFault::LineTooShort, lineNumber);
    }

    unsigned sum = 0;
    for (size_t offset = 1; offset < needed; offset += 2) {
        int byte = PairAt(line, offset);
        if (byte < 0) {
            Refuse(ConversionFault::NotHexadecimal, lineNumber);
        }
        sum += static_cast<unsigned>(byte);
    }
    if ((sum & 0xFF) != 0) {
        Refuse(ConversionFault::WrongChecksum, lineNumber);
    }
    // One record a line: whatever else the line holds would otherwise never reach the device
    // while the update still reports success (records pasted together, line ends lost).
    const std::string_view rest = line.substr(needed);
    const size_t extra = rest.find_first_not_of(" \t");
    if (extra != std::string_view::npos) {
        Refuse(rest.find(':', extra) != std::string_view::npos ? ConversionFault::SecondRecord
                                                               : ConversionFault::TextAfterRecord,
               lineNumber);
    }

    r.type = static_cast<uint8_t>(PairAt(line, 7));
    r.dataText = line.substr(9, 2 * static_cast<size_t>(r.length));
    return r;
}

uint32_t HexRecord::DataValue() const {
    uint32_t value = 0;
    for (size_t i = 0; i + 1 < dataText.size(); i += 2) {
        value = (value << 8) | static_cast<uint32_t>(PairAt(dataText, i));
    }
    return value;
}
