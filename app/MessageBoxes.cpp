// SPDX-License-Identifier: MIT
#include "app/MessageBoxes.h"

#include <QMessageBox>

#include "app/ApplicationTitle.h"

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

QString ErrorBoxText(const char* message) {
    QString text = QString::fromUtf8(message);
    // Compared as characters, not as bytes: every byte of a Cyrillic letter in UTF-8 is above
    // 0x7F, which a signed byte would take for a value below ".".
    if (!text.isEmpty() && text.back().unicode() > u'.') text += u'.';
    return text;
}
