#pragma once
// An update file opened for reading as text, line by line. Opening throws EInOutError with the
// file error's message ("File not found", "File access denied", "I/O error %d", ...).
#include <cstdio>
#include <memory>
#include <string>

class TextFile {
public:
    explicit TextFile(const std::string& path);  // opens; throws EInOutError
    ~TextFile();
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;

    // Reads the next line into `line` (line end not included). Throws EInOutError on a read error.
    void ReadLine(std::string& line);
    // End of file, tested after each line as the reading rules require.
    bool Eof();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};
