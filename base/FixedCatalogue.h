// SPDX-License-Identifier: MIT
#pragma once
// The catalogue UseCatalogue chose, which every system's Tr() asks before its own; inside
// tevr_translation only.
#include "base/MoCatalogue.h"

// The chosen catalogue, or nullptr while the environment chooses.
const MoCatalogue* FixedCatalogue();

// Forgets the chosen catalogue (SetUpTranslation).
void ForgetFixedCatalogue();

// The key of a message with a context in a compiled catalogue: "context\4message".
std::string ContextKey(const char* context, const char* message);
