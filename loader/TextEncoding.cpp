// SPDX-License-Identifier: MIT
#include "loader/TextEncoding.h"

#include <array>
#include <cstdint>

#include "loader/Errors.h"

namespace {
using namespace std::string_view_literals;

struct Mark {
    std::string_view bytes;
    const char* name;
};

// Longest first where one mark begins another (UTF-32LE begins with UTF-16LE's).
constexpr std::array kForeignMarks{
    Mark{"\xFF\xFE\x00\x00"sv, "UTF-32LE"}, Mark{"\x00\x00\xFE\xFF"sv, "UTF-32BE"},
    Mark{"\x84\x31\x95\x33"sv, "GB 18030"}, Mark{"\xDD\x73\x66\x73"sv, "UTF-EBCDIC"},
    Mark{"\x2B\x2F\x76"sv, "UTF-7"},        Mark{"\xF7\x64\x4C"sv, "UTF-1"},
    Mark{"\x0E\xFE\xFF"sv, "SCSU"},         Mark{"\xFB\xEE\x28"sv, "BOCU-1"},
};
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";
constexpr char32_t kReplacement = 0xFFFD;

[[noreturn]] void RefuseEncoding(ConversionFault fault, const char* name) {
    throw EConvertError({.fault = fault, .text = name});
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Broken text (an unpaired surrogate, an odd last byte) becomes U+FFFD, which no record field
// takes: the line is then refused by the record rules with its line number.
void DecodeUtf16(std::string_view units, bool bigEndian, std::string& out) {
    out.clear();
    out.reserve(units.size() / 2);
    const auto unitAt = [&](size_t i) {
        const auto first = static_cast<uint8_t>(units[i]);
        const auto second = static_cast<uint8_t>(units[i + 1]);
        return static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
    };
    size_t i = 0;
    for (; i + 1 < units.size(); i += 2) {
        const char16_t unit = unitAt(i);
        if (unit < 0xD800 || unit > 0xDFFF) {
            AppendUtf8(out, unit);
            continue;
        }
        if (unit <= 0xDBFF && i + 3 < units.size()) {
            const char16_t low = unitAt(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((char32_t{unit} - 0xD800) << 10) + (low - 0xDC00));
                i += 2;
                continue;
            }
        }
        AppendUtf8(out, kReplacement);
    }
    if (i < units.size()) AppendUtf8(out, kReplacement);
}
}  // namespace

std::string_view DecodeUpdateText(std::string_view bytes, std::string& storage) {
    for (const Mark& mark : kForeignMarks)
        if (bytes.starts_with(mark.bytes))
            RefuseEncoding(ConversionFault::ForeignEncoding, mark.name);
    if (bytes.starts_with(kUtf8Mark)) return bytes.substr(kUtf8Mark.size());
    if (bytes.starts_with(kUtf16LeMark) || bytes.starts_with(kUtf16BeMark)) {
        DecodeUtf16(bytes.substr(2), bytes.starts_with(kUtf16BeMark), storage);
        return storage;
    }
    // Without a mark, UTF-16 shows as a record's start code beside a zero byte.
    if (bytes.starts_with(":\0"sv)) RefuseEncoding(ConversionFault::UnmarkedUtf16, "UTF-16LE");
    if (bytes.starts_with("\0:"sv)) RefuseEncoding(ConversionFault::UnmarkedUtf16, "UTF-16BE");
    return bytes;
}
