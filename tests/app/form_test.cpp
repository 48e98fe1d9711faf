// SPDX-License-Identifier: MIT
// The window as its description has it, and its end during a transfer.
#include <QLabel>
#include <QLineEdit>
#include <QScreen>

#include "AppTesting.h"
#include "sim/BootLoaderSim.h"
#include "widgets/AbColBitBtn.h"
#include "widgets/AbLED.h"
#include "widgets/Gauge.h"

namespace app_test {
namespace {

class FormLayoutTest : public FormTest {
protected:
    void SetUp() override { MakeForm(); }
};

TEST_F(FormLayoutTest, FixedWindowCentredOnTheScreen) {
    EXPECT_EQ(form->windowTitle(), QString::fromUtf8("Загрузчик ПО в ТЕВР-R7 (версия 1.0)"));
    EXPECT_EQ(form->size(), QSize(350, 167));
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    const Qt::WindowFlags flags = form->windowFlags();
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(flags & Qt::WindowSystemMenuHint);
    const QRect screen = form->screen()->geometry();
    EXPECT_EQ(form->pos(), QPoint((screen.width() - 350) / 2, (screen.height() - 167) / 2));
    // Shown again later, it stays where it is.
    form->move(10, 20);
    form->hide();
    form->show();
    EXPECT_EQ(form->pos(), QPoint(10, 20));
}

TEST_F(FormLayoutTest, ControlsAtTheirBounds) {
    EXPECT_EQ(form->Label1->text(), QString::fromUtf8("Файл для загрузки:"));
    EXPECT_EQ(form->Label1->pos(), QPoint(8, 8));
    EXPECT_EQ(form->Edit1->geometry(), QRect(8, 32, 305, 21));
    EXPECT_TRUE(form->Edit1->text().isEmpty());
    EXPECT_EQ(form->SpeedButton1->geometry(), QRect(312, 32, 33, 25));
    EXPECT_EQ(form->SpeedButton1->text(), "...");
    EXPECT_EQ(form->SpeedButton1->toolTip(), QString::fromUtf8("Открыть файл"));
    EXPECT_EQ(form->AbLED1->geometry(), QRect(16, 64, 113, 33));
    EXPECT_EQ(form->ComboBox1->geometry(), QRect(216, 72, 129, 22));
    EXPECT_EQ(form->AbColBitBtn1->geometry(), QRect(0, 104, 345, 33));
    EXPECT_EQ(form->ProgressBar1->geometry(), QRect(0, 142, 350, 25));
    EXPECT_EQ(form->ProgressBar1->Progress(), 0);
    // Only these are on the window: the lists behind Memo1 and Memo2 are never shown.
    int visible = 0;
    for (QWidget* w : form->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        visible += w->isVisible();
    EXPECT_EQ(visible, 7);
}

TEST_F(FormLayoutTest, LedAndStartButtonSettings) {
    EXPECT_EQ(form->AbLED1->Caption(), "Отклик от БК");
    EXPECT_EQ(form->AbLED1->Mode(), mIndicator);
    EXPECT_FALSE(form->AbLED1->Checked());
    TAbColBitBtn* b = form->AbColBitBtn1;
    EXPECT_EQ(b->Mode(), mSwitch);
    EXPECT_EQ(b->TextOff(), "Старт BootLoader");
    EXPECT_EQ(b->TextOn(), "BootLoader запущен");
    EXPECT_EQ(b->TextColOn(), clLime);
    EXPECT_TRUE(b->Font().Bold);
    EXPECT_TRUE(b->GradBtnFace().Visible());
    EXPECT_EQ(b->GradBtnFace().ColorTo(), 0x696969u);
    EXPECT_EQ(b->ButtonBevel().Width(), 4);
    EXPECT_FALSE(b->Checked());
}

TEST_F(FormLayoutTest, SerialComponentSettings) {
    TVaComm& comm = form->VaComm1;
    EXPECT_EQ(comm.Baudrate(), brUser);
    EXPECT_EQ(comm.UserBaudrate(), 10400);
    EXPECT_EQ(comm.DeviceName(), "COM1");
    EXPECT_EQ(comm.Buffers().ReadTimeout(), 500);
    EXPECT_EQ(comm.FlowControl().ControlDtr(), dtrDisabled);
    EXPECT_EQ(comm.FlowControl().ControlRts(), rtsDisabled);
    EXPECT_FALSE(comm.FlowControl().OutCtsFlow() || comm.FlowControl().XonXoffOut() ||
                 comm.FlowControl().XonXoffIn());
    EXPECT_TRUE(comm.OnRxChar);
    EXPECT_FALSE(comm.IsOpen());
    EXPECT_EQ(form->Transfer().LinkState(), TLinkState::lsNoGreeting);
}

TEST_F(FormTest, ClosingDuringATransferClosesThePort) {
    const QString links = Sub("links");
    SimOptions options;
    options.pace = true;
    options.linkPath = (links + "/bk").toStdString();
    BootLoaderSim sim(options);
    sim.Start();
    MakeForm(links);
    form->ComboBox1->setCurrentIndex(8);
    ChooseFile(ExamplePath("image-64k.hex"));
    QTest::mouseClick(form->AbColBitBtn1, Qt::LeftButton);
    ASSERT_TRUE(WaitFor([&] { return form->Transfer().ScriptIndex() >= 2; }));

    form->close();
    form.reset();
    // Work the serial threads had handed over finds them stopped; the device is not told.
    NestedLoop(200);
    EXPECT_EQ(sim.Outcome(), SimOutcome::Running);
    // The line is free again: another window can open it.
    MakeForm(links);
    form->ComboBox1->setCurrentIndex(8);
    EXPECT_NO_THROW(form->VaComm1.SetDeviceName(form->ComboBox1Text()));
    EXPECT_NO_THROW(form->VaComm1.Open());
    form->VaComm1.Close();
    sim.Stop();
}

}  // namespace
}  // namespace app_test
