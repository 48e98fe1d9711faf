// SPDX-License-Identifier: MIT
#pragma once
// What the conversion of an update file makes: the record list of its first pass (empty again
// once the conversion has ended), the transfer script, and the counts the transfer and the gauge
// read.
#include <cstdint>
#include <string>
#include <vector>

struct ConvertedUpdate {
    std::vector<std::string> recordList;
    std::vector<std::string> transferScript;
    int64_t ScriptLineCount = 0;  // lines of the transfer script; the transfer reads it as its end
    int32_t FileLineCount = 0;    // lines of the update file, counted as its records are read
};
