// SPDX-License-Identifier: MIT
#pragma once
// The second pass of the conversion: the transfer script from the record list.
#include <string>
#include <vector>

// Carries the page lines over and merges the data and filler lines of each block into one block
// line "cmd 02:" + block address + " " + byte count (upper-case hex, at least two digits) + " " +
// block data. The block opened by line 0 is always emitted, even without data; any other block
// is emitted only when it holds data.
// Throws EConvertError when a line's byte count does not read.
std::vector<std::string> BuildTransferScript(const std::vector<std::string>& recordList);
