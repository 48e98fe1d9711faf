// SPDX-License-Identifier: MIT
#pragma once
// What a desktop supplies to the window's logic: its controls, its modal boxes, a hand-over to
// the window's thread and a single-shot timer. Everything the handlers do with them is the
// logic's (TForm1Logic); a desktop only makes and shows them, and calls the logic's handlers.
#include <chrono>
#include <functional>
#include <string>

class TAbColBitBtn;
class TAbLED;
class TGauge;

class TForm1Desktop {
public:
    virtual ~TForm1Desktop() = default;

    // Edit1's text as the file system spells the name.
    virtual std::string Edit1Text() const = 0;
    // ComboBox1's text: the port a start opens.
    virtual std::string ComboBox1Text() const = 0;
    virtual TAbLED& AbLED1Control() = 0;
    virtual TAbColBitBtn& AbColBitBtn1Control() = 0;
    virtual TGauge& ProgressBar1Control() = 0;
    virtual void SetSpeedButton1Enabled(bool enabled) = 0;
    // Edit1's tool tip: the release of the file converted last; empty: none.
    virtual void SetEdit1Hint(const std::string& text) = 0;

    // Shows OpenDialog1 and waits; on OK puts the chosen name into Edit1 and returns true.
    virtual bool ExecuteOpenDialog1() = 0;
    // A handler's own message: no icon, one "OK" button, centred on the screen, captioned with
    // the application's title; returns once it is dismissed.
    virtual void ShowMessageBox(const std::string& text) = 0;
    // An error no handler caught: the same with the error icon; `text` is the box's text.
    virtual void ShowErrorBox(const std::string& text) = 0;
    // Runs `work` on the window's thread once the handler running now has returned.
    virtual void PostToForm(std::function<void()> work) = 0;
    // Timer1, single-shot: the logic's Timer1Timer runs on the window's thread once `delay` has
    // passed, from whichever message loop runs then (a box's too). A start replaces a start whose
    // time has not come; a timer that runs late, or even a little early, does no harm.
    virtual void StartTimer1(std::chrono::milliseconds delay) = 0;
};
