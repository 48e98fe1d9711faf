// SPDX-License-Identifier: MIT
#pragma once
// The programs' words in the user's language. The code writes English message ids; their
// translations come from the message catalogue "tevr-flash" (po/ru.po, compiled with msgfmt).
// Only the front ends (cli/, bk-sim's main) make words: the layers below them report kinds and
// data.
//
// On Linux glibc's gettext reads the catalogue, the language chosen as usual by LANGUAGE, LC_ALL,
// LC_MESSAGES and LANG. On Windows the catalogue lies beside the program (tevr-flash.ru.mo) and
// the user's interface language chooses, LANGUAGE overriding it. TEVR_LOCALEDIR names another
// folder for the catalogue (a locale tree on Linux, the folder of the .mo on Windows). Elsewhere
// (WebAssembly) the words are English unless the program chose a catalogue (UseCatalogue).
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

// The catalogue's name (the text domain of gettext).
inline constexpr const char* kTranslationDomain = "tevr-flash";

// Chooses the user's language from the environment, at a program's start; called again (tests),
// it follows the environment as it is then, and forgets a catalogue given to UseCatalogue.
void SetUpTranslation();

// From now on the words come from the compiled catalogue `mo` (msgfmt's .mo), whatever the
// environment says: the window speaks Russian wherever it runs, and the page speaks the language
// its browser prefers. An empty or damaged catalogue gives the English texts.
void UseCatalogue(std::string_view mo);

// The text of `message` in the user's language; `message` itself where none is known.
const char* Tr(const char* message);

// The text of `message` in the sense `context` names, for a message id whose translation differs
// by use ("." as the decimal separator).
const char* TrC(const char* context, const char* message);

// The form of a message with a number for `n` ("%1 block" / "%1 blocks"); a translation may
// have more forms than two (Russian has three).
const char* TrN(const char* singular, const char* plural, std::uint64_t n);

// `number` as printf or to_chars wrote it ("0.4"), with the decimal separator of the user's
// language: those write the C locale's point whatever the language.
inline std::string DecimalSeparated(std::string number) {
    if (const size_t point = number.find('.'); point != std::string::npos)
        // TRANSLATORS: the decimal separator of numbers ("0.4 s").
        number.replace(point, 1, TrC("decimal separator", "."));
    return number;
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
