// SPDX-License-Identifier: MIT
#pragma once
// One record line of an update file, read and checked.
#include <cstdint>
#include <string>
#include <string_view>

// Record types of the Intel HEX format.
enum class HexRecordType : uint8_t {
    Data = 0x00,
    EndOfFile = 0x01,
    ExtendedSegmentAddress = 0x02,
    StartSegmentAddress = 0x03,
    ExtendedLinearAddress = 0x04,
    StartLinearAddress = 0x05,
};

// The fields of a record line. The texts point into the line they were read from and keep the
// letter case of the file, which the lists copy as written.
struct HexRecord {
    int32_t length = 0;            // number of data bytes
    int32_t address = 0;           // 0 to FFFF
    uint8_t type = 0;              // see HexRecordType
    std::string_view lengthText;   // columns 2-3
    std::string_view addressText;  // columns 4-7
    std::string_view dataText;     // 2 characters per data byte

    // The data bytes read as one big-endian number (the value of a type 02 or 04 record).
    uint32_t DataValue() const;
};

// Reads the length field (columns 2-3), then the address field (columns 4-7), each failing as
// NotANumber (LineTooShort where the line ends before it); then checks the ":" start code, that the
// line holds all its fields, that every pair is hexadecimal, the checksum, and that nothing but
// blanks and tabs follows the checksum. A refused line throws EConvertError with the file's line
// number.
HexRecord ParseHexRecord(std::string_view line, int64_t lineNumber);
