// SPDX-License-Identifier: MIT
#include "cli/MessageTexts.h"

#include "base/HexDigits.h"
#include "base/Translation.h"
#include "cli/ReleaseCheck.h"
#include "serial/VaUtils.h"

namespace {
std::string RecordFault(const ConversionProblem& p) {
    switch (p.fault) {
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
            return Fill(Tr("data beyond the device's 64 KiB of memory (address %1)"),
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

std::string MessageText(TransferMessage message) {
    switch (message) {
        case TransferMessage::NoScript:
            return Tr("Error: no update file chosen");
        case TransferMessage::BadChecksum:
            return Tr("Error: wrong checksum");
        case TransferMessage::Done:
            return Tr("The software update of the TEVR R7 is complete");
        case TransferMessage::EchoMismatch:
            return Tr(
                "Error: the echo on the line differed from what was sent (line fault). "
                "Check the cable and the adapter");
        case TransferMessage::DeviceGone:
            return Tr(
                "Error: the connection to the on-board computer is lost: the device or "
                "the adapter was disconnected");
        case TransferMessage::None:
            break;
    }
    return {};
}

std::string ProblemText(const ConversionProblem& p) {
    switch (p.fault) {
        case ConversionFault::NotANumber:
            if (p.line == 0) return Fill(Tr("'$%1' is not a valid integer value"), {p.text});
            return Fill(Tr("line %1: '$%2' is not a valid integer value"),
                        {std::to_string(p.line), p.text});
        case ConversionFault::NoData:
            return Tr("Error: the update file holds no data");
        case ConversionFault::ForeignEncoding:
            return Fill(Tr("Error: the update file is written in %1; it can be read only in "
                           "ASCII, UTF-8 or UTF-16 with a byte-order mark: save it in one of "
                           "them"),
                        {p.text});
        case ConversionFault::UnmarkedUtf16:
            return Fill(Tr("Error: the update file is written in %1 without a byte-order mark; "
                           "it can be read only in ASCII, UTF-8 or UTF-16 with a byte-order "
                           "mark: save it in one of them"),
                        {p.text});
        case ConversionFault::ScriptLineTooLong:
            return Fill(Tr("Error: line %1 of the transfer script is longer than %2 bytes"),
                        {std::to_string(p.line), std::to_string(p.limit)});
        default:
            return Fill(Tr("Error in line %1 of the update file: %2"),
                        {std::to_string(p.line), RecordFault(p)});
    }
}

std::string FileErrorText(const EInOutError& error) {
    switch (error.Fault()) {
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
    return Fill(Tr("I/O error %1"), {std::to_string(error.Code())});
}

std::string CommErrorText(const EVaCommError& error) {
    const std::string code = std::to_string(error.Code());
    const std::string system = VaSystemErrorText(error.Code());
    switch (error.Fault()) {
        case TVaCommFault::Other:
            break;
        case TVaCommFault::RefusedWhileOpen:
            return Tr("Can't perform this operation while port is open");
        case TVaCommFault::DeviceNotFound:
            return Fill(Tr("Specified device not found (%1)."), {error.Device()});
        case TVaCommFault::CantOpen:
            return Fill(Tr("Can't open specified device %1 (Error %2, %3)"),
                        {error.Device(), code, system});
        case TVaCommFault::WriteDcb:
            return Fill(Tr("Error writing dcb (%1), %2"), {code, system});
        case TVaCommFault::InitBuffers:
            return Fill(Tr("Error initializing buffers (%1), %2"), {code, system});
        case TVaCommFault::SetTimeouts:
            return Fill(Tr("Error setting timeouts (%1), %2"), {code, system});
        case TVaCommFault::NoDispatcher:
            return Tr("No owning thread to hand the port's events to (no dispatcher set)");
        case TVaCommFault::SetEventMask:
            return Fill(Tr("Error setting EventMask (%1), %2"), {code, system});
        case TVaCommFault::Write:
            return Fill(Tr("Write error (%1), %2"), {code, system});
        case TVaCommFault::StartThread:
            return Fill(Tr("Can't start thread (%1), %2"), {code, system});
        case TVaCommFault::DtrWithHandshake:
            return Tr("DTR line updates not allowed when flowcontrol is set to Handshake.");
        case TVaCommFault::CommFunction:
            return Fill(Tr("Error calling comm function (%1), %2"), {code, system});
        case TVaCommFault::Read:
            return Fill(Tr("Read error (%1), %2"), {code, system});
        case TVaCommFault::Statistics:
            return Fill(Tr("Error retrieving statistics (%1), %2"), {code, system});
        case TVaCommFault::LineSettings:
            return Fill(Tr("Error reading the line settings (%1), %2"), {code, system});
        case TVaCommFault::OutputFull:
            return Tr("Output buffer is full. Please check comm status.");
        case TVaCommFault::DeviceGone:
            return Fill(Tr("The device or its adapter went away (Error %1, %2)"), {code, system});
    }
    return error.what();
}

std::string MessageOf(const std::exception& error) {
    if (const auto* comm = dynamic_cast<const EVaCommError*>(&error)) return CommErrorText(*comm);
    if (const auto* refused = dynamic_cast<const EConvertError*>(&error))
        return ProblemText(refused->Problem());
    if (const auto* unsigned_ = dynamic_cast<const ESignatureError*>(&error))
        return SignatureProblemText(unsigned_->Problem());
    if (const auto* unread = dynamic_cast<const EInOutError*>(&error))
        return FileErrorText(*unread);
    return error.what();
}
