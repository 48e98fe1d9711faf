#include "loader/RecordList.h"

#include <cstdio>

#include "loader/Errors.h"
#include "loader/HexRecord.h"
#include "loader/TextFile.h"

namespace {
constexpr int32_t kBlockSize = 128;
constexpr int32_t kPageSize = 512;

std::string Hex4(int64_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "%04X", static_cast<unsigned>(value & 0xFFFF));
    return text;
}

std::string Hex2(int64_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "%02X", static_cast<unsigned>(value & 0xFF));
    return text;
}
}  // namespace

RecordListBuilder::RecordListBuilder() {
    lines_.emplace_back("cmd 01:0000");
}

void RecordListBuilder::AddLine(std::string_view line) {
    ++lineNumber_;
    const HexRecord record = ParseHexRecord(line, lineNumber_);
    if (IsDataRecord(record, lineNumber_) && record.length != 0) AddData(record);
}

void RecordListBuilder::AddData(const HexRecord& r) {
    const int32_t page = r.address / kPageSize;
    const int32_t block = r.address / kBlockSize;
    if (r.address < highWater_) {
        throw EConvertError(
            RecordError(lineNumber_, "адрес записи " + Hex4(r.address) + " ниже ожидаемого " +
                                         Hex4(highWater_) +
                                         " (перекрытие данных или нарушен порядок записей)"));
    }
    if (r.address % kBlockSize + r.length > kBlockSize) {
        throw EConvertError(RecordError(lineNumber_, "запись по адресу " + Hex4(r.address) +
                                                         " выходит за границу блока 128 байт"));
    }

    const std::string addressText(r.addressText);
    if (page != currentPage_) {
        lines_.push_back("cmd 01:" + addressText);
        expected_ = r.address;
        currentPage_ = page;
        currentBlock_ = block;
    } else if (block != currentBlock_) {
        lines_.push_back("cmd 03:" + addressText);
        expected_ = r.address;
        currentBlock_ = block;
    }

    if (r.address > expected_) {
        // Zero bytes up to the record, so that every later byte keeps its own address.
        const int64_t gap = r.address - expected_;
        std::string filler = "cmd 02:" + Hex4(expected_) + " " + Hex2(gap) + " ";
        filler.append(static_cast<size_t>(2 * gap), '0');
        lines_.push_back(std::move(filler));
    }

    std::string data;
    data.reserve(15 + r.dataText.size());
    data.append("cmd 02:").append(r.addressText).append(" ").append(r.lengthText).append(" ");
    data.append(r.dataText);
    lines_.push_back(std::move(data));
    expected_ = r.address + r.length;
    highWater_ = expected_;
}

std::vector<std::string> ReadRecordList(const std::string& fileName) {
    TextFile file(fileName);
    RecordListBuilder builder;
    std::string line;
    do {
        file.ReadLine(line);
        builder.AddLine(line);
    } while (!file.Eof());
    return builder.TakeLines();
}
