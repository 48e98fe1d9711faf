// SPDX-License-Identifier: MIT
#pragma once
// Error classes of the loader. A refused update file is reported as what went wrong and where,
// never as words: the window and the command line make the user's text of it.
#include <cstdint>
#include <stdexcept>
#include <string>

// What is wrong with an update file (or with a transfer script line).
enum class ConversionFault : uint8_t {
    NotANumber,           // a field that does not read as a hexadecimal number: text = its chars
    NoStartCode,          // the record does not begin with ":"
    LineTooShort,         // shorter than the record's length field requires
    NotHexadecimal,       // a character of the record that is not a hexadecimal digit
    WrongChecksum,        // the record's checksum does not add up
    TextAfterRecord,      // characters other than blanks after the record's checksum
    SecondRecord,         // another record begins after the record's checksum
    EndRecordWithData,    // an end-of-file record that carries data
    AddressRecordLength,  // an extended address record whose length is not 2
    UnknownRecordType,    // value = the type
    OutsideMemory,        // data at 10000 or above: address = the first such address
    ByteGivenTwice,       // address; value = the first value, otherValue = this record's
    NoData,               // the file defines no byte
    ForeignEncoding,      // a text encoding that cannot be read: text = its name
    UnmarkedUtf16,        // UTF-16 without its byte-order mark: text = "UTF-16LE" or "UTF-16BE"
    EmptyFile,            // no byte, or nothing but blanks and line ends
    NotIntelHex,          // a file of another kind: format = what it looks like
    ScriptLineTooLong,    // a transfer script line's frame exceeds `limit` bytes; line = its index
};

// What a file that is not Intel HEX text looks like, told from its first line that is not blank.
enum class ForeignFormat : uint8_t {
    Binary,   // bytes that no text holds: a memory image, an archive, a program
    Elf,      // an ELF object or executable: the linker's output before it became HEX
    Markup,   // HTML or XML: a web page saved from the browser instead of the file it offered
    SRecord,  // Motorola S-records ("S1..." lines)
    TiTxt,    // TI-TXT ("@" address lines)
};

// A stable name of the format for machine-readable output ("elf", "s-record").
const char* ForeignFormatCode(ForeignFormat format);

struct ConversionProblem {
    ConversionFault fault = ConversionFault::NotANumber;
    // The update file's line (1-based), or the transfer script's line of ScriptLineTooLong; 0
    // where no line is concerned.
    int64_t line = 0;
    std::string text{};
    uint32_t address = 0;
    uint8_t value = 0;
    uint8_t otherValue = 0;
    uint32_t limit = 0;
    ForeignFormat format = ForeignFormat::Binary;
};

// A stable name of the fault for machine-readable output ("not-a-number", "wrong-checksum").
const char* ConversionFaultCode(ConversionFault fault);

// A text field that does not read as a number, and an update file the conversion refuses. Its
// what() names the fault for logs only; the user's text is the front end's.
class EConvertError : public std::runtime_error {
public:
    explicit EConvertError(ConversionProblem problem);

    const ConversionProblem& Problem() const { return problem_; }

private:
    ConversionProblem problem_;
};

// The file errors the system's error codes come down to.
enum class FileFault : uint8_t {
    NotFound,      // "File not found"
    InvalidName,   // "Invalid filename"
    TooManyOpen,   // "Too many open files"
    AccessDenied,  // "File access denied"
    DiskFull,      // "Disk full"
    Folder,        // a folder where a file was meant ("File access denied" to the window)
    Other,         // "I/O error <code>"
};

// The update file cannot be opened or read. Its message is the file error's in the runtime's
// own English words, which the window shows as they are; the fault and the system's code let
// another front end say it in its user's language.
class EInOutError : public std::runtime_error {
public:
    EInOutError(FileFault fault, int code, const std::string& message);

    FileFault Fault() const { return fault_; }
    int Code() const { return code_; }

private:
    FileFault fault_;
    int code_;
};
