// SPDX-License-Identifier: MIT
#pragma once
// The Qt host of a windowless control: a QWidget that is the control as well. Its surface is a
// QImage, transparent where the parent shows through, kept by the rules every host shares
// (THostedControl); it hands the control its size and visibility, its enabled state, and its
// mouse, keyboard, focus and activation events through the two-state controls' input rules
// (TTwoStateInput).
//
//     TQtAbLED* led = new TQtAbLED(window);   // a TAbLED and a QWidget child of window
//
// The controls of one parent widget share one owner, so that groups find each other.
#include <functional>
#include <type_traits>

#include <QEnterEvent>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWidget>

#include "widgets/AbColBitBtn.h"
#include "widgets/AbLED.h"
#include "widgets/Gauge.h"
#include "widgets/HostedControl.h"
#include "widgets/qt/QtCanvas.h"

// The owner of the controls hosted on `parent` (made with the first of them); null for none.
TOwner* QtOwnerOf(QWidget* parent);
// Makes the flash timer hand its phases to Qt's event loop (once; later calls do nothing).
void UseQtFlashDelivery();

TMouseButton FromQtButton(Qt::MouseButton button);
Qt::MouseButton QtMouseButton(TMouseButton button);
TShiftState FromQtModifiers(Qt::KeyboardModifiers modifiers);

// Qt holds the pointer for the widget pressed until the last release by itself.
class TQtPointerCapture final : public TPointerCapture {
public:
    void Take() override {}
    void Give() override {}
};

template <typename TCore>
class TQtControl : public QWidget, public THostedControl<TCore> {
    using THosted = THostedControl<TCore>;

public:
    explicit TQtControl(QWidget* parent = nullptr)
        : QWidget(parent), THosted(QtOwnerOf(parent), capture_) {
        UseQtFlashDelivery();
        if constexpr (kTwoState) setMouseTracking(true);
        if constexpr (std::is_base_of_v<TGauge, TCore>) setAttribute(Qt::WA_OpaquePaintEvent);
        QWidget::resize(TCore::Width(), TCore::Height());
    }

    // The control's whole picture as a full paint draws it (the parent's background left
    // transparent).
    QImage PaintImage() {
        QImage image(size(), QImage::Format_ARGB32_Premultiplied);
        if (image.isNull()) return image;
        image.fill(Qt::transparent);
        {
            TQtCanvas canvas(image);
            this->PaintControl(canvas);
        }
        return image.convertToFormat(QImage::Format_RGB32);
    }

    void setVisible(bool visible) override {
        QWidget::setVisible(visible);
        TCore::SetVisible(!isHidden());
    }

protected:
    using THosted::input_;
    using THosted::kTwoState;

    // --- The control's desktop -----------------------------------------------------------
    bool Focused() const override { return hasFocus(); }
    bool MouseCaptured() const override {
        return QWidget::mouseGrabber() || QGuiApplication::mouseButtons() != Qt::NoButton;
    }
    TColor OwnerColor() const override {
        if (const QWidget* p = parentWidget())
            return FromQColor(p->palette().color(QPalette::Window));
        return clBtnFace;
    }

    // --- The surface's desktop -------------------------------------------------------------
    TSize SurfaceSize() const override { return {surface_.width(), surface_.height()}; }
    TSize ScreenSize() const override { return {width(), height()}; }
    void DropSurface() override { surface_ = QImage(); }
    void NewSurface(TSize size) override {
        surface_ = QImage(size.cx, size.cy, QImage::Format_ARGB32_Premultiplied);
        surface_.fill(Qt::transparent);
    }
    void DrawOnSurface(const std::function<void(TCanvas&)>& draw) override {
        TQtCanvas canvas(surface_);
        draw(canvas);
    }
    void PaintLater() override { update(); }
    void PaintAtOnce() override { repaint(); }
    void ShowNow(const TRect& area) override {
        repaint(area.Left, area.Top, area.Width(), area.Height());
    }

    // --- Qt's events ---------------------------------------------------------------------
    void paintEvent(QPaintEvent* event) override {
        TCore::SetSize(width(), height());  // a resize of a hidden widget reaches Qt at its show
        this->RefreshSurface();
        if (surface_.isNull()) return;
        QPainter p(this);
        p.drawImage(event->rect(), surface_, event->rect());
    }
    void resizeEvent(QResizeEvent* event) override {
        this->SurfaceOutdated();
        TCore::SetSize(width(), height());
        QWidget::resizeEvent(event);
    }
    void showEvent(QShowEvent* event) override {
        this->SurfaceOutdated();
        QWidget::showEvent(event);
    }
    void hideEvent(QHideEvent* event) override {
        this->SurfaceOutdated();
        QWidget::hideEvent(event);
    }
    void changeEvent(QEvent* event) override {
        if (event->type() == QEvent::PaletteChange) this->InvalidateSurface();
        // Also when the parent's state disables the widget.
        if (event->type() == QEvent::EnabledChange) this->HostEnabled(isEnabled());
        QWidget::changeEvent(event);
    }
    bool event(QEvent* event) override {
        if constexpr (kTwoState) {
            // A box shown in the middle of a press takes the pointer with the activation, and
            // the release goes to the box.
            if (event->type() == QEvent::WindowDeactivate) input_.CaptureLost();
        }
        return QWidget::event(event);
    }

    void mousePressEvent(QMouseEvent* event) override {
        if constexpr (kTwoState) {
            // Where the second press of a double click is delivered as well, the double-click
            // event that follows handles it.
            const TPressKind kind = event->flags().testFlag(Qt::MouseEventCreatedDoubleClick)
                                        ? TPressKind::Doubled
                                        : TPressKind::Single;
            if (!Press(kind, event)) event->ignore();
        } else {
            QWidget::mousePressEvent(event);
        }
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override {
        if constexpr (kTwoState) {
            if (!Press(TPressKind::Double, event)) event->ignore();
        } else {
            QWidget::mouseDoubleClickEvent(event);
        }
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        if constexpr (kTwoState) {
            const QPoint at = event->position().toPoint();
            if (!input_.Release(FromQtButton(event->button()), FromQtModifiers(event->modifiers()),
                                at.x(), at.y(), event->buttons() != Qt::NoButton))
                event->ignore();
        } else {
            QWidget::mouseReleaseEvent(event);
        }
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        if constexpr (kTwoState) {
            const QPoint at = event->position().toPoint();
            if (!input_.Move(FromQtModifiers(event->modifiers()), at.x(), at.y())) event->ignore();
        } else {
            QWidget::mouseMoveEvent(event);
        }
    }
    void enterEvent(QEnterEvent* event) override {
        if constexpr (kTwoState) input_.Enter();
        QWidget::enterEvent(event);
    }
    void leaveEvent(QEvent* event) override {
        if constexpr (kTwoState) input_.Leave();
        QWidget::leaveEvent(event);
    }
    void keyPressEvent(QKeyEvent* event) override {
        if constexpr (kTwoState) {
            if (event->key() == Qt::Key_Space &&
                input_.SpaceDown(event->isAutoRepeat(), FromQtModifiers(event->modifiers())))
                return;
        }
        QWidget::keyPressEvent(event);
    }
    void keyReleaseEvent(QKeyEvent* event) override {
        if constexpr (kTwoState) {
            if (event->key() == Qt::Key_Space &&
                input_.SpaceUp(event->isAutoRepeat(), FromQtModifiers(event->modifiers())))
                return;
        }
        QWidget::keyReleaseEvent(event);
    }
    void focusInEvent(QFocusEvent* event) override {
        if constexpr (kTwoState) input_.FocusIn();
        QWidget::focusInEvent(event);
    }
    void focusOutEvent(QFocusEvent* event) override {
        if constexpr (kTwoState) input_.FocusOut();
        QWidget::focusOutEvent(event);
    }

private:
    bool Press(TPressKind kind, const QMouseEvent* event) {
        const QPoint at = event->position().toPoint();
        return input_.Press(kind, FromQtButton(event->button()),
                            FromQtModifiers(event->modifiers()), at.x(), at.y());
    }

    QImage surface_;
    TQtPointerCapture capture_;
};

using TQtAbLED = TQtControl<TAbLED>;
using TQtAbColBitBtn = TQtControl<TAbColBitBtn>;
using TQtGauge = TQtControl<TGauge>;
