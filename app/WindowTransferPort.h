#pragma once
// The serial component as the window's transfer port. Its Close first lets the write thread hand
// what is queued to the device: the end command goes out just before the completion message,
// and a message dismissed at once would otherwise close the port over it.
#include <chrono>

#include "loader/VaCommTransferPort.h"

class TWindowTransferPort final : public VaCommTransferPort {
public:
    // Ample for a frame to reach the driver; only a write thread that cannot run takes it.
    static constexpr std::chrono::milliseconds kTransmitLimit{500};

    explicit TWindowTransferPort(TVaCustomComm& comm) : VaCommTransferPort(comm), comm_(comm) {}

    void Close() override {
        comm_.WaitTransmitted(kTransmitLimit);
        VaCommTransferPort::Close();
    }

private:
    TVaCustomComm& comm_;
};
