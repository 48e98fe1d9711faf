// SPDX-License-Identifier: MIT
#pragma once
// VaComm1 as the window's logic sees it: the transfer's port, the count of bytes waiting, whether
// what was written has left, and the port's events handed to the logic's handlers. The desktop
// windows give the serial component (TVaCommForm1Port); the page gives the browser's serial port.
#include <cstdint>
#include <exception>
#include <functional>

#include "loader/TransferPort.h"

class TForm1Port : public TransferPort {
public:
    // The logic's handlers; each runs on the window's thread, one at a time.
    struct TEvents {
        // Bytes are waiting, `count` of them.
        std::function<void(int count)> RxChar;
        // An error the port met outside a call of the logic's.
        std::function<void(const std::exception& error)> Failed;
        // The device or its adapter went away.
        std::function<void()> DeviceGone;
        // Everything written has left, where the port learns that only after its calls returned.
        std::function<void()> TxEmpty;
    };

    // Set once by the logic, before the first Open.
    virtual void SetEvents(TEvents events) = 0;
    // How many received bytes are waiting to be read.
    virtual int32_t InputCount() = 0;
    // Whether every byte handed to WriteBytes has reached the device's driver; after a Close,
    // whether they had when it closed.
    virtual bool Transmitted() = 0;
};
