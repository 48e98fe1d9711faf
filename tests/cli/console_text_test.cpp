// SPDX-License-Identifier: MIT
// What a console writer may convert of the bytes written so far: never half a character, which
// would show as two wrong ones where a Russian letter comes in two writes.
#include <gtest/gtest.h>

#include <string>

#include "cli/Terminal.h"

namespace {

TEST(ConsoleText, OnlyWholeCharactersAreReady) {
    const std::string word = "готово";  // two bytes a letter
    EXPECT_EQ(WholeUtf8Length(word), word.size());
    EXPECT_EQ(WholeUtf8Length(word.substr(0, 5)), 4u);  // "го" and the first byte of "т"
    EXPECT_EQ(WholeUtf8Length("ok\n"), 3u);
    EXPECT_EQ(WholeUtf8Length(""), 0u);
    EXPECT_EQ(WholeUtf8Length("1 \xE2\x82"), 2u);        // two of the three bytes of "€"
    EXPECT_EQ(WholeUtf8Length("\xF0\x9F\x98"), 0u);      // three of the four of an emoji
    EXPECT_EQ(WholeUtf8Length("\xF0\x9F\x98\x80"), 4u);  // all four
    // A stray continuation byte never holds the text back.
    EXPECT_EQ(WholeUtf8Length("\x80\x80"), 2u);
}

}  // namespace
