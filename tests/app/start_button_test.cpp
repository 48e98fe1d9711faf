// SPDX-License-Identifier: MIT
// The start button flips on the press and clicks on the release; presses that end in no click
// (released outside, the second press of a double click) must leave it showing the truth.
#include <QWindow>

#include "AppTesting.h"
#include "sim/BootLoaderSim.h"
#include "widgets/AbColBitBtn.h"

namespace app_test {
namespace {

const QString kNoFile = QString::fromUtf8("Ошибка: файл обновления не выбран");

class StartButtonTest : public FormTest {
protected:
    QPoint Inside() const { return form->AbColBitBtn1->geometry().center(); }
    QPoint Outside() const { return QPoint(175, 20); }
    QWindow* Window() const { return form->windowHandle(); }
    // The mouse as the desktop delivers it, double clicks recognised by the application.
    void Press(QPoint at) { QTest::mousePress(Window(), Qt::LeftButton, {}, at); }
    void Release(QPoint at) { QTest::mouseRelease(Window(), Qt::LeftButton, {}, at); }
    void DoubleClick() { QTest::mouseDClick(Window(), Qt::LeftButton, {}, Inside()); }

    // A long paced transfer, chosen and (if `start`) under way.
    void StartLongTransfer(bool start = true) {
        SimOptions options;
        options.pace = true;
        options.linkPath = (Sub("links") + "/bk").toStdString();
        sim = std::make_unique<BootLoaderSim>(options);
        sim->Start();
        MakeForm(Sub("links"));
        form->ComboBox1->setCurrentIndex(form->ComboBox1->findText(Q(sim->LinePath())));
        ChooseFile(ExamplePath("image-64k.hex"));
        if (!start) return;
        Press(Inside());
        Release(Inside());
        ASSERT_TRUE(WaitFor([&] { return form->Transfer().ScriptIndex() >= 2; }));
    }
    void TearDown() override {
        form.reset();
        if (sim) sim->Stop();
    }

    std::unique_ptr<BootLoaderSim> sim;
};

TEST_F(StartButtonTest, ReleasedOutsideWhileIdleStaysOff) {
    MakeForm();
    Press(Inside());
    EXPECT_TRUE(form->AbColBitBtn1->Checked());  // the widget flips on the press
    Release(Outside());
    EXPECT_FALSE(form->AbColBitBtn1->Checked());
    EXPECT_TRUE(boxes->shown.empty());
    EXPECT_FALSE(form->VaComm1.IsOpen());
}

TEST_F(StartButtonTest, DoubleClickWhileIdleGivesOneStartAndEndsOff) {
    MakeForm();
    DoubleClick();
    EXPECT_EQ(boxes->Texts(), QStringList{"message: " + kNoFile});
    EXPECT_FALSE(form->AbColBitBtn1->Checked());
}

TEST_F(StartButtonTest, ReleasedOutsideWhileRunningKeepsTheTransfer) {
    StartLongTransfer();
    Press(Inside());
    EXPECT_FALSE(form->AbColBitBtn1->Checked());
    Release(Outside());
    EXPECT_TRUE(form->AbColBitBtn1->Checked());
    EXPECT_TRUE(form->Transfer().Running());
    EXPECT_TRUE(form->VaComm1.IsOpen());
    // The transfer goes on, and the next click is a stop, not a second start.
    const int64_t index = form->Transfer().ScriptIndex();
    ASSERT_TRUE(WaitFor([&] { return form->Transfer().ScriptIndex() > index + 1; }));
    Press(Inside());
    Release(Inside());
    EXPECT_FALSE(form->AbColBitBtn1->Checked());
    EXPECT_FALSE(form->VaComm1.IsOpen());
    EXPECT_TRUE(boxes->shown.empty()) << boxes->Texts().join("\n").toStdString();
}

TEST_F(StartButtonTest, DoubleClickStartsOnceAndShowsItRunning) {
    StartLongTransfer(false);
    DoubleClick();
    EXPECT_TRUE(form->Transfer().Running());
    EXPECT_TRUE(form->AbColBitBtn1->Checked());
    ASSERT_TRUE(WaitFor([&] { return form->Transfer().ScriptIndex() >= 2; }));
    EXPECT_TRUE(boxes->shown.empty()) << boxes->Texts().join("\n").toStdString();
}

TEST_F(StartButtonTest, DoubleClickWhileRunningStopsOnceAndShowsItStopped) {
    StartLongTransfer();
    DoubleClick();
    EXPECT_FALSE(form->Transfer().Running());
    EXPECT_FALSE(form->AbColBitBtn1->Checked());
    EXPECT_FALSE(form->VaComm1.IsOpen());
    EXPECT_TRUE(boxes->shown.empty()) << boxes->Texts().join("\n").toStdString();
}

}  // namespace
}  // namespace app_test
