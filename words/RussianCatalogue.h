// SPDX-License-Identifier: MIT
#pragma once
// The Russian catalogue compiled into the program, for the front ends that speak Russian
// wherever they run (the window) or choose the language themselves (the page):
// UseCatalogue(RussianCatalogue()).
#include <string_view>

std::string_view RussianCatalogue();
