// SPDX-License-Identifier: MIT
#pragma once
// Conversion of an Intel HEX update file into the transfer script.
#include <functional>
#include <string>
#include <string_view>

#include "loader/ConvertedUpdate.h"
#include "loader/ProgressGauge.h"

// True when the extension of the name (from the last "." with no "\" or ":" after it), upper-cased,
// is ".HEX". Both the file choice of the window and the start of a transfer apply this rule.
bool HasHexExtension(std::string_view fileName);

// Empties both lists and reads the file once; then reads its text once, counting its lines (the
// gauge's maximum becomes that count, refused or not) as it takes its records, builds the record
// list and the transfer script, sets ScriptLineCount, sets the gauge's maximum to
// ScriptLineCount - 1 and empties the record list. Returns the bytes converted. `check`, when
// given, sees the bytes read before anything is made of them (the release signature) and refuses
// them by throwing. Throws EInOutError when the file cannot be opened or read and EConvertError
// when the file is not Intel HEX text, a line is refused or the file holds no data; a failed
// conversion leaves both lists empty and ScriptLineCount 0.
std::string ConvertUpdateFile(const std::string& fileName, ConvertedUpdate& lists,
                              ProgressGauge& gauge,
                              const std::function<void(std::string_view bytes)>& check = {});
// The same of an update file's bytes read already.
void ConvertUpdateBytes(std::string_view bytes, ConvertedUpdate& lists, ProgressGauge& gauge);
