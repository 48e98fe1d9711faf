// SPDX-License-Identifier: MIT
#pragma once
// The device's 64 KiB as an update file defines them: every data byte at the absolute address
// that Intel HEX gives it, whatever the order, length and alignment of the records. The record
// list and the transfer script are built from it in address order, and a memory image read back
// from the device is compared with it.
#include <array>
#include <bitset>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class UpdateImage {
public:
    static constexpr uint32_t kSize = 0x10000;
    static constexpr uint32_t kBlockSize = 128;
    static constexpr uint32_t kPageSize = 512;

    // The bytes of one record that fall into one 128-byte block.
    struct Piece {
        uint16_t address = 0;
        uint16_t length = 0;  // 1 to 128, never past the block's end
        // Whether the piece is the whole record at its own address field (no extended base), so
        // that the lists may copy the record's address and length texts as the file writes them.
        bool asWritten = false;
        std::array<char, 4> addressText{};
        std::array<char, 2> lengthText{};
    };

    UpdateImage();

    bool Defined(uint32_t address) const { return defined_.test(address); }
    uint8_t Byte(uint32_t address) const { return bytes_[address]; }
    // The byte's two hexadecimal characters in the file's letter case (as first written).
    std::string_view Text(uint32_t address) const { return {&text_[2 * address], 2}; }
    size_t DefinedCount() const { return defined_.count(); }
    // In the order of the file.
    const std::vector<Piece>& Pieces() const { return pieces_; }

private:
    friend class UpdateImageReader;

    std::bitset<kSize> defined_;
    std::vector<uint8_t> bytes_;
    std::vector<char> text_;
    std::vector<Piece> pieces_;
};

// Takes the lines of an update file one at a time. Blank lines (blanks and tabs alone) are read
// past. The first other line must begin a record: a file of another kind is refused as what it
// looks like (NotIntelHex), other text as NoStartCode. Every line is checked as a record (fields,
// ":" start code, length, hexadecimal pairs, checksum); extended segment (02) and extended linear
// (04) address records set the base of the data records after them; start addresses (03, 05) are
// skipped. Refusals throw EConvertError with the file's line number: unknown record types, data
// at 10000 or above, and a byte given again with another value.
class UpdateImageReader {
public:
    // False once the end-of-file record has been taken: what follows it is not part of the file.
    bool AddLine(std::string_view line);
    // True while every line taken was blank.
    bool OnlyBlankLines() const { return !begun_; }
    const UpdateImage& Image() const { return image_; }
    UpdateImage Take() { return std::move(image_); }

private:
    void AddData(const struct HexRecord& record);
    // Throws the problem at the current line.
    [[noreturn]] void Refuse(struct ConversionProblem problem) const;

    UpdateImage image_;
    int64_t lineNumber_ = 0;  // of the update file, 1-based
    bool begun_ = false;      // a line that is not blank has been taken
    uint32_t base_ = 0;       // of the data records, from the last 02 or 04 record
};

// Reads the update file's bytes (text-file reading rules, at least one line, up to its
// end-of-file record). Throws EConvertError for a file in an encoding that cannot be read, a
// refused line, a file of blank lines alone (EmptyFile) and a file without any data byte. The
// text is read once: its lines after the end-of-file record, or after a refused line, are only
// counted, and `counted`, when given, is told the file's count of lines (at least 1, capped at
// the 32-bit maximum) before the image is returned or a refusal after the decoding thrown.
UpdateImage ParseUpdateImage(std::string_view bytes,
                             const std::function<void(int32_t lines)>& counted = {});
