// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "WidgetTesting.h"
#include "widgets/qt/QtControl.h"

namespace {

using Log = std::vector<std::string>;

// A two-state control on Qt that writes every hook and event into a log.
class Probe : public TQtControl<TAbBinGControl> {
public:
    Probe(QWidget* owner, Log& log) : TQtControl<TAbBinGControl>(owner), log_(log) {
        resize(60, 30);
        SetOnStatusChanged([this](TAbBinGControl*) { Note("OnStatusChanged", Checked()); });
        SetOnStatusIntChanged([this](TAbBinGControl*) { Note("OnStatusIntChanged", StatusInt()); });
        SetOnClick([this](TAbBinGControl*) { Note("OnClick", Checked()); });
        SetOnDblClick([this](TAbBinGControl*) { Note("OnDblClick", Checked()); });
        SetOnMouseDown([this](TAbBinGControl*, TMouseButton b, TShiftState, int, int) {
            Note("OnMouseDown", QtMouseButton(b));
        });
        SetOnMouseUp([this](TAbBinGControl*, TMouseButton b, TShiftState, int, int) {
            Note("OnMouseUp", QtMouseButton(b));
        });
    }
    void Paint(TCanvas&) override {}

protected:
    void DrawState() override { Note("DrawState", Checked()); }
    void StatusIntChanged() override { Note("StatusIntChanged", StatusInt()); }

private:
    void Note(const char* what, long long value) {
        log_.push_back(std::string(what) + " " + std::to_string(value));
    }
    Log& log_;
};

struct Control : ::testing::Test {
    HostWindow window;
    Log log;
    Probe probe{&window, log};
    QPoint inside{30, 15};
    QPoint outside{90, 15};

    void Show() {
        probe.move(10, 10);
        window.ShowExposed();
        log.clear();
    }
    QWindow* Screen() { return window.windowHandle(); }
    QPoint OnScreen(QPoint local) { return probe.mapTo(&window, local); }
};

}  // namespace

TEST_F(Control, SwitchFlipsOnPressAndClicksOnReleaseInside) {
    probe.SetMode(mSwitch);
    Show();
    QTest::mousePress(&probe, Qt::LeftButton, {}, inside);
    EXPECT_TRUE(probe.Checked());
    EXPECT_TRUE(probe.Pressed());
    EXPECT_EQ(log.front(), "OnMouseDown 1");
    EXPECT_EQ(log.back(), "OnStatusChanged 1");
    log.clear();
    QTest::mouseRelease(&probe, Qt::LeftButton, {}, inside);
    EXPECT_EQ(log, (Log{"OnClick 1", "OnMouseUp 1", "DrawState 1"}));
    EXPECT_FALSE(probe.Pressed());
}

TEST_F(Control, SwitchReleasedOutsideStaysFlippedWithoutAClick) {
    probe.SetMode(mSwitch);
    Show();
    // Through the window system, so the release goes to the control that holds the press.
    QTest::mousePress(Screen(), Qt::LeftButton, {}, OnScreen(inside));
    QTest::mouseMove(Screen(), OnScreen(outside));
    QTest::mouseRelease(Screen(), Qt::LeftButton, {}, OnScreen(outside));
    EXPECT_TRUE(probe.Checked());
    EXPECT_FALSE(probe.Pressed());
    for (const std::string& line : log)
        EXPECT_NE(line.rfind("OnClick", 0), 0u) << line;
    EXPECT_EQ(log.back(), "DrawState 1");
}

TEST_F(Control, SwitchDoubleClickFlipsTwiceAndClicksOnce) {
    probe.SetMode(mSwitch);
    Show();
    auto clicks = [&] {
        std::vector<std::string> seen;
        for (const std::string& line : log)
            if (line.rfind("OnClick", 0) == 0 || line.rfind("OnDblClick", 0) == 0)
                seen.push_back(line);
        return seen;
    };
    // As the window system delivers it: press, release, press (marked), double click, release.
    QTest::mouseDClick(Screen(), Qt::LeftButton, {}, OnScreen(inside));
    EXPECT_FALSE(probe.Checked());
    EXPECT_EQ(clicks(), (std::vector<std::string>{"OnClick 1", "OnDblClick 1"}));
    log.clear();
    // As a bare double-click event after a click.
    QTest::mouseClick(&probe, Qt::LeftButton, {}, inside);
    QTest::mouseDClick(&probe, Qt::LeftButton, {}, inside);
    QTest::mouseRelease(&probe, Qt::LeftButton, {}, inside);
    EXPECT_FALSE(probe.Checked());
    EXPECT_EQ(clicks(), (std::vector<std::string>{"OnClick 1", "OnDblClick 1"}));
}

TEST_F(Control, ButtonIsCheckedFromPressToReleaseAndClickSeesIt) {
    probe.SetMode(mButton);
    Show();
    QTest::mousePress(&probe, Qt::LeftButton, {}, inside);
    EXPECT_TRUE(probe.Checked());
    log.clear();
    QTest::mouseRelease(&probe, Qt::LeftButton, {}, inside);
    EXPECT_FALSE(probe.Checked());
    EXPECT_EQ(log.front(), "OnClick 1");
    EXPECT_EQ(log.back(), "DrawState 0");
}

TEST_F(Control, IndicatorAndOtherButtonsOnlyFireTheUsersEvents) {
    Show();  // mIndicator
    QTest::mouseClick(&probe, Qt::LeftButton, {}, inside);
    EXPECT_FALSE(probe.Checked());
    EXPECT_FALSE(probe.Pressed());
    EXPECT_EQ(log, (Log{"OnMouseDown 1", "OnClick 0", "OnMouseUp 1"}));
    probe.SetChecked(true);
    EXPECT_TRUE(probe.Checked());
    probe.SetMode(mSwitch);
    log.clear();
    QTest::mouseClick(&probe, Qt::RightButton, {}, inside);
    EXPECT_TRUE(probe.Checked());
    EXPECT_EQ(log, (Log{"OnMouseDown 2", "OnMouseUp 2"}));
}

TEST_F(Control, ButtonHeldWhileABoxTakesTheWindowsActivationIsReleasedWithoutAClick) {
    probe.SetMode(mButton);
    Show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::mousePress(Screen(), Qt::LeftButton, {}, OnScreen(inside));
    ASSERT_TRUE(probe.Checked());
    log.clear();
    QWidget box;
    box.show();
    box.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&box));
    EXPECT_FALSE(probe.Checked());
    EXPECT_FALSE(probe.Pressed());
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.front(), "OnMouseUp 1");
    for (const std::string& line : log)
        EXPECT_NE(line.rfind("OnClick", 0), 0u) << line;
}
