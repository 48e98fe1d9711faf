// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <vector>

#include <thread>

#include "WidgetTesting.h"
#include "base/ScopeGuard.h"
#include "widgets/AbBinGControl.h"
#include "widgets/FlashThread.h"
#include "widgets/FlashTimer.h"

namespace {

class Flasher : public TAbBinGControl {
public:
    using TAbBinGControl::TAbBinGControl;
    std::vector<std::pair<uint32_t, bool>> phases;  // tick counter after the tick, phase
    void Paint(TCanvas&) override {}

protected:
    void FlashPhase(bool on) override { phases.emplace_back(TFlashTimer::TickCounter(), on); }
};

// Drives the timer by hand: the tick thread stays stopped throughout.
struct FlashTicks : ::testing::Test {
    PostedWork windowThread;
    TOwner window;
    Flasher control{&window};

    void SetUp() override {
        ASSERT_FALSE(TFlashThread::Running());
        TFlashTimer::SetTickCounter(0);
    }
    void Ticks(int n) {
        for (int i = 0; i < n; ++i) {
            TFlashTimer::Tick();
            windowThread.Run();
        }
    }
    // Registers, then lets the first tick after registering pass (it may or may not report).
    void StartFlashing(TFlashFreq f) {
        control.SetFrequency(f);
        control.SetFlashing(true);
        control.SetChecked(true);
        Ticks(1);
        control.phases.clear();
    }
};

}  // namespace

TEST_F(FlashTicks, OneHertzFlipsEveryEighthTickAndEightHertzEveryTick) {
    StartFlashing(ff1Hz);
    Ticks(32);
    EXPECT_EQ(control.phases, (std::vector<std::pair<uint32_t, bool>>{
                                  {8, true}, {16, false}, {24, true}, {32, false}}));
    control.SetFrequency(ff8Hz);
    EXPECT_EQ(TFlashTimer::DivisorOf(&control), 1u);
    Ticks(1);
    control.phases.clear();
    Ticks(3);
    EXPECT_EQ(control.phases,
              (std::vector<std::pair<uint32_t, bool>>{{35, true}, {36, false}, {37, true}}));
}

TEST_F(FlashTicks, CounterWrapsAndThePhasesGoOn) {
    StartFlashing(ff8Hz);
    TFlashTimer::SetTickCounter(0xFFFFFFFE);
    Ticks(1);
    control.phases.clear();
    Ticks(2);
    EXPECT_EQ(TFlashTimer::TickCounter(), 1u);
    EXPECT_EQ(control.phases, (std::vector<std::pair<uint32_t, bool>>{{0, false}, {1, true}}));
}

TEST_F(FlashTicks, OnlyCheckedFlashingControlsAreListed) {
    control.SetFlashing(true);
    EXPECT_FALSE(TFlashTimer::IsRegistered(&control));
    control.SetChecked(true);
    EXPECT_TRUE(TFlashTimer::IsRegistered(&control));
    EXPECT_EQ(TFlashTimer::DivisorOf(&control), 8u);
    control.SetChecked(false);
    EXPECT_FALSE(TFlashTimer::IsRegistered(&control));
    control.SetChecked(true);
    control.SetFlashing(false);
    EXPECT_FALSE(TFlashTimer::IsRegistered(&control));
    TFlashTimer::UnregisterFlash(&control);  // not listed: no error
    EXPECT_EQ(TFlashTimer::Count(), 0u);
}

TEST_F(FlashTicks, PhaseQueuedBeforeFlashingStoppedIsNotShown) {
    StartFlashing(ff8Hz);
    TFlashTimer::Tick();  // queues a phase
    control.SetChecked(false);
    windowThread.Run();
    EXPECT_TRUE(control.phases.empty());
}

TEST_F(FlashTicks, PhaseQueuedForADestroyedControlIsDropped) {
    auto doomed = std::make_unique<Flasher>(&window);
    doomed->SetFrequency(ff8Hz);
    doomed->SetFlashing(true);
    doomed->SetChecked(true);
    TFlashTimer::Tick();
    TFlashTimer::Tick();  // two ticks: the second surely queues a phase
    doomed.reset();
    EXPECT_EQ(TFlashTimer::Count(), 0u);
    windowThread.Run();  // must not reach the destroyed control
}

TEST_F(FlashTicks, ManyControlsEachFollowTheirOwnBit) {
    std::vector<std::unique_ptr<Flasher>> many;
    for (int i = 0; i < 25; ++i) {
        many.push_back(std::make_unique<Flasher>(&window));
        many.back()->SetFrequency(TFlashFreq(i % 5));
        many.back()->SetFlashing(true);
        many.back()->SetChecked(true);
    }
    EXPECT_EQ(TFlashTimer::Count(), 25u);
    Ticks(1);
    for (auto& c : many)
        c->phases.clear();
    Ticks(32);
    for (std::size_t i = 0; i < 25; ++i)
        EXPECT_EQ(many[i]->phases.size(), 32u >> (i % 5)) << i;
    many.erase(many.begin() + 3, many.begin() + 9);
    EXPECT_EQ(TFlashTimer::Count(), 19u);
}

namespace {
void Wait(int ms, PostedWork& windowThread) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    windowThread.Run();
}
}  // namespace

TEST(FlashThread, TicksEveryFiftyMillisecondsUntilStopped) {
    PostedWork windowThread;
    TOwner window;
    Flasher control(&window);
    control.SetFrequency(ff8Hz);
    control.SetFlashing(true);
    control.SetChecked(true);
    TFlashThread::Start();
    TFlashThread::Start();  // a second start changes nothing
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (control.phases.size() < 4 && std::chrono::steady_clock::now() < deadline)
        Wait(20, windowThread);
    TFlashThread::Stop();
    EXPECT_FALSE(TFlashThread::Running());
    ASSERT_GE(control.phases.size(), 4u);
    for (std::size_t i = 1; i < control.phases.size(); ++i)
        EXPECT_NE(control.phases[i].second, control.phases[i - 1].second);
    const uint32_t stopped = TFlashTimer::TickCounter();
    Wait(120, windowThread);
    EXPECT_EQ(TFlashTimer::TickCounter(), stopped);
    control.SetChecked(false);
}

TEST(FlashThread, ControlsComeAndGoWhileItTicks) {
    PostedWork windowThread;
    TOwner window;
    TFlashThread::Start();
    const ScopeGuard running(&TFlashThread::Stop);
    for (int round = 0; round < 40; ++round) {
        auto c = std::make_unique<Flasher>(&window);
        c->SetFrequency(ff8Hz);
        c->SetFlashing(true);
        c->SetChecked(true);
        Wait(round % 7, windowThread);
    }
    EXPECT_EQ(TFlashTimer::Count(), 0u);
}
