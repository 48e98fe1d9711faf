// SPDX-License-Identifier: MIT
#pragma once
// The flat "..." button. Reached with Tab, it is pressed with Space, as every button, and also
// with Enter, as the desktop the window was made for lets a focused button be pressed.
#include <QKeyEvent>
#include <QToolButton>

class TSpeedButton final : public QToolButton {
public:
    using QToolButton::QToolButton;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
        if (enter && !event->isAutoRepeat() && isEnabled()) {
            click();
            return;
        }
        QToolButton::keyPressEvent(event);
    }
};
