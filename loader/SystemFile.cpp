// SPDX-License-Identifier: MIT
#include "loader/SystemFile.h"

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
