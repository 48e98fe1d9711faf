// SPDX-License-Identifier: MIT
#pragma once
// An update file read as text, line by line: from its bytes read once, or from the file itself.
// Opening throws EInOutError with the file error's message ("File not found", "File access
// denied", "I/O error %d", ...). The text is the file's bytes after a UTF-8 byte-order mark, or
// its UTF-16 text decoded (see TextEncoding.h).
#include <functional>
#include <memory>
#include <string>
#include <string_view>

class TextFile {
public:
    // Opens; throws EInOutError. It reads through the system's file calls, and so comes with
    // them (tevr_loader_files, files/SystemFile.cpp): the portable core reads bytes in hand.
    explicit TextFile(const std::string& path);
    // Reads `bytes`, which must outlive the reader, as the file's contents. Throws EConvertError
    // for a text in an encoding that cannot be read.
    static TextFile FromBytes(std::string_view bytes);
    ~TextFile();
    TextFile(TextFile&&) noexcept;
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;

    // Reads the next line into `line` (line end not included). Throws EInOutError on a read error,
    // EConvertError for a text in an encoding that cannot be read. A line ends at LF or CR LF; a
    // lone CR is dropped, except in a file without any LF, whose lines end at their CRs. Ctrl-Z at
    // the start of a line, or as the last character of the file, ends the file; inside a line it
    // ends the line's text and the rest of that line is skipped. Reading past the end gives an
    // empty line.
    void ReadLine(std::string& line);
    // End of file, tested after each line as the reading rules require: a line end at the very end
    // of the file gives no further line.
    bool Eof();

private:
    TextFile();
    // The bytes come from `read` at the first line, so that opening and reading fail apart.
    explicit TextFile(std::function<std::string()> read);
    struct Impl;
    std::unique_ptr<Impl> impl_;
};
