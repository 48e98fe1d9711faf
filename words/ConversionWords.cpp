// SPDX-License-Identifier: MIT
#include "base/HexDigits.h"
#include "base/Translation.h"
#include "words/Words.h"

namespace {
// What a file that is not Intel HEX text looks like.
std::string FormatText(ForeignFormat format) {
    switch (format) {
        case ForeignFormat::Binary:
            return Tr("binary data (a memory image or a program)");
        case ForeignFormat::Elf:
            return Tr("an ELF file (the linker's output before it is turned into Intel HEX)");
        case ForeignFormat::Markup:
            return Tr("a web page (HTML or XML) saved instead of the file it offered");
        case ForeignFormat::SRecord:
            return Tr("Motorola S-records");
        case ForeignFormat::TiTxt:
            return Tr("TI-TXT");
    }
    return {};
}

// What is wrong with one record line.
std::string RecordFault(const ConversionProblem& p) {
    switch (p.fault) {
        case ConversionFault::NotANumber:
            // TRANSLATORS: a field of a record that is not a hexadecimal number; %1 its characters.
            return Fill(Tr("'$%1' is not a valid integer value"), {p.text});
        case ConversionFault::NoStartCode:
            return Tr("the record does not begin with ':'");
        case ConversionFault::LineTooShort:
            return Tr("the line is shorter than the record's length requires");
        case ConversionFault::NotHexadecimal:
            return Tr("the record holds a character that is not a hexadecimal digit");
        case ConversionFault::WrongChecksum:
            return Tr("wrong record checksum");
        case ConversionFault::TextAfterRecord:
            return Tr("the line goes on after the record's checksum");
        case ConversionFault::SecondRecord:
            return Tr(
                "another record begins after the record's checksum; every record must "
                "stand on a line of its own");
        case ConversionFault::EndRecordWithData:
            return Tr("the end-of-file record carries data");
        case ConversionFault::AddressRecordLength:
            return Tr("wrong length of an extended address record");
        case ConversionFault::UnknownRecordType:
            return Fill(Tr("unknown record type %1"), {HexDigits(p.value, 2)});
        case ConversionFault::OutsideMemory:
            return Fill(Tr("data beyond the 64 KiB of the on-board computer's memory (address %1)"),
                        {HexDigits(p.address, 4)});
        case ConversionFault::ByteGivenTwice:
            return Fill(
                Tr("the byte at %1 was given another value before (%2, here %3)"),
                {HexDigits(p.address, 4), HexDigits(p.value, 2), HexDigits(p.otherValue, 2)});
        default:
            return {};
    }
}
}  // namespace

std::string ConversionFaultText(const ConversionProblem& p) {
    switch (p.fault) {
        case ConversionFault::NoData:
            return Tr("the update file holds no data");
        case ConversionFault::EmptyFile:
            return Tr("the update file is empty");
        case ConversionFault::NotIntelHex:
            return Fill(Tr("the update file is not Intel HEX text: it looks like %1; choose the "
                           "file in Intel HEX that the tool chain wrote"),
                        {FormatText(p.format)});
        case ConversionFault::ForeignEncoding:
            return Fill(Tr("the update file is written in %1; it can be read only in ASCII, "
                           "UTF-8 or UTF-16 with a byte-order mark: save it in one of them"),
                        {p.text});
        case ConversionFault::UnmarkedUtf16:
            return Fill(Tr("the update file is written in %1 without a byte-order mark; it can "
                           "be read only in ASCII, UTF-8 or UTF-16 with a byte-order mark: save "
                           "it in one of them"),
                        {p.text});
        case ConversionFault::ScriptLineTooLong:
            return Fill(TrN("line %1 of the transfer script is longer than %2 byte",
                            "line %1 of the transfer script is longer than %2 bytes", p.limit),
                        {std::to_string(p.line), std::to_string(p.limit)});
        default:
            return RecordFault(p);
    }
}

bool IsRecordFault(const ConversionProblem& p) {
    switch (p.fault) {
        case ConversionFault::NoData:
        case ConversionFault::EmptyFile:
        case ConversionFault::NotIntelHex:
        case ConversionFault::ForeignEncoding:
        case ConversionFault::UnmarkedUtf16:
        case ConversionFault::ScriptLineTooLong:
            return false;
        default:
            // A field of the transfer script read while it is sent has no line of the file.
            return p.line > 0;
    }
}

std::string ConversionProblemText(const ConversionProblem& p) {
    if (!IsRecordFault(p)) return ConversionFaultText(p);
    return Fill(Tr("line %1: %2"), {std::to_string(p.line), RecordFault(p)});
}
