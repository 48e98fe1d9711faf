// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "WidgetTesting.h"
#include "widgets/AbBinGControl.h"

namespace {

using Log = std::vector<std::string>;

// A two-state control that writes every hook and event into a log.
class Probe : public TAbBinGControl {
public:
    Probe(QWidget* owner, Log& log) : TAbBinGControl(owner), log_(log) {
        resize(60, 30);
        SetOnStatusChanged([this](TAbBinGControl*) { Note("OnStatusChanged", Checked()); });
        SetOnStatusIntChanged([this](TAbBinGControl*) { Note("OnStatusIntChanged", StatusInt()); });
        SetOnClick([this](TAbBinGControl*) { Note("OnClick", Checked()); });
        SetOnDblClick([this](TAbBinGControl*) { Note("OnDblClick", Checked()); });
        SetOnMouseDown([this](TAbBinGControl*, Qt::MouseButton b, Qt::KeyboardModifiers, int, int) {
            Note("OnMouseDown", b);
        });
        SetOnMouseUp([this](TAbBinGControl*, Qt::MouseButton b, Qt::KeyboardModifiers, int, int) {
            Note("OnMouseUp", b);
        });
    }
    std::vector<bool> phases;

protected:
    void DrawState() override { Note("DrawState", Checked()); }
    void StatusIntChanged() override { Note("StatusIntChanged", StatusInt()); }
    void FlashPhase(bool on) override { phases.push_back(on); }

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

TEST_F(Control, CheckingUpdatesStatusWordThenRedrawsThenNotifies) {
    probe.SetChecked(false);
    EXPECT_TRUE(log.empty());
    probe.SetChecked(true);
    EXPECT_EQ(probe.StatusInt(), 1);
    EXPECT_EQ(log, (Log{"StatusIntChanged 1", "OnStatusIntChanged 1", "DrawState 1",
                        "OnStatusChanged 1"}));
    probe.SetChecked(true);
    EXPECT_EQ(log.size(), 4u);
}

TEST_F(Control, StatusBitSelectsTheBitThatMirrorsChecked) {
    probe.SetStatusInt(8);
    EXPECT_FALSE(probe.Checked());
    probe.SetStatusBit(3);
    EXPECT_TRUE(probe.Checked());
    EXPECT_EQ(probe.StatusInt(), 8);
    probe.SetStatusBit(32);
    probe.SetStatusBit(-1);
    EXPECT_EQ(probe.StatusBit(), 3);
    probe.SetStatusBit(31);
    EXPECT_FALSE(probe.Checked());
    probe.SetChecked(true);
    EXPECT_EQ(probe.StatusInt(), static_cast<int32_t>(0x80000008u));
    probe.SetChecked(false);
    EXPECT_EQ(probe.StatusInt(), 8);
}

TEST_F(Control, ModeResetsTheStatusWordEvenWhenUnchanged) {
    probe.SetMode(mButton);
    probe.SetChecked(true);
    probe.SetMode(mButton);
    EXPECT_EQ(probe.StatusInt(), 0);
    EXPECT_FALSE(probe.Checked());
    probe.SetMode(mRadioButton);
    EXPECT_EQ(probe.StatusInt(), 1);
    EXPECT_TRUE(probe.Checked());
    probe.SetChecked(false);  // a radio control keeps its word
    EXPECT_EQ(probe.StatusInt(), 1);
    EXPECT_FALSE(probe.Checked());
}

TEST_F(Control, OwnerlessControlIsRefused) {
    Log other;
    EXPECT_THROW(Probe(nullptr, other), std::invalid_argument);
}

TEST(Group, RadioControlsShareOneWordAndPressingOneUnchecksTheOthers) {
    HostWindow window;
    Log log;
    std::vector<std::unique_ptr<Probe>> radios;
    for (int i = 0; i < 3; ++i) {
        radios.push_back(std::make_unique<Probe>(&window, log));
        radios[i]->move(0, 40 * i);
        radios[i]->SetMode(mRadioButton);
        radios[i]->SetStatusBit(i);
        radios[i]->SetGroupIndex(1);
    }
    window.ShowExposed();
    QTest::mouseClick(radios[1].get(), Qt::LeftButton);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(radios[i]->StatusInt(), 2) << i;
        EXPECT_EQ(radios[i]->Checked(), i == 1) << i;
    }
    radios[2]->SetChecked(true);
    EXPECT_EQ(radios[0]->StatusInt(), 4);
    EXPECT_FALSE(radios[1]->Checked());
    radios[1].reset();  // a member leaving the group is simply gone from it
    radios[0]->SetChecked(true);
    EXPECT_EQ(radios[2]->StatusInt(), 1);
}

TEST(Group, SwitchMembersSetTheirOwnBitsAndLateJoinersTakeTheWord) {
    HostWindow window;
    Log log;
    Probe a(&window, log), b(&window, log), other(&window, log);
    b.SetStatusBit(1);
    a.SetGroupIndex(2);
    b.SetGroupIndex(2);
    other.SetGroupIndex(3);
    a.SetChecked(true);
    b.SetChecked(true);
    EXPECT_EQ(a.StatusInt(), 3);
    EXPECT_TRUE(a.Checked() && b.Checked());
    a.SetChecked(false);
    EXPECT_EQ(b.StatusInt(), 2);
    EXPECT_EQ(other.StatusInt(), 0);
    Probe late(&window, log);
    late.SetStatusBit(1);
    late.SetGroupIndex(2);
    EXPECT_EQ(late.StatusInt(), 2);
    EXPECT_TRUE(late.Checked());
    late.SetGroupIndex(-4);
    EXPECT_EQ(late.GroupIndex(), 2);
}

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
