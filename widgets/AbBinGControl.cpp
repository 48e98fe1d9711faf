// SPDX-License-Identifier: MIT
#include "widgets/AbBinGControl.h"

#include <stdexcept>

#include <QKeyEvent>
#include <QList>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>

#include "base/ScopeGuard.h"
#include "widgets/FlashTimer.h"

namespace {

// Set while a status word spreads through a group, so that it spreads one level and never
// loops. GUI thread only.
bool propagating = false;

uint32_t Bit(int32_t index) {
    return 1u << index;
}

// The two-state controls among the owner's children, in the owner's order. Guarded pointers,
// since a handler run for one of them may delete another.
QList<QPointer<TAbBinGControl>> Siblings(const QWidget* owner) {
    QList<QPointer<TAbBinGControl>> result;
    if (!owner) return result;
    for (QObject* child : owner->children())
        if (auto* control = qobject_cast<TAbBinGControl*>(child)) result.append(control);
    return result;
}

}  // namespace

TAbBinGControl::TAbBinGControl(QWidget* owner) : QWidget(owner) {
    if (!owner) throw std::invalid_argument("Invalid class typecast");
    setMouseTracking(true);
}

TAbBinGControl::~TAbBinGControl() {
    TFlashTimer::UnregisterFlash(this);
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
    for (const QPointer<TAbBinGControl>& peer : Siblings(parentWidget()))
        if (peer && peer->groupIndex_ == groupIndex_) peer->SetStatusInt(statusInt_);
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
    for (const QPointer<TAbBinGControl>& peer : Siblings(parentWidget())) {
        if (peer && peer->groupIndex_ == groupIndex_) {
            SetStatusInt(peer->statusInt_);
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

// Surface -----------------------------------------------------------------------------------

void TAbBinGControl::Invalidate() {
    stale_ = true;
    update();
}

void TAbBinGControl::RepaintNow() {
    stale_ = true;
    if (!painting_) repaint();
}

void TAbBinGControl::ShowSurface(const QRect& r) {
    if (!painting_ && !r.isEmpty()) repaint(r);
}

void TAbBinGControl::paintEvent(QPaintEvent* event) {
    if (stale_ || surface_.size() != size()) {
        surface_ = QImage();
        if (width() > 0 && height() > 0) {
            surface_ = QImage(size(), QImage::Format_ARGB32_Premultiplied);
            surface_.fill(Qt::transparent);
            painting_ = true;
            const ScopeGuard painted([this] { painting_ = false; });
            ++fullPaints_;
            Paint();
        }
        stale_ = false;
    }
    if (surface_.isNull()) return;
    QPainter p(this);
    p.drawImage(event->rect(), surface_, event->rect());
}

void TAbBinGControl::resizeEvent(QResizeEvent* event) {
    stale_ = true;
    QWidget::resizeEvent(event);
}

void TAbBinGControl::showEvent(QShowEvent* event) {
    stale_ = true;
    QWidget::showEvent(event);
}

void TAbBinGControl::hideEvent(QHideEvent* event) {
    stale_ = true;
    QWidget::hideEvent(event);
}

void TAbBinGControl::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange) Invalidate();
    QWidget::changeEvent(event);
}

// Mouse -------------------------------------------------------------------------------------
// The start/stop logic of the window relies on this order: a left press marks a click pending,
// fires OnMouseDown, then the mode's down action; the release fires OnClick (only inside the
// control and only after a pending press), OnMouseUp, then the up action.

void TAbBinGControl::FireMouse(const TMouseEvent& handler, QMouseEvent* event) {
    if (!handler) return;
    const QPoint at = event->position().toPoint();
    handler(this, event->button(), event->modifiers(), at.x(), at.y());
}

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

void TAbBinGControl::mousePressEvent(QMouseEvent* event) {
    if (!AcceptsMouse()) {
        event->ignore();
        return;
    }
    // Where the second press of a double click is delivered as well, the double-click event
    // that follows handles it.
    if (event->flags().testFlag(Qt::MouseEventCreatedDoubleClick)) return;
    const bool left = event->button() == Qt::LeftButton;
    if (left) clickPending_ = true;
    FireMouse(onMouseDown_, event);
    if (left) DownAction();
}

void TAbBinGControl::mouseDoubleClickEvent(QMouseEvent* event) {
    if (!AcceptsMouse()) {
        event->ignore();
        return;
    }
    const bool left = event->button() == Qt::LeftButton;
    if (left) {
        clickPending_ = false;
        if (onDblClick_) onDblClick_(this);
    }
    FireMouse(onMouseDown_, event);
    if (left) DownAction();
}

void TAbBinGControl::mouseReleaseEvent(QMouseEvent* event) {
    // A press already taken is always finished, even if the control refuses input meanwhile.
    if (!AcceptsMouse() && !pressed_ && !clickPending_) {
        event->ignore();
        return;
    }
    const bool left = event->button() == Qt::LeftButton;
    if (left) {
        const bool click = clickPending_ && rect().contains(event->position().toPoint());
        clickPending_ = false;
        if (click && onClick_) onClick_(this);
    }
    FireMouse(onMouseUp_, event);
    if (left) UpAction();
}

void TAbBinGControl::FireKey(const TMouseEvent& handler, Qt::KeyboardModifiers modifiers) {
    if (handler) handler(this, Qt::LeftButton, modifiers, width() / 2, height() / 2);
}

void TAbBinGControl::keyPressEvent(QKeyEvent* event) {
    const bool space = event->key() == Qt::Key_Space && !event->isAutoRepeat();
    if (!space || mode_ == mIndicator || !AcceptsMouse() || pressed_) {
        if (!space || !keyPressed_) QWidget::keyPressEvent(event);
        return;
    }
    keyPressed_ = true;
    clickPending_ = true;
    FireKey(onMouseDown_, event->modifiers());
    DownAction();
}

void TAbBinGControl::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Space || event->isAutoRepeat() || !keyPressed_) {
        QWidget::keyReleaseEvent(event);
        return;
    }
    KeyUp(clickPending_, event->modifiers());
}

void TAbBinGControl::KeyUp(bool click, Qt::KeyboardModifiers modifiers) {
    keyPressed_ = false;
    clickPending_ = false;
    if (click && onClick_) onClick_(this);
    FireKey(onMouseUp_, modifiers);
    UpAction();
}

void TAbBinGControl::focusInEvent(QFocusEvent* event) {
    DrawState();
    QWidget::focusInEvent(event);
}

void TAbBinGControl::focusOutEvent(QFocusEvent* event) {
    // Space held while the focus moves away ends without a click, as a mouse press released
    // outside the control does.
    if (keyPressed_) KeyUp(false, Qt::NoModifier);
    DrawState();
    QWidget::focusOutEvent(event);
}

void TAbBinGControl::mouseMoveEvent(QMouseEvent* event) {
    if (!AcceptsMouse()) {
        event->ignore();
        return;
    }
    if (onMouseMove_) {
        const QPoint at = event->position().toPoint();
        onMouseMove_(this, event->modifiers(), at.x(), at.y());
    }
}
