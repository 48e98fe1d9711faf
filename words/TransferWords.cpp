// SPDX-License-Identifier: MIT
#include "base/Translation.h"
#include "words/Words.h"

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
