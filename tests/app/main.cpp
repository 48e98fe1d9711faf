// SPDX-License-Identifier: MIT
// The window's tests need a QApplication with the desktop look, as the program has.
#include <gtest/gtest.h>

#include <QApplication>

#include "app/qt/ApplicationTitle.h"
#include "widgets/qt/QtDesktopStyle.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // As the program does before it makes its window.
    UseWindowLanguage();
    ApplyDesktopStyle(app);
    SetApplicationTitle(QString::fromUtf8(ApplicationTitleText()));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
