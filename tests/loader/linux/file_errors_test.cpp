// SPDX-License-Identifier: MIT
// The update file's errors on Linux: errno codes and the file-error table's messages.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cerrno>
#include <exception>
#include <filesystem>
#include <memory>
#include <vector>

#include "files/SystemFile.h"
#include "files/UpdateFiles.h"
#include "loader/Errors.h"
#include "loader/TextFile.h"
#include "release/ReleaseSignature.h"
#include "support/TempFolder.h"

namespace {

TEST(TextFileErrors, OpeningFailuresCarryTheFileErrorMessage) {
    TempFolder dir;
    auto messageOf = [](const std::string& path) -> std::string {
        try {
            TextFile file(path);
        } catch (const EInOutError& e) {
            return e.what();
        }
        return "opened";
    };
    EXPECT_EQ(messageOf((dir / "missing.hex")), "File not found");
    EXPECT_EQ(messageOf(""), "File not found");
    std::string plain = dir.Write("plain.hex", "x");
    EXPECT_EQ(messageOf(plain + "/inside.hex"), "Invalid filename");
    EXPECT_EQ(messageOf((dir / "nofolder/a.hex")), "File not found");
    EXPECT_EQ(messageOf((dir / "")), "File access denied") << "a folder, to the window";
    try {
        ReadFileBytes(dir / "");
        ADD_FAILURE() << "a folder read";
    } catch (const EInOutError& e) {
        EXPECT_EQ(e.Fault(), FileFault::Folder) << "the other front ends say what it is";
    }
    EXPECT_EQ(messageOf(std::string(5000, 'n') + ".hex"), "Invalid filename");
}

TEST(TextFileErrors, TooManyOpenFiles) {
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
    TempFolder dir;
    std::string path = dir.Write("f.hex", "x");
    std::vector<std::unique_ptr<TextFile>> open;
    rlimit low = saved;
    low.rlim_cur = 64;
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &low), 0);
    // The error is looked at, and the files closed, only once descriptors are free again: the
    // sanitizers need one.
    std::exception_ptr error;
    try {
        for (int i = 0; i < 100; ++i)
            open.push_back(std::make_unique<TextFile>(path));
    } catch (...) {
        error = std::current_exception();
    }
    setrlimit(RLIMIT_NOFILE, &saved);
    open.clear();
    std::string message;
    try {
        if (error) std::rethrow_exception(error);
    } catch (const EInOutError& e) {
        message = e.what();
    }
    EXPECT_EQ(message, "Too many open files");
}

TEST(TextFileErrors, OtherErrorNumbersAreIoErrorsEvenWhenTheyLookLikeTableCodes) {
    // EIO's number is the table's "access denied" code; it must still read as an I/O error.
    EXPECT_EQ(FileErrorMessage(EIO), "I/O error " + std::to_string(EIO));
    EXPECT_EQ(FileErrorMessage(EACCES), "File access denied");
}

TEST(TextFileErrors, ReadErrorIsRaisedNotTakenAsEndOfFile) {
    // /proc/self/mem opens but its first page cannot be read.
    std::unique_ptr<TextFile> file;
    try {
        file = std::make_unique<TextFile>("/proc/self/mem");
    } catch (const EInOutError&) {
        GTEST_SKIP() << "/proc/self/mem cannot be opened here";
    }
    std::string message;
    try {
        std::string line;
        file->ReadLine(line);
    } catch (const EInOutError& e) {
        message = e.what();
    }
    EXPECT_EQ(message, "I/O error " + std::to_string(EIO));
}

TEST(TextFileErrors, ADeviceInTheSignaturesPlaceIsReadNoFurtherThanASignature) {
    TempFolder dir;
    const std::string file = dir.Write("fw.hex", ":00000001FF\n");
    std::filesystem::create_symlink("/dev/zero", file + ".minisig");
    const SignaturePolicy policy{
        {ParsePublicKey("RWSlVINZoZPQuL9qnhwcoBux7GxwwegSq1UCPOcpnU1e1TaasSK6zwV3")}, false};
    try {
        CheckReleaseSignature(file, ":00000001FF\n", policy);
        ADD_FAILURE() << "endless zeros taken for a signature";
    } catch (const ESignatureError& e) {
        EXPECT_EQ(e.Problem().fault, SignatureFault::Malformed);
    }
}
}  // namespace
