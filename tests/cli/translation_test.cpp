// SPDX-License-Identifier: MIT
// The build's Russian catalogue through gettext, as tevr-flash reads it on Linux, and through
// MoCatalogue, as it reads it on Windows: the same texts, the three forms of a Russian number,
// English when asked, and English rather than garbage from a damaged catalogue.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/MoCatalogue.h"
#include "base/Translation.h"

namespace {

const std::string kLocaleFolder = TEVR_BINARY_DIR "/share/locale";
const std::string kCatalogue = kLocaleFolder + "/ru/LC_MESSAGES/tevr-flash.mo";

// The language of the messages while it stands; the environment and the language before after.
class ScopedLanguage {
public:
    explicit ScopedLanguage(const char* language) {
        for (const char* name : kNames) {
            const char* value = std::getenv(name);
            saved_.emplace_back(value ? std::optional<std::string>(value) : std::nullopt);
        }
        ::setenv("LC_ALL", "C.UTF-8", 1);
        ::setenv("LANGUAGE", language, 1);
        ::setenv("TEVR_LOCALEDIR", kLocaleFolder.c_str(), 1);
        SetUpTranslation();
    }
    ~ScopedLanguage() {
        for (size_t i = 0; i < std::size(kNames); ++i) {
            if (saved_[i])
                ::setenv(kNames[i], saved_[i]->c_str(), 1);
            else
                ::unsetenv(kNames[i]);
        }
        SetUpTranslation();
    }
    ScopedLanguage(const ScopedLanguage&) = delete;
    ScopedLanguage& operator=(const ScopedLanguage&) = delete;

private:
    static constexpr const char* kNames[] = {"LC_ALL", "LANGUAGE", "TEVR_LOCALEDIR"};
    std::vector<std::optional<std::string>> saved_;
};

std::vector<char> CatalogueBytes() {
    std::ifstream file(kCatalogue, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

TEST(TranslationTest, RussianTextsAndFormsOfNumbersThroughBothReaders) {
    const ScopedLanguage russian("ru");
    const MoCatalogue catalogue = MoCatalogue::FromFile(kCatalogue);
    ASSERT_FALSE(catalogue.Empty()) << kCatalogue;
    const struct {
        unsigned long n;
        const char* form;
    } forms[] = {{1, "%1 ответ"},     {2, "%1 ответа"},   {4, "%1 ответа"}, {5, "%1 ответов"},
                 {11, "%1 ответов"},  {12, "%1 ответов"}, {21, "%1 ответ"}, {22, "%1 ответа"},
                 {111, "%1 ответов"}, {0, "%1 ответов"}};
    for (const auto& [n, form] : forms) {
        EXPECT_STREQ(TrN("%1 answer", "%1 answers", n), form) << n;
        EXPECT_STREQ(catalogue.FindPlural("%1 answer", n), form) << n;
    }
    // bk-sim's count of blocks: 1 блок, 2 блока, 5 блоков.
    for (const auto& [n, words] :
         {std::pair{1ul, "принят 1 блок"}, std::pair{2ul, "принято 2 блока"},
          std::pair{5ul, "принято 5 блоков"}})
        EXPECT_NE(Fill(TrN("end command after %1 block", "end command after %1 blocks", n),
                       {std::to_string(n)})
                      .find(words),
                  std::string::npos)
            << n;
    EXPECT_STREQ(Tr("line ready"), "линия готова");
    EXPECT_STREQ(catalogue.Find("line ready"), "линия готова");
    EXPECT_EQ(Fill(Tr("line %1: %2"), {"3", Tr("wrong record checksum")}),
              "строка 3: неверная контрольная сумма записи");
    // A message the catalogue lacks shows in English.
    EXPECT_STREQ(Tr("no such message"), "no such message");
    EXPECT_EQ(catalogue.Find("no such message"), nullptr);
    EXPECT_STREQ(Tr(""), "");
}

TEST(TranslationTest, EnglishWhenAskedOrWhenTheCatalogueIsDamaged) {
    {
        const ScopedLanguage english("en");
        EXPECT_STREQ(TrN("%1 byte", "%1 bytes", 1), "%1 byte");
        EXPECT_STREQ(TrN("%1 byte", "%1 bytes", 5), "%1 bytes");
        EXPECT_STREQ(Tr("line ready"), "line ready");
    }
    const std::vector<char> good = CatalogueBytes();
    ASSERT_GT(good.size(), 28u);
    EXPECT_FALSE(MoCatalogue(good).Empty());
    std::vector<char> bytes = good;
    bytes.resize(bytes.size() / 2);  // the strings' end cut off
    EXPECT_TRUE(MoCatalogue(bytes).Empty());
    bytes = good;
    bytes[0] = 0;  // no magic number
    EXPECT_TRUE(MoCatalogue(bytes).Empty());
    bytes = good;
    const std::uint32_t huge = 0x7fffffff;  // more messages than the file could hold
    std::memcpy(bytes.data() + 8, &huge, 4);
    EXPECT_TRUE(MoCatalogue(bytes).Empty());
    EXPECT_TRUE(MoCatalogue::FromFile(kLocaleFolder + "/none.mo").Empty());
}

}  // namespace
