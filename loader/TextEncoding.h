// SPDX-License-Identifier: MIT
#pragma once
// The encodings an update file may arrive in. Tool chains write ASCII; a file that passed through
// a Windows editor or a PowerShell redirection carries a byte-order mark, and PowerShell 5.1
// writes UTF-16LE. Such files are read as the text they are, so that the usual rules apply.
#include <string>
#include <string_view>

// The text of the file's bytes: the bytes themselves, without a UTF-8 byte-order mark, or the
// UTF-16 text (little or big endian, with its mark) decoded to UTF-8 into `storage`. The result
// views `bytes` or `storage`. Throws EConvertError naming the encoding for a file in any other
// encoding that can be told (ForeignEncoding: UTF-32, ...; UnmarkedUtf16).
std::string_view DecodeUpdateText(std::string_view bytes, std::string& storage);
