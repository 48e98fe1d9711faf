// SPDX-License-Identifier: MIT
#pragma once
// The window's description, the same on every desktop: the window's settings, every control's
// bounds and texts, the settings of the LED and the start button, the open dialog's title and
// filter. A desktop makes its controls from these.
#include <string>

#include "widgets/AbColBitBtn.h"
#include "widgets/AbLED.h"

// The window speaks Russian wherever it runs, whatever the environment it was started from says:
// its catalogue is compiled into it. Every window calls this before it makes its first word.
void UseWindowLanguage();

// The window's texts, in the window's language.
// The caption of every message box the program shows.
std::string ApplicationTitleText();
std::string Form1Caption();
std::string Label1Caption();
std::string SpeedButton1Hint();
std::string OpenDialog1Title();
std::string OpenDialog1FilterName();

inline constexpr int kForm1ClientWidth = 350;
inline constexpr int kForm1ClientHeight = 167;
// Where the window stands until it is first shown; then it is centred on the desktop.
inline constexpr int kForm1Left = 192;
inline constexpr int kForm1Top = 114;

// Left, top, width and height of a control in the client area.
struct TBounds {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
};

inline constexpr TBounds kLabel1Bounds{8, 8, 102, 13};
inline constexpr TBounds kEdit1Bounds{8, 32, 305, 21};
inline constexpr TBounds kSpeedButton1Bounds{312, 32, 33, 25};
inline constexpr TBounds kAbLED1Bounds{16, 64, 113, 33};
inline constexpr TBounds kComboBox1Bounds{216, 72, 129, 22};
inline constexpr TBounds kAbColBitBtn1Bounds{0, 104, 345, 33};
// Docked to the bottom edge of a window that never changes its size.
inline constexpr TBounds kProgressBar1Bounds{0, kForm1ClientHeight - 25, kForm1ClientWidth, 25};

inline constexpr const char* kSpeedButton1Caption = "...";
inline constexpr int kComboBox1ItemHeight = 16;
inline constexpr const char* kOpenDialog1FilterPattern = "*.hex";

// The LED's and the start button's settings of the description (the handlers are wired by the
// window's logic).
void ConfigureAbLED1(TAbLED& led);
void ConfigureAbColBitBtn1(TAbColBitBtn& button);
