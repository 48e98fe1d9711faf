// SPDX-License-Identifier: MIT
// The words on Windows, which has no gettext: the compiled catalogue beside the program, read by
// MoCatalogue, in the user's interface language or the one LANGUAGE names.
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "base/FixedCatalogue.h"
#include "base/MoCatalogue.h"
#include "base/Translation.h"

namespace {

MoCatalogue& Catalogue() {
    static MoCatalogue catalogue;
    return catalogue;
}

// The language part of a locale name: "ru" of "ru_RU.UTF-8"; empty when it is no language code,
// so that it never names a file elsewhere.
std::string LanguageOf(const std::string& name) {
    const std::string language = name.substr(0, name.find_first_of("_.@-"));
    const bool letters = std::all_of(language.begin(), language.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    });
    return letters && language.size() <= 3 ? language : std::string();
}

// LANGUAGE's names in order ("ru:en"), else the user's interface language.
std::vector<std::string> Languages() {
    std::vector<std::string> languages;
    if (const char* list = std::getenv("LANGUAGE"); list != nullptr && *list != '\0') {
        std::string rest = list;
        for (std::size_t colon; !rest.empty();
             rest.erase(0, colon == std::string::npos ? rest.size() : colon + 1)) {
            colon = rest.find(':');
            const std::string language = LanguageOf(rest.substr(0, colon));
            if (!language.empty()) languages.push_back(language);
        }
        if (!languages.empty()) return languages;
    }
    if (PRIMARYLANGID(::GetUserDefaultUILanguage()) == LANG_RUSSIAN) languages.push_back("ru");
    return languages;
}

// TEVR_LOCALEDIR, else the program's own folder.
std::filesystem::path CatalogueFolder() {
    if (const wchar_t* folder = ::_wgetenv(L"TEVR_LOCALEDIR");
        folder != nullptr && *folder != L'\0')
        return folder;
    std::wstring program(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, program.data(), static_cast<DWORD>(program.size()));
        if (length == 0) return {};
        if (length < program.size()) {
            program.resize(length);
            break;
        }
        program.resize(program.size() * 2);
    }
    return std::filesystem::path(program).parent_path();
}

}  // namespace

void SetUpTranslation() {
    ForgetFixedCatalogue();
    Catalogue() = MoCatalogue();
    const std::filesystem::path folder = CatalogueFolder();
    for (const std::string& language : Languages()) {
        // English is the messages' own language: nothing to read.
        if (language == "en" || language == "C") return;
        MoCatalogue catalogue = MoCatalogue::FromFile(
            folder / (std::string(kTranslationDomain) + "." + language + ".mo"));
        if (!catalogue.Empty()) {
            Catalogue() = std::move(catalogue);
            return;
        }
    }
}

namespace {
// The chosen catalogue, else the one of the user's language.
const MoCatalogue& Current() {
    const MoCatalogue* fixed = FixedCatalogue();
    return fixed != nullptr ? *fixed : Catalogue();
}
}  // namespace

const char* Tr(const char* message) {
    const char* translation = Current().Find(message);
    return translation != nullptr ? translation : message;
}

const char* TrC(const char* context, const char* message) {
    const char* translation = Current().Find(ContextKey(context, message));
    return translation != nullptr ? translation : message;
}

const char* TrN(const char* singular, const char* plural, std::uint64_t n) {
    if (const char* translation = Current().FindPlural(singular, n)) return translation;
    return n == 1 ? singular : plural;
}
