// SPDX-License-Identifier: MIT
#include "base/Translation.h"
#include "words/Words.h"

std::string PortDescriptionText(const TVaPortInfo& port) {
    switch (port.Kind) {
        case TVaPortKind::BuiltIn:
            return Fill(Tr("Serial port COM%1"), {std::to_string(port.ComNumber)});
        case TVaPortKind::Driver:
            return Fill(Tr("Serial port (%1)"), {port.Driver});
        case TVaPortKind::Bluetooth:
            return Tr("Bluetooth serial port");
        case TVaPortKind::UsbAdapter:
            // The device's own name for itself, as its maker wrote it.
            return port.Product.empty() ? Tr("USB serial adapter") : port.Product;
        case TVaPortKind::UsbModem:
            return port.Product.empty() ? Tr("USB modem") : port.Product;
        case TVaPortKind::SimulatorLink:
            return Tr("TEVR-R7 simulator");
        case TVaPortKind::SystemName:
            return port.FriendlyName;
        case TVaPortKind::Unknown:
            break;
    }
    return port.Description;
}
