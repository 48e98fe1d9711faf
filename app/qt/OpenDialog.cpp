// SPDX-License-Identifier: MIT
#include "app/qt/OpenDialog.h"

#include <QFileDialog>
#include <QFileInfo>

namespace {
// The pattern with each letter in both cases ("*.hex" gives "*.[hH][eE][xX]"): the desktop the
// tool was made for matches file names regardless of case, and users keep their ".HEX" files.
QString AnyCase(const QString& pattern) {
    QString result;
    for (const QChar c : pattern) {
        if (c.toLower() != c.toUpper())
            result += u'[' + QString(c.toLower()) + c.toUpper() + u']';
        else
            result += c;
    }
    return result;
}
}  // namespace

bool TOpenDialog::Execute(QWidget* parent) {
    if (executor_) return executor_(*this);
    const std::unique_ptr<QFileDialog> dialog = MakeDialog(parent);
    if (dialog->exec() != QDialog::Accepted) return false;
    const QStringList chosen = dialog->selectedFiles();
    if (chosen.isEmpty()) return false;
    FileName = chosen.first();
    return true;
}

std::unique_ptr<QFileDialog> TOpenDialog::MakeDialog(QWidget* parent) const {
    auto dialog = std::make_unique<QFileDialog>(parent, Title);
    // Qt's own dialog on every desktop: a platform dialog may insist that the file exists.
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    // The list shows the filter's name only, not the pattern with its letter sets.
    dialog->setOption(QFileDialog::HideNameFilterDetails);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setNameFilter(FilterName + QStringLiteral(" (") + AnyCase(FilterPattern) + u')');
    if (!FileName.isEmpty()) {
        const QFileInfo last(FileName);
        dialog->setDirectory(last.absolutePath());
        dialog->selectFile(last.fileName());
    }
    return dialog;
}
