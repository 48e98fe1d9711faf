// SPDX-License-Identifier: MIT
#pragma once
// The window as a page: the desktop of the window's logic in the browser. The LED, the start
// button and the gauge are the widgets on canvases of the page (TPageControl); the file field,
// "...", the label and the port list are the page's own elements, whose texts its script hands
// over; the boxes are the browser's modal ones; Timer1 and the hand-over are the page's timers.
// One form lives in the module, made by PageCreate.
#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "app/Form1Desktop.h"
#include "app/Form1Logic.h"
#include "web/PageControl.h"
#include "web/WebSerialPort.h"

class TPageForm final : private TForm1Desktop {
public:
    TPageForm();
    TPageForm(const TPageForm&) = delete;
    TPageForm& operator=(const TPageForm&) = delete;

    TOwner Owner;
    TPageControl<TAbLED> AbLED1;
    TPageControl<TAbColBitBtn> AbColBitBtn1;
    TPageControl<TGauge> ProgressBar1;
    TWebSerialPort VaComm1;

    TForm1Logic& Logic() { return *logic_; }
    // The page's paint of every control.
    void Paint();
    // "..." was clicked and the browser's picker has closed: `chosen` when a file was picked
    // (its name in Edit1 already).
    void SpeedButton1Click(bool chosen);
    void SetEdit1Text(std::string text) { edit1_ = std::move(text); }
    void SetComboBox1Text(std::string text) { comboBox1_ = std::move(text); }
    // Runs what was posted to the form.
    void RunPosted();

    std::string Edit1Text() const override { return edit1_; }
    std::string ComboBox1Text() const override { return comboBox1_; }

private:
    TAbLED& AbLED1Control() override { return AbLED1; }
    TAbColBitBtn& AbColBitBtn1Control() override { return AbColBitBtn1; }
    TGauge& ProgressBar1Control() override { return ProgressBar1; }
    void SetSpeedButton1Enabled(bool enabled) override;
    void SetEdit1Hint(const std::string& text) override;
    bool ExecuteOpenDialog1() override { return dialogChosen_; }
    void ShowMessageBox(const std::string& text) override;
    void ShowErrorBox(const std::string& text) override;
    void PostToForm(std::function<void()> work) override;
    void StartTimer1(std::chrono::milliseconds delay) override;

    std::string edit1_;
    std::string comboBox1_;
    bool dialogChosen_ = false;
    std::deque<std::function<void()>> posted_;
    std::unique_ptr<TForm1Logic> logic_;  // made once the controls are
};
