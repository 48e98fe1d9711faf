// SPDX-License-Identifier: MIT
#pragma once
// The program's one window on Qt: the controls the user touches, the serial component and the
// open dialog, made from the window's description. What the handlers do is TForm1Logic's; the
// window maps its controls' events onto it and shows its boxes.
#include <memory>
#include <string>

#include <QWidget>

#include "app/FirstShow.h"
#include "app/Form1Description.h"
#include "app/Form1Desktop.h"
#include "app/Form1Logic.h"
#include "app/qt/MessageBoxes.h"
#include "app/qt/OpenDialog.h"
#include "app/qt/QtDispatcher.h"
#include "line/BootLoaderPorts.h"
#include "serial/VaComm.h"
#include "serial/VaPortList.h"
#include "widgets/qt/QtControl.h"

class QLabel;
class QLineEdit;
class QTimer;
class QToolButton;
class TPortComboBox;

class TForm1 : public QWidget, private TForm1Desktop {
    Q_OBJECT
public:
    // `portRoots`: where the port list looks for ports (tests point it elsewhere).
    explicit TForm1(TVaPortListRoots portRoots = BootLoaderPortRoots());
    // Closes the port if a transfer is still running; nothing is said to the device.
    ~TForm1() override;

    // Controls, in the order of the form; the window owns them.
    QLabel* Label1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    TQtAbLED* AbLED1 = nullptr;
    TPortComboBox* ComboBox1 = nullptr;
    TQtAbColBitBtn* AbColBitBtn1 = nullptr;
    TQtGauge* ProgressBar1 = nullptr;
    TOpenDialog OpenDialog1;
    QTimer* Timer1 = nullptr;

private:
    std::shared_ptr<TQtDispatcher> dispatcher_;

public:
    TVaComm VaComm1;

    // --- Handlers, as TForm1Logic runs them -------------------------------------------------
    void FormCreate() { logic_->FormCreate(); }
    void SpeedButton1Click() { logic_->SpeedButton1Click(); }
    void AbColBitBtn1Click() { logic_->AbColBitBtn1Click(); }
    void VaComm1RxChar(int count) { logic_->VaComm1RxChar(count); }
    void VaComm1DeviceGone() { logic_->VaComm1DeviceGone(); }
    void Timer1Timer() { logic_->Timer1Timer(); }

    // The boxes messages and errors go to; the desktop's unless replaced.
    void SetMessageBoxes(std::shared_ptr<TMessageBoxes> boxes);
    // Shows an error as the error box does (a full stop added as needed).
    void ShowError(const std::exception& error) { logic_->ShowError(error); }
    // Shows a handler's message in its modal box and returns once it is dismissed.
    void ShowMessage(const std::string& text) { logic_->ShowMessage(text); }
    // Sets the start button as the program does: no click follows.
    void SetButtonChecked(bool checked) { logic_->SetButtonChecked(checked); }

    const BootLoaderTransfer& Transfer() const { return logic_->Transfer(); }
    TForm1Lists& Lists() { return logic_->Lists(); }
    // Whether a modal box or dialog is up now.
    bool ModalUp() const { return logic_->ModalUp(); }

    // --- TForm1Desktop ----------------------------------------------------------------------
    std::string Edit1Text() const override;
    std::string ComboBox1Text() const override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    TAbLED& AbLED1Control() override { return *AbLED1; }
    TAbColBitBtn& AbColBitBtn1Control() override { return *AbColBitBtn1; }
    TGauge& ProgressBar1Control() override { return *ProgressBar1; }
    void SetSpeedButton1Enabled(bool enabled) override;
    void SetEdit1Hint(const std::string& text) override;
    bool ExecuteOpenDialog1() override;
    void ShowMessageBox(const std::string& text) override;
    void ShowErrorBox(const std::string& text) override;
    void PostToForm(std::function<void()> work) override;
    void StartTimer1(std::chrono::milliseconds delay) override;

    // The window's description: every control with its bounds and settings.
    void CreateControls(const TVaPortListRoots& portRoots);
    void SetUpOpenDialog1();

    std::shared_ptr<TMessageBoxes> boxes_;
    std::unique_ptr<TForm1Logic> logic_;  // made once the controls are
    TFirstShow firstShow_;
};
