// SPDX-License-Identifier: MIT
#include "sim/SimError.h"

#include "base/Translation.h"
#include "files/SystemFile.h"
#include "words/Words.h"

SimError SystemSimError(const std::string& what, int code) {
    return SimError(Fill(Tr("%1: %2"), {what, FileProblemText({FileFaultOf(code), code})}));
}
