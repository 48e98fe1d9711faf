// SPDX-License-Identifier: MIT
#include "base/MoCatalogue.h"

#include <cstdint>
#include <cstring>
#include <fstream>
#include <optional>

namespace {

constexpr std::uint32_t kMagic = 0x950412de;
constexpr std::uint32_t kSwappedMagic = 0xde120495;
// A catalogue of this tool holds a few hundred messages; anything far larger is not one.
constexpr std::size_t kMaxBytes = 16 * 1024 * 1024;

class MoReader {
public:
    explicit MoReader(const std::vector<char>& bytes) : bytes_(bytes) {}

    std::optional<std::uint32_t> Word(std::size_t offset) const {
        if (offset > bytes_.size() || bytes_.size() - offset < 4) return std::nullopt;
        std::uint32_t value = 0;
        std::memcpy(&value, bytes_.data() + offset, 4);
        if (swapped_) value = Swap(value);
        return value;
    }
    void SetSwapped(bool swapped) { swapped_ = swapped; }

    // The string that entry `index` of the table at `table` describes; it must end in a NUL.
    std::optional<std::string_view> String(std::uint32_t table, std::uint32_t index) const {
        const std::size_t at = std::size_t{table} + std::size_t{index} * 8;
        const auto length = Word(at);
        const auto offset = Word(at + 4);
        if (!length || !offset) return std::nullopt;
        if (*offset >= bytes_.size() || bytes_.size() - *offset <= *length) return std::nullopt;
        if (bytes_[*offset + *length] != '\0') return std::nullopt;
        return std::string_view(bytes_.data() + *offset, *length);
    }

private:
    static std::uint32_t Swap(std::uint32_t v) {
        return (v >> 24) | ((v >> 8) & 0xff00) | ((v << 8) & 0xff0000) | (v << 24);
    }
    const std::vector<char>& bytes_;
    bool swapped_ = false;
};

// "nplurals=N" of the header's Plural-Forms line; 2 when it says nothing.
unsigned FormsOfHeader(std::string_view header) {
    const std::size_t at = header.find("nplurals=");
    if (at == std::string_view::npos) return 2;
    const char digit = at + 9 < header.size() ? header[at + 9] : '2';
    return digit >= '1' && digit <= '3' ? static_cast<unsigned>(digit - '0') : 2;
}

}  // namespace

unsigned PluralFormIndex(unsigned forms, std::uint64_t n) {
    switch (forms) {
        case 1:
            return 0;
        case 3:
            if (n % 10 == 1 && n % 100 != 11) return 0;
            if (n % 10 >= 2 && n % 10 <= 4 && (n % 100 < 10 || n % 100 >= 20)) return 1;
            return 2;
        default:
            return n == 1 ? 0 : 1;
    }
}

MoCatalogue::MoCatalogue(std::vector<char> bytes) : bytes_(std::move(bytes)) {
    MoReader reader(bytes_);
    const auto magic = reader.Word(0);
    if (!magic || (*magic != kMagic && *magic != kSwappedMagic)) return;
    reader.SetSwapped(*magic == kSwappedMagic);
    const auto count = reader.Word(8);
    const auto originals = reader.Word(12);
    const auto translations = reader.Word(16);
    if (!count || !originals || !translations || *count > bytes_.size() / 16) return;
    std::unordered_map<std::string_view, std::string_view> entries;
    unsigned forms = 2;
    for (std::uint32_t i = 0; i < *count; ++i) {
        const auto original = reader.String(*originals, i);
        const auto translation = reader.String(*translations, i);
        if (!original || !translation) return;
        if (original->empty()) {
            forms = FormsOfHeader(*translation);
            continue;
        }
        // A message with forms: "singular\0plural".
        const std::string_view id = original->substr(0, original->find('\0'));
        if (!translation->empty()) entries.emplace(id, *translation);
    }
    entries_ = std::move(entries);
    forms_ = forms;
}

MoCatalogue MoCatalogue::FromFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return {};
    std::vector<char> bytes;
    char chunk[4096];
    while (file.read(chunk, sizeof chunk) || file.gcount() > 0) {
        bytes.insert(bytes.end(), chunk, chunk + file.gcount());
        if (bytes.size() > kMaxBytes) return {};
    }
    return MoCatalogue(std::move(bytes));
}

const char* MoCatalogue::Find(std::string_view message) const {
    const auto found = entries_.find(message);
    // A translation ends in the NUL that the reader checked.
    return found == entries_.end() ? nullptr : found->second.data();
}

const char* MoCatalogue::FindPlural(std::string_view singular, std::uint64_t n) const {
    const auto found = entries_.find(singular);
    if (found == entries_.end()) return nullptr;
    std::string_view forms = found->second;
    for (unsigned index = PluralFormIndex(forms_, n); index > 0; --index) {
        const std::size_t end = forms.find('\0');
        if (end == std::string_view::npos) return nullptr;
        forms.remove_prefix(end + 1);
    }
    return forms.data();
}
