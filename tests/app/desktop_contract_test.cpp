// SPDX-License-Identifier: MIT
// What any desktop of the window must give its logic and will see from it, stated over a fake
// desktop made of plain fields (no toolkit): a third desktop passes these when it gives the same.
//   Gives: the controls; boxes that return once dismissed and pump the thread's events meanwhile;
//   PostToForm, which runs the work after the running handler; Timer1, single-shot, which calls
//   Timer1Timer once its delay has passed (a little early or late does no harm).
//   Sees: the controls and boxes as the window's description has them; a Timer1 start for the
//   wait before the first page command, and no protocol step while a box is up, Timer1 included.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/Form1Description.h"
#include "app/Form1Desktop.h"
#include "app/Form1Logic.h"
#include "serial/VaComm.h"
#include "serial/VaEventLoop.h"
#include "sim/BootLoaderSim.h"
#include "support/SampleFiles.h"
#include "widgets/AbColBitBtn.h"
#include "widgets/AbLED.h"
#include "widgets/Gauge.h"
#include "words/Words.h"

namespace app_test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// The desktop as fields, its message loop a TVaEventLoop with Timer1 beside it.
class FakeDesktop final : public TForm1Desktop {
public:
    explicit FakeDesktop(std::shared_ptr<TVaEventLoop> loop)
        : loop_(std::move(loop)), led(&owner_), button(&owner_) {
        // Every desktop's window speaks its language before it makes its first word.
        UseWindowLanguage();
        ConfigureAbLED1(led);
        ConfigureAbColBitBtn1(button);
    }

    std::string Edit1Text() const override { return edit1; }
    std::string ComboBox1Text() const override { return comboBox1; }
    TAbLED& AbLED1Control() override { return led; }
    TAbColBitBtn& AbColBitBtn1Control() override { return button; }
    TGauge& ProgressBar1Control() override { return gauge; }
    void SetSpeedButton1Enabled(bool enabled) override { speedButton1Enabled = enabled; }
    void SetEdit1Hint(const std::string& text) override { edit1Hint = text; }
    bool ExecuteOpenDialog1() override {
        edit1 = dialogAnswer;
        return true;
    }
    void ShowMessageBox(const std::string& text) override { Show("message: " + text); }
    void ShowErrorBox(const std::string& text) override { Show("error: " + text); }
    void PostToForm(std::function<void()> work) override { loop_->Post(std::move(work)); }
    void StartTimer1(std::chrono::milliseconds delay) override {
        timer1Starts.push_back(delay);
        timer1Due_ = Clock::now() + delay - std::exchange(fireEarlyOnce, 0ms);
    }

    // The message loop: the port's events, the posted work and Timer1, until `done` holds or
    // `limit` has passed.
    bool Run(const std::function<bool()>& done, std::chrono::milliseconds limit) {
        const auto end = Clock::now() + limit;
        for (;;) {
            if (done()) return true;
            const auto now = Clock::now();
            if (timer1Due_ && now >= *timer1Due_) {
                timer1Due_.reset();
                const uint64_t before = logic->Transfer().FramesSent();
                logic->Timer1Timer();
                timer1Runs.emplace_back(before, logic->Transfer().FramesSent());
                continue;
            }
            if (now >= end) return false;
            const std::optional<Clock::time_point> due = timer1Due_;
            const auto until = due ? std::min(*due, end) : end;
            loop_->RunUntil([&] { return done() || timer1Due_ != due; },
                            std::chrono::ceil<std::chrono::milliseconds>(until - now));
        }
    }

    TForm1Logic* logic = nullptr;
    std::string edit1, comboBox1, dialogAnswer, edit1Hint;
    bool speedButton1Enabled = true;
    std::vector<std::string> shown;
    std::function<void(const std::string&)> whileShown;
    std::vector<std::chrono::milliseconds> timer1Starts;
    std::chrono::milliseconds fireEarlyOnce{0};
    // Frames the transfer had sent before and after each Timer1Timer.
    std::vector<std::pair<uint64_t, uint64_t>> timer1Runs;

private:
    void Show(const std::string& box) {
        shown.push_back(box);
        if (whileShown) whileShown(box);
    }

    std::shared_ptr<TVaEventLoop> loop_;
    TOwner owner_;
    std::optional<Clock::time_point> timer1Due_;

public:
    TAbLED led;
    TAbColBitBtn button;
    TGauge gauge;
};

class DesktopContractTest : public ::testing::Test {
protected:
    DesktopContractTest() {
        desktop.logic = &logic;
        logic.FormCreate();
        sim.Start();
        desktop.comboBox1 = sim.TerminalPath();
        desktop.dialogAnswer = ExamplePath("worked.hex");
    }
    ~DesktopContractTest() override {
        comm.Close();
        sim.Stop();
    }
    // The button flips, then its click handler runs.
    void ClickStart() {
        desktop.button.SetChecked(!desktop.button.Checked());
        logic.AbColBitBtn1Click();
    }
    bool Done() const { return !desktop.shown.empty() && desktop.shown.back() == kDone; }
    void ExpectAtRest() const {
        EXPECT_FALSE(desktop.button.Checked());
        EXPECT_FALSE(desktop.led.Checked());
        EXPECT_EQ(desktop.gauge.Progress(), 0);
        EXPECT_TRUE(desktop.speedButton1Enabled);
        EXPECT_FALSE(comm.IsOpen());
    }

    const std::string kDone = std::string("message: ") + TransferMessageText(TransferMessage::Done);
    BootLoaderSim sim{SimOptions{}};
    std::shared_ptr<TVaEventLoop> loop = std::make_shared<TVaEventLoop>();
    FakeDesktop desktop{loop};
    TVaComm comm{loop};
    TForm1Logic logic{desktop, comm};
};

TEST_F(DesktopContractTest, AWholeUpdateAsTheDesktopSeesIt) {
    desktop.fireEarlyOnce = 5ms;
    logic.SpeedButton1Click();
    ASSERT_EQ(desktop.edit1, desktop.dialogAnswer);
    EXPECT_EQ(desktop.gauge.MaxValue(), 4);
    ClickStart();
    EXPECT_TRUE(comm.IsOpen());
    EXPECT_FALSE(desktop.speedButton1Enabled) << "no conversion under a running transfer";
    int progressAtDone = -1;
    desktop.whileShown = [&](const std::string& box) {
        if (box != kDone) return;
        // The message comes before the port and the controls are put back to rest.
        progressAtDone = desktop.gauge.Progress();
        EXPECT_TRUE(desktop.button.Checked());
        EXPECT_TRUE(desktop.led.Checked());
        EXPECT_TRUE(comm.IsOpen());
    };
    ASSERT_TRUE(desktop.Run([&] { return Done() && !logic.Transfer().Running(); }, 30s));
    EXPECT_EQ(desktop.shown, std::vector<std::string>{kDone});
    EXPECT_EQ(progressAtDone, 4);
    ExpectAtRest();

    // Timer1 timed the wait before the first page command: asked for at most 21 ms, run early
    // once (nothing sent, and asked for again), then on time, when the command left.
    ASSERT_GE(desktop.timer1Starts.size(), 2u);
    EXPECT_GT(desktop.timer1Starts.front(), 0ms);
    EXPECT_LE(desktop.timer1Starts.front(), BootLoaderTransfer::kFirstPageWait);
    const std::vector<std::pair<uint64_t, uint64_t>> runs{{1, 1}, {1, 2}};
    EXPECT_EQ(desktop.timer1Runs, runs);
    EXPECT_TRUE(sim.WaitForEnd(10s));
}

TEST_F(DesktopContractTest, Timer1RunningOutUnderABoxWaitsUntilTheBoxIsGone) {
    logic.SpeedButton1Click();
    ClickStart();
    ASSERT_TRUE(desktop.Run([&] { return logic.Transfer().AwaitingFirstPageTime(); }, 30s));
    uint64_t framesUnderBox = 0;
    desktop.whileShown = [&](const std::string& box) {
        if (box.rfind("error: ", 0) != 0) return;
        ASSERT_FALSE(desktop.Run([] { return false; }, 100ms));
        ASSERT_FALSE(desktop.timer1Runs.empty()) << "Timer1 ran out under the box";
        framesUnderBox = logic.Transfer().FramesSent();
        EXPECT_TRUE(logic.Transfer().AwaitingFirstPageTime());
    };
    // An error handed over by the port's threads, while the first page command waits.
    comm.HandleException(
        std::make_exception_ptr(EVaCommError(TVaCommFault::Write, "Write error (5)", 5)));
    EXPECT_EQ(framesUnderBox, 1u) << "only the greeting's answer";
    ASSERT_TRUE(desktop.Run([&] { return Done() && !logic.Transfer().Running(); }, 30s));
    EXPECT_EQ(desktop.shown, (std::vector<std::string>{
                                 "error: Ошибка: не удалось записать в порт (ошибка 5)", kDone}));
    ExpectAtRest();
    EXPECT_TRUE(sim.WaitForEnd(10s));
}

}  // namespace
}  // namespace app_test
