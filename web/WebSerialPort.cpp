// SPDX-License-Identifier: MIT
#include "web/WebSerialPort.h"

#include <algorithm>
#include <cassert>

#include "web/PageBridge.h"

namespace {
TVaSystemFault SystemFaultOf(TWebPortRefusal refusal) {
    switch (refusal) {
        case TWebPortRefusal::NotFound:
        case TWebPortRefusal::NotOpened:
            return TVaSystemFault::NotFound;
        case TWebPortRefusal::Busy:
            return TVaSystemFault::Busy;
        case TWebPortRefusal::Denied:
            return TVaSystemFault::AccessDenied;
        default:
            return TVaSystemFault::Other;
    }
}
}  // namespace

void TWebSerialPort::Open() {
    if (open_) throw EVaCommError(TVaCommFault::RefusedWhileOpen, "Port is already open", 0, name_);
    const auto refusal = static_cast<TWebPortRefusal>(PageJsSerialClaim(name_.c_str()));
    if (refusal != TWebPortRefusal::None) {
        throw EVaCommError(TVaCommFault::CantOpen, "Cannot open " + name_, 0, name_,
                           SystemFaultOf(refusal));
    }
    open_ = true;
    input_.clear();
    writesLeft_ = 0;
}

void TWebSerialPort::SetDtr(bool on) {
    if (open_) PageJsSerialSetDtr(on ? 1 : 0);
}

int32_t TWebSerialPort::ReadBytes(void* buffer, int32_t count) {
    const auto n = static_cast<int32_t>(
        std::min<std::size_t>(input_.size(), static_cast<std::size_t>(std::max(count, 0))));
    auto* out = static_cast<uint8_t*>(buffer);
    std::copy_n(input_.begin(), n, out);
    input_.erase(input_.begin(), input_.begin() + n);
    return n;
}

int32_t TWebSerialPort::WriteBytes(const void* buffer, int32_t count) {
    if (!open_) throw EVaCommError(TVaCommFault::Write, "Port is not open", 0, name_);
    if (count <= 0) return 0;
    ++writesLeft_;
    PageJsSerialWrite(static_cast<const uint8_t*>(buffer), count);
    return count;
}

void TWebSerialPort::Close() {
    if (!open_) return;
    open_ = false;
    input_.clear();
    // The script closes once the writer has let everything go; the logic hears it as TxEmpty.
    closedTransmitted_ = writesLeft_ == 0;
    PageJsSerialClose();
}

void TWebSerialPort::Received(const uint8_t* bytes, int32_t count) {
    // Bytes of a port closed meanwhile are nobody's.
    if (!open_ || count <= 0) return;
    input_.insert(input_.end(), bytes, bytes + count);
    if (events_.RxChar) events_.RxChar(static_cast<int>(input_.size()));
}

void TWebSerialPort::Written() {
    assert(writesLeft_ > 0);
    if (writesLeft_ > 0) --writesLeft_;
    if (writesLeft_ > 0) return;
    if (!open_) closedTransmitted_ = true;
    if (events_.TxEmpty) events_.TxEmpty();
}

void TWebSerialPort::DeviceGone() {
    if (open_ && events_.DeviceGone) events_.DeviceGone();
}

void TWebSerialPort::Failed(TVaCommFault fault, const std::string& text) {
    if (open_ && events_.Failed) events_.Failed(EVaCommError(fault, text, 0, name_));
}
