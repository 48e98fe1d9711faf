// SPDX-License-Identifier: MIT
// The window from the keyboard: Tab reaches the four controls in order, Space presses the start
// button as a click does, Space and Enter press "...".
#include <QLineEdit>
#include <QToolButton>

#include "AppTesting.h"
#include "widgets/AbColBitBtn.h"

namespace app_test {
namespace {

const QString kNoFile = QString::fromUtf8("Ошибка: файл обновления не выбран");

class KeyboardTest : public FormTest {
protected:
    void SetUp() override {
        MakeForm();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    void Key(Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); }
};

TEST_F(KeyboardTest, TabGoesFromTheFileFieldToTheStartButtonInOrder) {
    form->Edit1->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), form->Edit1);
    const std::vector<QWidget*> order{form->SpeedButton1, form->ComboBox1, form->AbColBitBtn1,
                                      form->Edit1};
    for (QWidget* next : order) {
        Key(Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next) << next->objectName().toStdString();
    }
}

TEST_F(KeyboardTest, SpaceOnTheStartButtonIsAClickWithItsChecks) {
    const QImage unfocused = form->AbColBitBtn1->grab().toImage();
    form->AbColBitBtn1->setFocus();
    ASSERT_TRUE(form->AbColBitBtn1->hasFocus());
    EXPECT_NE(form->AbColBitBtn1->grab().toImage(), unfocused) << "no focus frame";

    Key(Qt::Key_Space);
    // No update file: the click handler's own check, and the button back off.
    EXPECT_EQ(boxes->Texts(), QStringList{"message: " + kNoFile});
    EXPECT_FALSE(form->AbColBitBtn1->Checked());

    form->Edit1->setText(temp.path() + "/missing.hex");
    form->AbColBitBtn1->setFocus();
    QTest::keyPress(form->AbColBitBtn1, Qt::Key_Space);
    EXPECT_TRUE(form->AbColBitBtn1->Checked()) << "flips on the press, as with the mouse";
    QTest::keyRelease(form->AbColBitBtn1, Qt::Key_Space);
    ASSERT_EQ(boxes->shown.size(), 2u);
    EXPECT_EQ(boxes->shown[1].text, QString::fromUtf8("Ошибка: файл не найден."));
    EXPECT_FALSE(form->AbColBitBtn1->Checked());
    EXPECT_FALSE(form->VaComm1.IsOpen());
}

TEST_F(KeyboardTest, SpaceAndEnterPressTheOpenButton) {
    int opened = 0;
    form->OpenDialog1.SetExecutor([&](TOpenDialog&) {
        ++opened;
        return false;
    });
    form->SpeedButton1->setFocus();
    Key(Qt::Key_Space);
    Key(Qt::Key_Return);
    Key(Qt::Key_Enter);
    EXPECT_EQ(opened, 3);
}

}  // namespace
}  // namespace app_test
