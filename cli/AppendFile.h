// SPDX-License-Identifier: MIT
#pragma once
// A file that text is appended to, each piece in one write at the file's end, so that the pieces
// of several processes sharing the file never mix: opened with O_APPEND on Linux; on Windows with
// the right to append (FILE_APPEND_DATA) and each write under a lock that all writers take, as
// Wine and network shares do not make an append one step by themselves.
#include <memory>
#include <string>

// What Append says of text that went in only in part (a full disk).
inline constexpr const char* kAppendCutShort =
    "cannot write: only part of a line went in (is the disk full?)";

class AppendFile {
public:
    // Opens `path` for appending, making it when missing. Throws SubjectError about `path`.
    explicit AppendFile(const std::string& path);
    ~AppendFile();
    AppendFile(const AppendFile&) = delete;
    AppendFile& operator=(const AppendFile&) = delete;

    // Writes `text` in one write. Throws SubjectError about the path when it did not go in whole.
    void Append(const std::string& text);

private:
    struct Native;
    std::string path_;
    std::unique_ptr<Native> native_;
};
