// SPDX-License-Identifier: MIT
#pragma once
// The programs' words in the user's language. The code writes English message ids; their
// translations come from the message catalogue. Only the front ends (cli/, bk-sim's main) make
// words: the layers below them report kinds and data.
#include <initializer_list>
#include <string>
#include <string_view>

// Chooses the user's language once, at a program's start.
inline void SetUpTranslation() {}

// The text of `message` in the user's language; `message` itself where none is known.
inline const char* Tr(const char* message) { return message; }

// The form of a message with a number for `n` ("%1 block" / "%1 blocks"); a translation may
// have more forms than two (Russian has three).
inline const char* TrN(const char* singular, const char* plural, unsigned long n) {
    return n == 1 ? singular : plural;
}

// `pattern` with %1, %2, ... replaced by the arguments in their order, so that a translation may
// place them where its language wants them. "%%" is a percent sign.
inline std::string Fill(std::string_view pattern, std::initializer_list<std::string_view> args) {
    std::string out;
    out.reserve(pattern.size());
    for (size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c != '%' || i + 1 == pattern.size()) {
            out += c;
            continue;
        }
        const char next = pattern[i + 1];
        if (next == '%') {
            out += '%';
            ++i;
        } else if (next >= '1' && next <= '9' && static_cast<size_t>(next - '1') < args.size()) {
            out += *(args.begin() + (next - '1'));
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}
