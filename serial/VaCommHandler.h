// SPDX-License-Identifier: MIT
#pragma once
// Objects a component reports to besides its own events: attached data handlers, which take over
// the received bytes, and a display control told of every batch of activity.
#include <cstdint>

class TVaCustomComm;

// Once attached, a handler receives the bytes (HandleData) instead of OnRxChar, and every event
// batch (HandleEvents), while Enabled.
class TVaCommHandler {
public:
    TVaCommHandler() = default;
    virtual ~TVaCommHandler();
    TVaCommHandler(const TVaCommHandler&) = delete;
    TVaCommHandler& operator=(const TVaCommHandler&) = delete;

    TVaCustomComm* Comm() const { return comm_; }
    bool Enabled = true;

    virtual void HandleData(const void* data, int count) = 0;
    virtual void HandleEvents(std::uint32_t mask) = 0;

private:
    friend class TVaCustomComm;
    TVaCustomComm* comm_ = nullptr;
};

// A control that shows a component's activity. The component holds it weakly and forgets it
// when it is destroyed.
class TVaDisplay {
public:
    virtual ~TVaDisplay() = default;
    virtual void CommActivity(TVaCustomComm& comm) = 0;
};
