// SPDX-License-Identifier: MIT
#include <iostream>

#include "cli/Terminal.h"
#include "cli/TevrFlash.h"

int main(int argc, char** argv) {
    const ConsoleSetup console;
    return RunTevrFlash(argc, argv, std::cout, std::cerr);
}
