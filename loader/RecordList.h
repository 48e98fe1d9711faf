#pragma once
// The first pass of the conversion: the record list, one line per data record of the update
// file, with the page, block-start and filler lines around them.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class RecordListBuilder {
public:
    RecordListBuilder();  // the list starts with the first page line "cmd 01:0000"

    // Takes the next line of the update file. Throws EConvertError for a field that does not read
    // or a record that is refused; the list is then incomplete and must not be used.
    void AddLine(std::string_view line);

    const std::vector<std::string>& Lines() const { return lines_; }
    std::vector<std::string> TakeLines() { return std::move(lines_); }

private:
    void AddData(const struct HexRecord& record);

    std::vector<std::string> lines_;
    int64_t lineNumber_ = 0;    // of the update file, 1-based
    int64_t expected_ = 0;      // address where the next record of the block should lie
    int64_t highWater_ = 0;     // end of the data placed so far
    int32_t currentPage_ = 0;   // address div 512
    int32_t currentBlock_ = 0;  // address div 128
};

// Reads the update file (reading rules of TextFile, at least one line) into a record list.
// Throws EInOutError when the file cannot be opened or read, EConvertError as AddLine does.
std::vector<std::string> ReadRecordList(const std::string& fileName);
