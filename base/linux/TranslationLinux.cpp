// SPDX-License-Identifier: MIT
// The words on Linux: glibc's gettext and the catalogue of the installed tree, or of the build
// tree that the program runs from.
#include <libintl.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "base/FixedCatalogue.h"
#include "base/Translation.h"

namespace {

const char* Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? value : nullptr;
}

// TEVR_LOCALEDIR, else share/locale beside the program's folder or one above it (the installed
// tree; the build tree, whose programs lie one or two folders deep), else the folder the build was
// configured for.
std::string LocaleFolder() {
    if (const char* folder = Variable("TEVR_LOCALEDIR")) return folder;
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        std::filesystem::path above = program.parent_path();
        for (int level = 0; level < 2 && above.has_parent_path(); ++level) {
            above = above.parent_path();
            const std::filesystem::path beside = above / "share/locale";
            if (std::filesystem::is_directory(beside / "ru", error)) return beside.string();
        }
    }
    return TEVR_LOCALEDIR;
}

}  // namespace

void SetUpTranslation() {
    ForgetFixedCatalogue();
    // Only the messages follow the locale: numbers, the C library's character classes and
    // everything machine-readable stay as they are.
    if (std::setlocale(LC_MESSAGES, "") == nullptr) {
        // A locale the system has not generated (a bare container's ru_RU.UTF-8): gettext would
        // fall back to English, yet the variable names the language all the same.
        std::setlocale(LC_MESSAGES, "C.UTF-8");
        const char* name = Variable("LC_ALL");
        if (name == nullptr) name = Variable("LC_MESSAGES");
        if (name == nullptr) name = Variable("LANG");
        if (name != nullptr && Variable("LANGUAGE") == nullptr) ::setenv("LANGUAGE", name, 1);
    }
    ::bindtextdomain(kTranslationDomain, LocaleFolder().c_str());
    // The catalogue's texts as they are written, whatever the terminal's character set: the
    // programs write UTF-8.
    ::bind_textdomain_codeset(kTranslationDomain, "UTF-8");
    // The C library's own texts (strerror) too: with the character classes of the C locale
    // they would come transliterated ("Net takogo fajla").
    ::bind_textdomain_codeset("libc", "UTF-8");
    // Also makes gettext forget what it found before, when the environment has changed.
    ::textdomain(kTranslationDomain);
}

const char* Tr(const char* message) {
    // gettext gives the catalogue's header for the empty text.
    if (*message == '\0') return message;
    if (const MoCatalogue* fixed = FixedCatalogue()) {
        const char* translation = fixed->Find(message);
        return translation != nullptr ? translation : message;
    }
    return ::dgettext(kTranslationDomain, message);
}

const char* TrC(const char* context, const char* message) {
    const std::string key = ContextKey(context, message);
    const char* translation = nullptr;
    if (const MoCatalogue* fixed = FixedCatalogue())
        translation = fixed->Find(key);
    else
        translation = ::dgettext(kTranslationDomain, key.c_str());
    // gettext hands back its argument, a temporary here, when it knows no translation.
    return translation != nullptr && translation != key.c_str() ? translation : message;
}

const char* TrN(const char* singular, const char* plural, std::uint64_t n) {
    if (const MoCatalogue* fixed = FixedCatalogue()) {
        if (const char* translation = fixed->FindPlural(singular, n)) return translation;
        return n == 1 ? singular : plural;
    }
    return ::dngettext(kTranslationDomain, singular, plural, static_cast<unsigned long>(n));
}
