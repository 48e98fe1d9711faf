// SPDX-License-Identifier: MIT
// The two kinds of message box and the text of the error box.
#include <QAbstractButton>
#include <QMessageBox>

#include "AppTesting.h"
#include "app/Form1Description.h"
#include "app/Form1Texts.h"
#include "app/qt/ApplicationTitle.h"
#include "serial/VaClasses.h"

namespace app_test {
namespace {

TEST(ErrorBoxText, FullStopAfterCharactersThatSortAfterIt) {
    EXPECT_EQ(ErrorBoxText("File not found"), "File not found.");
    EXPECT_EQ(ErrorBoxText("I/O error 103"), "I/O error 103.");
    EXPECT_EQ(ErrorBoxText("a/"), "a/.");
    // Cyrillic letters sort after "." although their UTF-8 bytes are negative as signed chars.
    EXPECT_EQ(ErrorBoxText("Ошибка: строка 3 длиннее 255 байт"),
              std::string("Ошибка: строка 3 длиннее 255 байт."));
    EXPECT_EQ(ErrorBoxText("ТЕВР-R7 не отвечает, Ё"), std::string("ТЕВР-R7 не отвечает, Ё."));
}

TEST(ErrorBoxText, NothingAddedAfterCharactersUpToTheFullStop) {
    EXPECT_EQ(ErrorBoxText("Specified device not found (/dev/x)."),
              "Specified device not found (/dev/x).");
    EXPECT_EQ(ErrorBoxText("Can't open specified device COM8 (Error 5, Input/output error)"),
              "Can't open specified device COM8 (Error 5, Input/output error)");
    for (const char* text : {"", "stop!", "a-", "a,", "a "})
        EXPECT_EQ(ErrorBoxText(text), std::string(text)) << text;
}

TEST(WindowTexts, TheTransfersMessagesAndARefusedFileInTheWindowsWords) {
    EXPECT_STREQ(TransferMessageText(TransferMessage::NoScript),
                 "Ошибка: файл обновления не выбран");
    EXPECT_STREQ(TransferMessageText(TransferMessage::BadChecksum),
                 "Ошибка: Неверная контрольная сумма");
    EXPECT_STREQ(TransferMessageText(TransferMessage::Done), "Обновление ПО в Тевр R7 завершено");
    EXPECT_STREQ(TransferMessageText(TransferMessage::None), "");

    using F = ConversionFault;
    const auto text = [](ConversionProblem p) { return ConversionProblemText(p); };
    EXPECT_EQ(text({.fault = F::NotANumber, .line = 3, .text = "1G"}),
              "'$1G' is not a valid integer value")
        << "the runtime's words, without the line";
    const std::string at2 = "Ошибка в строке 2 файла обновления: ";
    EXPECT_EQ(text({.fault = F::NoStartCode, .line = 2}),
              at2 + "запись не начинается с символа ':'");
    EXPECT_EQ(text({.fault = F::LineTooShort, .line = 2}),
              at2 + "строка короче, чем требует длина записи");
    EXPECT_EQ(text({.fault = F::NotHexadecimal, .line = 2}),
              at2 + "в записи есть символ, не являющийся шестнадцатеричной цифрой");
    EXPECT_EQ(text({.fault = F::WrongChecksum, .line = 2}),
              at2 + "неверная контрольная сумма записи");
    EXPECT_EQ(text({.fault = F::TextAfterRecord, .line = 2}),
              at2 + "после контрольной суммы записи в строке есть ещё символы");
    EXPECT_EQ(text({.fault = F::SecondRecord, .line = 2}),
              at2 +
                  "после контрольной суммы записи в строке начинается ещё одна запись; каждая "
                  "запись должна стоять в своей строке");
    EXPECT_EQ(text({.fault = F::EndRecordWithData, .line = 2}),
              at2 + "запись конца файла содержит данные");
    EXPECT_EQ(text({.fault = F::AddressRecordLength, .line = 2}),
              at2 + "неверная длина записи расширенного адреса");
    EXPECT_EQ(text({.fault = F::UnknownRecordType, .line = 2, .value = 6}),
              at2 + "неизвестный тип записи 06");
    EXPECT_EQ(text({.fault = F::OutsideMemory, .line = 2, .address = 0x10000}),
              at2 + "данные за пределами 64 КиБ памяти устройства (адрес 10000)");
    EXPECT_EQ(text({.fault = F::ByteGivenTwice,
                    .line = 2,
                    .address = 0xF,
                    .value = 0xF,
                    .otherValue = 0xE}),
              at2 + "байт по адресу 000F уже задан другим значением (0F, здесь 0E)");
    EXPECT_EQ(text({.fault = F::NoData}), "Ошибка: в файле обновления нет данных");
    EXPECT_EQ(text({.fault = F::UnmarkedUtf16, .text = "UTF-16LE"}),
              "Ошибка: файл обновления записан в кодировке UTF-16LE без метки порядка байтов; "
              "прочесть его можно только в ASCII, UTF-8 или UTF-16 с меткой порядка байтов: "
              "сохраните файл в одной из них");
    EXPECT_EQ(text({.fault = F::ScriptLineTooLong, .line = 3, .limit = 255}),
              "Ошибка: строка 3 сценария передачи длиннее 255 байт");
}

// What a desktop box showed while it waited for the user.
struct SeenBox {
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    Qt::TextFormat format = Qt::AutoText;
    Qt::WindowModality modality = Qt::NonModal;
};

// Shows a box through the desktop's boxes, reads it while it waits, then presses its "OK".
SeenBox ShowDesktopBox(const std::function<void(TQtMessageBoxes&)>& show) {
    SeenBox seen;
    bool dismissed = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || dismissed) return;
        seen = {box->windowTitle(),     box->text(),       box->icon(),
                box->standardButtons(), box->textFormat(), box->windowModality()};
        dismissed = true;
        if (QAbstractButton* ok = box->button(QMessageBox::Ok))
            ok->click();
        else
            box->reject();
    });
    poll.start(10);
    TQtMessageBoxes boxes;
    show(boxes);
    EXPECT_TRUE(dismissed);
    return seen;
}

TEST(DesktopBoxes, MessageHasTheTitleOneOkAndNoIcon) {
    const SeenBox box = ShowDesktopBox([](TQtMessageBoxes& boxes) {
        boxes.ShowMessage(QString::fromUtf8("Обновление ПО в Тевр R7 завершено"));
    });
    EXPECT_EQ(box.title, QString::fromUtf8(kApplicationTitle));
    EXPECT_EQ(box.text, QString::fromUtf8("Обновление ПО в Тевр R7 завершено"));
    EXPECT_EQ(box.icon, QMessageBox::NoIcon);
    EXPECT_EQ(box.buttons, QMessageBox::Ok);
    EXPECT_EQ(box.modality, Qt::ApplicationModal);
}

TEST(DesktopBoxes, ErrorHasTheErrorIconAndShowsItsTextAsPlainText) {
    // A file name may look like markup; the box shows it as it is.
    const QString text = "File <b>x</b>.hex not found.";
    const SeenBox box = ShowDesktopBox([&](TQtMessageBoxes& boxes) { boxes.ShowError(text); });
    EXPECT_EQ(box.title, QString::fromUtf8(kApplicationTitle));
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.icon, QMessageBox::Critical);
    EXPECT_EQ(box.buttons, QMessageBox::Ok);
    EXPECT_EQ(box.format, Qt::PlainText);
    EXPECT_EQ(box.modality, Qt::ApplicationModal);
}

class MessageRoutingTest : public FormTest {
protected:
    void SetUp() override { MakeForm(); }
};

TEST_F(MessageRoutingTest, SerialErrorsOutsideAHandlerGoToTheErrorBox) {
    // What the component does with an error of a handler its threads handed over.
    form->VaComm1.HandleException(std::make_exception_ptr(EVaCommError("Read error (5), Boom")));
    ASSERT_EQ(boxes->shown.size(), 1u);
    EXPECT_TRUE(boxes->shown[0].error);
    EXPECT_EQ(boxes->shown[0].text, "Read error (5), Boom.");
    EXPECT_FALSE(form->ModalUp());
}

TEST_F(MessageRoutingTest, HandlerMessagesHaveNoErrorIcon) {
    form->ShowMessage("Обновление ПО в Тевр R7 завершено");
    ASSERT_EQ(boxes->shown.size(), 1u);
    EXPECT_FALSE(boxes->shown[0].error);
    EXPECT_EQ(boxes->shown[0].text, QString::fromUtf8("Обновление ПО в Тевр R7 завершено"));
}

}  // namespace
}  // namespace app_test
