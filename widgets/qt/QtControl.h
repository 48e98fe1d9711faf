// SPDX-License-Identifier: MIT
#pragma once
// The Qt host of a windowless control: a QWidget that is the control as well. It paints the
// control onto an off-screen surface (transparent where the parent shows through) when Qt asks,
// lets the control draw its state straight onto that surface and shows the changed rectangle at
// once, and hands the control its size, visibility, mouse, keyboard and focus events.
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

#include "base/ScopeGuard.h"
#include "widgets/AbBinGControl.h"
#include "widgets/AbColBitBtn.h"
#include "widgets/AbLED.h"
#include "widgets/Gauge.h"
#include "widgets/qt/QtCanvas.h"

// The owner of the controls hosted on `parent` (made with the first of them); null for none.
TOwner* QtOwnerOf(QWidget* parent);
// Makes the flash timer hand its phases to Qt's event loop (once; later calls do nothing).
void UseQtFlashDelivery();

TMouseButton FromQtButton(Qt::MouseButton button);
Qt::MouseButton QtMouseButton(TMouseButton button);
TShiftState FromQtModifiers(Qt::KeyboardModifiers modifiers);

template <typename TCore>
class TQtControl : public QWidget, public TCore {
public:
    explicit TQtControl(QWidget* parent = nullptr) : QWidget(parent), TCore(QtOwnerOf(parent)) {
        UseQtFlashDelivery();
        if constexpr (kTwoState) setMouseTracking(true);
        if constexpr (std::is_base_of_v<TGauge, TCore>) setAttribute(Qt::WA_OpaquePaintEvent);
        QWidget::resize(TCore::Width(), TCore::Height());
    }

    // How many times the whole surface was painted; the state redraws do not count. For checks
    // that a state change stays cheap.
    int FullPaintCount() const { return fullPaints_; }

    // The control's whole picture as a full paint draws it (the parent's background left
    // transparent).
    QImage PaintImage() {
        QImage image(size(), QImage::Format_ARGB32_Premultiplied);
        if (image.isNull()) return image;
        image.fill(Qt::transparent);
        {
            TQtCanvas canvas(image);
            static_cast<TCore&>(*this).Paint(canvas);  // as the most derived control paints
        }
        return image.convertToFormat(QImage::Format_RGB32);
    }

    void setVisible(bool visible) override {
        QWidget::setVisible(visible);
        TCore::SetVisible(!isHidden());
    }

protected:
    static constexpr bool kTwoState = std::is_base_of_v<TAbBinGControl, TCore>;

    // --- The control's desktop -----------------------------------------------------------
    void Invalidate() override {
        stale_ = true;
        update();
    }
    void Repaint() override {
        stale_ = true;
        if (!painting_) repaint();
    }
    void DrawNow(const TRect& area, const std::function<void(TCanvas&)>& draw) override {
        if (surface_.isNull() || painting_ || surface_.size() != size()) return;
        {
            TQtCanvas canvas(surface_);
            draw(canvas);
        }
        if (!area.IsEmpty()) repaint(area.Left, area.Top, area.Width(), area.Height());
    }
    bool Focused() const override { return hasFocus(); }
    bool MouseCaptured() const override {
        return QWidget::mouseGrabber() || QGuiApplication::mouseButtons() != Qt::NoButton;
    }
    TColor OwnerColor() const override {
        if (const QWidget* p = parentWidget())
            return FromQColor(p->palette().color(QPalette::Window));
        return clBtnFace;
    }

    // --- Qt's events ---------------------------------------------------------------------
    void paintEvent(QPaintEvent* event) override {
        TCore::SetSize(width(), height());  // a resize of a hidden widget reaches Qt at its show
        if (stale_ || surface_.size() != size()) {
            surface_ = QImage();
            if (width() > 0 && height() > 0) {
                surface_ = QImage(size(), QImage::Format_ARGB32_Premultiplied);
                surface_.fill(Qt::transparent);
                painting_ = true;
                const ScopeGuard painted([this] { painting_ = false; });
                ++fullPaints_;
                TQtCanvas canvas(surface_);
                static_cast<TCore&>(*this).Paint(canvas);  // as the most derived control paints
            }
            stale_ = false;
        }
        if (surface_.isNull()) return;
        QPainter p(this);
        p.drawImage(event->rect(), surface_, event->rect());
    }
    void resizeEvent(QResizeEvent* event) override {
        stale_ = true;
        TCore::SetSize(width(), height());
        QWidget::resizeEvent(event);
    }
    void showEvent(QShowEvent* event) override {
        stale_ = true;
        QWidget::showEvent(event);
    }
    void hideEvent(QHideEvent* event) override {
        stale_ = true;
        QWidget::hideEvent(event);
    }
    void changeEvent(QEvent* event) override {
        if (event->type() == QEvent::PaletteChange) Invalidate();
        QWidget::changeEvent(event);
    }

    void mousePressEvent(QMouseEvent* event) override {
        if constexpr (kTwoState) {
            if (!TCore::AcceptsMouse()) return event->ignore();
            // Where the second press of a double click is delivered as well, the double-click
            // event that follows handles it.
            if (event->flags().testFlag(Qt::MouseEventCreatedDoubleClick)) return;
            const QPoint at = event->position().toPoint();
            TCore::MouseDown(FromQtButton(event->button()), FromQtModifiers(event->modifiers()),
                             at.x(), at.y());
        } else {
            QWidget::mousePressEvent(event);
        }
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override {
        if constexpr (kTwoState) {
            if (!TCore::AcceptsMouse()) return event->ignore();
            const QPoint at = event->position().toPoint();
            TCore::DblClick(FromQtButton(event->button()), FromQtModifiers(event->modifiers()),
                            at.x(), at.y());
        } else {
            QWidget::mouseDoubleClickEvent(event);
        }
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        if constexpr (kTwoState) {
            if (!TCore::AcceptsMouse() && !TCore::HoldsPress()) return event->ignore();
            const QPoint at = event->position().toPoint();
            TCore::MouseUp(FromQtButton(event->button()), FromQtModifiers(event->modifiers()),
                           at.x(), at.y());
        } else {
            QWidget::mouseReleaseEvent(event);
        }
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        if constexpr (kTwoState) {
            if (!TCore::AcceptsMouse()) return event->ignore();
            const QPoint at = event->position().toPoint();
            TCore::MouseMove(FromQtModifiers(event->modifiers()), at.x(), at.y());
        } else {
            QWidget::mouseMoveEvent(event);
        }
    }
    void enterEvent(QEnterEvent* event) override {
        if constexpr (kTwoState) TCore::MouseEnter();
        QWidget::enterEvent(event);
    }
    void leaveEvent(QEvent* event) override {
        if constexpr (kTwoState) TCore::MouseLeave();
        QWidget::leaveEvent(event);
    }
    void keyPressEvent(QKeyEvent* event) override {
        if constexpr (kTwoState) {
            const bool space = event->key() == Qt::Key_Space && !event->isAutoRepeat();
            if (space && TCore::SpaceDown(FromQtModifiers(event->modifiers()))) return;
            if (space && TCore::SpaceHeld()) return;
        }
        QWidget::keyPressEvent(event);
    }
    void keyReleaseEvent(QKeyEvent* event) override {
        if constexpr (kTwoState) {
            if (event->key() == Qt::Key_Space && !event->isAutoRepeat() &&
                TCore::SpaceUp(FromQtModifiers(event->modifiers())))
                return;
        }
        QWidget::keyReleaseEvent(event);
    }
    void focusInEvent(QFocusEvent* event) override {
        if constexpr (kTwoState) TCore::FocusIn();
        QWidget::focusInEvent(event);
    }
    void focusOutEvent(QFocusEvent* event) override {
        if constexpr (kTwoState) TCore::FocusOut();
        QWidget::focusOutEvent(event);
    }

private:
    QImage surface_;
    bool stale_ = true;
    bool painting_ = false;
    int fullPaints_ = 0;
};

using TQtAbLED = TQtControl<TAbLED>;
using TQtAbColBitBtn = TQtControl<TAbColBitBtn>;
using TQtGauge = TQtControl<TGauge>;
