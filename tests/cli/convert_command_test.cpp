// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "FlashRun.h"
#include "support/SampleFiles.h"
#include "support/TempFolder.h"

namespace {

TEST(ConvertCommand, PrintsTheTransferScriptOrTheRecordList) {
    FlashRun script = TevrFlash({"convert", ExamplePath("worked.hex")});
    EXPECT_EQ(script.status, 0);
    EXPECT_EQ(script.err, "");
    EXPECT_EQ(script.out,
              "cmd 01:0000\n"
              "cmd 02:0000 40 000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E1F"
              "00000000000000000000000000000000303132333435363738393A3B3C3D3E3F\n"
              "cmd 02:0080 08 A0A1A2A3A4A5A6A7\n"
              "cmd 01:0200\n"
              "cmd 02:0200 10 C0C1C2C3C4C5C6C7C8C9CACBCCCDCECF\n");

    FlashRun records = TevrFlash({"convert", "--records", ExamplePath("worked.hex")});
    EXPECT_EQ(records.status, 0);
    EXPECT_EQ(records.out,
              "cmd 01:0000\n"
              "cmd 02:0000 10 000102030405060708090A0B0C0D0E0F\n"
              "cmd 02:0010 10 101112131415161718191A1B1C1D1E1F\n"
              "cmd 02:0020 10 00000000000000000000000000000000\n"
              "cmd 02:0030 10 303132333435363738393A3B3C3D3E3F\n"
              "cmd 03:0080\n"
              "cmd 02:0080 08 A0A1A2A3A4A5A6A7\n"
              "cmd 01:0200\n"
              "cmd 02:0200 10 C0C1C2C3C4C5C6C7C8C9CACBCCCDCECF\n");
    EXPECT_EQ(TevrFlash({"convert", ExamplePath("ctrl-z.hex"), "--records"}).out, records.out);
}

TEST(ConvertCommand, ErrorsPrintTheirMessageAloneAndExitOne) {
    FlashRun missing = TevrFlash({"convert", TEVR_SOURCE_DIR "/examples/none.hex"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_EQ(missing.err, "tevr-flash: " TEVR_SOURCE_DIR "/examples/none.hex: file not found\n");

    FlashRun records = TevrFlash({"convert", "--records", TEVR_SOURCE_DIR});
    EXPECT_EQ(records.status, 1);
    EXPECT_EQ(records.err, "tevr-flash: " TEVR_SOURCE_DIR ": this is a folder, not a file\n");

    // A refused record prints nothing on stdout, not even the part converted before it.
    FlashRun refused = TevrFlash({"convert", TEVR_SOURCE_DIR "/CMakeLists.txt"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.out, "");
    EXPECT_NE(refused.err.find(": line 1: the record does not begin with ':'\n"),
              std::string::npos);
    EXPECT_EQ(refused.err.find('\n'), refused.err.size() - 1) << "one line";
}

TEST(ConvertCommand, TextAsOtherSystemsSaveItConvertsWhole) {
    const std::string script = TevrFlash({"convert", ExamplePath("worked.hex")}).out;
    for (const char* file : {"cr-only.hex", "utf8-bom.hex", "utf16le.hex"}) {
        FlashRun run = TevrFlash({"convert", ExamplePath(file)});
        EXPECT_EQ(run.status, 0) << file << ": " << run.err;
        EXPECT_EQ(run.out, script) << file;
    }
}

TEST(ConvertCommand, ALineIsOneRecordAndARefusedFieldNamesItsLine) {
    TempFolder dir;
    const std::string first = Record(0, CountingBytes(0, 16));
    const std::string pasted =
        dir.Write("pasted.hex", first + Record(0x10, CountingBytes(0x10, 16)) + "\n" + kEndOfFile);
    FlashRun run = TevrFlash({"convert", pasted});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "tevr-flash: " + pasted +
                           ": line 1: another record begins after the record's checksum; every "
                           "record must stand on a line of its own\n");

    const std::string badField = dir.Write("field.hex", Lines({first, first, ":1G"}));
    EXPECT_EQ(TevrFlash({"convert", badField}).err,
              "tevr-flash: " + badField + ": line 3: '$1G' is not a valid integer value\n");
}

TEST(ConvertCommand, LostOutputIsAnError) {
    std::ostringstream broken;
    broken.setstate(std::ios::badbit);
    FlashRun run = TevrFlash({"convert", ExamplePath("worked.hex")}, &broken);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "tevr-flash: cannot write the output\n");
}

TEST(CommandLine, UsageErrorsExitTwoWithoutRunning) {
    for (const auto& args : std::vector<std::vector<std::string>>{{},
                                                                  {"convert"},
                                                                  {"convert", "a.hex", "b.hex"},
                                                                  {"convert", "--bogus", "a.hex"},
                                                                  {"frobnicate"},
                                                                  {"convert", "--records"}}) {
        FlashRun run = TevrFlash(args);
        EXPECT_EQ(run.status, 2) << testing::PrintToString(args);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err, "");
        EXPECT_EQ(run.err.find("File not found"), std::string::npos) << "nothing ran";
    }
}

TEST(CommandLine, HelpListsTheExitStatuses) {
    for (const auto& args : std::vector<std::vector<std::string>>{{"--help"},
                                                                  {"-h"},
                                                                  {"convert", "--help"},
                                                                  {"flash", "--help"},
                                                                  {"ports", "--help"},
                                                                  {"verify", "--help"}}) {
        FlashRun run = TevrFlash(args);
        EXPECT_EQ(run.status, 0);
        EXPECT_NE(run.out.find("Exit status"), std::string::npos);
        if (args[0] != "flash" && args[0] != "ports" && args[0] != "verify") {
            EXPECT_NE(run.out.find("convert"), std::string::npos);
        }
        // Within 80 columns, so that no terminal wraps it.
        std::istringstream lines(run.out);
        for (std::string line; std::getline(lines, line);)
            EXPECT_LE(line.size(), 80u) << args[0] << ": " << line;
    }
}
}  // namespace
