// SPDX-License-Identifier: MIT
#pragma once
// VaComm1 on the page: a port of the browser's serial API, which the page's script opens with the
// boot loader's line settings before the start reaches the logic (an open in the browser only
// ends later, and the start must not wait in a handler). Open claims that port, or throws why it
// did not open; reads come from what the script received, writes go to its writer and are
// transmitted once the writer says so.
#include <cstdint>
#include <deque>
#include <string>

#include "app/Form1Port.h"
#include "serial/VaErrors.h"

// Why the page could not open a port, as its script tells it.
enum class TWebPortRefusal : uint8_t {
    None,       // open, and now the module's
    NotOpened,  // the page opened no port of this name for the start
    NotFound,   // the port is no longer there
    Busy,       // another program or page holds it
    Denied,     // the browser or the system refused it
    Other,
};

class TWebSerialPort final : public TForm1Port {
public:
    void SetEvents(TEvents events) override { events_ = std::move(events); }
    int32_t InputCount() override { return static_cast<int32_t>(input_.size()); }
    bool Transmitted() override { return open_ ? writesLeft_ == 0 : closedTransmitted_; }

    void SetDeviceName(const std::string& name) override { name_ = name; }
    void Open() override;
    void SetDtr(bool on) override;
    int32_t ReadBytes(void* buffer, int32_t count) override;
    int32_t WriteBytes(const void* buffer, int32_t count) override;
    void Close() override;

    // --- The page's events -----------------------------------------------------------------
    void Received(const uint8_t* bytes, int32_t count);
    // One write handed over has left.
    void Written();
    void DeviceGone();
    // Reading or writing failed for another reason: a Read or Write fault, `text` the browser's.
    void Failed(TVaCommFault fault, const std::string& text);

    bool IsOpen() const { return open_; }

private:
    TEvents events_;
    std::string name_;
    bool open_ = false;
    std::deque<uint8_t> input_;
    int writesLeft_ = 0;
    bool closedTransmitted_ = true;
};
