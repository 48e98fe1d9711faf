// SPDX-License-Identifier: MIT
#pragma once
// Conversion of an Intel HEX update file into the transfer script, from the file's bytes read
// already (a file named by its path: loader/FileConversion.h).
#include <string_view>

#include "loader/ConvertedUpdate.h"
#include "loader/ProgressGauge.h"

// True when the extension of the name (from the last "." with no "\" or ":" after it), upper-cased,
// is ".HEX". Both the file choice of the window and the start of a transfer apply this rule.
bool HasHexExtension(std::string_view fileName);

// Empties both lists; then reads the text of the update file's `bytes` once, counting its lines
// (the gauge's maximum becomes that count, refused or not) as it takes its records, builds the
// record list and the transfer script, sets ScriptLineCount, sets the gauge's maximum to
// ScriptLineCount - 1 and empties the record list. Throws EConvertError when the file is not
// Intel HEX text, a line is refused or the file holds no data; a failed conversion leaves both
// lists empty and ScriptLineCount 0.
void ConvertUpdateBytes(std::string_view bytes, ConvertedUpdate& lists, ProgressGauge& gauge);
