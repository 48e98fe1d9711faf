// SPDX-License-Identifier: MIT
// The words on a system without gettext and without a catalogue beside the program (a page in
// the browser): English, unless the program chose a catalogue with UseCatalogue.
#include "base/FixedCatalogue.h"
#include "base/Translation.h"

void SetUpTranslation() {
    ForgetFixedCatalogue();
}

const char* Tr(const char* message) {
    const MoCatalogue* fixed = FixedCatalogue();
    const char* translation = fixed != nullptr ? fixed->Find(message) : nullptr;
    return translation != nullptr ? translation : message;
}

const char* TrC(const char* context, const char* message) {
    const MoCatalogue* fixed = FixedCatalogue();
    const char* translation =
        fixed != nullptr ? fixed->Find(ContextKey(context, message)) : nullptr;
    return translation != nullptr ? translation : message;
}

const char* TrN(const char* singular, const char* plural, std::uint64_t n) {
    const MoCatalogue* fixed = FixedCatalogue();
    if (const char* translation = fixed != nullptr ? fixed->FindPlural(singular, n) : nullptr)
        return translation;
    return n == 1 ? singular : plural;
}
