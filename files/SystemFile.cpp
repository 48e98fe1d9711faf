// SPDX-License-Identifier: MIT
#include "files/SystemFile.h"

#include <algorithm>
#include <cstdint>
#include <functional>

#include "loader/TextFile.h"

namespace {
constexpr size_t kBufferSize = 64 * 1024;

std::string ReadAll(SystemFile& file, size_t limit = SIZE_MAX) {
    std::string bytes;
    while (bytes.size() < limit) {
        const size_t before = bytes.size();
        const size_t wanted = std::min(kBufferSize, limit - before);
        bytes.resize(before + wanted);
        const size_t got = file.Read(bytes.data() + before, wanted);
        bytes.resize(before + got);
        if (got == 0) break;
    }
    return bytes;
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
        case FileFault::Folder:
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

std::string ReadFileStart(const std::string& path, size_t limit) {
    const std::unique_ptr<SystemFile> file = OpenSystemFile(path);
    return ReadAll(*file, limit);
}

TextFile::TextFile(const std::string& path)
    : TextFile(std::function<std::string()>(
          [file = std::shared_ptr<SystemFile>(OpenSystemFile(path))] { return ReadAll(*file); })) {}
