// SPDX-License-Identifier: MIT
#pragma once
// The input rules of a two-state control on any desktop: a press takes the pointer until the
// last button is released, a double click is a press of its own, Space acts as the left button
// while the control has the focus, and a press whose pointer the desktop takes away (a box shown
// in the middle of it) ends without a click, and so does one held while the desktop disables
// the host. A desktop's host translates its API's events into the calls below; each answers
// whether the control took the event (else the desktop's default handling goes on).
#include <type_traits>

#include "widgets/AbBinGControl.h"

// How the host holds the pointer for the control from a press to the last release.
class TPointerCapture {
public:
    virtual void Take() = 0;
    virtual void Give() = 0;

protected:
    virtual ~TPointerCapture() = default;
};

enum class TPressKind {
    Single,
    // The second press of a double click.
    Double,
    // A press that a double-click event repeats at once (a desktop that delivers both): taken,
    // and left to that event.
    Doubled,
};

class TTwoStateInput {
public:
    TTwoStateInput(TAbBinGControl& control, TPointerCapture& capture)
        : control_(control), capture_(capture) {}
    TTwoStateInput(const TTwoStateInput&) = delete;
    TTwoStateInput& operator=(const TTwoStateInput&) = delete;

    bool Press(TPressKind kind, TMouseButton button, TShiftState shift, int x, int y);
    // `buttonsStillDown`: another button is held after this release.
    bool Release(TMouseButton button, TShiftState shift, int x, int y, bool buttonsStillDown);
    bool Move(TShiftState shift, int x, int y);
    void Enter() { control_.MouseEnter(); }
    void Leave() { control_.MouseLeave(); }
    // The host's pointer capture went to another window without a release of ours.
    void CaptureLost();
    // Space went down or up on the focused control.
    bool SpaceDown(bool autoRepeat, TShiftState shift);
    bool SpaceUp(bool autoRepeat, TShiftState shift);
    void FocusIn() { control_.FocusIn(); }
    void FocusOut() { control_.FocusOut(); }
    // The desktop enabled or disabled the host's window.
    void HostEnabled(bool enabled);

    bool Captured() const { return captured_; }

private:
    TAbBinGControl& control_;
    TPointerCapture& capture_;
    bool captured_ = false;
    // Where the pointer was last seen, for a press that ends without its release.
    int lastX_ = 0;
    int lastY_ = 0;
};

// What a host keeps for the input of a control: the rules above for a two-state control, and
// for the others only the enabled state.
class TNoInput {
public:
    TNoInput(TControl& control, TPointerCapture&) : control_(control) {}
    void HostEnabled(bool enabled) { control_.SetEnabled(enabled); }

private:
    TControl& control_;
};
template <typename TCore>
using TInputOf =
    std::conditional_t<std::is_base_of_v<TAbBinGControl, TCore>, TTwoStateInput, TNoInput>;
