// SPDX-License-Identifier: MIT
#include "loader/UpdateImage.h"

#include <algorithm>
#include <cassert>
#include <limits>
#include <optional>

#include "loader/Errors.h"
#include "loader/ForeignFormat.h"
#include "loader/HexField.h"
#include "loader/HexRecord.h"
#include "loader/TextFile.h"

namespace {
bool IsBlankLine(std::string_view line) {
    for (char c : line)
        if (c != ' ' && c != '\t') return false;
    return true;
}
}  // namespace

UpdateImage::UpdateImage() : bytes_(kSize, 0), text_(2 * kSize, '0') {}

void UpdateImageReader::Refuse(ConversionProblem problem) const {
    problem.line = lineNumber_;
    throw EConvertError(std::move(problem));
}

bool UpdateImageReader::AddLine(std::string_view line) {
    ++lineNumber_;
    // Read past, as other HEX readers do: editors and tool chains leave them anywhere.
    if (IsBlankLine(line)) return true;
    if (!begun_) {
        begun_ = true;
        if (const std::optional<ForeignFormat> format = ForeignFormatOf(line)) {
            throw EConvertError({.fault = ConversionFault::NotIntelHex, .format = *format});
        }
        // Fields come first in every later line; the first must at least begin as a record.
        if (line[0] != ':') Refuse({.fault = ConversionFault::NoStartCode});
    }
    const HexRecord record = ParseHexRecord(line, lineNumber_);
    switch (static_cast<HexRecordType>(record.type)) {
        case HexRecordType::Data:
            AddData(record);
            return true;
        case HexRecordType::EndOfFile:
            if (record.length != 0) {
                Refuse({.fault = ConversionFault::EndRecordWithData});
            }
            return false;
        case HexRecordType::ExtendedSegmentAddress:
        case HexRecordType::ExtendedLinearAddress:
            if (record.length != 2) {
                Refuse({.fault = ConversionFault::AddressRecordLength});
            }
            // Whether the base leaves the data within reach is decided byte by byte.
            base_ =
                record.DataValue()
                << (record.type == static_cast<uint8_t>(HexRecordType::ExtendedLinearAddress) ? 16
                                                                                              : 4);
            return true;
        case HexRecordType::StartSegmentAddress:
        case HexRecordType::StartLinearAddress:
            return true;  // the boot loader starts the firmware itself
    }
    Refuse({.fault = ConversionFault::UnknownRecordType, .value = record.type});
}

void UpdateImageReader::AddData(const HexRecord& r) {
    if (r.length == 0) return;
    // 64-bit: a linear base of FFFF0000 plus the address field must not wrap to a small address.
    const uint64_t first = uint64_t{base_} + static_cast<uint64_t>(r.address);
    const uint64_t end = first + static_cast<uint64_t>(r.length);
    if (end > UpdateImage::kSize) {
        const uint64_t outside = std::max<uint64_t>(first, UpdateImage::kSize);
        Refuse(
            {.fault = ConversionFault::OutsideMemory, .address = static_cast<uint32_t>(outside)});
    }

    UpdateImage& image = image_;
    for (uint32_t i = 0; i < static_cast<uint32_t>(r.length); ++i) {
        const auto address = static_cast<uint32_t>(first) + i;
        const char high = r.dataText[2 * i];
        const char low = r.dataText[2 * i + 1];
        // The record check has let only hexadecimal digits through.
        const auto value = static_cast<uint8_t>((HexDigitValue(high) << 4) | HexDigitValue(low));
        if (image.defined_.test(address)) {
            if (image.bytes_[address] == value) continue;
            Refuse({.fault = ConversionFault::ByteGivenTwice,
                    .address = address,
                    .value = image.bytes_[address],
                    .otherValue = value});
        }
        image.defined_.set(address);
        image.bytes_[address] = value;
        image.text_[2 * address] = high;
        image.text_[2 * address + 1] = low;
    }

    // One piece per block the record touches.
    const bool ownAddress = base_ == 0;
    for (auto at = static_cast<uint32_t>(first); at < end;) {
        const uint32_t blockEnd = (at / UpdateImage::kBlockSize + 1) * UpdateImage::kBlockSize;
        const uint32_t pieceEnd = std::min(static_cast<uint32_t>(end), blockEnd);
        UpdateImage::Piece piece;
        piece.address = static_cast<uint16_t>(at);
        piece.length = static_cast<uint16_t>(pieceEnd - at);
        piece.asWritten = ownAddress && at == first && pieceEnd == end;
        if (piece.asWritten) {
            assert(r.addressText.size() == 4 && r.lengthText.size() == 2);
            std::copy(r.addressText.begin(), r.addressText.end(), piece.addressText.begin());
            std::copy(r.lengthText.begin(), r.lengthText.end(), piece.lengthText.begin());
        }
        image.pieces_.push_back(piece);
        at = pieceEnd;
    }
}

UpdateImage ParseUpdateImage(std::string_view bytes,
                             const std::function<void(int32_t lines)>& counted) {
    TextFile file = TextFile::FromBytes(bytes);
    UpdateImageReader reader;
    std::string line;
    int32_t lines = 0;
    const auto readLine = [&] {
        file.ReadLine(line);
        if (lines < std::numeric_limits<int32_t>::max()) ++lines;
    };
    // The count covers the whole file, whatever ended the records.
    const auto countTheRest = [&] {
        while (!file.Eof())
            readLine();
        if (counted) counted(lines);
    };
    try {
        do {
            readLine();
            if (!reader.AddLine(line)) break;
        } while (!file.Eof());
    } catch (const EConvertError&) {
        countTheRest();
        throw;
    }
    countTheRest();
    if (reader.OnlyBlankLines()) {
        throw EConvertError({.fault = ConversionFault::EmptyFile});
    }
    if (reader.Image().DefinedCount() == 0) {
        throw EConvertError({.fault = ConversionFault::NoData});
    }
    return reader.Take();
}
