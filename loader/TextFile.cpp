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
    std::unique_ptr<SystemFile> file;
    std::vector<char> buffer = std::vector<char>(kBufferSize);
    size_t pos = 0;
    size_t len = 0;
    bool atEnd = false;  // no more bytes, or a Ctrl-Z ended the file

    // True when at least one unread byte is in the buffer.
    bool Fill() {
        if (pos < len) return true;
        if (atEnd) return false;
        const size_t n = file->Read(buffer.data(), buffer.size());
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
            const char* start = buffer.data() + pos;
            const void* lf = std::memchr(start, '\n', len - pos);
            if (lf) {
                pos += static_cast<size_t>(static_cast<const char*>(lf) - start) + 1;
                return;
            }
            pos = len;
        }
    }
};

TextFile::TextFile(const std::string& path) : impl_(std::make_unique<Impl>()) {
    impl_->file = OpenSystemFile(path);
}

TextFile::~TextFile() = default;

void TextFile::ReadLine(std::string& line) {
    Impl& f = *impl_;
    line.clear();
    bool lineStarted = false;  // a byte of this line has been consumed
    while (f.Fill()) {
        const char* start = f.buffer.data() + f.pos;
        const char* end = f.buffer.data() + f.len;
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
