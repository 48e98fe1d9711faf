// SPDX-License-Identifier: MIT
#include "app/qt/Startup.h"

#include <QApplication>
#include <QIcon>

#include "app/Form1Description.h"
#include "app/qt/ApplicationTitle.h"
#include "app/qt/MessageBoxes.h"
#include "app/qt/QtTranslations.h"
#include "app/qt/Unit1.h"
#include "base/ScopeGuard.h"
#include "line/Problem.h"
#include "serial/VaClasses.h"
#include "widgets/FlashThread.h"
#include "widgets/qt/QtDesktopStyle.h"
#include "words/Words.h"

namespace {
// Errors that reach no handler of the window (a component without one of its own).
void ShowApplicationError(const std::exception& error) {
    TQtMessageBoxes().ShowError(QString::fromUtf8(ErrorBoxText(ProblemOf(error))));
}
}  // namespace

int RunTevrLoader(int& argc, char** argv, const std::function<void(TForm1&)>& onCreated) {
    // The boxes before the window is made speak its language too.
    UseWindowLanguage();
    TFlashThread::Start();
    const ScopeGuard flashTimer(&TFlashThread::Stop);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tevr-loader"));
    // Lets the desktop match the window to its launcher (name and icon of the task-bar entry).
    QGuiApplication::setDesktopFileName(QStringLiteral("tevr-loader"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("tevr-loader")));
    ApplyDesktopStyle(app);
    InstallQtTranslations(app);
    SetApplicationTitle(QString::fromUtf8(ApplicationTitleText()));
    VaSetApplicationExceptionHandler(ShowApplicationError);
    // Undone when the application goes.
    const ScopeGuard errorHook([] { VaSetApplicationExceptionHandler(nullptr); });

    TForm1 form;
    if (onCreated) onCreated(form);
    form.show();
    return QApplication::exec();
}
