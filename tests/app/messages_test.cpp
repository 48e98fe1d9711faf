// SPDX-License-Identifier: MIT
// The two kinds of message box and which one shows what.
#include <QAbstractButton>
#include <QMessageBox>

#include "AppTesting.h"
#include "app/Form1Description.h"
#include "app/qt/ApplicationTitle.h"
#include "serial/VaClasses.h"

namespace app_test {
namespace {

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
    EXPECT_EQ(box.title, QString::fromUtf8(ApplicationTitleText()));
    EXPECT_EQ(box.text, QString::fromUtf8("Обновление ПО в Тевр R7 завершено"));
    EXPECT_EQ(box.icon, QMessageBox::NoIcon);
    EXPECT_EQ(box.buttons, QMessageBox::Ok);
    EXPECT_EQ(box.modality, Qt::ApplicationModal);
}

TEST(DesktopBoxes, ErrorHasTheErrorIconAndShowsItsTextAsPlainText) {
    // A file name may look like markup; the box shows it as it is.
    const QString text = "File <b>x</b>.hex not found.";
    const SeenBox box = ShowDesktopBox([&](TQtMessageBoxes& boxes) { boxes.ShowError(text); });
    EXPECT_EQ(box.title, QString::fromUtf8(ApplicationTitleText()));
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
    form->VaComm1.HandleException(std::make_exception_ptr(
        EVaCommError(TVaCommFault::Read, "Read error (5)", 5, {}, TVaSystemFault::Gone)));
    ASSERT_EQ(boxes->shown.size(), 1u);
    EXPECT_TRUE(boxes->shown[0].error);
    EXPECT_EQ(boxes->shown[0].text.toStdString(),
              "Ошибка: не удалось прочитать данные из порта (устройство отключено, ошибка 5)");
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
