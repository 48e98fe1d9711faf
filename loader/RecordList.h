// SPDX-License-Identifier: MIT
#pragma once
// The first pass of the conversion: the record list, the file's data in address order. Each
// page that holds data is opened by a page line and each further block of it by a block-start
// line, both at the base address of their page or block; data lines carry the records' bytes (a
// record that crosses a block boundary gives one data line per block); filler lines of zero bytes
// stand for what the file leaves undefined in front of a block's data.
#include <string>
#include <vector>

class UpdateImage;

// Line 0 is always "cmd 01:0000", which opens page 0 and block 0.
std::vector<std::string> BuildRecordList(const UpdateImage& image);
