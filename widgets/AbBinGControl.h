// SPDX-License-Identifier: MIT
#pragma once
// The base of the two-state controls (LED, colour button): Checked, a status word shared by a
// group, the mouse behaviour of its Mode, and flashing while checked. The base draws nothing:
// it tells the derived control through five hooks what to redraw.
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "widgets/Control.h"
#include "widgets/FlashTimer.h"
#include "widgets/Set.h"

enum TMode { mButton, mSwitch, mIndicator, mRadioButton };
enum TFlashFreq { ff8Hz, ff4Hz, ff2Hz, ff1Hz, ff05Hz };
enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TShiftKey { ssShift, ssAlt, ssCtrl };
using TShiftState = TSet<TShiftKey>;

// The bit of the 50 ms tick counter whose flips are the phases at this frequency.
constexpr uint32_t FlashDivisor(TFlashFreq f) {
    return 1u << static_cast<int>(f);
}

class TAbBinGControl : public TControl, public TFlashing {
public:
    using TNotifyEvent = std::function<void(TAbBinGControl* sender)>;
    using TMouseEvent = std::function<void(TAbBinGControl* sender, TMouseButton button,
                                           TShiftState shift, int x, int y)>;
    using TMouseMoveEvent =
        std::function<void(TAbBinGControl* sender, TShiftState shift, int x, int y)>;

    // A control without an owner is refused.
    explicit TAbBinGControl(TOwner* owner);
    ~TAbBinGControl() override;

    bool Checked() const { return checked_; }
    TFlashFreq Frequency() const { return frequency_; }
    bool Flashing() const { return flashing_; }
    int32_t StatusInt() const { return statusInt_; }
    int32_t StatusBit() const { return statusBit_; }
    int32_t GroupIndex() const { return groupIndex_; }
    TMode Mode() const { return mode_; }
    // Held while the left button is down on the control (modes other than mIndicator).
    bool Pressed() const { return pressed_; }

    void SetChecked(bool value);
    void SetStatusInt(int32_t value);
    // Ignored outside 0..31.
    void SetStatusBit(int32_t value);
    void SetMode(TMode value);
    // Ignored when negative; 0 leaves the group.
    void SetGroupIndex(int32_t value);
    void SetFlashing(bool value);
    void SetFrequency(TFlashFreq value);

    // Fired after every change of Checked and of Flashing.
    void SetOnStatusChanged(TNotifyEvent handler) { onStatusChanged_ = std::move(handler); }
    // Fired after every change of StatusInt.
    void SetOnStatusIntChanged(TNotifyEvent handler) { onStatusIntChanged_ = std::move(handler); }
    // A left press and release inside the control; in mSwitch mode Checked already holds the
    // new value.
    void SetOnClick(TNotifyEvent handler) { onClick_ = std::move(handler); }
    void SetOnDblClick(TNotifyEvent handler) { onDblClick_ = std::move(handler); }
    void SetOnMouseDown(TMouseEvent handler) { onMouseDown_ = std::move(handler); }
    void SetOnMouseUp(TMouseEvent handler) { onMouseUp_ = std::move(handler); }
    void SetOnMouseMove(TMouseMoveEvent handler) { onMouseMove_ = std::move(handler); }

    // --- Input from the desktop, in the control's coordinates --------------------------------
    // The start/stop logic of the window relies on this order: a left press marks a click
    // pending, fires OnMouseDown, then the mode's down action; the release fires OnClick (only
    // inside the control and only after a pending press), OnMouseUp, then the up action.
    // A press is still to be finished, even if the control refuses input meanwhile.
    bool HoldsPress() const { return pressed_ || clickPending_; }
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    // A left press whose release will never come (the desktop gave the pointer to another
    // window) ends as one released outside: no click, OnMouseUp at the last point seen, the up
    // action. A press of Space is left to its key.
    void MousePressLost(int x, int y);
    // The second press of a double click: OnDblClick, then as a press without a pending click.
    void DblClick(TMouseButton button, TShiftState shift, int x, int y);
    void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseEnter() {}
    virtual void MouseLeave() {}
    // Space on a focused control acts as the left button pressed and released inside it.
    // SpaceDown is false when the control leaves the key to the desktop; SpaceUp when no press
    // of Space is held.
    bool SpaceDown(TShiftState shift);
    bool SpaceUp(TShiftState shift);
    bool SpaceHeld() const { return keyPressed_; }
    void FocusIn();
    // Space held while the focus moves away ends without a click, as a mouse press released
    // outside the control does.
    void FocusOut();
    // A press of Space whose release will never come ends the same way.
    void KeyPressLost();

protected:
    // A setting changed the whole look (also the caption text).
    virtual void SettingsChanged() {}
    // The state changed: redraw the state-dependent part at once.
    virtual void DrawState() {}
    virtual void GroupIndexChanged() {}
    // After StatusInt changed, before OnStatusIntChanged.
    virtual void StatusIntChanged() {}
    // The flash timer reports a phase.
    virtual void FlashPhase(bool on) { (void)on; }

private:
    void FlashMessage(uint32_t tick, bool on) override;
    void UpdateFlashEntry();
    void JoinGroup();
    void DownAction();
    void UpAction();
    void LeftUp(bool inside, TShiftState shift, int x, int y);
    void KeyUp(bool click, TShiftState shift);
    // The two-state controls among the owner's components, in the owner's order, each
    // guarded, since a handler run for one of them may destroy another.
    std::vector<std::weak_ptr<TAbBinGControl*>> Siblings() const;

    bool checked_ = false;
    TFlashFreq frequency_ = ff1Hz;
    bool flashing_ = false;
    int32_t statusInt_ = 0;
    int32_t statusBit_ = 0;
    int32_t groupIndex_ = 0;
    TMode mode_ = mIndicator;
    bool pressed_ = false;
    bool clickPending_ = false;
    bool keyPressed_ = false;  // Space is held
    // Expires with the control, so that a group walk finds a member a handler destroyed gone.
    std::shared_ptr<TAbBinGControl*> alive_ = std::make_shared<TAbBinGControl*>(this);

    TNotifyEvent onStatusChanged_;
    TNotifyEvent onStatusIntChanged_;
    TNotifyEvent onClick_;
    TNotifyEvent onDblClick_;
    TMouseEvent onMouseDown_;
    TMouseEvent onMouseUp_;
    TMouseMoveEvent onMouseMove_;
};
