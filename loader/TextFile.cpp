// SPDX-License-Identifier: MIT
#include "loader/TextFile.h"

#include <cstring>
#include <vector>

#include "loader/SystemFile.h"

namespace {
constexpr char kCtrlZ = 26;
constexpr size_t kBufferSize = 64 * 1024;
}  // namespace

struct TextFile::Impl {
    std::unique_ptr<SystemFile> file;  // none when reading bytes already read
    std::string_view bytes;            // those bytes, handed out as one buffer
    std::vector<char> fileBuffer;
    const char* buffer = nullptr;  // the bytes in hand: fileBuffer's or `bytes`
    size_t pos = 0;
    size_t len = 0;
    bool atEnd = false;  // no more bytes, or a Ctrl-Z ended the file

    // True when at least one unread byte is in the buffer.
    bool Fill() {
        if (pos < len) return true;
        if (atEnd) return false;
        size_t n = 0;
        if (file) {
            fileBuffer.resize(kBufferSize);
            buffer = fileBuffer.data();
            n = file->Read(fileBuffer.data(), fileBuffer.size());
        } else {
            buffer = bytes.data();
            n = bytes.size();
            bytes = {};
        }
        if (n == 0) {
            atEnd = true;
            return false;
        }
        pos = 0;
        len = n;
        return true;
    }

    // Consumes bytes up to and including the next LF (the rest of a line cut by a Ctrl-Z).
    void SkipToLineEnd() {
        while (Fill()) {
            const char* start = buffer + pos;
            const void* lf = std::memchr(start, '\n', len - pos);
            if (lf) {
                pos += static_cast<size_t>(static_cast<const char*>(lf) - start) + 1;
                return;
            }
            pos = len;
        }
    }
};

std::string ReadFileBytes(const std::string& path) {
    const std::unique_ptr<SystemFile> file = OpenSystemFile(path);
    std::string bytes;
    for (;;) {
        const size_t before = bytes.size();
        bytes.resize(before + kBufferSize);
        const size_t got = file->Read(bytes.data() + before, kBufferSize);
        bytes.resize(before + got);
        if (got == 0) return bytes;
    }
}

TextFile::TextFile() : impl_(std::make_unique<Impl>()) {}

TextFile::TextFile(const std::string& path) : TextFile() {
    impl_->file = OpenSystemFile(path);
}

TextFile TextFile::FromBytes(std::string_view bytes) {
    TextFile text;
    text.impl_->bytes = bytes;
    return text;
}

TextFile::~TextFile() = default;
TextFile::TextFile(TextFile&&) noexcept = default;

void TextFile::ReadLine(std::string& line) {
    Impl& f = *impl_;
    line.clear();
    bool lineStarted = false;  // a byte of this line has been consumed
    while (f.Fill()) {
        const char* start = f.buffer + f.pos;
        const char* end = f.buffer + f.len;
        const char* p = start;
        while (p != end && *p != '\n' && *p != '\r' && *p != kCtrlZ)
            ++p;
        line.append(start, p);
        if (p != start) lineStarted = true;
        f.pos += static_cast<size_t>(p - start);
        if (p == end) continue;

        char c = *p;
        ++f.pos;
        if (c == '\n') return;
        if (c == kCtrlZ) {
            if (!lineStarted) {
                // Ctrl-Z at the start of a line: it and everything after it are ignored.
                f.atEnd = true;
                f.pos = f.len;
                return;
            }
            f.SkipToLineEnd();
            return;
        }
        // CR: part of a CR LF line end, or dropped when no LF follows.
        lineStarted = true;
        if (f.Fill() && f.buffer[f.pos] == '\n') {
            ++f.pos;
            return;
        }
    }
}

bool TextFile::Eof() {
    Impl& f = *impl_;
    if (!f.Fill()) return true;
    if (f.buffer[f.pos] == kCtrlZ) {
        f.atEnd = true;
        f.pos = f.len;
        return true;
    }
    return false;
}
