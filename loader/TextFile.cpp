// SPDX-License-Identifier: MIT
#include "loader/TextFile.h"

#include "loader/TextEncoding.h"

namespace {
constexpr char kCtrlZ = 26;
}  // namespace

struct TextFile::Impl {
    std::function<std::string()> read;  // the file's, at the first line; none for bytes given
    std::string fileBytes;
    std::string_view bytes;  // the file's bytes
    std::string decoded;     // their text, where it had to be decoded
    std::string_view text;   // what the lines are read from
    size_t pos = 0;
    bool ready = false;
    bool atEnd = false;    // a Ctrl-Z ended the file
    bool crLines = false;  // every line ends with CR alone

    // Reads the file at its first line, so that opening and reading fail apart as they always did.
    void Prepare() {
        if (ready) return;
        if (read) {
            fileBytes = read();
            // The file closes once read.
            read = nullptr;
            bytes = fileBytes;
        }
        text = DecodeUpdateText(bytes, decoded);
        // A file of the classic Mac convention has CRs and no LF at all: its CRs end its lines.
        // A lone CR among LF line ends is dropped as ever.
        crLines =
            text.find('\n') == std::string_view::npos && text.find('\r') != std::string_view::npos;
        ready = true;
    }

    bool More() const { return !atEnd && pos < text.size(); }

    // Where the next LF, CR or Ctrl-Z stands from `pos` on, or the end of the text: one look at
    // each byte, which for a record's characters (all above Ctrl-Z) is one comparison.
    size_t NextStop() const {
        const char* const begin = text.data();
        const char* const end = begin + text.size();
        const char* p = begin + pos;
        for (; p != end; ++p) {
            const auto c = static_cast<unsigned char>(*p);
            if (c <= kCtrlZ && (c == '\n' || c == '\r' || c == kCtrlZ)) break;
        }
        return static_cast<size_t>(p - begin);
    }

    // Consumes the rest of a line cut by a Ctrl-Z, up to and including its line end.
    void SkipToLineEnd() {
        const size_t end = text.find(crLines ? '\r' : '\n', pos);
        pos = end == std::string_view::npos ? text.size() : end + 1;
    }
};

TextFile::TextFile() : impl_(std::make_unique<Impl>()) {}

TextFile::TextFile(std::function<std::string()> read) : TextFile() {
    impl_->read = std::move(read);
}

TextFile TextFile::FromBytes(std::string_view bytes) {
    TextFile text;
    text.impl_->bytes = bytes;
    // Bytes in hand have no read to fail apart from: their encoding is decided at once.
    text.impl_->Prepare();
    return text;
}

TextFile::~TextFile() = default;
TextFile::TextFile(TextFile&&) noexcept = default;

void TextFile::ReadLine(std::string& line) {
    Impl& f = *impl_;
    f.Prepare();
    line.clear();
    bool lineStarted = false;  // a byte of this line has been consumed
    while (f.More()) {
        const size_t stop = f.NextStop();
        line.append(f.text.substr(f.pos, stop - f.pos));
        if (stop != f.pos) lineStarted = true;
        f.pos = stop;
        if (stop == f.text.size()) return;

        const char c = f.text[stop];
        ++f.pos;
        if (c == '\n') return;
        if (c == kCtrlZ) {
            if (!lineStarted) {
                // Ctrl-Z at the start of a line: it and everything after it are ignored.
                f.atEnd = true;
                return;
            }
            f.SkipToLineEnd();
            return;
        }
        // CR: a line end of its own in a CR file; elsewhere part of CR LF, or dropped.
        if (f.crLines) return;
        lineStarted = true;
        if (f.More() && f.text[f.pos] == '\n') {
            ++f.pos;
            return;
        }
    }
}

bool TextFile::Eof() {
    Impl& f = *impl_;
    f.Prepare();
    if (!f.More()) return true;
    if (f.text[f.pos] == kCtrlZ) {
        f.atEnd = true;
        return true;
    }
    return false;
}
