// SPDX-License-Identifier: MIT
// tevr-loader: the desktop program that loads firmware into the ТЕВР-R7 on-board computer.
#include <iostream>
#include <string_view>

#include "TevrVersion.h"
#include "app/qt/Startup.h"
#include "base/Translation.h"

namespace {
const char* Help() {
    return Tr("Loads new software into the TEVR-R7 on-board computer through its boot loader.\n"
              "Usage: tevr-loader [OPTIONS]\n"
              "\n"
              "The window picks the update file (*.hex) and the serial port; its start button\n"
              "runs the transfer while an LED shows the on-board computer's answers and a gauge\n"
              "the blocks sent. The window speaks Russian. Qt's own options (-platform,\n"
              "-display, -style, ...) are passed to Qt.\n"
              "\n"
              "Options:\n"
              "  -h, --help     print this help and exit\n"
              "  --version      print the version and exit\n");
}

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
    // The terminal's language for the help; the window itself speaks Russian.
    SetUpTranslation();
    switch (StartRequest(argc, argv)) {
        case TStartRequest::srHelp:
            std::cout << Help();
            return std::cout.flush() ? 0 : 1;
        case TStartRequest::srVersion:
            std::cout << "tevr-loader " << kTevrVersion << '\n';
            return std::cout.flush() ? 0 : 1;
        case TStartRequest::srWindow:
            break;
    }
    return RunTevrLoader(argc, argv);
}
