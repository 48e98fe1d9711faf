// SPDX-License-Identifier: MIT
// The update file's errors on Windows, whose codes are the file-error table's own.
#include <windows.h>

#include <gtest/gtest.h>

#include "files/SystemFile.h"
#include "loader/Errors.h"
#include "loader/TextFile.h"
#include "support/TempFolder.h"

namespace {

std::string MessageOf(const std::string& path) {
    try {
        TextFile file(path);
    } catch (const EInOutError& e) {
        return e.what();
    }
    return "opened";
}

TEST(TextFileErrors, OpeningFailuresCarryTheFileErrorMessage) {
    TempFolder dir;
    EXPECT_EQ(MessageOf(dir / "missing.hex"), "File not found");
    EXPECT_EQ(MessageOf(dir / "nofolder/a.hex"), "Invalid filename") << "path not found";
    EXPECT_EQ(MessageOf(dir / "a?.hex"), "Invalid filename");
    EXPECT_EQ(MessageOf(dir / ""), "File access denied") << "a folder";
    EXPECT_EQ(MessageOf(dir.Write("f.hex", ":00000001FF\n")), "opened");
}

TEST(TextFileErrors, TheTablesCodesAndTheRest) {
    EXPECT_EQ(FileErrorMessage(ERROR_TOO_MANY_OPEN_FILES), "Too many open files");
    EXPECT_EQ(FileErrorMessage(ERROR_ACCESS_DENIED), "File access denied");
    EXPECT_EQ(FileErrorMessage(ERROR_DISK_FULL), "Disk full");
    EXPECT_EQ(FileErrorMessage(ERROR_NOT_READY), "I/O error 21");
}

}  // namespace
