// SPDX-License-Identifier: MIT
#pragma once
// The window classes of the program's windows, registered once each for the program's life.
#include <windows.h>

// Registers the class that `wc` describes (name, procedure, style, icon, cursor, background)
// unless one of its name is registered already; its size and module are filled in here.
// Returns the class name. Callable from any thread.
LPCWSTR RegisterWindowClass(WNDCLASSEXW wc);
