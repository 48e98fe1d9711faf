// SPDX-License-Identifier: MIT
#include "base/HexDigits.h"
#include "base/Translation.h"
#include "words/Words.h"

std::string WrongChecksumText(const std::string& port, uint32_t blockAddress, uint8_t expected,
                              uint8_t received) {
    const std::string address = HexDigits(blockAddress, 4);
    const std::string wanted = HexDigits(expected, 2);
    const std::string got = HexDigits(received, 2);
    if (port.empty())
        return Fill(Tr("wrong checksum of the block at %1 (%2 expected, %3 received); the "
                       "transfer waits for the correct one"),
                    {address, wanted, got});
    return Fill(Tr("wrong checksum of the block at %1 on %2 (%3 expected, %4 received); the "
                   "transfer waits for the correct one"),
                {address, port, wanted, got});
}

std::string TransferMessageText(TransferMessage message) {
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
                "Error: the connection to the on-board computer is lost (the on-board computer "
                "or its adapter was disconnected)");
        case TransferMessage::None:
            break;
    }
    return {};
}
