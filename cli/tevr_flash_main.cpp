// SPDX-License-Identifier: MIT
#include <iostream>

#include "base/Translation.h"
#include "cli/Terminal.h"
#include "cli/TevrFlash.h"

int main(int argc, char** argv) {
    SetUpTranslation();
    const ConsoleSetup console;
    const std::vector<std::string> arguments = Utf8Arguments(argc, argv);
    std::vector<const char*> pointers;
    for (const std::string& argument : arguments)
        pointers.push_back(argument.c_str());
    return RunTevrFlash(static_cast<int>(pointers.size()), pointers.data(), std::cout, std::cerr);
}
