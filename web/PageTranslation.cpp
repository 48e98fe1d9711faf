// SPDX-License-Identifier: MIT
// The words in the browser: the catalogue the page chose (UseCatalogue), or the English ids.
// There is no environment to take a language from.
#include "base/FixedCatalogue.h"
#include "base/Translation.h"

void SetUpTranslation() {
    ForgetFixedCatalogue();
}

const char* Tr(const char* message) {
    if (*message == '\0') return message;
    const MoCatalogue* fixed = FixedCatalogue();
    const char* translation = fixed ? fixed->Find(message) : nullptr;
    return translation != nullptr ? translation : message;
}

const char* TrC(const char* context, const char* message) {
    const MoCatalogue* fixed = FixedCatalogue();
    const char* translation = fixed ? fixed->Find(ContextKey(context, message)) : nullptr;
    return translation != nullptr ? translation : message;
}

const char* TrN(const char* singular, const char* plural, std::uint64_t n) {
    const MoCatalogue* fixed = FixedCatalogue();
    if (const char* translation = fixed ? fixed->FindPlural(singular, n) : nullptr)
        return translation;
    return n == 1 ? singular : plural;
}
