// SPDX-License-Identifier: MIT
#include "base/Translation.h"
#include "words/Words.h"

std::string FileProblemText(const FileProblem& problem) {
    switch (problem.fault) {
        case FileFault::NotFound:
            return Tr("File not found");
        case FileFault::InvalidName:
            return Tr("Invalid filename");
        case FileFault::TooManyOpen:
            return Tr("Too many open files");
        case FileFault::AccessDenied:
            return Tr("File access denied");
        case FileFault::DiskFull:
            return Tr("Disk full");
        case FileFault::Other:
            break;
    }
    return Fill(Tr("I/O error %1"), {std::to_string(problem.code)});
}
