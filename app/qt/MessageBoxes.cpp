// SPDX-License-Identifier: MIT
#include "app/qt/MessageBoxes.h"

#include <QMessageBox>

#include "app/qt/ApplicationTitle.h"

namespace {
void ShowBox(QMessageBox::Icon icon, const QString& text) {
    // Without a parent the box is centred on the screen; exec makes it application-modal, so
    // no click reaches the window while it is up.
    QMessageBox box(icon, ApplicationTitle(), text, QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}
}  // namespace

void TQtMessageBoxes::ShowMessage(const QString& text) {
    ShowBox(QMessageBox::NoIcon, text);
}

void TQtMessageBoxes::ShowError(const QString& text) {
    ShowBox(QMessageBox::Critical, text);
}
