// SPDX-License-Identifier: MIT
#pragma once
// A compiled message catalogue (the .mo files of msgfmt) read without libintl, for the systems
// that have none (Windows). The numbers' forms follow the catalogue's count of them: one, two
// (English-like: one and the rest) or three (Russian: one form after 1, another after 2 to 4,
// a third after 5).
#include <cstdint>
#include <filesystem>
#include <string_view>
#include <unordered_map>
#include <vector>

class MoCatalogue {
public:
    MoCatalogue() = default;
    // The catalogue in `bytes`; one that is damaged in any way is empty, so that the English
    // texts show rather than wrong ones.
    explicit MoCatalogue(std::vector<char> bytes);
    // The catalogue in the file at `path`; empty when it cannot be read.
    static MoCatalogue FromFile(const std::filesystem::path& path);

    MoCatalogue(MoCatalogue&&) = default;
    MoCatalogue& operator=(MoCatalogue&&) = default;
    // The entries point into the bytes.
    MoCatalogue(const MoCatalogue&) = delete;
    MoCatalogue& operator=(const MoCatalogue&) = delete;

    bool Empty() const { return entries_.empty(); }
    // The translation of `message`, or nullptr.
    const char* Find(std::string_view message) const;
    // The form for `n` of the message whose singular is `singular`, or nullptr.
    const char* FindPlural(std::string_view singular, std::uint64_t n) const;

private:
    std::vector<char> bytes_;
    // The message id (the singular for the messages with forms) -> its translation (the forms
    // one after the other, each ending in a NUL).
    std::unordered_map<std::string_view, std::string_view> entries_;
    unsigned forms_ = 2;
};

// The index of the form for `n` among `forms` forms: the rule of English for two, of Russian for
// three.
unsigned PluralFormIndex(unsigned forms, std::uint64_t n);
