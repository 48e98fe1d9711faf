// SPDX-License-Identifier: MIT
// tevr-loader.exe: the desktop program that loads firmware into the ТЕВР-R7 on-board computer.
#include <windows.h>
#undef DrawState
#undef TextOut
#include <commctrl.h>

#include <memory>

#include "app/Form1Description.h"
#include "app/win32/Unit1.h"
#include "line/Problem.h"
#include "serial/VaClasses.h"
#include "widgets/SystemColors.h"
#include "widgets/win32/GdiSystemColors.h"
#include "widgets/win32/MmFlashTimer.h"
#include "words/Words.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show) {
    // The boxes before the window is made speak its language too.
    UseWindowLanguage();
    // The tool tip's window class.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    const TGdiSystemColors systemColors;
    SetSystemColors(&systemColors);

    auto dispatcher = std::make_shared<TWinDispatcher>();
    // The flash timer ticks before the window exists and stops before anything it reaches goes.
    const TMmFlashTimer flashTimer(dispatcher->Queue());

    int status = 0;
    {
        TForm1 form(dispatcher);
        // Errors that reach no handler of the window (a component without one of its own).
        const HWND owner = form.Handle();
        VaSetApplicationExceptionHandler([owner](const std::exception& error) {
            ShowApplicationError(owner, ErrorBoxText(ProblemOf(error)));
        });
        form.Show(show);
        status = TForm1::Run(form.Handle());
        VaSetApplicationExceptionHandler(nullptr);
    }
    SetSystemColors(nullptr);
    return status;
}
