// SPDX-License-Identifier: MIT
#pragma once
// The program's one window on Win32: the standard controls the user touches, the hosted LED,
// start button and gauge, the serial component and the open dialog, made from the window's
// description. What the handlers do is TForm1Logic's; the window maps its controls' messages
// onto it and shows its boxes.
#include <windows.h>
#undef DrawState
#undef TextOut

#include <memory>
#include <string>
#include <vector>

#include "app/FirstShow.h"
#include "app/Form1Desktop.h"
#include "app/Form1Logic.h"
#include "app/win32/WinDispatcher.h"
#include "serial/VaComm.h"
#include "widgets/win32/WinControl.h"
#include "widgets/win32/WinHandles.h"

class TForm1 final : private TForm1Desktop {
public:
    explicit TForm1(std::shared_ptr<TWinDispatcher> dispatcher);
    // Closes the port if a transfer is still running; nothing is said to the device.
    ~TForm1() override;
    TForm1(const TForm1&) = delete;
    TForm1& operator=(const TForm1&) = delete;

    HWND Handle() const { return window_.Get(); }
    // Shows the window, centred on the desktop the first time.
    void Show(int how);

    // The window's message loop until it is closed; Tab moves between the controls.
    static int Run(HWND form);

private:
    // --- TForm1Desktop ----------------------------------------------------------------------
    std::string Edit1Text() const override;
    std::string ComboBox1Text() const override;
    TAbLED& AbLED1Control() override { return *AbLED1; }
    TAbColBitBtn& AbColBitBtn1Control() override { return *AbColBitBtn1; }
    TGauge& ProgressBar1Control() override { return *ProgressBar1; }
    void SetSpeedButton1Enabled(bool enabled) override;
    void SetEdit1Hint(const std::string& text) override;
    bool ExecuteOpenDialog1() override;
    void ShowMessageBox(const std::string& text) override;
    void ShowErrorBox(const std::string& text) override;
    void PostToForm(std::function<void()> work) override;
    void StartTimer1(std::chrono::milliseconds delay) override;

    static void CALLBACK Timer1Tick(UINT id, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR);
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM w, LPARAM l);
    LRESULT Message(HWND window, UINT message, WPARAM w, LPARAM l);
    HWND Window() const { return window_.Get(); }
    HFONT Font() const { return static_cast<HFONT>(font_.Get()); }
    void CreateControls();
    // Fills the port list afresh, keeping the chosen entry where it is still there.
    void RefreshPorts();

    std::shared_ptr<TWinDispatcher> dispatcher_;
    // Timer1 on the multimedia timer, to the millisecond: it times the boot loader's wait before
    // the first page command. Its tick reaches the window's thread through the dispatcher.
    TMmTimer timer1_;
    TWindow window_;
    TGdiObject font_;
    TFirstShow firstShow_;
    std::vector<std::string> portPaths_;  // ComboBox1's entries, in its order

    // Controls, in the order of the form; the window owns them.
    HWND Label1 = nullptr;
    HWND Edit1 = nullptr;
    HWND SpeedButton1 = nullptr;
    HWND SpeedButton1Hint = nullptr;  // also Edit1's, while a release is shown
    std::unique_ptr<TWinAbLED> AbLED1;
    HWND ComboBox1 = nullptr;
    std::unique_ptr<TWinAbColBitBtn> AbColBitBtn1;
    std::unique_ptr<TWinGauge> ProgressBar1;

public:
    TVaComm VaComm1;

private:
    std::unique_ptr<TForm1Logic> logic_;  // made once the controls are
};

// Shows an error that reached no handler in the application's error box.
void ShowApplicationError(HWND owner, const std::string& message);
