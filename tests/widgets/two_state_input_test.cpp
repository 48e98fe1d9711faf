// SPDX-License-Identifier: MIT
// A two-state control's input as every desktop's host feeds it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "widgets/TwoStateInput.h"

namespace {

using Log = std::vector<std::string>;

struct Button : TAbBinGControl {
    using TAbBinGControl::TAbBinGControl;
    void Paint(TCanvas&) override {}
};

// A start button and the pointer capture of its host, writing what they see into one log.
struct Input : ::testing::Test, TPointerCapture {
    TOwner window;
    Button button{&window};
    Log log;
    TTwoStateInput input{button, *this};

    void SetUp() override {
        button.SetSize(60, 30);
        button.SetMode(mButton);
        button.SetOnClick([this](TAbBinGControl*) { Note("OnClick", button.Checked()); });
        button.SetOnMouseUp([this](TAbBinGControl*, TMouseButton b, TShiftState, int, int) {
            Note("OnMouseUp", b);
        });
    }
    void Take() override { log.push_back("Take"); }
    void Give() override { log.push_back("Give"); }
    void Note(const char* what, int value) {
        log.push_back(std::string(what) + " " + std::to_string(value));
    }
};

}  // namespace

TEST_F(Input, ThePointerIsHeldFromThePressToTheLastReleaseWhichEndsItBeforeTheClick) {
    EXPECT_TRUE(input.Press(TPressKind::Single, mbLeft, {}, 5, 5));
    EXPECT_TRUE(input.Press(TPressKind::Single, mbRight, {}, 5, 5));
    EXPECT_TRUE(input.Release(mbRight, {}, 5, 5, true));
    EXPECT_EQ(log, (Log{"Take", "OnMouseUp 1"})) << "taken once, kept while the left is down";
    log.clear();
    EXPECT_TRUE(input.Release(mbLeft, {}, 5, 5, false));
    EXPECT_EQ(log, (Log{"Give", "OnClick 1", "OnMouseUp 0"}));
    // The desktop's news that the capture went, after our own release, is no loss.
    log.clear();
    input.CaptureLost();
    EXPECT_TRUE(log.empty());
}

TEST_F(Input, APressWhoseCaptureIsTakenAwayEndsWithoutAClick) {
    input.Press(TPressKind::Single, mbLeft, {}, 5, 5);
    input.Move({}, 20, 10);
    ASSERT_TRUE(button.Checked());
    log.clear();
    // A box shown from the press takes the pointer; the release goes to the box.
    input.CaptureLost();
    EXPECT_EQ(log, (Log{"OnMouseUp 0"}));
    EXPECT_FALSE(button.Checked());
    EXPECT_FALSE(button.Pressed());
    EXPECT_FALSE(button.HoldsPress());
    // The next press takes the pointer again and clicks as any.
    log.clear();
    input.Press(TPressKind::Single, mbLeft, {}, 5, 5);
    input.Release(mbLeft, {}, 5, 5, false);
    EXPECT_EQ(log, (Log{"Take", "Give", "OnClick 1", "OnMouseUp 0"}));
}

TEST_F(Input, SpaceRepeatsStayWithTheControlAndAnIndicatorLeavesThemToTheDesktop) {
    EXPECT_TRUE(input.SpaceDown(false, {}));
    EXPECT_TRUE(input.SpaceDown(true, {}));
    EXPECT_FALSE(input.SpaceUp(true, {}));
    EXPECT_TRUE(input.SpaceUp(false, {}));
    EXPECT_EQ(log, (Log{"OnClick 1", "OnMouseUp 0"}));
    // No pointer is taken for a key, so a capture lost meanwhile ends nothing.
    input.SpaceDown(false, {});
    input.CaptureLost();
    EXPECT_TRUE(button.Pressed());
    input.SpaceUp(false, {});
    button.SetMode(mIndicator);
    EXPECT_FALSE(input.SpaceDown(false, {}));
    EXPECT_FALSE(input.SpaceDown(true, {}));
}
