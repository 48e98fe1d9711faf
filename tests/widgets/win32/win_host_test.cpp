// SPDX-License-Identifier: MIT
// The Win32 host of a control in a message-only window, for what needs no display.
#include <gtest/gtest.h>

#include "widgets/win32/WinControl.h"

TEST(WinHost, DisabledWindowEndsAPressHeldWithoutAClickAndTakesNoInput) {
    TWinAbColBitBtn button(HWND_MESSAGE, 0, 0, 345, 33);
    ASSERT_NE(button.Handle(), nullptr);
    button.SetMode(mButton);
    int clicks = 0;
    button.SetOnClick([&](TAbBinGControl*) { ++clicks; });
    const LPARAM inside = MAKELPARAM(100, 16);
    SendMessageW(button.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, inside);
    ASSERT_TRUE(button.Checked());
    EnableWindow(button.Handle(), FALSE);
    EXPECT_FALSE(button.Enabled());
    EXPECT_FALSE(button.Checked());
    EXPECT_FALSE(button.Pressed());
    SendMessageW(button.Handle(), WM_LBUTTONUP, 0, inside);
    SendMessageW(button.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, inside);
    SendMessageW(button.Handle(), WM_LBUTTONUP, 0, inside);
    EXPECT_EQ(clicks, 0);
    EnableWindow(button.Handle(), TRUE);
    EXPECT_TRUE(button.Enabled());
}
