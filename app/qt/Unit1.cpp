// SPDX-License-Identifier: MIT
// TForm1 on Qt: the window's settings and every control with its bounds and settings, as the
// description has them; the boxes, the dialog and the hand-over to the window's thread.
#include "app/qt/Unit1.h"

#include <algorithm>
#include <limits>

#include <QFile>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QShowEvent>
#include <QTimer>
#include <QToolButton>

#include "app/qt/PortComboBox.h"
#include "app/qt/SpeedButton.h"
#include "widgets/DesktopStyle.h"
#include "widgets/qt/QtDesktopStyle.h"

namespace {
void SetBounds(QWidget* control, const TBounds& b) {
    control->setGeometry(b.Left, b.Top, b.Width, b.Height);
}
}  // namespace

TForm1::TForm1(TVaPortListRoots portRoots)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint),
      dispatcher_(std::make_shared<TQtDispatcher>()),
      VaComm1(dispatcher_),
      boxes_(std::make_shared<TQtMessageBoxes>()) {
    UseWindowLanguage();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromUtf8(Form1Caption()));
    setFont(QtDesktopFont());
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Window);  // the button-face colour
    move(kForm1Left, kForm1Top);
    setFixedSize(kForm1ClientWidth, kForm1ClientHeight);

    CreateControls(portRoots);
    SetUpOpenDialog1();
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    // To the millisecond: it times the boot loader's wait before the first page command.
    Timer1->setTimerType(Qt::PreciseTimer);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    logic_ = std::make_unique<TForm1Logic>(static_cast<TForm1Desktop&>(*this), VaComm1);
    FormCreate();
}

TForm1::~TForm1() {
    Timer1->stop();
    // The port first: its threads end, and what they handed over finds them stopped.
    VaComm1.Close();
    dispatcher_->Shutdown();
}

void TForm1::CreateControls(const TVaPortListRoots& portRoots) {
    Label1 = new QLabel(QString::fromUtf8(Label1Caption()), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    // The label sizes itself to its caption, as the one it stands for did.
    TBounds label = kLabel1Bounds;
    label.Width = std::max(label.Width, QFontMetrics(font()).horizontalAdvance(Label1->text()));
    SetBounds(Label1, label);

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    SetBounds(Edit1, kEdit1Bounds);

    SpeedButton1 = new TSpeedButton(this);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SetBounds(SpeedButton1, kSpeedButton1Bounds);
    SpeedButton1->setText(QString::fromUtf8(kSpeedButton1Caption));
    SpeedButton1->setToolTip(QString::fromUtf8(SpeedButton1Hint()));
    SpeedButton1->setAutoRaise(true);  // flat
    SpeedButton1->setFocusPolicy(Qt::TabFocus);
    connect(SpeedButton1, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });

    AbLED1 = new TQtAbLED(this);
    AbLED1->setObjectName(QStringLiteral("AbLED1"));
    SetBounds(AbLED1, kAbLED1Bounds);
    ConfigureAbLED1(*AbLED1);

    ComboBox1 = new TPortComboBox(this, portRoots, kComboBox1ItemHeight);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    SetBounds(ComboBox1, kComboBox1Bounds);

    AbColBitBtn1 = new TQtAbColBitBtn(this);
    AbColBitBtn1->setObjectName(QStringLiteral("AbColBitBtn1"));
    SetBounds(AbColBitBtn1, kAbColBitBtn1Bounds);
    AbColBitBtn1->setFocusPolicy(Qt::TabFocus);  // Space then toggles it as a click does
    ConfigureAbColBitBtn1(*AbColBitBtn1);

    ProgressBar1 = new TQtGauge(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    SetBounds(ProgressBar1, kProgressBar1Bounds);
    ProgressBar1->SetProgress(0);

    // Tab order: the file field, "...", the port list, the start button.
    setTabOrder(Edit1, SpeedButton1);
    setTabOrder(SpeedButton1, ComboBox1);
    setTabOrder(ComboBox1, AbColBitBtn1);
}

void TForm1::SetUpOpenDialog1() {
    OpenDialog1.Title = QString::fromUtf8(OpenDialog1Title());
    OpenDialog1.FilterName = QString::fromUtf8(OpenDialog1FilterName());
    OpenDialog1.FilterPattern = QString::fromUtf8(kOpenDialog1FilterPattern);
}

void TForm1::showEvent(QShowEvent* event) {
    const QScreen* s = screen();
    if (!event->spontaneous() && s) {
        const QRect desk = s->geometry();
        if (const auto place = firstShow_.Place({desk.x(), desk.y(), desk.width(), desk.height()},
                                                width(), height()))
            move(place->Left, place->Top);
    }
    QWidget::showEvent(event);
}

void TForm1::SetMessageBoxes(std::shared_ptr<TMessageBoxes> boxes) {
    boxes_ = std::move(boxes);
}

std::string TForm1::Edit1Text() const {
    // The name as the file system spells it.
    return QFile::encodeName(Edit1->text()).toStdString();
}

std::string TForm1::ComboBox1Text() const {
    return ComboBox1->currentText().toStdString();
}

void TForm1::SetSpeedButton1Enabled(bool enabled) {
    SpeedButton1->setEnabled(enabled);
}

void TForm1::SetEdit1Hint(const std::string& text) {
    // Always plain text: a release's name is no markup.
    Edit1->setToolTip(
        text.empty() ? QString()
                     : QStringLiteral("<qt>%1</qt>").arg(QString::fromUtf8(text).toHtmlEscaped()));
}

bool TForm1::ExecuteOpenDialog1() {
    if (!OpenDialog1.Execute(this)) return false;
    Edit1->setText(OpenDialog1.FileName);
    return true;
}

void TForm1::ShowMessageBox(const std::string& text) {
    boxes_->ShowMessage(QString::fromUtf8(text));
}

void TForm1::ShowErrorBox(const std::string& text) {
    boxes_->ShowError(QString::fromUtf8(text));
}

void TForm1::PostToForm(std::function<void()> work) {
    QMetaObject::invokeMethod(this, std::move(work), Qt::QueuedConnection);
}

void TForm1::StartTimer1(std::chrono::milliseconds delay) {
    constexpr std::chrono::milliseconds kLongest{std::numeric_limits<int>::max()};
    Timer1->start(static_cast<int>(std::min(delay, kLongest).count()));
}
