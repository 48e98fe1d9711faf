// SPDX-License-Identifier: MIT
// The one table of words: every kind in both languages, the window's texts as the window has
// always shown them, plural forms and decimal separators.
#include <gtest/gtest.h>

#include <functional>
#include <regex>
#include <set>
#include <vector>

#include "base/Translation.h"
#include "line/BoardStop.h"
#include "words/RussianCatalogue.h"
#include "words/Words.h"

namespace {

// The data put into the texts below; what is left is the table's own words.
const std::vector<std::string> kData = {"/dev/ttyUSB0",
                                        "fw.hex.minisig",
                                        "B3CE124693EF8AC8",
                                        "/etc/tevr-loader/trusted-keys",
                                        "UTF-16LE",
                                        "ISO-8859-5",
                                        "0100",
                                        "ТЕВР-R7 2.3.1",
                                        "FE",
                                        "0F",
                                        "1G"};

// Every text the table makes of every kind, with some data in it.
std::vector<std::string> EveryText() {
    std::vector<std::string> texts;
    for (int m = 1; m <= static_cast<int>(TransferMessage::DeviceGone); ++m)
        texts.push_back(TransferMessageText(static_cast<TransferMessage>(m)));
    for (int f = 0; f <= static_cast<int>(ConversionFault::ScriptLineTooLong); ++f) {
        const auto fault = static_cast<ConversionFault>(f);
        const std::string text = fault == ConversionFault::NotANumber ? "1G" : "ISO-8859-5";
        for (int64_t line : {0, 7})
            texts.push_back(
                ErrorBoxText(ConversionProblem{fault, line, text, 0x10000, 0xFE, 0x0F, 255}));
    }
    for (int f = 0; f <= static_cast<int>(ForeignFormat::TiTxt); ++f) {
        ConversionProblem p{.fault = ConversionFault::NotIntelHex};
        p.format = static_cast<ForeignFormat>(f);
        texts.push_back(ErrorBoxText(p));
    }
    for (int f = 0; f <= static_cast<int>(FileFault::Other); ++f)
        texts.push_back(ProblemText(FileProblem{static_cast<FileFault>(f), 5}));
    for (int f = 0; f <= static_cast<int>(TVaCommFault::DeviceGone); ++f)
        for (int s = 0; s <= static_cast<int>(TVaSystemFault::Gone); ++s)
            texts.push_back(ErrorBoxText(SerialProblem{
                static_cast<TVaCommFault>(f), 13, "/dev/ttyUSB0", static_cast<TVaSystemFault>(s)}));
    for (int f = 0; f <= static_cast<int>(SignatureFault::LegacyTooLong); ++f) {
        SignatureProblem p{static_cast<SignatureFault>(f), "fw.hex.minisig", "B3CE124693EF8AC8"};
        p.limit = 1;
        p.trustedKeysFile = "/etc/tevr-loader/trusted-keys";
        texts.push_back(ErrorBoxText(p));
    }
    for (int f = 0; f <= static_cast<int>(KeyFault::AllZero); ++f)
        for (int line : {0, 3})
            texts.push_back(TrustedKeysProblemText("/etc/tevr-loader/trusted-keys",
                                                   {static_cast<KeyFault>(f), line}));
    texts.push_back(
        TrustedKeysUnreadableText("/etc/tevr-loader/trusted-keys", {FileFault::AccessDenied, 13}));
    for (int w = 0; w <= static_cast<int>(StallWait::Answer); ++w)
        for (const char* address : {"", "0100"})
            texts.push_back(StallText(
                {static_cast<StallWait>(w), address, 2, 131, std::chrono::milliseconds(400)},
                "/dev/ttyUSB0"));
    for (int f = 1; f <= static_cast<int>(BoardFault::PortNotFound); ++f)
        texts.push_back(
            BoardCauseText({static_cast<BoardFault>(f), UnexpectedProblem{}}, "/dev/ttyUSB0"));
    for (int signal : {kSignalHangUp, kSignalInterrupt, kSignalTerminate})
        texts.push_back(SignalText(signal));
    texts.push_back(ReleaseText({"ТЕВР-R7 2.3.1", "", "B3CE124693EF8AC8", true}));
    return texts;
}

std::string WithoutData(std::string text) {
    for (const std::string& data : kData)
        for (size_t at; (at = text.find(data)) != std::string::npos;)
            text.erase(at, data.size());
    return text;
}

class WordsTest : public ::testing::Test {
protected:
    void TearDown() override { SetUpTranslation(); }
    static void Russian() { UseCatalogue(RussianCatalogue()); }
    static void English() { UseCatalogue({}); }
};

TEST_F(WordsTest, EveryKindInEitherLanguageAlone) {
    English();
    const std::regex cyrillic("[\xD0\xD1]");
    for (const std::string& text : EveryText())
        EXPECT_FALSE(std::regex_search(WithoutData(text), cyrillic)) << text;

    Russian();
    // What a Russian text may hold in Latin letters: names of formats, keys, lines and signals.
    const std::set<std::string> names = {"minisign", "Ed25519", "Base64", "ASCII", "UTF",  "DTR",
                                         "SIGHUP",   "SIGTERM", "Ctrl",   "C",     "xAA",  "l",
                                         "R7",       "Intel",   "HEX",    "ELF",   "HTML", "XML",
                                         "Motorola", "S",       "SREC",   "TI",    "TXT"};
    const std::regex latin("[A-Za-z][A-Za-z0-9]*");
    for (const std::string& text : EveryText()) {
        EXPECT_FALSE(text.empty());
        const std::string own = WithoutData(text);
        for (auto word = std::sregex_iterator(own.begin(), own.end(), latin);
             word != std::sregex_iterator(); ++word)
            EXPECT_TRUE(names.count(word->str())) << word->str() << " in: " << text;
        EXPECT_EQ(text.find("$"), std::string::npos) << text;
        EXPECT_EQ(text.find(": :"), std::string::npos) << text;
    }
}

TEST_F(WordsTest, TheWindowsOwnTextsStayAsTheyWere) {
    Russian();
    EXPECT_EQ(TransferMessageText(TransferMessage::NoScript), "Ошибка: файл обновления не выбран");
    EXPECT_EQ(TransferMessageText(TransferMessage::BadChecksum),
              "Ошибка: Неверная контрольная сумма");
    EXPECT_EQ(TransferMessageText(TransferMessage::Done), "Обновление ПО в Тевр R7 завершено");
    EXPECT_EQ(TransferMessageText(TransferMessage::None), "");
    EXPECT_EQ(ErrorBoxText(ConversionProblem{.fault = ConversionFault::WrongChecksum, .line = 2}),
              "Ошибка в строке 2 файла обновления: неверная контрольная сумма записи.");
    EXPECT_EQ(ErrorBoxText(ConversionProblem{.fault = ConversionFault::NoData}),
              "Ошибка: в файле обновления нет данных.");
}

TEST_F(WordsTest, ErrorBoxEndsWithAFullStopOnlyAfterCharactersThatSortAfterIt) {
    English();
    EXPECT_EQ(ErrorBoxText(UnexpectedProblem{"a/"}), "Error: a/.");
    for (const char* text : {"stop!", "a-", "a,", "a ", "(x)"})
        EXPECT_EQ(ErrorBoxText(UnexpectedProblem{text}), std::string("Error: ") + text) << text;
    Russian();
    // Cyrillic letters sort after "." although their UTF-8 bytes are negative as signed chars.
    EXPECT_EQ(ErrorBoxText(UnexpectedProblem{"не отвечает, Ё"}), "Ошибка: не отвечает, Ё.");
}

TEST_F(WordsTest, CountsTakeTheirFormAndNumbersTheirSeparator) {
    Russian();
    EXPECT_EQ(SecondsText(0.4), "0,4 с");
    EXPECT_EQ(SecondsText(12.0), "12 с");
    EXPECT_EQ(DecimalText(10.25, 1), "10,2");
    const auto echo = [](int length) {
        return StallText({StallWait::RestOfEcho, "0100", 1, length, std::chrono::seconds(10)}, "p");
    };
    EXPECT_NE(echo(131).find("1 из 131 байта"), std::string::npos) << echo(131);
    EXPECT_NE(echo(132).find("1 из 132 байт"), std::string::npos) << echo(132);
    English();
    EXPECT_EQ(SecondsText(0.4), "0.4 s");
    EXPECT_NE(echo(1).find("1 of 1 byte;"), std::string::npos) << echo(1);
}

}  // namespace
