// SPDX-License-Identifier: MIT
#pragma once
// The desktop program's start-up, shared by tevr-loader's main and the start-up benchmark.
#include <functional>

class TForm1;

// In this order: the flash timer starts, the application is initialised and gets its title
// and look, the window is created, the event loop runs until the window is closed, the window
// goes (closing its port) and the flash timer stops. Only Qt's own options are taken from the
// command line. `onCreated` sees the window before it is shown (the benchmark watches its
// first paint). Returns the event loop's exit code.
int RunTevrLoader(int& argc, char** argv, const std::function<void(TForm1&)>& onCreated = {});
