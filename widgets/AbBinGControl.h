// SPDX-License-Identifier: MIT
#pragma once
// The base of the two-state controls (LED, colour button): Checked, a status word shared by a
// group, the mouse behaviour of its Mode, and flashing while checked. The base draws nothing:
// it tells the derived control through five hooks what to redraw.
//
// The derived controls draw into an off-screen surface. A full Paint renders all of it on the
// next paint event; DrawState and FlashPhase compose the state part into it and repaint just
// that rectangle at once.
#include <cstdint>
#include <functional>

#include <QImage>
#include <QWidget>

class TFlashTimer;

enum TMode { mButton, mSwitch, mIndicator, mRadioButton };
enum TFlashFreq { ff8Hz, ff4Hz, ff2Hz, ff1Hz, ff05Hz };

// The bit of the 50 ms tick counter whose flips are the phases at this frequency.
constexpr uint32_t FlashDivisor(TFlashFreq f) {
    return 1u << static_cast<int>(f);
}

class TAbBinGControl : public QWidget {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(TAbBinGControl* sender)>;
    using TMouseEvent = std::function<void(TAbBinGControl* sender, Qt::MouseButton button,
                                           Qt::KeyboardModifiers shift, int x, int y)>;
    using TMouseMoveEvent =
        std::function<void(TAbBinGControl* sender, Qt::KeyboardModifiers shift, int x, int y)>;

    // The owner becomes the parent; a control without one is refused.
    explicit TAbBinGControl(QWidget* owner);
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

    // How many times the whole surface was rendered (the full Paint); the state redraws do not
    // count. For checks that a state change stays cheap.
    int FullPaintCount() const { return fullPaints_; }

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
    // Whether mouse input reaches the control at all.
    virtual bool AcceptsMouse() const { return true; }

    // Renders the whole surface; called from the paint event when the surface is stale.
    virtual void Paint() {}

    // The control's off-screen surface, transparent where the parent shows through; null
    // before the first paint.
    QImage& Surface() { return surface_; }
    // The next paint event renders the whole surface again (and one is scheduled).
    void Invalidate();
    // As Invalidate, but paints at once.
    void RepaintNow();
    // Shows the rectangle of the surface that a state redraw changed, at once.
    void ShowSurface(const QRect& r);
    bool Hidden() const { return isHidden(); }

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    // A control that takes the focus is pressed with Space: the press and the release act as
    // the left mouse button's inside the control (OnMouseDown, OnClick, OnMouseUp alike).
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    friend class TFlashTimer;
    // The flash timer's message, delivered on the GUI thread.
    void FlashMessage(uint32_t tick, bool on);
    void UpdateFlashEntry();
    void JoinGroup();
    void DownAction();
    void UpAction();
    void FireMouse(const TMouseEvent& handler, QMouseEvent* event);
    void FireKey(const TMouseEvent& handler, Qt::KeyboardModifiers modifiers);
    void KeyUp(bool click, Qt::KeyboardModifiers modifiers);

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

    QImage surface_;
    bool stale_ = true;
    bool painting_ = false;
    int fullPaints_ = 0;

    TNotifyEvent onStatusChanged_;
    TNotifyEvent onStatusIntChanged_;
    TNotifyEvent onClick_;
    TNotifyEvent onDblClick_;
    TMouseEvent onMouseDown_;
    TMouseEvent onMouseUp_;
    TMouseMoveEvent onMouseMove_;
};
