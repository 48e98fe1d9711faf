// SPDX-License-Identifier: MIT
#pragma once
// The open-file dialog as the window keeps it: its settings and the last chosen name. The
// dialog itself is made only when it is shown, so it costs nothing at start-up.
#include <functional>
#include <memory>

#include <QString>

class QFileDialog;
class QWidget;

class TOpenDialog {
public:
    // Shows the dialog; returns false when the user cancelled. Tests put a function in its place
    // that sets FileName without showing anything.
    using TExecutor = std::function<bool(TOpenDialog& dialog)>;

    QString Title;
    QString FilterName;     // what the filter list shows
    QString FilterPattern;  // the file names it admits
    QString FileName;       // the chosen file; it need not exist

    // Shows the dialog over `parent` and waits; on OK, FileName holds the chosen file.
    bool Execute(QWidget* parent);
    void SetExecutor(TExecutor executor) { executor_ = std::move(executor); }

    // The dialog Execute shows, with every setting applied; it starts in the folder of the
    // last chosen file.
    std::unique_ptr<QFileDialog> MakeDialog(QWidget* parent) const;

private:
    TExecutor executor_;
};
