# SPDX-License-Identifier: MIT
# cmake -DCATALOGUE=<file.mo> -DOUTPUT=<file.cpp> -P TevrEmbedCatalogue.cmake
# Writes the compiled catalogue's bytes as the source of RussianCatalogue() (words/RussianCatalogue.h).
file(READ ${CATALOGUE} hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
# Sixteen bytes a line.
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x..,){16})" "\\1\n    " bytes "${bytes}")
file(WRITE ${OUTPUT}.new
"// Generated from ${CATALOGUE}; do not edit.
#include \"words/RussianCatalogue.h\"

namespace {
alignas(4) const unsigned char kCatalogue[${size}] = {
    ${bytes}
};
}  // namespace

std::string_view RussianCatalogue() {
    return {reinterpret_cast<const char*>(kCatalogue), sizeof kCatalogue};
}
")
file(RENAME ${OUTPUT}.new ${OUTPUT})
