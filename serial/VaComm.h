// SPDX-License-Identifier: MIT
#pragma once
// The serial-port component. It opens a named port exclusively with its line settings, reports
// received bytes and other port events on its owning thread, reads on request, and queues bytes
// for a write thread that sends them.
//
// Threads: create, Open, Close, SetDtr, the setters, ReadBytes, WriteBytes and destruction belong
// to the owning thread, the one its dispatcher runs work on; debug builds assert it. Every event
// handler runs there too, one batch at a time; while a handler runs no further receive event is
// handled, and bytes that arrive meanwhile come with the next event. A handler may Close the port.
// Nothing of the component needs a lock: its worker threads never touch it themselves.
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "serial/VaClasses.h"
#include "serial/VaCommHandler.h"
#include "serial/VaDispatcher.h"
#include "serial/VaPort.h"
#include "serial/VaPrst.h"
#include "serial/VaTypes.h"

class TVaCommThread;
class TVaCommEventThread;
class TVaCommEventSource;
class TVaCommWriteThread;

class TVaCustomComm : public TVaComponent {
public:
    using TNotifyEvent = std::function<void(TVaCustomComm& sender)>;
    using TVaCommRxCharEvent = std::function<void(TVaCustomComm& sender, int count)>;
    using TVaCommRxBufEvent =
        std::function<void(TVaCustomComm& sender, const void* data, int count)>;
    using TVaCommErrorEvent = std::function<void(TVaCustomComm& sender, int errors)>;

    // Without a dispatcher, given here or by SetDispatcher, an Open that needs the worker threads
    // is refused.
    explicit TVaCustomComm(std::shared_ptr<TVaDispatcher> dispatcher = nullptr);
    // Closes the port (without OnClose). Events still on their way to the owning thread find the
    // component gone and do nothing.
    ~TVaCustomComm() override;
    TVaCustomComm(const TVaCustomComm&) = delete;
    TVaCustomComm& operator=(const TVaCustomComm&) = delete;

    // --- Lifecycle -------------------------------------------------------------------------
    // Opens DevicePath exclusively, writes the line settings and starts the threads; fires
    // OnOpen. Raises EVaCommError; the port is closed after a failure.
    void Open();
    // Stops the threads, releases the device and fires OnClose. Does nothing when closed. Safe
    // inside an event handler; returns once the threads have ended (a few microseconds), giving
    // up on them after 300 ms.
    void Close();
    bool IsOpen() const { return device_ != nullptr; }
    // DeviceName formatted with PortNum: "COM%d" with 3 gives "COM3". Opened as COM3 on
    // Windows and as /dev/ttyS2 on Linux, where a path beginning with '/' is opened as it
    // stands and another name in /dev.
    std::string DevicePath() const;
    // Raises (true) or drops (false) DTR. Refused under DTR handshake, nothing while closed, and
    // nothing on a device without modem lines (a pseudo-terminal).
    void SetDtr(bool on);
    // For the form reader, once every property is set: opens the port if AutoOpen.
    void Loaded();
    // What came of asking the driver for low latency at the last Open (on Linux, an FTDI
    // adapter's latency timer then drops to 1 ms); llNotApplicable before any Open.
    TVaLowLatency LowLatency() const { return lowLatency_; }

    // --- Receiving -------------------------------------------------------------------------
    // Reads up to `count` bytes: returns when `count` are there, 5 ms after the last byte once
    // one arrived, or after Buffers.ReadTimeout; the result is the number read (0 when closed).
    int ReadBytes(void* buffer, int count);
    // Bytes waiting in the input queue; 0 when closed.
    int InputCount();
    // Queue counts and the line errors seen since the previous ReadStatus; all 0 when closed.
    void ReadStatus(TVaCommStatus& status);
    // The rate the driver reports for the open line (what it made of the rate asked for); 0 when
    // closed or when the driver does not tell.
    std::uint32_t ReadRate();

    // --- Sending ---------------------------------------------------------------------------
    // Queues the bytes for the write thread and returns `count` at once; they go out in call
    // order. Raises "Output buffer is full. Please check comm status." when no room was made
    // within Buffers.WriteTimeout. With DirectWrite, writes and waits up to Buffers.ReadTimeout
    // and returns the number written. 0 when closed.
    int WriteBytes(const void* buffer, int count);
    // Waits up to `limit` until the write thread has handed every queued byte to the device,
    // so that a Close right after a last frame does not drop it. True at once when nothing is
    // queued, when closed and with DirectWrite.
    bool WaitTransmitted(std::chrono::milliseconds limit);

    // --- Settings --------------------------------------------------------------------------
    bool AutoOpen() const { return autoOpen_; }
    void SetAutoOpen(bool value) { autoOpen_ = value; }
    TVaBaudrate Baudrate() const { return baudrate_; }
    void SetBaudrate(TVaBaudrate value);
    TVaParity Parity() const { return parity_; }
    void SetParity(TVaParity value);
    TVaDatabits Databits() const { return databits_; }
    void SetDatabits(TVaDatabits value);
    TVaStopbits Stopbits() const { return stopbits_; }
    void SetStopbits(TVaStopbits value);
    TVaEventChars& EventChars() { return eventChars_; }
    void SetEventChars(const TVaEventChars& value) { eventChars_.Assign(value); }
    TVaFlowControl& FlowControl() { return flowControl_; }
    void SetFlowControl(const TVaFlowControl& value) { flowControl_.Assign(value); }
    TVaCommOptions Options() const { return options_; }
    void SetOptions(TVaCommOptions value);
    int PortNum() const { return portNum_; }
    void SetPortNum(int value);
    const std::string& DeviceName() const { return deviceName_; }
    void SetDeviceName(const std::string& value);
    TVaCommEvents MonitorEvents() const { return monitorEvents_; }
    void SetMonitorEvents(TVaCommEvents value);
    // The object itself may be changed in place: its time-outs at any time, its sizes and limits
    // only while closed (a change while open raises the refusal).
    TVaBuffers& Buffers() { return buffers_; }
    void SetBuffers(const TVaBuffers& value);
    TThreadPriority EventPriority() const { return eventPriority_; }
    void SetEventPriority(TThreadPriority value);
    TThreadPriority WritePriority() const { return writePriority_; }
    void SetWritePriority(TThreadPriority value);
    bool DirectWrite() const { return directWrite_; }
    void SetDirectWrite(bool value);
    bool UpdateDCB() const { return updateDcb_; }
    void SetUpdateDCB(bool value);
    int UserBaudrate() const { return userBaudrate_; }
    void SetUserBaudrate(int value);
    std::shared_ptr<TVaDisplay> Display() const { return display_.lock(); }
    void SetDisplay(const std::shared_ptr<TVaDisplay>& value) { display_ = value; }

    // The thread that runs the events; refused while open.
    std::shared_ptr<TVaDispatcher> Dispatcher() const { return dispatcher_; }
    void SetDispatcher(std::shared_ptr<TVaDispatcher> value);

    // The device control block for the current settings.
    TVaDcb BuildDcb() const;
    // Writes BuildDcb to the device when open and UpdateDCB; raises "Error writing dcb".
    void ApplyLineSettings();
    // The event mask the threads watch: MonitorEvents, without EV_TXEMPTY unless DirectWrite.
    std::uint32_t EventMask() const { return eventMask_; }

    void AttachHandler(TVaCommHandler& handler);
    void DetachHandler(TVaCommHandler& handler);

    // Passes an exception from a handler to OnException, or to the application's handler. A
    // device that has gone (EVaCommDeviceGone) is reported as OnDeviceGone instead.
    void HandleException(std::exception_ptr error);
    // Whether the device has been reported gone since the last Open.
    bool DeviceGone() const { return deviceGone_; }

    // --- Events (all on the owning thread) -------------------------------------------------
    TNotifyEvent OnOpen, OnClose, OnCts, OnDsr, OnRlsd, OnRing, OnBreak, OnRxFlag, OnTxEmpty,
        OnPErr, OnRx80Full, OnEvent1, OnEvent2;
    TVaCommErrorEvent OnError;
    TVaCommRxCharEvent OnRxChar;
    TVaCommRxBufEvent OnRxBuf;
    // This component's own error handler; without one the application's is used.
    TVaExceptionHandler OnException;
    // The device or its adapter has gone (a hang-up, an unplugged adapter, or a read, write or
    // status query failing for that reason). Fired once per Open, on the owning thread; the
    // port stays open until someone closes it. Without a handler, the gone error goes once to
    // the error handler instead.
    TNotifyEvent OnDeviceGone;

protected:
    virtual void OpenDevice();
    virtual void StartThreads();
    virtual void HandleRxChar();
    virtual void HandleEvents(std::uint32_t mask);
    virtual void NotifyHandlerEvents(std::uint32_t mask);
    virtual void NotifyHandlerData(const void* data, int count);
    bool HandleError();
    void DispatchEvents(std::uint32_t mask);

    void CheckNotOpen() const;
    // Whether the caller is on the owning thread, as far as that can be told: without a
    // dispatcher there are no worker threads and any thread may own the component.
    bool OnOwningThread() const;
    // The driver's queue sizes (Buffers.ReadSize, WriteSize), where the system has them.
    void ApplyQueueSizes();
    // The driver's read time-outs, where the driver keeps them.
    void ApplyTimeouts();
    void ApplyEventMask();

    // For OpenDevice overrides: the device the component works with from now on.
    void SetDevice(std::shared_ptr<TVaPortDevice> device) { device_ = std::move(device); }
    const std::shared_ptr<TVaPortDevice>& Device() const { return device_; }

private:
    friend class TVaCommEventThread;
    friend class TVaCommEventSource;
    friend class TVaCommWriteThread;

    void BuffersChanged();
    void StopThreads();
    void ReportDeviceGone(int error);
    // Calls a copy, so that a handler replacing itself does not destroy what is running.
    template <typename Handler, typename... Args>
    void Fire(const Handler& handler, Args... args) {
        if (!handler) return;
        const Handler copy = handler;
        copy(*this, args...);
    }

    std::shared_ptr<TVaPortDevice> device_;
    std::shared_ptr<TVaCommEventThread> eventThread_;
    // Instead of the event thread, when the dispatcher waits for the port itself.
    std::unique_ptr<TVaCommEventSource> eventSource_;
    std::shared_ptr<TVaCommWriteThread> writeThread_;
    std::uint32_t eventMask_ = 0;
    std::vector<TVaCommHandler*> handlers_;
    std::shared_ptr<TVaDispatcher> dispatcher_;
    std::weak_ptr<TVaDisplay> display_;
    bool destroying_ = false;
    bool deviceGone_ = false;
    TVaLowLatency lowLatency_ = llNotApplicable;

    bool autoOpen_ = false;
    TVaBaudrate baudrate_ = br1200;
    TVaParity parity_ = paNone;
    TVaDatabits databits_ = db8;
    TVaStopbits stopbits_ = sb1;
    TVaEventChars eventChars_;
    TVaFlowControl flowControl_;
    TVaCommOptions options_;
    int portNum_ = 0;
    std::string deviceName_ = "COM%d";
    TVaCommEvents monitorEvents_{ceError, ceRxChar, ceTxEmpty};
    TVaBuffers buffers_;
    TThreadPriority eventPriority_ = tpNormal;
    TThreadPriority writePriority_ = tpHighest;
    bool directWrite_ = false;
    bool updateDcb_ = true;
    int userBaudrate_ = 0;
};

// The component as the window places it; all of its behaviour is TVaCustomComm's.
class TVaComm : public TVaCustomComm {
public:
    using TVaCustomComm::TVaCustomComm;
};
