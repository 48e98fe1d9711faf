// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "widgets/AbBinGControl.h"

namespace {

using Log = std::vector<std::string>;

// A two-state control that writes every hook and event into a log.
class Probe : public TAbBinGControl {
public:
    Probe(TOwner* owner, Log& log) : TAbBinGControl(owner), log_(log) {
        SetSize(60, 30);
        SetOnStatusChanged([this](TAbBinGControl*) { Note("OnStatusChanged", Checked()); });
        SetOnStatusIntChanged([this](TAbBinGControl*) { Note("OnStatusIntChanged", StatusInt()); });
        SetOnClick([this](TAbBinGControl*) { Note("OnClick", Checked()); });
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
    TOwner window;
    Log log;
    Probe probe{&window, log};
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
    TOwner window;
    Log log;
    std::vector<std::unique_ptr<Probe>> radios;
    for (int i = 0; i < 3; ++i) {
        radios.push_back(std::make_unique<Probe>(&window, log));
        radios.back()->SetMode(mRadioButton);
        radios.back()->SetStatusBit(i);
        radios.back()->SetGroupIndex(1);
    }
    radios[1]->MouseDown(mbLeft, {}, 5, 5);
    radios[1]->MouseUp(mbLeft, {}, 5, 5);
    for (std::size_t i = 0; i < 3; ++i) {
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
    TOwner window, elsewhere;
    Log log;
    Probe a(&window, log), b(&window, log), other(&window, log), stranger(&elsewhere, log);
    b.SetStatusBit(1);
    a.SetGroupIndex(2);
    b.SetGroupIndex(2);
    other.SetGroupIndex(3);
    stranger.SetGroupIndex(2);  // same index, another owner: not in the group
    a.SetChecked(true);
    b.SetChecked(true);
    EXPECT_EQ(a.StatusInt(), 3);
    EXPECT_TRUE(a.Checked() && b.Checked());
    EXPECT_EQ(stranger.StatusInt(), 0);
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

TEST(Group, ControlsOutlivingTheirOwnerAreLeftWithoutOne) {
    Log log;
    auto window = std::make_unique<TOwner>();
    Probe a(window.get(), log);
    a.SetGroupIndex(1);
    window.reset();
    EXPECT_EQ(a.Owner(), nullptr);
    a.SetChecked(true);  // no group to spread to
    EXPECT_EQ(a.StatusInt(), 1);
}
