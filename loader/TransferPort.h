// SPDX-License-Identifier: MIT
#pragma once
// The six operations of the serial port that the transfer uses. The owner of the real port adapts
// it to this interface and calls BootLoaderTransfer::Receive on its own thread whenever
// received bytes are waiting; tests and the fuzz target pass plain fakes.
#include <cstdint>
#include <string>

class TransferPort {
public:
    virtual ~TransferPort() = default;

    // Names the device opened by the next Open; only called while the port is closed.
    virtual void SetDeviceName(const std::string& name) = 0;
    // Opens the device with the line settings; throws the port's error when it cannot.
    virtual void Open() = 0;
    // Raises (true) or drops (false) the DTR line of the open port.
    virtual void SetDtr(bool on) = 0;
    // Reads up to `count` waiting bytes into `buffer`; returns the number read.
    virtual int32_t ReadBytes(void* buffer, int32_t count) = 0;
    // Queues `count` bytes for sending and returns at once; returns the number accepted.
    virtual int32_t WriteBytes(const void* buffer, int32_t count) = 0;
    // Closes the port; does nothing when it is closed. May be called from the receive step.
    virtual void Close() = 0;
};
