// SPDX-License-Identifier: MIT
// The Qt widget tests need a QApplication with a fixed palette and font, so that every pixel they
// check is the same on every machine.
#include <gtest/gtest.h>

#include <QApplication>

#include "widgets/qt/QtDesktopStyle.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ApplyDesktopStyle(app);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
