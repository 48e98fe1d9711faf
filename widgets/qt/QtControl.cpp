// SPDX-License-Identifier: MIT
#include "widgets/qt/QtControl.h"

#include <QCoreApplication>
#include <QObject>

#include "widgets/FlashTimer.h"

namespace {

// Lives as a child of the parent widget, so the owner goes with it.
class TQtOwner final : public QObject {
public:
    explicit TQtOwner(QWidget* parent) : QObject(parent) {
        setObjectName(QStringLiteral("TQtOwner"));
    }
    TOwner owner;
};

}  // namespace

TOwner* QtOwnerOf(QWidget* parent) {
    if (!parent) return nullptr;
    for (QObject* child : parent->children())
        if (auto* o = dynamic_cast<TQtOwner*>(child)) return &o->owner;
    return &(new TQtOwner(parent))->owner;
}

void UseQtFlashDelivery() {
    static const bool installed = [] {
        TFlashTimer::SetPoster([](std::function<void()> work) {
            // Controls exist only while the application does, and were made after it was.
            QCoreApplication* app = QCoreApplication::instance();
            if (app) QMetaObject::invokeMethod(app, std::move(work), Qt::QueuedConnection);
        });
        return true;
    }();
    (void)installed;
}

TMouseButton FromQtButton(Qt::MouseButton button) {
    switch (button) {
        case Qt::RightButton:
            return mbRight;
        case Qt::MiddleButton:
            return mbMiddle;
        default:
            return mbLeft;
    }
}

Qt::MouseButton QtMouseButton(TMouseButton button) {
    switch (button) {
        case mbRight:
            return Qt::RightButton;
        case mbMiddle:
            return Qt::MiddleButton;
        case mbLeft:
            break;
    }
    return Qt::LeftButton;
}

TShiftState FromQtModifiers(Qt::KeyboardModifiers modifiers) {
    TShiftState s;
    if (modifiers & Qt::ShiftModifier) s = s | TShiftState{ssShift};
    if (modifiers & Qt::AltModifier) s = s | TShiftState{ssAlt};
    if (modifiers & Qt::ControlModifier) s = s | TShiftState{ssCtrl};
    return s;
}
