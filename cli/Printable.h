// SPDX-License-Identifier: MIT
#pragma once
// Text from outside (names in a folder anyone may write to, USB descriptors, bytes of an update
// file quoted in a message) made safe for a terminal.
#include <string>

// Keeps printable UTF-8 as it is (Cyrillic included) and writes every other byte as \xNN: control
// characters, C1 controls (written by their code, U+009B as \x9B) and bytes that are not UTF-8.
std::string PrintableText(const std::string& text);
