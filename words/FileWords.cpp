// SPDX-License-Identifier: MIT
#include "base/Translation.h"
#include "words/Words.h"

std::string FileProblemText(const FileProblem& problem) {
    switch (problem.fault) {
        case FileFault::NotFound:
            return Tr("file not found");
        case FileFault::InvalidName:
            return Tr("invalid file name");
        case FileFault::TooManyOpen:
            return Tr("too many open files");
        case FileFault::AccessDenied:
            return Tr("access to the file denied");
        case FileFault::DiskFull:
            return Tr("the disk is full");
        case FileFault::Folder:
            return Tr("this is a folder, not a file");
        case FileFault::Other:
            break;
    }
    return Fill(Tr("input/output error %1"), {std::to_string(problem.code)});
}
