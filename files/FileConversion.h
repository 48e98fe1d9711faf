// SPDX-License-Identifier: MIT
#pragma once
// The conversion of an update file named by its path: read once through the system's file calls
// (tevr_loader_files), then made as its bytes are (loader/Conversion.h, loader/UpdateImage.h).
#include <string>
#include <vector>

#include "loader/ConvertedUpdate.h"
#include "loader/ProgressGauge.h"
#include "loader/UpdateImage.h"

// Empties both lists and reads the file once, then converts its bytes as ConvertUpdateBytes
// does. Returns the bytes converted. Throws EInOutError when the file cannot be opened or read
// (both lists empty and ScriptLineCount 0) and EConvertError as ConvertUpdateBytes does.
std::string ConvertUpdateFile(const std::string& fileName, ConvertedUpdate& lists,
                              ProgressGauge& gauge);

// The image of the update file (ParseUpdateImage). Throws EInOutError when the file cannot be
// opened or read, EConvertError as ParseUpdateImage does.
UpdateImage ReadUpdateImage(const std::string& fileName);

// The update file's record list (BuildRecordList). Throws as ReadUpdateImage does.
std::vector<std::string> ReadRecordList(const std::string& fileName);
