// SPDX-License-Identifier: MIT
#include "widgets/AbBinGControl.h"

#include <stdexcept>

#include "base/ScopeGuard.h"
#include "widgets/FlashTimer.h"

namespace {

// Set while a status word spreads through a group, so that it spreads one level and never
// loops. Window's thread only.
bool propagating = false;

uint32_t Bit(int32_t index) {
    return 1u << index;
}

}  // namespace

TAbBinGControl::TAbBinGControl(TOwner* owner) : TControl(owner) {
    if (!owner) throw std::invalid_argument("Invalid class typecast");
}

TAbBinGControl::~TAbBinGControl() = default;

std::vector<std::weak_ptr<TAbBinGControl*>> TAbBinGControl::Siblings() const {
    std::vector<std::weak_ptr<TAbBinGControl*>> result;
    if (!Owner()) return result;
    for (TControl* c : Owner()->Components())
        if (auto* control = dynamic_cast<TAbBinGControl*>(c)) result.push_back(control->alive_);
    return result;
}

void TAbBinGControl::UpdateFlashEntry() {
    if (checked_ && flashing_)
        TFlashTimer::RegisterFlash(this, FlashDivisor(frequency_));
    else
        TFlashTimer::UnregisterFlash(this);
}

void TAbBinGControl::SetChecked(bool value) {
    if (value == checked_) return;
    checked_ = value;
    UpdateFlashEntry();
    const uint32_t bit = Bit(statusBit_);
    const uint32_t word = static_cast<uint32_t>(statusInt_);
    if (checked_)
        SetStatusInt(static_cast<int32_t>(mode_ == mRadioButton ? bit : word | bit));
    else if (mode_ != mRadioButton)
        SetStatusInt(static_cast<int32_t>(word & ~bit));
    DrawState();
    if (onStatusChanged_) onStatusChanged_(this);
}

void TAbBinGControl::SetStatusInt(int32_t value) {
    if (value == statusInt_) return;
    statusInt_ = value;
    SetChecked((static_cast<uint32_t>(value) & Bit(statusBit_)) != 0);
    StatusIntChanged();
    if (onStatusIntChanged_) onStatusIntChanged_(this);
    if (groupIndex_ == 0 || propagating) return;
    propagating = true;
    const ScopeGuard done([] { propagating = false; });
    for (const auto& guarded : Siblings()) {
        const auto peer = guarded.lock();
        if (peer && (*peer)->groupIndex_ == groupIndex_) (*peer)->SetStatusInt(statusInt_);
    }
}

void TAbBinGControl::SetStatusBit(int32_t value) {
    if (value == statusBit_ || value < 0 || value > 31) return;
    statusBit_ = value;
    SetChecked((static_cast<uint32_t>(statusInt_) & Bit(value)) != 0);
}

void TAbBinGControl::SetMode(TMode value) {
    mode_ = value;
    // Even an unchanged mode resets the word: a button starts released, a radio on its first bit.
    if (mode_ == mButton)
        SetStatusInt(0);
    else if (mode_ == mRadioButton)
        SetStatusInt(1);
}

void TAbBinGControl::SetGroupIndex(int32_t value) {
    if (value == groupIndex_ || value < 0) return;
    groupIndex_ = value;
    JoinGroup();
    GroupIndexChanged();
}

void TAbBinGControl::JoinGroup() {
    if (groupIndex_ == 0) return;
    for (const auto& guarded : Siblings()) {
        const auto peer = guarded.lock();
        if (peer && (*peer)->groupIndex_ == groupIndex_) {
            SetStatusInt((*peer)->statusInt_);
            return;
        }
    }
}

void TAbBinGControl::SetFlashing(bool value) {
    if (value == flashing_) return;
    flashing_ = value;
    UpdateFlashEntry();
    DrawState();
    if (onStatusChanged_) onStatusChanged_(this);
}

void TAbBinGControl::SetFrequency(TFlashFreq value) {
    frequency_ = value;
    if (checked_ && flashing_) TFlashTimer::RegisterFlash(this, FlashDivisor(value));
}

void TAbBinGControl::FlashMessage(uint32_t tick, bool on) {
    (void)tick;
    // A phase queued just before the control stopped flashing arrives late; drawing it would
    // leave the control in the flash look instead of its steady state.
    if (!checked_ || !flashing_) return;
    FlashPhase(on);
}

// Input -------------------------------------------------------------------------------------

void TAbBinGControl::DownAction() {
    if (mode_ == mIndicator) return;
    pressed_ = true;
    switch (mode_) {
        case mButton:
            SetChecked(true);
            break;
        case mSwitch:
            SetChecked(!checked_);
            break;
        case mRadioButton:
            SetStatusInt(static_cast<int32_t>(Bit(statusBit_)));
            break;
        case mIndicator:
            break;
    }
}

void TAbBinGControl::UpAction() {
    const bool wasPressed = pressed_;
    pressed_ = false;
    if (mode_ == mIndicator) {
        // The mode changed while the button was held: still leave the pressed look.
        if (wasPressed) DrawState();
        return;
    }
    if (mode_ == mButton) SetChecked(false);
    DrawState();
}

void TAbBinGControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    const bool left = button == mbLeft;
    if (left) clickPending_ = true;
    if (onMouseDown_) onMouseDown_(this, button, shift, x, y);
    if (left) DownAction();
}

void TAbBinGControl::DblClick(TMouseButton button, TShiftState shift, int x, int y) {
    const bool left = button == mbLeft;
    if (left) {
        clickPending_ = false;
        if (onDblClick_) onDblClick_(this);
    }
    if (onMouseDown_) onMouseDown_(this, button, shift, x, y);
    if (left) DownAction();
}

void TAbBinGControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == mbLeft) return LeftUp(ClientRect().Contains(x, y), shift, x, y);
    if (onMouseUp_) onMouseUp_(this, button, shift, x, y);
}

void TAbBinGControl::MousePressLost(int x, int y) {
    if (keyPressed_ || !HoldsPress()) return;
    LeftUp(false, {}, x, y);
}

void TAbBinGControl::LeftUp(bool inside, TShiftState shift, int x, int y) {
    const bool click = clickPending_ && inside;
    clickPending_ = false;
    if (click && onClick_) onClick_(this);
    if (onMouseUp_) onMouseUp_(this, mbLeft, shift, x, y);
    UpAction();
}

void TAbBinGControl::MouseMove(TShiftState shift, int x, int y) {
    if (onMouseMove_) onMouseMove_(this, shift, x, y);
}

bool TAbBinGControl::SpaceDown(TShiftState shift) {
    if (mode_ == mIndicator || !Enabled() || pressed_) return false;
    keyPressed_ = true;
    clickPending_ = true;
    if (onMouseDown_) onMouseDown_(this, mbLeft, shift, Width() / 2, Height() / 2);
    DownAction();
    return true;
}

bool TAbBinGControl::SpaceUp(TShiftState shift) {
    if (!keyPressed_) return false;
    KeyUp(clickPending_, shift);
    return true;
}

void TAbBinGControl::KeyUp(bool click, TShiftState shift) {
    keyPressed_ = false;
    clickPending_ = false;
    if (click && onClick_) onClick_(this);
    if (onMouseUp_) onMouseUp_(this, mbLeft, shift, Width() / 2, Height() / 2);
    UpAction();
}

void TAbBinGControl::FocusIn() {
    DrawState();
}

void TAbBinGControl::FocusOut() {
    KeyPressLost();
    DrawState();
}

void TAbBinGControl::KeyPressLost() {
    if (keyPressed_) KeyUp(false, {});
}
