// SPDX-License-Identifier: MIT
// Settings and lifecycle of the serial-port component.
#include "serial/VaComm.h"

#include <algorithm>
#include <cassert>
#include <chrono>
#include <system_error>

#include "serial/VaCommThreads.h"
#include "serial/VaUtils.h"

namespace {

constexpr std::uint32_t kRates[] = {0,     110,   300,   600,   1200,  2400,   4800,   9600,
                                    14400, 19200, 38400, 56000, 57600, 115200, 128000, 256000};

// Longest wait in Close for the stopped threads to end; they normally take microseconds.
constexpr auto kThreadEndLimit = std::chrono::milliseconds(300);

}  // namespace

TVaCustomComm::TVaCustomComm(std::shared_ptr<TVaDispatcher> dispatcher)
    : dispatcher_(std::move(dispatcher)) {
    buffers_.OnChange = [this](TVaPersistent&) { BuffersChanged(); };
    eventChars_.OnChange = [this](TVaPersistent&) { ApplyLineSettings(); };
    flowControl_.OnChange = [this](TVaPersistent&) { ApplyLineSettings(); };
}

TVaCustomComm::~TVaCustomComm() {
    assert(OnOwningThread());
    destroying_ = true;
    try {
        Close();
    } catch (...) {
        // Nothing raises on this path without OnClose; a destructor must not pass anything on.
    }
    for (TVaCommHandler* handler : handlers_)
        handler->comm_ = nullptr;
    handlers_.clear();
}

bool TVaCustomComm::OnOwningThread() const {
    return !dispatcher_ || dispatcher_->IsOwningThread();
}

void TVaCustomComm::CheckNotOpen() const {
    assert(OnOwningThread());
    if (IsOpen()) throw VaCommError(TVaCommFault::RefusedWhileOpen);
}

void TVaCustomComm::HandleException(std::exception_ptr error) {
    try {
        if (error) std::rethrow_exception(error);
    } catch (const EVaCommDeviceGone& gone) {
        ReportDeviceGone(gone.Code());
        return;
    } catch (...) {
    }
    VaHandleException(std::move(error), OnException);
}

void TVaCustomComm::ReportDeviceGone(int error) {
    // However many calls fail after it, the user hears of it once.
    if (!IsOpen() || deviceGone_) return;
    deviceGone_ = true;
    if (!OnDeviceGone) {
        VaHandleException(
            std::make_exception_ptr(EVaCommDeviceGone(
                TVaCommFault::DeviceGone, VaFaultMessage(TVaCommFault::DeviceGone, error), error)),
            OnException);
        return;
    }
    try {
        Fire(OnDeviceGone);
    } catch (...) {
        VaHandleException(std::current_exception(), OnException);
    }
}

// --- Settings ----------------------------------------------------------------------------

void TVaCustomComm::SetBaudrate(TVaBaudrate value) {
    if (value == baudrate_) return;
    baudrate_ = value;
    if (value != brUser) userBaudrate_ = 0;
    ApplyLineSettings();
}

void TVaCustomComm::SetUserBaudrate(int value) {
    if (value == userBaudrate_) return;
    userBaudrate_ = value;
    baudrate_ = brUser;
    ApplyLineSettings();
}

void TVaCustomComm::SetParity(TVaParity value) {
    if (value == parity_) return;
    parity_ = value;
    ApplyLineSettings();
}

void TVaCustomComm::SetDatabits(TVaDatabits value) {
    if (value == databits_) return;
    databits_ = value;
    ApplyLineSettings();
}

void TVaCustomComm::SetStopbits(TVaStopbits value) {
    if (value == stopbits_) return;
    stopbits_ = value;
    ApplyLineSettings();
}

void TVaCustomComm::SetOptions(TVaCommOptions value) {
    if (value == options_) return;
    options_ = value;
    ApplyLineSettings();
}

void TVaCustomComm::SetPortNum(int value) {
    CheckNotOpen();
    portNum_ = value < 0 ? 0 : value;
}

void TVaCustomComm::SetDeviceName(const std::string& value) {
    CheckNotOpen();
    deviceName_ = value;
}

void TVaCustomComm::SetMonitorEvents(TVaCommEvents value) {
    CheckNotOpen();
    monitorEvents_ = value;
}

void TVaCustomComm::SetBuffers(const TVaBuffers& value) {
    CheckNotOpen();
    buffers_.Assign(value);
}

void TVaCustomComm::BuffersChanged() {
    // Driver queue sizes and the limits reach the device only at Open.
    CheckNotOpen();
}

void TVaCustomComm::SetEventPriority(TThreadPriority value) {
    assert(OnOwningThread());
    if (value == eventPriority_) return;
    eventPriority_ = value;
    if (eventThread_) eventThread_->SetPriority(value);
}

void TVaCustomComm::SetWritePriority(TThreadPriority value) {
    assert(OnOwningThread());
    if (value == writePriority_) return;
    writePriority_ = value;
    if (writeThread_) writeThread_->SetPriority(value);
}

void TVaCustomComm::SetDirectWrite(bool value) {
    CheckNotOpen();
    directWrite_ = value;
}

void TVaCustomComm::SetUpdateDCB(bool value) {
    CheckNotOpen();
    updateDcb_ = value;
}

void TVaCustomComm::SetDispatcher(std::shared_ptr<TVaDispatcher> value) {
    CheckNotOpen();
    dispatcher_ = std::move(value);
}

TVaDcb TVaCustomComm::BuildDcb() const {
    TVaDcb dcb;
    if (baudrate_ == brUser)
        dcb.BaudRate = static_cast<std::uint32_t>(userBaudrate_);
    else if (baudrate_ < std::size(kRates))
        dcb.BaudRate = kRates[baudrate_];
    dcb.Parity = parity_;
    dcb.StopBits = stopbits_;
    dcb.ByteSize = static_cast<std::uint8_t>(databits_ + 4);
    dcb.XonChar = eventChars_.XonChar();
    dcb.XoffChar = eventChars_.XoffChar();
    dcb.ErrorChar = eventChars_.ErrorChar();
    dcb.EofChar = eventChars_.EofChar();
    dcb.EvtChar = eventChars_.EventChar();
    dcb.XonLim = static_cast<std::uint16_t>(buffers_.XonLimit() & 0xFFFF);
    dcb.XoffLim = static_cast<std::uint16_t>(buffers_.XoffLimit() & 0xFFFF);

    std::uint32_t flags = fBinary;
    if (options_.Contains(coParityCheck)) flags |= fParity;
    if (flowControl_.OutCtsFlow()) flags |= fOutxCtsFlow;
    if (flowControl_.OutDsrFlow()) flags |= fOutxDsrFlow;
    if (flowControl_.ControlDtr() == dtrEnabled) flags |= fDtrControlEnable;
    if (flowControl_.ControlDtr() == dtrHandshake) flags |= fDtrControlHandshake;
    if (flowControl_.DsrSensitivity()) flags |= fDsrSensitivity;
    if (flowControl_.TxContinueOnXoff()) flags |= fTXContinueOnXoff;
    if (flowControl_.XonXoffOut()) flags |= fOutX;
    if (flowControl_.XonXoffIn()) flags |= fInX;
    if (options_.Contains(coErrorChar)) flags |= fErrorChar;
    if (options_.Contains(coNullStrip)) flags |= fNull;
    switch (flowControl_.ControlRts()) {
        case rtsEnabled:
            flags |= fRtsControlEnable;
            break;
        case rtsHandshake:
            flags |= fRtsControlHandshake;
            break;
        case rtsToggle:
            flags |= fRtsControlToggle;
            break;
        default:
            break;
    }
    dcb.Flags = flags;
    return dcb;
}

void TVaCustomComm::ApplyLineSettings() {
    assert(OnOwningThread());
    if (!IsOpen() || !updateDcb_) return;
    if (const int error = device_->WriteLineSettings(BuildDcb()))
        throw VaCommError(TVaCommFault::WriteDcb, error);
}

void TVaCustomComm::ApplyQueueSizes() {
    if (const int error = device_->SetQueueSizes(buffers_.ReadSize(), buffers_.WriteSize()))
        throw VaCommError(TVaCommFault::InitBuffers, error);
}

void TVaCustomComm::ApplyTimeouts() {
    if (const int error = device_->WriteTimeouts())
        throw VaCommError(TVaCommFault::SetTimeouts, error);
}

void TVaCustomComm::ApplyEventMask() {
    std::uint32_t mask = VaEventMask(monitorEvents_);
    // The write thread reports transmit-empty itself.
    if (!directWrite_) mask &= ~EV_TXEMPTY;
    eventMask_ = mask;
}

// --- Lifecycle ---------------------------------------------------------------------------

std::string TVaCustomComm::DevicePath() const {
    return VaFormatDeviceName(deviceName_, portNum_);
}

void TVaCustomComm::OpenDevice() {
    const std::string path = DevicePath();
    int error = 0;
    const std::string systemPath = VaSystemDevicePath(path);
    auto device = VaOpenPortDevice(systemPath, error);
    if (!device) {
        if (VaIsNotFoundError(error)) throw VaCommError(TVaCommFault::DeviceNotFound, error, path);
        // Who holds it is looked up now, while it still holds it.
        const bool busy = VaSystemFaultOf(error) == TVaSystemFault::Busy;
        throw VaCommError(TVaCommFault::CantOpen, error, path,
                          busy ? VaPortHolder(systemPath) : TVaPortHolder{});
    }
    device_ = std::move(device);
}

void TVaCustomComm::Open() {
    CheckNotOpen();
    OpenDevice();
    if (!IsOpen()) return;
    deviceGone_ = false;
    lowLatency_ = device_->LowLatency();
    try {
        ApplyLineSettings();
        ApplyQueueSizes();
        ApplyTimeouts();
        ApplyEventMask();
        StartThreads();
    } catch (...) {
        StopThreads();
        device_->Close();
        device_.reset();
        throw;
    }
    if (OnOpen) {
        try {
            Fire(OnOpen);
        } catch (...) {
            HandleException(std::current_exception());
        }
    }
}

void TVaCustomComm::StartThreads() {
    const bool wantEvents = eventMask_ != 0;
    const bool wantWriter = !directWrite_;
    if (!wantEvents && !wantWriter) return;
    const std::shared_ptr<TVaDispatcher> dispatcher = dispatcher_;
    if (!dispatcher) throw VaCommError(TVaCommFault::NoDispatcher);
    try {
        int error = 0;
        if (wantEvents) {
            auto watch = device_->WatchEvents(eventMask_, error);
            if (!watch) throw VaCommError(TVaCommFault::SetEventMask, error);
            auto source = std::make_unique<TVaCommEventSource>(*this, std::move(watch));
            if (dispatcher->AddSource(*source)) {
                eventSource_ = std::move(source);
            } else {
                eventThread_ = std::make_shared<TVaCommEventThread>(*this, dispatcher, device_,
                                                                    source->TakeWatch());
                eventThread_->Start(eventPriority_);
            }
        }
        if (wantWriter) {
            auto watch = device_->WatchWritable(error);
            if (!watch) throw VaCommError(TVaCommFault::Write, error);
            writeThread_ = std::make_shared<TVaCommWriteThread>(
                *this, dispatcher, device_, std::move(watch), buffers_.WriteSize());
            writeThread_->Start(writePriority_);
        }
    } catch (const std::system_error& e) {
        throw VaCommError(TVaCommFault::StartThread, e.code().value());
    }
}

void TVaCustomComm::StopThreads() {
    if (eventSource_) {
        dispatcher_->RemoveSource(*eventSource_);
        // Also from inside its own dispatch: it touches nothing of itself after that.
        eventSource_.reset();
    }
    if (eventThread_) eventThread_->Stop();
    if (writeThread_) writeThread_->Stop();
    eventThread_.reset();
    writeThread_.reset();
}

void TVaCustomComm::Close() {
    assert(OnOwningThread());
    if (!IsOpen()) return;
    std::shared_ptr<TVaCommThread> eventThread = eventThread_;
    std::shared_ptr<TVaCommThread> writeThread = writeThread_;
    StopThreads();
    device_->Close();
    device_.reset();
    if (OnClose && !destroying_) Fire(OnClose);
    // Stop releases the threads from every wait, a hand-over to this very thread included, so
    // they end at once; the wait only makes sure of it, within the time the threads were always
    // given.
    const auto deadline = std::chrono::steady_clock::now() + kThreadEndLimit;
    for (const auto& thread : {eventThread, writeThread}) {
        if (!thread) continue;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        thread->WaitEnded(std::max(left, std::chrono::milliseconds(0)));
    }
}

void TVaCustomComm::Loaded() {
    if (autoOpen_) Open();
}

void TVaCustomComm::SetDtr(bool on) {
    assert(OnOwningThread());
    if (flowControl_.ControlDtr() == dtrHandshake)
        throw VaCommError(TVaCommFault::DtrWithHandshake);
    if (!IsOpen()) return;
    if (const int error = device_->SetDtr(on)) throw VaCommError(TVaCommFault::CommFunction, error);
}

void TVaCustomComm::AttachHandler(TVaCommHandler& handler) {
    assert(OnOwningThread());
    if (handler.comm_ == this) return;
    if (handler.comm_) handler.comm_->DetachHandler(handler);
    handlers_.push_back(&handler);
    handler.comm_ = this;
}

void TVaCustomComm::DetachHandler(TVaCommHandler& handler) {
    std::erase(handlers_, &handler);
    if (handler.comm_ == this) handler.comm_ = nullptr;
}

TVaCommHandler::~TVaCommHandler() {
    if (comm_) comm_->DetachHandler(*this);
}
