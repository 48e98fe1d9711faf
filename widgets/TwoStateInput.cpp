// SPDX-License-Identifier: MIT
#include "widgets/TwoStateInput.h"

bool TTwoStateInput::Press(TPressKind kind, TMouseButton button, TShiftState shift, int x, int y) {
    if (!control_.Enabled()) return false;
    if (kind == TPressKind::Doubled) return true;
    lastX_ = x;
    lastY_ = y;
    // The pointer stays with the control until the release, wherever it goes.
    if (!captured_) {
        captured_ = true;
        capture_.Take();
    }
    if (kind == TPressKind::Double)
        control_.DblClick(button, shift, x, y);
    else
        control_.MouseDown(button, shift, x, y);
    return true;
}

bool TTwoStateInput::Release(TMouseButton button, TShiftState shift, int x, int y,
                             bool buttonsStillDown) {
    if (!control_.Enabled() && !control_.HoldsPress()) return false;
    // The capture ends first; the click and the up action follow. Cleared before it is given
    // back, so that the desktop's news of the capture going is not taken for a loss.
    if (captured_ && !buttonsStillDown) {
        captured_ = false;
        capture_.Give();
    }
    control_.MouseUp(button, shift, x, y);
    return true;
}

bool TTwoStateInput::Move(TShiftState shift, int x, int y) {
    if (!control_.Enabled()) return false;
    lastX_ = x;
    lastY_ = y;
    control_.MouseMove(shift, x, y);
    return true;
}

void TTwoStateInput::CaptureLost() {
    if (!captured_) return;
    captured_ = false;
    // Its release goes to the window that took the pointer: without an end here the button
    // would stay down, and the start button's flip would stand without the click it waits for.
    control_.MousePressLost(lastX_, lastY_);
}

void TTwoStateInput::HostEnabled(bool enabled) {
    if (!enabled) {
        // A disabled window is sent neither the release nor the key's: what is held ends here,
        // without a click, or the button would stay down until the next press.
        control_.KeyPressLost();
        if (captured_) {
            captured_ = false;
            capture_.Give();
        }
        control_.MousePressLost(lastX_, lastY_);
    }
    control_.SetEnabled(enabled);
}

bool TTwoStateInput::SpaceDown(bool autoRepeat, TShiftState shift) {
    if (!autoRepeat && control_.SpaceDown(shift)) return true;
    // Held: its repeats stay with the control.
    return control_.SpaceHeld();
}

bool TTwoStateInput::SpaceUp(bool autoRepeat, TShiftState shift) {
    return !autoRepeat && control_.SpaceUp(shift);
}
