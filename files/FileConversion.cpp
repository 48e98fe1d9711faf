// SPDX-License-Identifier: MIT
#include "files/FileConversion.h"

#include "files/SystemFile.h"
#include "loader/Conversion.h"
#include "loader/RecordList.h"

std::string ConvertUpdateFile(const std::string& fileName, ConvertedUpdate& lists,
                              ProgressGauge& gauge) {
    lists.recordList.clear();
    lists.transferScript.clear();
    std::string bytes;
    try {
        // Once: what is converted, and what a journal's hash describes, are the same bytes.
        bytes = ReadFileBytes(fileName);
    } catch (...) {
        lists.ScriptLineCount = 0;
        throw;
    }
    ConvertUpdateBytes(bytes, lists, gauge);
    return bytes;
}

UpdateImage ReadUpdateImage(const std::string& fileName) {
    return ParseUpdateImage(ReadFileBytes(fileName));
}

std::vector<std::string> ReadRecordList(const std::string& fileName) {
    return BuildRecordList(ReadUpdateImage(fileName));
}
