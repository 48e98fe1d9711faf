// SPDX-License-Identifier: MIT
// tevr-loader: the desktop program that loads firmware into the ТЕВР-R7 on-board computer.
#include <iostream>
#include <string_view>

#include "TevrVersion.h"
#include "app/qt/Startup.h"

namespace {
constexpr const char* kHelp =
    "Loads firmware into the TEVR-R7 on-board computer through its boot loader.\n"
    "Usage: tevr-loader [OPTIONS]\n"
    "\n"
    "The window picks the update file (*.hex) and the serial port; its start button\n"
    "runs the transfer while an LED shows the device's answers and a gauge the blocks\n"
    "sent. Qt's own options (-platform, -display, -style, ...) are passed to Qt.\n"
    "\n"
    "Options:\n"
    "  -h,--help                   Print this help message and exit\n"
    "  --version                   Display program version information and exit\n";

// What the command line asks for. Help and version are answered on the terminal before any
// window or display connection exists, so that they work on a machine without a desktop.
enum class TStartRequest { srWindow, srHelp, srVersion };

TStartRequest StartRequest(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg(argv[i]);
        if (arg == "-h" || arg == "--help") return TStartRequest::srHelp;
        if (arg == "--version") return TStartRequest::srVersion;
    }
    return TStartRequest::srWindow;
}
}  // namespace

int main(int argc, char** argv) {
    switch (StartRequest(argc, argv)) {
        case TStartRequest::srHelp:
            std::cout << kHelp;
            return std::cout.flush() ? 0 : 1;
        case TStartRequest::srVersion:
            std::cout << "tevr-loader " << kTevrVersion << '\n';
            return std::cout.flush() ? 0 : 1;
        case TStartRequest::srWindow:
            break;
    }
    return RunTevrLoader(argc, argv);
}
