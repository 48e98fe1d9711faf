// SPDX-License-Identifier: MIT
// Whole updates through the window's real controls against the simulated boot loader.
#include <QFile>
#include <QLineEdit>
#include <QToolButton>

#include "AppTesting.h"
#include "app/qt/PortComboBox.h"
#include "sim/BootLoaderSim.h"
#include "support/ReleaseSigning.h"
#include "support/TempFolder.h"
#include "widgets/AbColBitBtn.h"
#include "widgets/AbLED.h"
#include "widgets/Gauge.h"

namespace app_test {
namespace {

const QString kDone = QString::fromUtf8("Обновление ПО в Тевр R7 завершено");
const QString kNoFile = QString::fromUtf8("Ошибка: файл обновления не выбран");
const QString kBadChecksum = QString::fromUtf8("Ошибка: Неверная контрольная сумма");
const QString kDeviceGone =
    QString::fromUtf8("Ошибка: связь с БК потеряна (БК или адаптер отключены)");
const QString kEchoMismatch = QString::fromUtf8(
    "Ошибка: эхо на линии не совпало с переданным (сбой линии). Проверьте кабель и адаптер");

// The device's memory after the worked example: three blocks, each filled up with 0xFF, and the
// missing record at 0020 written as zeros.
std::vector<uint8_t> WorkedImage() {
    std::vector<uint8_t> image(0x10000, 0xFF);
    for (int i = 0x00; i < 0x20; ++i)
        image[i] = static_cast<uint8_t>(i);
    for (int i = 0x20; i < 0x30; ++i)
        image[i] = 0;
    for (int i = 0x30; i < 0x40; ++i)
        image[i] = static_cast<uint8_t>(i);
    for (int i = 0; i < 8; ++i)
        image[0x80 + i] = static_cast<uint8_t>(0xA0 + i);
    for (int i = 0; i < 16; ++i)
        image[0x200 + i] = static_cast<uint8_t>(0xC0 + i);
    return image;
}

class TransferTest : public FormTest {
protected:
    void StartSim(SimOptions options = {}) {
        simDir = Sub("links");
        options.linkPath = (simDir + "/bk").toStdString();
        sim = std::make_unique<BootLoaderSim>(std::move(options));
        sim->Start();
        MakeForm(simDir);
        // The simulator is found in the port list and chosen there.
        const int index = form->ComboBox1->findText(Q(sim->LinePath()));
        ASSERT_GE(index, 8) << form->ComboBox1->count();
        form->ComboBox1->setCurrentIndex(index);
    }
    void TearDown() override {
        form.reset();
        if (sim) sim->Stop();
    }
    void ClickStart() { QTest::mouseClick(form->AbColBitBtn1, Qt::LeftButton); }
    bool Done() const { return boxes->Has(kDone) && !form->Transfer().Running(); }
    void ExpectAtRest() {
        EXPECT_FALSE(form->AbColBitBtn1->Checked());
        EXPECT_FALSE(form->AbLED1->Checked());
        EXPECT_EQ(form->ProgressBar1->Progress(), 0);
        EXPECT_FALSE(form->VaComm1.IsOpen());
        EXPECT_TRUE(form->SpeedButton1->isEnabled());
    }
    void ExpectImage(const std::vector<uint8_t>& expected) {
        ASSERT_TRUE(sim->WaitForEnd(std::chrono::milliseconds(kLongWaitMs)));
        const std::vector<uint8_t> image = sim->Image();
        ASSERT_EQ(image.size(), expected.size());
        for (size_t i = 0; i < image.size(); ++i)
            ASSERT_EQ(image[i], expected[i]) << "address " << i;
    }

    QString simDir;
    std::unique_ptr<BootLoaderSim> sim;
};

TEST_F(TransferTest, WholeUpdateThroughTheButtons) {
    StartSim();
    ChooseFile(ExamplePath("worked.hex"));
    ASSERT_EQ(form->Lists().Memo2.size(), 5u);
    EXPECT_EQ(form->ProgressBar1->MaxValue(), 4);

    int highestProgress = 0;
    ClickStart();
    EXPECT_TRUE(form->AbColBitBtn1->Checked());
    EXPECT_TRUE(form->VaComm1.IsOpen());
    // A conversion would change what is being written.
    EXPECT_FALSE(form->SpeedButton1->isEnabled());
    boxes->whileShown = [&](const Shown& box) {
        if (box.text != kDone) return;
        // The message comes before the port and the controls are put back to rest.
        highestProgress = form->ProgressBar1->Progress();
        EXPECT_TRUE(form->AbColBitBtn1->Checked());
        EXPECT_TRUE(form->VaComm1.IsOpen());
    };
    ASSERT_TRUE(WaitFor([&] { return Done(); })) << boxes->Texts().join("\n").toStdString();
    EXPECT_EQ(boxes->Texts(), QStringList{"message: " + kDone});
    EXPECT_EQ(highestProgress, 4);
    ExpectAtRest();
    ExpectImage(WorkedImage());
    // The exchange log holds what came back, the greeting first.
    ASSERT_FALSE(form->Lists().Memo1.empty());
    EXPECT_EQ(form->Lists().Memo1.front().substr(0, 8), " - >  55");
}

TEST_F(TransferTest, StartWithoutAFileSaysSoAndLeavesThePortClosed) {
    StartSim();
    ASSERT_TRUE(form->Edit1->text().isEmpty());
    ClickStart();
    EXPECT_EQ(boxes->Texts(), QStringList{"message: " + kNoFile});
    EXPECT_FALSE(form->AbColBitBtn1->Checked());
    EXPECT_FALSE(form->VaComm1.IsOpen());
    EXPECT_FALSE(form->Transfer().Running());
}

TEST_F(TransferTest, PortThatDoesNotExistIsShownInTheErrorBox) {
    MakeForm();
    ChooseFile(ExamplePath("worked.hex"));
    const QString missing = temp.path() + "/no-such-port";
    form->ComboBox1->addItem(missing);
    form->ComboBox1->setCurrentIndex(form->ComboBox1->count() - 1);
    ClickStart();
    // In Russian, as every other message of the window.
    ASSERT_EQ(boxes->shown.size(), 1u);
    EXPECT_TRUE(boxes->shown[0].error);
    EXPECT_EQ(boxes->shown[0].text,
              QString::fromUtf8("Ошибка: порт ") + missing + QString::fromUtf8(" не найден."));
    // The button stays on until the user's next click switches it off.
    EXPECT_TRUE(form->AbColBitBtn1->Checked());
    EXPECT_FALSE(form->Transfer().Running());
    EXPECT_TRUE(form->SpeedButton1->isEnabled());
    ClickStart();
    EXPECT_FALSE(form->AbColBitBtn1->Checked());
    EXPECT_EQ(boxes->shown.size(), 1u);
}

TEST_F(TransferTest, SwitchedOffInTheMiddleThenStartedAgain) {
    SimOptions options;
    options.pace = true;           // 64 KiB at 10400 bit/s: about a minute, long enough to stop
    options.regreetAfterMs = 300;  // and the device greets again soon after the tool went quiet
    StartSim(options);
    ChooseFile(ExamplePath("image-64k.hex"));
    ClickStart();
    ASSERT_TRUE(WaitFor([&] { return form->Transfer().ScriptIndex() >= 4; }));
    ASSERT_TRUE(form->AbLED1->Checked());

    ClickStart();
    EXPECT_FALSE(form->AbColBitBtn1->Checked());
    EXPECT_FALSE(form->VaComm1.IsOpen());
    EXPECT_EQ(form->ProgressBar1->Progress(), 0);
    EXPECT_TRUE(form->AbLED1->Checked());  // the LED keeps its state
    EXPECT_TRUE(form->SpeedButton1->isEnabled());
    EXPECT_TRUE(boxes->shown.empty());

    // A smaller file for the second start, which must not be taken for the first one's echo or
    // checksum.
    ChooseFile(ExamplePath("worked.hex"));
    ClickStart();
    ASSERT_TRUE(WaitFor([&] { return Done(); })) << boxes->Texts().join("\n").toStdString();
    EXPECT_EQ(boxes->Texts(), QStringList{"message: " + kDone});
    ExpectAtRest();
    ASSERT_TRUE(sim->WaitForEnd(std::chrono::milliseconds(kLongWaitMs)));
    const std::vector<uint8_t> image = sim->Image();
    const std::vector<uint8_t> expected = WorkedImage();
    for (int block : {0x000, 0x080, 0x200})
        for (int i = block; i < block + 128; ++i)
            ASSERT_EQ(image[i], expected[i]) << "address " << i;
}

TEST_F(TransferTest, NoProtocolStepRunsWhileAChecksumMessageIsUp) {
    SimOptions options;
    options.badChecksumBlock = 1;  // answered wrongly, then correctly 200 ms later
    StartSim(options);
    ChooseFile(ExamplePath("worked.hex"));
    uint64_t framesAtMessage = 0;
    uint64_t framesAfterLoop = 0;
    boxes->whileShown = [&](const Shown& box) {
        if (box.text != kBadChecksum) return;
        framesAtMessage = form->Transfer().FramesSent();
        NestedLoop(600);  // the correct checksum arrives meanwhile
        framesAfterLoop = form->Transfer().FramesSent();
    };
    ClickStart();
    ASSERT_TRUE(WaitFor([&] { return Done(); })) << boxes->Texts().join("\n").toStdString();
    EXPECT_EQ(boxes->Texts(), (QStringList{"message: " + kBadChecksum, "message: " + kDone}));
    EXPECT_EQ(framesAfterLoop, framesAtMessage);
    ExpectAtRest();
    ExpectImage(WorkedImage());
}

TEST_F(TransferTest, FileGoneSinceItWasPickedIsReportedAndNothingOpened) {
    StartSim();
    const std::string copy = (temp.path() + "/update.hex").toStdString();
    ASSERT_TRUE(QFile::copy(Q(ExamplePath("worked.hex")), Q(copy)));
    ChooseFile(copy);
    ASSERT_TRUE(QFile::remove(Q(copy)));
    ClickStart();
    // The start converts the file afresh: the error, the button back off, the port closed.
    EXPECT_EQ(boxes->Texts(), QStringList{QString::fromUtf8("error: Ошибка: файл не найден.")});
    EXPECT_FALSE(form->AbColBitBtn1->Checked());
    EXPECT_FALSE(form->VaComm1.IsOpen());
    EXPECT_FALSE(form->Transfer().Running());
    EXPECT_TRUE(sim->Received().empty());

    ASSERT_TRUE(QFile::copy(Q(ExamplePath("worked.hex")), Q(copy)));
    ClickStart();
    ASSERT_TRUE(WaitFor([&] { return Done(); })) << boxes->Texts().join("\n").toStdString();
    ExpectAtRest();
    ExpectImage(WorkedImage());
}

TEST_F(TransferTest, ErrorBoxOutsideAHandlerAlsoHoldsReceiveBack) {
    SimOptions options;
    options.greetIntervalMs = 600000;  // a device that greets once: the held-back event is all
    StartSim(options);
    ChooseFile(ExamplePath("worked.hex"));
    bool stepDuringBox = true;
    boxes->whileShown = [&](const Shown& box) {
        if (!box.error) return;
        NestedLoop(400);  // the device greets meanwhile
        stepDuringBox = form->Transfer().FramesSent() != 0;
    };
    ClickStart();
    // An error a serial thread's hand-over raised, shown before the greeting is handled.
    form->VaComm1.HandleException(std::make_exception_ptr(EVaCommError("Write error (5), Boom")));
    EXPECT_FALSE(stepDuringBox);
    ASSERT_TRUE(WaitFor([&] { return Done(); })) << boxes->Texts().join("\n").toStdString();
    ExpectAtRest();
    ExpectImage(WorkedImage());
}

TEST_F(TransferTest, TypedPathIsFlashedWithoutPickingIt) {
    StartSim();
    form->Edit1->setFocus();
    QTest::keyClicks(form->Edit1, Q(ExamplePath("worked.hex")));
    ClickStart();
    ASSERT_TRUE(WaitFor([&] { return Done(); })) << boxes->Texts().join("\n").toStdString();
    EXPECT_EQ(form->ProgressBar1->MaxValue(), 4);
    ExpectAtRest();
    ExpectImage(WorkedImage());
}

TEST_F(TransferTest, FileRebuiltBetweenTwoStartsIsFlashedInItsNewForm) {
    SimOptions options;
    StartSim(options);
    const QString update = temp.path() + "/update.hex";
    ASSERT_TRUE(QFile::copy(Q(ExamplePath("worked.hex")), update));
    ChooseFile(update.toStdString());
    ClickStart();
    ASSERT_TRUE(WaitFor([&] { return Done(); })) << boxes->Texts().join("\n").toStdString();
    ExpectImage(WorkedImage());
    const size_t firstLog = form->Lists().Memo1.size();

    // Rebuilt on the disk; a new device on the same line.
    ASSERT_TRUE(QFile::remove(update));
    ASSERT_TRUE(QFile::copy(Q(ExamplePath("gap.hex")), update));
    sim->Stop();
    options.linkPath = (simDir + "/bk").toStdString();
    sim = std::make_unique<BootLoaderSim>(options);
    sim->Start();
    ClickStart();
    ASSERT_TRUE(WaitFor([&] { return boxes->shown.size() == 2 && !form->Transfer().Running(); }))
        << boxes->Texts().join("\n").toStdString();
    EXPECT_EQ(boxes->Texts().back(), "message: " + kDone);
    ASSERT_TRUE(sim->WaitForEnd(std::chrono::milliseconds(kLongWaitMs)));
    const std::vector<uint8_t> image = sim->Image();
    EXPECT_EQ(image[0x200], 0x00) << "worked.hex has 0xC0 there";
    EXPECT_EQ(image[0x410], 0x10) << "only gap.hex has data there";
    // The exchange log holds the latest update only.
    EXPECT_EQ(form->Lists().Memo1.front().substr(0, 8), " - >  55");
    EXPECT_LT(form->Lists().Memo1.size(), firstLog * 3);
}

TEST_F(TransferTest, StartWithoutAnUpdateFileNamedOrConvertible) {
    StartSim();
    ChooseFile(ExamplePath("worked.hex"));
    // A name that is no update file does not send the older script.
    form->Edit1->setText(temp.path() + "/notes.txt");
    ClickStart();
    EXPECT_EQ(boxes->Texts(), QStringList{"message: " + kNoFile});
    EXPECT_FALSE(form->AbColBitBtn1->Checked());
    EXPECT_FALSE(form->VaComm1.IsOpen());

    QFile broken(temp.path() + "/broken.hex");
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a record\n");
    broken.close();
    form->Edit1->setText(broken.fileName());
    ClickStart();
    ASSERT_EQ(boxes->shown.size(), 2u);
    EXPECT_TRUE(boxes->shown[1].error);
    EXPECT_EQ(boxes->shown[1].text.toStdString(),
              "Ошибка в строке 1 файла обновления: запись не начинается с символа «:».");
    EXPECT_FALSE(form->AbColBitBtn1->Checked());
    EXPECT_FALSE(form->VaComm1.IsOpen());
    EXPECT_TRUE(sim->Received().empty());
}

TEST_F(TransferTest, DeviceGoneMidTransferLeavesTheWindowAtRestAndThePortReusable) {
    SimOptions options;
    options.hangupAfter = 2;  // the device is unplugged after its second block
    StartSim(options);
    ChooseFile(ExamplePath("image-64k.hex"));
    ClickStart();
    ASSERT_TRUE(WaitFor([&] { return !form->Transfer().Running(); }))
        << boxes->Texts().join("\n").toStdString();
    QTest::qWait(300);  // nothing more comes after it
    EXPECT_EQ(boxes->Texts(), QStringList{"message: " + kDeviceGone});
    ExpectAtRest();

    sim->Stop();
    options = {};
    options.linkPath = (simDir + "/bk").toStdString();
    sim = std::make_unique<BootLoaderSim>(options);
    sim->Start();
    ChooseFile(ExamplePath("worked.hex"));
    ClickStart();
    ASSERT_TRUE(WaitFor([&] { return Done(); })) << boxes->Texts().join("\n").toStdString();
    ExpectAtRest();
    ExpectImage(WorkedImage());
}

TEST_F(TransferTest, LostEchoByteEndsInOneMessageWithTheButtonWithinReach) {
    SimOptions options;
    options.dropEchoBlock = 1;
    options.regreetAfterMs = 300;  // the device greets again once the tool has gone quiet
    StartSim(options);
    ChooseFile(ExamplePath("worked.hex"));
    ClickStart();
    ASSERT_TRUE(WaitFor([&] { return !form->Transfer().Running(); }));
    EXPECT_EQ(boxes->Texts(), QStringList{"message: " + kEchoMismatch});
    ExpectAtRest();
    // The next start goes through.
    ClickStart();
    ASSERT_TRUE(WaitFor([&] { return Done(); })) << boxes->Texts().join("\n").toStdString();
    EXPECT_EQ(boxes->Texts(), (QStringList{"message: " + kEchoMismatch, "message: " + kDone}));
    ExpectImage(WorkedImage());
}

TEST_F(TransferTest, WithATrustedKeyInstalledOnlyWhatItSignedIsFlashed) {
    // The supervisor's trusted-keys file, and a release signed by minisign.
    const TempFolder etc, keys;
    const SigningKey key = MakeSigningKey(keys, "release");
    etc.Write("trusted-keys", ReadWhole(key.publicKeyFile));
    setenv("TEVR_LOADER_CONFIG", etc.Path().c_str(), 1);
    const std::string file = (temp.path() + "/update.hex").toStdString();
    const std::string original = ReadWhole(ExamplePath("worked.hex"));
    etc.Write(file, original);
    SignRelease(key, file, "ТЕВР-R7 2.3.1");
    StartSim();
    ChooseFile(file);
    EXPECT_TRUE(form->Edit1->toolTip().contains(QString::fromUtf8("ТЕВР-R7 2.3.1")))
        << form->Edit1->toolTip().toStdString();

    // Changed on the disk since it was chosen: one error box, at rest, nothing opened.
    std::string altered = original;
    altered[altered.find(":10") + 10] ^= 0x01;
    etc.Write(file, altered);
    ClickStart();
    ASSERT_EQ(boxes->shown.size(), 1u) << boxes->Texts().join("\n").toStdString();
    EXPECT_TRUE(boxes->shown[0].error);
    EXPECT_TRUE(boxes->shown[0].text.startsWith(QString::fromUtf8("Ошибка: подпись выпуска ")));
    EXPECT_TRUE(
        boxes->shown[0].text.contains(QString::fromUtf8("не совпадает с файлом обновления")));
    EXPECT_TRUE(form->Edit1->toolTip().isEmpty());
    ExpectAtRest();
    EXPECT_TRUE(sim->Received().empty());

    // Not signed at all: refused as well once a key is trusted.
    etc.Write(file, original);
    std::remove((file + ".minisig").c_str());
    ClickStart();
    ASSERT_EQ(boxes->shown.size(), 2u);
    EXPECT_TRUE(boxes->shown[1].text.startsWith(
        QString::fromUtf8("Ошибка: у файла обновления нет подписи выпуска")));
    EXPECT_FALSE(form->VaComm1.IsOpen());

    SignRelease(key, file, "ТЕВР-R7 2.3.1");
    ClickStart();
    ASSERT_TRUE(WaitFor([&] { return Done(); })) << boxes->Texts().join("\n").toStdString();
    ExpectImage(WorkedImage());
    unsetenv("TEVR_LOADER_CONFIG");
}

}  // namespace
}  // namespace app_test
