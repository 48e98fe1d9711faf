// SPDX-License-Identifier: MIT
#pragma once
// The two hidden lists of the window and the count they share with the transfer: Memo1 holds the
// record list during a conversion and the exchange log during a transfer, Memo2 the transfer
// script. They live as long as the program.
#include <cstdint>
#include <string>
#include <vector>

struct UpdateLists {
    std::vector<std::string> Memo1;
    std::vector<std::string> Memo2;
    int64_t ScriptLineCount = 0;  // lines of the transfer script; the transfer reads it as its end
    int32_t FileLineCount = 0;    // lines of the update file, counted before the first pass
};
