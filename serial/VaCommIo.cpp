// SPDX-License-Identifier: MIT
// Receive and transmit paths of the serial-port component, and the dispatch of port events on
// the owning thread.
#include <cassert>
#include <chrono>
#include <vector>

#include "serial/VaComm.h"
#include "serial/VaCommThreads.h"
#include "serial/VaUtils.h"

int TVaCustomComm::ReadBytes(void* buffer, int count) {
    assert(OnOwningThread());
    if (!IsOpen() || !buffer || count <= 0) return 0;
    int got = 0;
    if (const int error = device_->Read(buffer, count, buffers_.ReadTimeout(), got))
        VaRaisePortError(TVaCommFault::Read, error);
    // Bytes read before the time-out ran out are the caller's: they have left the driver.
    return got;
}

int TVaCustomComm::InputCount() {
    assert(OnOwningThread());
    if (!IsOpen()) return 0;
    int count = 0;
    // Not through ReadStatus: that would clear line errors before HandleError sees them.
    if (const int error = device_->InputCount(count))
        VaRaisePortError(TVaCommFault::Statistics, error);
    return count;
}

void TVaCustomComm::ReadStatus(TVaCommStatus& status) {
    assert(OnOwningThread());
    status = TVaCommStatus{};
    if (!IsOpen()) return;
    if (const int error = device_->ReadStatus(status))
        VaRaisePortError(TVaCommFault::Statistics, error);
}

std::uint32_t TVaCustomComm::ReadRate() {
    assert(OnOwningThread());
    if (!IsOpen()) return 0;
    std::uint32_t rate = 0;
    if (const int error = device_->ReadRate(rate))
        VaRaisePortError(TVaCommFault::LineSettings, error);
    return rate;
}

int TVaCustomComm::WriteBytes(const void* buffer, int count) {
    assert(OnOwningThread());
    if (!IsOpen() || !buffer || count <= 0) return 0;
    if (!directWrite_) {
        if (writeThread_ && writeThread_->Enqueue(
                                buffer, count, std::chrono::milliseconds(buffers_.WriteTimeout())))
            return count;
        throw VaCommError(TVaCommFault::OutputFull);
    }
    int written = 0;
    const int error = device_->Write(buffer, count, buffers_.ReadTimeout(), written);
    // Bytes on their way are reported as sent; the error shows again at the next write.
    if (error && written == 0) VaRaisePortError(TVaCommFault::Write, error);
    return written;
}

bool TVaCustomComm::WaitTransmitted(std::chrono::milliseconds limit) {
    assert(OnOwningThread());
    if (!IsOpen() || directWrite_ || !writeThread_) return true;
    // Nothing queued will leave any more.
    if (deviceGone_) return false;
    return writeThread_->WaitEmpty(limit);
}

void TVaCustomComm::DispatchEvents(std::uint32_t mask) {
    assert(OnOwningThread());
    try {
        if (auto display = display_.lock()) display->CommActivity(*this);
        if (mask & EV_DEVICEGONE) {
            // What may still wait in the input queue is of no use without the device.
            ReportDeviceGone(VaHangUpError());
            return;
        }
        if (mask & EV_RXCHAR) {
            HandleRxChar();
            mask &= ~EV_RXCHAR;
        }
        if (mask != 0) HandleEvents(mask);
    } catch (...) {
        HandleException(std::current_exception());
    }
}

void TVaCustomComm::HandleRxChar() {
    const int count = InputCount();
    if (count <= 0) return;
    if (handlers_.empty()) {
        Fire(OnRxChar, count);
        return;
    }
    std::vector<unsigned char> block(static_cast<std::size_t>(count));
    const int got = ReadBytes(block.data(), count);
    if (got > 0) NotifyHandlerData(block.data(), got);
}

void TVaCustomComm::HandleEvents(std::uint32_t mask) {
    if (mask & EV_ERR) HandleError();
    if (!handlers_.empty()) NotifyHandlerEvents(mask);
    if (mask & EV_RXFLAG) Fire(OnRxFlag);
    if (mask & EV_CTS) Fire(OnCts);
    if (mask & EV_DSR) Fire(OnDsr);
    if (mask & EV_RING) Fire(OnRing);
    if (mask & EV_RLSD) Fire(OnRlsd);
    if (mask & EV_TXEMPTY) Fire(OnTxEmpty);
    if (mask & EV_BREAK) Fire(OnBreak);
    if (mask & EV_PERR) Fire(OnPErr);
    if (mask & EV_RX80FULL) Fire(OnRx80Full);
    if (mask & EV_EVENT1) Fire(OnEvent1);
    if (mask & EV_EVENT2) Fire(OnEvent2);
}

bool TVaCustomComm::HandleError() {
    TVaCommStatus status;
    ReadStatus(status);
    if (status.Errors != 0 && OnError) {
        try {
            Fire(OnError, static_cast<int>(status.Errors));
        } catch (...) {
            HandleException(std::current_exception());
        }
    }
    return status.Errors != 0;
}

void TVaCustomComm::NotifyHandlerEvents(std::uint32_t mask) {
    // A copy: a handler may detach itself or others.
    const std::vector<TVaCommHandler*> handlers = handlers_;
    for (TVaCommHandler* handler : handlers)
        if (handler->Enabled && handler->comm_ == this) handler->HandleEvents(mask);
}

void TVaCustomComm::NotifyHandlerData(const void* data, int count) {
    const std::vector<TVaCommHandler*> handlers = handlers_;
    for (TVaCommHandler* handler : handlers)
        if (handler->Enabled && handler->comm_ == this) handler->HandleData(data, count);
    Fire(OnRxBuf, data, count);
}
