#pragma once
// The serial component seen as the transfer's port. The owner still wires the component's
// OnRxChar to BootLoaderTransfer::VaComm1RxChar itself.
#include "loader/TransferPort.h"
#include "serial/VaComm.h"

class VaCommTransferPort : public TransferPort {
public:
    explicit VaCommTransferPort(TVaCustomComm& comm) : comm_(comm) {}

    void SetDeviceName(const std::string& name) override { comm_.SetDeviceName(name); }
    void Open() override { comm_.Open(); }
    void SetDtr(bool on) override { comm_.SetDtr(on); }
    int32_t ReadBytes(void* buffer, int32_t count) override { return comm_.ReadBytes(buffer, count); }
    int32_t WriteBytes(const void* buffer, int32_t count) override {
        return comm_.WriteBytes(buffer, count);
    }
    void Close() override { comm_.Close(); }

private:
    TVaCustomComm& comm_;
};
