// SPDX-License-Identifier: MIT
#pragma once
// The desktop windows' VaComm1: the serial component with the boot loader's line settings, its
// events handed to the window's logic.
#include "app/Form1Port.h"
#include "line/VaCommTransferPort.h"
#include "serial/VaComm.h"

class TVaCommForm1Port final : public TForm1Port {
public:
    // `comm` outlives the port; its name, line settings and events are set here.
    explicit TVaCommForm1Port(TVaComm& comm);

    void SetEvents(TEvents events) override;
    int32_t InputCount() override { return comm_.InputCount(); }
    bool Transmitted() override { return port_.Transmitted(); }

    void SetDeviceName(const std::string& name) override { port_.SetDeviceName(name); }
    void Open() override { port_.Open(); }
    void SetDtr(bool on) override { port_.SetDtr(on); }
    int32_t ReadBytes(void* buffer, int32_t count) override {
        return port_.ReadBytes(buffer, count);
    }
    int32_t WriteBytes(const void* buffer, int32_t count) override {
        return port_.WriteBytes(buffer, count);
    }
    void Close() override { port_.Close(); }

private:
    TVaComm& comm_;
    VaCommTransferPort port_;
};
