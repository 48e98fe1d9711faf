// SPDX-License-Identifier: MIT
#include "loader/Conversion.h"

#include "loader/RecordList.h"
#include "loader/TransferScript.h"
#include "loader/UpdateImage.h"

bool HasHexExtension(std::string_view fileName) {
    const size_t dot = fileName.rfind('.');
    if (dot == std::string_view::npos) return false;
    std::string_view extension = fileName.substr(dot);
    if (extension.find_first_of("\\:") != std::string_view::npos) return false;
    if (extension.size() != 4) return false;
    static constexpr char kHex[] = ".HEX";
    for (size_t i = 0; i < 4; ++i) {
        char c = extension[i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c != kHex[i]) return false;
    }
    return true;
}

void ConvertUpdateBytes(std::string_view bytes, ConvertedUpdate& lists, ProgressGauge& gauge) {
    lists.recordList.clear();
    lists.transferScript.clear();
    try {
        const UpdateImage image = ParseUpdateImage(bytes, [&](int32_t fileLines) {
            lists.FileLineCount = fileLines;
            gauge.SetMaxValue(fileLines);
        });
        lists.recordList = BuildRecordList(image);
        lists.ScriptLineCount = static_cast<int64_t>(lists.recordList.size());
        lists.transferScript = BuildTransferScript(lists.recordList);
    } catch (...) {
        // A transfer must never start from a partial script.
        lists.recordList.clear();
        lists.transferScript.clear();
        lists.ScriptLineCount = 0;
        throw;
    }
    lists.ScriptLineCount = static_cast<int64_t>(lists.transferScript.size());
    gauge.SetMaxValue(static_cast<int32_t>(lists.ScriptLineCount - 1));
    lists.recordList.clear();
}
