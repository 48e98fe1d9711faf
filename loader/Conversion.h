// SPDX-License-Identifier: MIT
#pragma once
// Conversion of an Intel HEX update file into the transfer script.
#include <string>
#include <string_view>

#include "loader/ProgressGauge.h"
#include "loader/UpdateLists.h"

// True when the extension of the name (from the last "." with no "\" or ":" after it), upper-cased,
// is ".HEX". Both the file choice of the window and the start of a transfer apply this rule.
bool HasHexExtension(std::string_view fileName);

// Empties both lists, counts the file's lines (the gauge's maximum becomes that count), builds the
// record list in Memo1 and the transfer script in Memo2, sets ScriptLineCount, sets the gauge's
// maximum to ScriptLineCount - 1 and empties Memo1. Throws EInOutError when the file cannot be
// opened or read and EConvertError when a line is refused or the file holds no data; a failed
// conversion leaves both lists empty and ScriptLineCount 0.
void ConvertUpdateFile(const std::string& fileName, UpdateLists& lists, ProgressGauge& gauge);

// Lines of the file as the reading rules count them (at least 1), capped at the 32-bit maximum.
// Throws EInOutError.
int32_t CountFileLines(const std::string& fileName);
