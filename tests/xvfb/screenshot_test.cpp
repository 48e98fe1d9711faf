// SPDX-License-Identifier: MIT
// Starts the real tevr-loader on the X display of the test (a virtual one under xvfb-run),
// finds its window, takes a screenshot of it and checks the window's size and place and a few
// pixels of the start button's gradient face and of the gauge's frame. Then, with the window
// made in this process, pictures of its open port list and of its file dialog in Russian.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QTest>

#include "app/qt/PortComboBox.h"
#include "app/qt/QtTranslations.h"
#include "app/qt/Unit1.h"
#include "base/SimulatorLinks.h"
#include "sim/BootLoaderSim.h"
#include "support/ReleaseSigning.h"
#include "support/SampleFiles.h"
#include "widgets/AbColBitBtn.h"
#include "widgets/qt/QtDesktopStyle.h"

namespace {

constexpr int kLimitMs = 60000;

struct Geometry {
    qulonglong id = 0;
    QRect rect;  // on the screen
};

QString Run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(10000)) return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The program's top-level window once it is viewable: the tree lists it with its class.
std::optional<Geometry> FindWindow() {
    const QString tree = Run("xwininfo", {"-root", "-tree"});
    static const QRegularExpression line(
        R"(^\s*(0x[0-9a-f]+) .*\("tevr-loader" "tevr-loader"\)\s+(\d+)x(\d+)\+-?\d+\+-?\d+\s+\+(-?\d+)\+(-?\d+))",
        QRegularExpression::MultilineOption);
    for (auto it = line.globalMatch(tree); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const int w = m.captured(2).toInt();
        const int h = m.captured(3).toInt();
        if (w < 100 || h < 100) continue;  // the application's own tiny helper windows
        const QString info = Run("xwininfo", {"-id", m.captured(1)});
        if (!info.contains("IsViewable")) continue;
        return Geometry{m.captured(1).toULongLong(nullptr, 16),
                        QRect(m.captured(4).toInt(), m.captured(5).toInt(), w, h)};
    }
    return std::nullopt;
}

int Grey(const QImage& image, int x, int y) {
    const QColor c = image.pixelColor(x, y);
    EXPECT_TRUE(c.red() == c.green() && c.green() == c.blue())
        << "not grey at " << x << "," << y << ": " << c.name().toStdString();
    return c.red();
}

bool Painted(const QImage& shot) {
    // The window's face and the gauge's black frame are both there.
    return shot.pixelColor(5, 60) == QColor(0xF0, 0xF0, 0xF0) &&
           shot.pixelColor(0, 166) == QColor(Qt::black);
}

TEST(TevrLoaderUnderX, WindowScreenshot) {
    QProcess program;
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start(TEVR_LOADER_PATH, {});
    ASSERT_TRUE(program.waitForStarted(10000));

    QElapsedTimer clock;
    clock.start();
    std::optional<Geometry> window;
    while (!(window = FindWindow()) && clock.elapsed() < kLimitMs)
        QTest::qWait(100);
    ASSERT_TRUE(window) << "no window of tevr-loader";

    QScreen* screen = QGuiApplication::primaryScreen();
    QImage shot;
    do {
        QTest::qWait(100);
        // Under load the window may be seen at its first place before it is centred: its place
        // is looked up again until its picture is there.
        if (const std::optional<Geometry> now = FindWindow()) window = now;
        shot = screen
                   ->grabWindow(0, window->rect.x(), window->rect.y(), window->rect.width(),
                                window->rect.height())
                   .toImage()
                   .convertToFormat(QImage::Format_RGB32);
    } while (!Painted(shot) && clock.elapsed() < kLimitMs);
    const QString png = QStringLiteral(TEVR_BINARY_DIR "/tevr-loader-screenshot.png");
    EXPECT_TRUE(shot.save(png)) << png.toStdString();
    program.terminate();
    program.waitForFinished(10000);

    // Fixed client size, centred on the screen (there is no window manager to move it).
    EXPECT_EQ(window->rect.size(), QSize(350, 167));
    const QRect desk = screen->geometry();
    EXPECT_EQ(window->rect.x(), (desk.width() - 350) / 2);
    EXPECT_EQ(window->rect.y(), (desk.height() - 167) / 2);
    ASSERT_TRUE(Painted(shot));

    // The start button (0, 104, 345 x 33): inside its 4-pixel bevel a horizontal gradient from
    // light grey at the top to dark grey at the bottom; every row is one colour left of the text.
    int previous = 256;
    for (int y = 108; y < 133; ++y) {
        const int level = Grey(shot, 8, y);
        EXPECT_LE(level, previous) << "row " << y;
        for (int x = 9; x < 60; ++x)
            EXPECT_EQ(Grey(shot, x, y), level) << x << "," << y;
        previous = level;
    }
    EXPECT_GE(Grey(shot, 8, 108), 0xD8);
    EXPECT_LE(Grey(shot, 8, 132), 0x90);

    // The gauge (0, 142, 350 x 25) at 0 %: a black frame round a white field.
    for (int x : {0, 100, 349}) {
        EXPECT_EQ(shot.pixelColor(x, 142), QColor(Qt::black)) << x;
        EXPECT_EQ(shot.pixelColor(x, 166), QColor(Qt::black)) << x;
    }
    for (int y : {143, 154, 165}) {
        EXPECT_EQ(shot.pixelColor(0, y), QColor(Qt::black)) << y;
        EXPECT_EQ(shot.pixelColor(349, y), QColor(Qt::black)) << y;
    }
    EXPECT_EQ(shot.pixelColor(5, 150), QColor(Qt::white));
}

QImage Grab(const QRect& rect) {
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, rect.x(), rect.y(), rect.width(), rect.height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

// Colours in a picture: a list or dialog that was drawn has text and frames, not one flat face.
int Colours(const QImage& image) {
    QSet<QRgb> seen;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2)
            seen.insert(image.pixel(x, y));
    return static_cast<int>(seen.size());
}

bool HasCyrillic(const QString& text) {
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return c.unicode() >= 0x0400 && c.unicode() <= 0x04FF; });
}

TEST(TevrLoaderUnderX, OpenPortListAndFileDialog) {
    const bool russian = InstallQtTranslations(*QCoreApplication::instance()) != nullptr;
    QTemporaryDir links;
    SimOptions options;
    options.linkPath = (links.path() + "/bk").toStdString();
    BootLoaderSim sim(options);
    TVaPortListRoots roots;
    roots.LinkFolders = {{links.path().toStdString(), kSimulatorDescription}};
    TForm1 form(roots);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));

    form.ComboBox1->showPopup();
    QWidget* popup = form.ComboBox1->view()->window();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(popup));
    QTest::qWait(300);
    const QRect both = form.geometry().united(popup->geometry());
    const QImage list = Grab(both);
    EXPECT_TRUE(list.save(QStringLiteral(TEVR_BINARY_DIR "/tevr-loader-port-list.png")));
    EXPECT_GT(popup->width(), 129) << "the simulator's path and description are cut off";
    EXPECT_GT(Colours(Grab(popup->geometry())), 2);
    form.ComboBox1->hidePopup();

    const std::unique_ptr<QFileDialog> dialog = form.OpenDialog1.MakeDialog(&form);
    dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    QTest::qWait(300);
    const QImage shot = Grab(dialog->geometry());
    EXPECT_TRUE(shot.save(QStringLiteral(TEVR_BINARY_DIR "/tevr-loader-file-dialog.png")));
    EXPECT_GT(Colours(shot), 2);
    if (!russian) GTEST_SKIP() << "Qt's Russian translation is not installed";
    for (const char* name : {"lookInLabel", "fileNameLabel", "fileTypeLabel"}) {
        const auto* label = dialog->findChild<QLabel*>(name);
        ASSERT_NE(label, nullptr) << name;
        EXPECT_TRUE(HasCyrillic(label->text())) << label->text().toStdString();
    }
    for (QAbstractButton* button : dialog->findChild<QDialogButtonBox*>("buttonBox")->buttons())
        EXPECT_TRUE(HasCyrillic(button->text())) << button->text().toStdString();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ApplyDesktopStyle(app);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

// With a trusted key installed, a signed file changed after signing: the start ends in the real
// error box, one of it, and the window at rest with the port never opened.
TEST(TevrLoaderUnderX, AlteredReleaseIsRefusedWithOneErrorBox) {
    const TempFolder folder, etc;
    const SigningKey key = MakeSigningKey(folder, "release");
    etc.Write("trusted-keys", ReadWhole(key.publicKeyFile));
    setenv("TEVR_LOADER_CONFIG", etc.Path().c_str(), 1);
    const std::string file = folder.Write("update.hex", ReadWhole(ExamplePath("worked.hex")));
    SignRelease(key, file, "ТЕВР-R7 2.3.1");
    std::string altered = ReadWhole(file);
    altered[altered.find(":10") + 10] ^= 0x01;
    folder.Write("update.hex", altered);

    SimOptions options;
    options.linkPath = folder / "bk";
    BootLoaderSim sim(options);
    sim.Start();
    TVaPortListRoots roots;
    roots.LinkFolders = {{folder.Path().string(), kSimulatorDescription}};
    TForm1 form(roots);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.ComboBox1->setCurrentIndex(
        form.ComboBox1->findText(QString::fromStdString(folder / "bk")));
    form.Edit1->setText(QString::fromStdString(file));

    // The "user" reads every box that comes up and dismisses it.
    QStringList boxes;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            boxes << box->text();
            EXPECT_EQ(box->icon(), QMessageBox::Critical);
            box->accept();
        }
    });
    watcher.start(50);
    QTest::mouseClick(form.AbColBitBtn1, Qt::LeftButton);
    QTest::qWait(1000);
    ASSERT_EQ(boxes.size(), 1) << boxes.join("\n").toStdString();
    EXPECT_TRUE(boxes[0].startsWith(QString::fromUtf8("Ошибка: подпись выпуска ")) &&
                boxes[0].contains(QString::fromUtf8("не совпадает с файлом")))
        << boxes[0].toStdString();
    EXPECT_FALSE(form.AbColBitBtn1->Checked());
    EXPECT_FALSE(form.VaComm1.IsOpen());
    EXPECT_TRUE(sim.Received().empty());
    sim.Stop();
    unsetenv("TEVR_LOADER_CONFIG");
}
