// SPDX-License-Identifier: MIT
#pragma once
// The serial component seen as the transfer's port. The owner still wires the component's
// OnRxChar to the session core (or the transfer) itself, and tells the core when Transmitted.
#include <chrono>

#include "loader/TransferPort.h"
#include "serial/VaComm.h"

class VaCommTransferPort : public TransferPort {
public:
    // Ample for a queued frame to reach the driver; only a write thread that cannot run takes it.
    static constexpr std::chrono::milliseconds kTransmitLimit{500};

    explicit VaCommTransferPort(TVaCustomComm& comm) : comm_(comm) {}

    void SetDeviceName(const std::string& name) override { comm_.SetDeviceName(name); }
    void Open() override { comm_.Open(); }
    void SetDtr(bool on) override { comm_.SetDtr(on); }
    int32_t ReadBytes(void* buffer, int32_t count) override {
        return comm_.ReadBytes(buffer, count);
    }
    int32_t WriteBytes(const void* buffer, int32_t count) override {
        return comm_.WriteBytes(buffer, count);
    }
    // The transfer closes right after its end command (once the completion message is gone,
    // which may be at once): the component's Close drops what is still queued, so let the write
    // thread hand it to the device first.
    void Close() override {
        closedTransmitted_ = comm_.WaitTransmitted(kTransmitLimit);
        comm_.Close();
    }

    // Whether every byte handed to WriteBytes has reached the device's driver: a direct write's
    // once WriteBytes returned, a queued one's once the write thread handed it on; after a
    // Close, whether its wait saw them go.
    bool Transmitted() {
        if (!comm_.IsOpen()) return closedTransmitted_;
        return comm_.WaitTransmitted(std::chrono::milliseconds(0));
    }

private:
    TVaCustomComm& comm_;
    bool closedTransmitted_ = true;
};
