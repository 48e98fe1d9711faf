// SPDX-License-Identifier: MIT
// TForm1 as the window's description has it: the window's settings and every control with its
// bounds and settings.
#include "app/Unit1.h"

#include <algorithm>

#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QShowEvent>
#include <QToolButton>

#include "app/PortComboBox.h"
#include "app/SpeedButton.h"
#include "line/BootLoaderLine.h"
#include "widgets/DesktopStyle.h"
#include "widgets/qt/QtDesktopStyle.h"

namespace {
constexpr int kComboItemHeight = 16;
constexpr int kGaugeHeight = 25;
}  // namespace

TForm1::TForm1(TVaPortListRoots portRoots)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint),
      dispatcher_(std::make_shared<TQtDispatcher>()),
      VaComm1(dispatcher_),
      boxes_(std::make_shared<TQtMessageBoxes>()) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromUtf8(kForm1Caption));
    setFont(QtDesktopFont());
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Window);  // the button-face colour
    move(192, 114);
    setFixedSize(kForm1ClientWidth, kForm1ClientHeight);

    CreateControls(portRoots);
    gauge_ = std::make_unique<TGaugeAdapter>(*ProgressBar1);
    SetUpVaComm1();
    SetUpOpenDialog1();
    FormCreate();
}

TForm1::~TForm1() {
    // The port first: its threads end, and what they handed over finds them stopped.
    VaComm1.Close();
    dispatcher_->Shutdown();
}

void TForm1::CreateControls(const TVaPortListRoots& portRoots) {
    Label1 = new QLabel(QStringLiteral("Файл для загрузки:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    // The label sizes itself to its caption, as the one it stands for did.
    const int labelWidth = std::max(102, QFontMetrics(font()).horizontalAdvance(Label1->text()));
    Label1->setGeometry(8, 8, labelWidth, 13);

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(8, 32, 305, 21);

    SpeedButton1 = new TSpeedButton(this);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setGeometry(312, 32, 33, 25);
    SpeedButton1->setText(QStringLiteral("..."));
    SpeedButton1->setToolTip(QStringLiteral("Открыть файл"));
    SpeedButton1->setAutoRaise(true);  // flat
    SpeedButton1->setFocusPolicy(Qt::TabFocus);
    connect(SpeedButton1, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });

    CreateLed();

    ComboBox1 = new TPortComboBox(this, portRoots, kComboItemHeight);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setGeometry(216, 72, 129, 22);

    CreateStartButton();

    ProgressBar1 = new TQtGauge(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    // Docked to the bottom edge of a window that never changes its size.
    ProgressBar1->setGeometry(0, kForm1ClientHeight - kGaugeHeight, kForm1ClientWidth,
                              kGaugeHeight);
    ProgressBar1->SetProgress(0);

    // Tab order: the file field, "...", the port list, the start button.
    setTabOrder(Edit1, SpeedButton1);
    setTabOrder(SpeedButton1, ComboBox1);
    setTabOrder(ComboBox1, AbColBitBtn1);
}

void TForm1::CreateLed() {
    AbLED1 = new TQtAbLED(this);
    AbLED1->setObjectName(QStringLiteral("AbLED1"));
    AbLED1->setGeometry(16, 64, 113, 33);
    AbLED1->SetCaption("Отклик от БК");
    AbLED1->SetLED_Position(lpLeft);
    AbLED1->SetSpacing(5);
    AbLED1->SetMode(mIndicator);
    AbLED1->SetChecked(false);
    AbLED1->SetFlashing(false);
    AbLED1->SetFrequency(ff1Hz);
    AbLED1->SetStatusInt(0);
    AbLED1->SetStatusBit(0);
    AbLED1->SetGroupIndex(0);
}

void TForm1::CreateStartButton() {
    TQtAbColBitBtn* b = AbColBitBtn1 = new TQtAbColBitBtn(this);
    b->setObjectName(QStringLiteral("AbColBitBtn1"));
    b->setGeometry(0, 104, 345, 33);
    b->setFocusPolicy(Qt::TabFocus);  // Space then toggles it as a click does
    b->SetMode(mSwitch);
    b->SetTextOff("Старт BootLoader");
    b->SetTextOn("BootLoader запущен");
    b->SetTextColOff(clBlack);
    b->SetTextColOn(clLime);
    b->SetTextColDisabled(clBtnShadow);
    b->SetText3D(true);
    b->SetFont(DesktopFont(true));  // its own, not the window's
    b->GradBtnFace().SetVisible(true);
    b->GradBtnFace().SetStyle(gsHorizontal1);
    b->GradBtnFace().SetColorFrom(0xF0F0F0);
    b->GradBtnFace().SetColorTo(0x696969);
    b->ButtonBevel().SetWidth(4);
    b->SetBeveled(true);
    b->SetFlat(false);
    b->SetTransparent(false);
    b->SetColorOn(clBtnFace);
    b->SetColorOff(clBtnFace);
    b->SetColorDisabled(0xA0A0A0);
    b->SetFlashOptions({foTextCol, foGlyph, foText, foBtnCol});
    b->SetCheckedOptions({coText, coBtnCol, coTextCol, coGlyph, coBevel});
    b->SetPosHorizontal(phCenter);
    b->SetPosVertical(pvCenter);
    b->SetPosGlyph(pLeft);
    b->SetNumGlyph(1);
    b->SetSpacing(4);
    b->SetOffsetX(0);
    b->SetOffsetY(0);
    b->SetOffsetDown(1);
    b->SetChecked(false);
    b->SetFlashing(false);
    b->SetFrequency(ff1Hz);
    b->SetStatusInt(0);
    b->SetStatusBit(0);
    b->SetGroupIndex(0);
    b->SetOnClick([this](TAbBinGControl*) { AbColBitBtn1Click(); });
    b->SetOnMouseDown([this](TAbBinGControl*, TMouseButton button, TShiftState, int, int) {
        StartButtonDown(QtMouseButton(button));
    });
    b->SetOnMouseUp([this](TAbBinGControl*, TMouseButton button, TShiftState, int, int) {
        StartButtonUp(QtMouseButton(button));
    });
}

void TForm1::SetUpVaComm1() {
    VaComm1.SetName("VaComm1");
    ConfigureBootLoaderLine(VaComm1);
    VaComm1.SetDeviceName("COM1");
    VaComm1.OnRxChar = [this](TVaCustomComm&, int count) { VaComm1RxChar(count); };
    VaComm1.OnException = [this](const std::exception& error) { ShowError(error); };
    VaComm1.OnDeviceGone = [this](TVaCustomComm&) { VaComm1DeviceGone(); };
}

void TForm1::SetUpOpenDialog1() {
    OpenDialog1.Title = QStringLiteral("Файл для загрузки");
    OpenDialog1.FilterName = QStringLiteral("Файлы обновления ТЕВР-R7S");
    OpenDialog1.FilterPattern = QStringLiteral("*.hex");
}

void TForm1::showEvent(QShowEvent* event) {
    if (!centred_ && !event->spontaneous()) {
        // Centred on the desktop when first shown; later shows keep where the user put it.
        centred_ = true;
        if (const QScreen* s = screen()) {
            const QRect desk = s->geometry();
            move(desk.x() + (desk.width() - width()) / 2,
                 desk.y() + (desk.height() - height()) / 2);
        }
    }
    QWidget::showEvent(event);
}
