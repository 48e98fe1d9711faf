// SPDX-License-Identifier: MIT
#include "loader/HexRecord.h"

#include "loader/Errors.h"
#include "loader/HexField.h"

namespace {
// The byte of the pair at `offset`, or -1 when a character is not hexadecimal.
int PairAt(std::string_view line, size_t offset) {
    int32_t value = 0;
    return TryHexFieldToInt(line.substr(offset, 2), value) ? value : -1;
}

// A field's own message stays as the window shows it; the line it failed on travels beside it.
int32_t FieldValue(std::string_view chars, int64_t lineNumber) {
    try {
        return HexFieldToInt(chars);
    } catch (const EConvertError& e) {
        throw EConvertError(e.what(), lineNumber);
    }
}

}  // namespace

std::string RecordError(int64_t lineNumber, const std::string& what) {
    return "Ошибка в строке " + std::to_string(lineNumber) + " файла обновления: " + what;
}

HexRecord ParseHexRecord(std::string_view line, int64_t lineNumber) {
    HexRecord r;
    r.lengthText = TextColumns(line, 2, 2);
    r.length = FieldValue(r.lengthText, lineNumber);
    r.addressText = TextColumns(line, 4, 4);
    r.address = FieldValue(r.addressText, lineNumber);

    if (line[0] != ':') {
        throw EConvertError(RecordError(lineNumber, "запись не начинается с символа ':'"));
    }
    // A field that read as a number but holds fewer digits than its width ("1" at the end of a
    // short line) is a line too short for its record as well.
    const size_t needed = 11 + 2 * static_cast<size_t>(r.length);
    if (r.lengthText.size() != 2 || r.addressText.size() != 4 || line.size() < needed) {
        throw EConvertError(RecordError(lineNumber, "строка короче, чем требует длина записи"));
    }

    unsigned sum = 0;
    for (size_t offset = 1; offset < needed; offset += 2) {
        int byte = PairAt(line, offset);
        if (byte < 0) {
            throw EConvertError(RecordError(
                lineNumber, "в записи есть символ, не являющийся шестнадцатеричной цифрой"));
        }
        sum += static_cast<unsigned>(byte);
    }
    if ((sum & 0xFF) != 0) {
        throw EConvertError(RecordError(lineNumber, "неверная контрольная сумма записи"));
    }
    // One record a line: whatever else the line holds would otherwise never reach the device
    // while the update still reports success (records pasted together, line ends lost).
    const std::string_view rest = line.substr(needed);
    const size_t extra = rest.find_first_not_of(" \t");
    if (extra != std::string_view::npos) {
        throw EConvertError(RecordError(
            lineNumber, rest.find(':', extra) != std::string_view::npos
                            ? "после контрольной суммы записи в строке начинается ещё одна "
                              "запись; каждая запись должна стоять в своей строке"
                            : "после контрольной суммы записи в строке есть ещё символы"));
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
