// SPDX-License-Identifier: MIT
#include "loader/SystemFile.h"

#include <functional>

#include "loader/TextFile.h"

namespace {
constexpr size_t kBufferSize = 64 * 1024;

std::string ReadAll(SystemFile& file) {
    std::string bytes;
    for (;;) {
        const size_t before = bytes.size();
        bytes.resize(before + kBufferSize);
        const size_t got = file.Read(bytes.data() + before, kBufferSize);
        bytes.resize(before + got);
        if (got == 0) return bytes;
    }
}
}  // namespace

std::string FileErrorMessage(int code) {
    switch (FileFaultOf(code)) {
        case FileFault::NotFound:
            return "File not found";
        case FileFault::InvalidName:
            return "Invalid filename";
        case FileFault::TooManyOpen:
            return "Too many open files";
        case FileFault::AccessDenied:
            return "File access denied";
        case FileFault::DiskFull:
            return "Disk full";
        case FileFault::Other:
            break;
    }
    return "I/O error " + std::to_string(code);
}

EInOutError FileError(int code) {
    return EInOutError(FileFaultOf(code), code, FileErrorMessage(code));
}

std::string ReadFileBytes(const std::string& path) {
    const std::unique_ptr<SystemFile> file = OpenSystemFile(path);
    return ReadAll(*file);
}

TextFile::TextFile(const std::string& path)
    : TextFile(std::function<std::string()>(
          [file = std::shared_ptr<SystemFile>(OpenSystemFile(path))] { return ReadAll(*file); })) {}
