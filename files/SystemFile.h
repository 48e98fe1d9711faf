// SPDX-License-Identifier: MIT
#pragma once
// The update file as the system opens and reads it, and the messages of the system's file
// errors. Each platform implements it in its own folder (files/linux/SystemFileLinux.cpp); the
// portable core never calls it (tevr_loader_files).
#include <cstddef>
#include <memory>
#include <string>

#include "loader/Errors.h"

class SystemFile {
public:
    virtual ~SystemFile() = default;
    // Up to `size` bytes into `buffer`; 0 at the end of the file. Throws EInOutError.
    virtual size_t Read(char* buffer, size_t size) = 0;
};

// Opens `path` for reading; a folder, or a pipe without a writer, never blocks the caller.
// Throws EInOutError with the file error's message.
std::unique_ptr<SystemFile> OpenSystemFile(const std::string& path);

// The file error of a system error code (each platform's own table).
FileFault FileFaultOf(int code);

// The message of the file error for a system error code: the table's texts for the errors it
// names ("File not found", "Invalid filename", "Too many open files", "File access denied",
// "Disk full"), "I/O error <code>" for any other.
std::string FileErrorMessage(int code);

// The file error of a system error code, as thrown.
EInOutError FileError(int code);

// Every byte of the file, read once. Throws EInOutError.
std::string ReadFileBytes(const std::string& path);
// Its first `limit` bytes at most, for a file that is refused when longer: a device named in its
// place never holds the caller up. Throws EInOutError.
std::string ReadFileStart(const std::string& path, size_t limit);
