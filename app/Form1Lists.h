// SPDX-License-Identifier: MIT
#pragma once
// The window's two hidden lists and the counts they share with the transfer: Memo1 holds the
// record list during a conversion and the exchange log during a transfer, Memo2 the transfer
// script. They live as long as the program.
#include <cstdint>
#include <string>
#include <vector>

struct TForm1Lists {
    std::vector<std::string> Memo1;
    std::vector<std::string> Memo2;
    int64_t ScriptLineCount = 0;
    int32_t FileLineCount = 0;
};
