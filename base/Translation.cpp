// SPDX-License-Identifier: MIT
#include "base/Translation.h"

#include <memory>
#include <string>

#include "base/FixedCatalogue.h"

namespace {
// Set once at a program's start (or by a test), before any word is made.
std::unique_ptr<MoCatalogue>& Fixed() {
    static std::unique_ptr<MoCatalogue> catalogue;
    return catalogue;
}
}  // namespace

const MoCatalogue* FixedCatalogue() {
    return Fixed().get();
}

void ForgetFixedCatalogue() {
    Fixed().reset();
}

void UseCatalogue(std::string_view mo) {
    Fixed() = std::make_unique<MoCatalogue>(std::vector<char>(mo.begin(), mo.end()));
}

std::string ContextKey(const char* context, const char* message) {
    std::string key = context;
    key += '\4';
    key += message;
    return key;
}
