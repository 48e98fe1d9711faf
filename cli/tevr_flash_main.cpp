// SPDX-License-Identifier: MIT
#include <iostream>

#include "cli/TevrFlash.h"

int main(int argc, char** argv) {
    return RunTevrFlash(argc, argv, std::cout, std::cerr);
}
