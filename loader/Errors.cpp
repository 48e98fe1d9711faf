// SPDX-License-Identifier: MIT
#include "loader/Errors.h"

const char* ConversionFaultCode(ConversionFault fault) {
    switch (fault) {
        case ConversionFault::NotANumber:
            return "not-a-number";
        case ConversionFault::NoStartCode:
            return "no-start-code";
        case ConversionFault::LineTooShort:
            return "line-too-short";
        case ConversionFault::NotHexadecimal:
            return "not-hexadecimal";
        case ConversionFault::WrongChecksum:
            return "wrong-record-checksum";
        case ConversionFault::TextAfterRecord:
            return "text-after-record";
        case ConversionFault::SecondRecord:
            return "second-record-on-line";
        case ConversionFault::EndRecordWithData:
            return "end-record-with-data";
        case ConversionFault::AddressRecordLength:
            return "address-record-length";
        case ConversionFault::UnknownRecordType:
            return "unknown-record-type";
        case ConversionFault::OutsideMemory:
            return "outside-memory";
        case ConversionFault::ByteGivenTwice:
            return "byte-given-twice";
        case ConversionFault::NoData:
            return "no-data";
        case ConversionFault::ForeignEncoding:
            return "foreign-encoding";
        case ConversionFault::UnmarkedUtf16:
            return "unmarked-utf16";
        case ConversionFault::EmptyFile:
            return "empty-file";
        case ConversionFault::NotIntelHex:
            return "not-intel-hex";
        case ConversionFault::ScriptLineTooLong:
            return "script-line-too-long";
    }
    return "conversion";
}

const char* ForeignFormatCode(ForeignFormat format) {
    switch (format) {
        case ForeignFormat::Binary:
            return "binary";
        case ForeignFormat::Elf:
            return "elf";
        case ForeignFormat::Markup:
            return "html-xml";
        case ForeignFormat::SRecord:
            return "s-record";
        case ForeignFormat::TiTxt:
            return "ti-txt";
    }
    return "other";
}

EConvertError::EConvertError(ConversionProblem problem)
    : std::runtime_error(std::string("update file refused: ") + ConversionFaultCode(problem.fault) +
                         (problem.fault == ConversionFault::NotIntelHex
                              ? std::string(" (") + ForeignFormatCode(problem.format) + ")"
                              : std::string()) +
                         (problem.line ? " at line " + std::to_string(problem.line) : "")),
      problem_(std::move(problem)) {}

// Made where the process may have no descriptor left (EMFILE); UndefinedBehaviorSanitizer's check
// of this object's dynamic type needs one and would report a valid object as invalid.
__attribute__((no_sanitize("vptr")))
EInOutError::EInOutError(FileFault fault, int code, const std::string& message)
    : std::runtime_error(message), fault_(fault), code_(code) {}
