// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "WidgetTesting.h"
#include "widgets/qt/QtControl.h"

TEST(Gauge, ProgressRepaintsOnlyWhenTheWholePercentageChanges) {
    HostWindow window;
    TQtGauge g(&window);
    g.setGeometry(0, 142, 350, 25);
    g.SetMaxValue(1000);
    window.ShowExposed();
    PaintCounter paints(&g);
    g.SetProgress(9);  // still 0 %
    EXPECT_EQ(paints.count, 0);
    EXPECT_EQ(g.Progress(), 9);
    g.SetProgress(10);
    EXPECT_EQ(paints.count, 1);
    g.SetProgress(19);
    g.SetProgress(19);
    EXPECT_EQ(paints.count, 1);
    g.SetMaxValue(10);  // lowers Progress and repaints
    EXPECT_EQ(g.Progress(), 10);
    EXPECT_EQ(paints.count, 2);
    EXPECT_EQ(window.ScreenOf(&g), g.PaintImage()) << "the screen shows the picture";
}
