// SPDX-License-Identifier: MIT
#include "cli/MessageTexts.h"

#include "line/Problem.h"
#include "words/Words.h"

std::string MessageOf(const std::exception& error) {
    return ProblemText(ProblemOf(error));
}
