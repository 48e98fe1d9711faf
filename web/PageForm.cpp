// SPDX-License-Identifier: MIT
#include "web/PageForm.h"

#include "app/Form1Description.h"
#include "base/ScopeGuard.h"
#include "web/PageBridge.h"

TPageForm::TPageForm()
    : AbLED1(Owner, TPageControlId::AbLED1, kAbLED1Bounds.Width, kAbLED1Bounds.Height),
      AbColBitBtn1(Owner, TPageControlId::AbColBitBtn1, kAbColBitBtn1Bounds.Width,
                   kAbColBitBtn1Bounds.Height),
      ProgressBar1(Owner, TPageControlId::ProgressBar1, kProgressBar1Bounds.Width,
                   kProgressBar1Bounds.Height) {
    ConfigureAbLED1(AbLED1);
    ConfigureAbColBitBtn1(AbColBitBtn1);
    ProgressBar1.SetProgress(0);
    logic_ = std::make_unique<TForm1Logic>(static_cast<TForm1Desktop&>(*this), VaComm1);
    logic_->FormCreate();
}

void TPageForm::Paint() {
    AbLED1.PaintPage();
    AbColBitBtn1.PaintPage();
    ProgressBar1.PaintPage();
}

void TPageForm::SpeedButton1Click(bool chosen) {
    dialogChosen_ = chosen;
    const ScopeGuard forget([this] { dialogChosen_ = false; });
    logic_->SpeedButton1Click();
}

void TPageForm::RunPosted() {
    // What a handler posts now waits for the next turn, as the window's queue has it.
    std::deque<std::function<void()>> due;
    due.swap(posted_);
    for (auto& work : due)
        work();
}

void TPageForm::SetSpeedButton1Enabled(bool enabled) {
    PageJsSetSpeedButton1Enabled(enabled ? 1 : 0);
}

void TPageForm::SetEdit1Hint(const std::string& text) {
    PageJsSetEdit1Hint(text.c_str());
}

void TPageForm::ShowMessageBox(const std::string& text) {
    PageJsBox(0, text.c_str());
}

void TPageForm::ShowErrorBox(const std::string& text) {
    PageJsBox(1, text.c_str());
}

void TPageForm::PostToForm(std::function<void()> work) {
    posted_.push_back(std::move(work));
    PageJsPost();
}

void TPageForm::StartTimer1(std::chrono::milliseconds delay) {
    PageJsStartTimer1(static_cast<double>(delay.count()));
}
