// SPDX-License-Identifier: MIT
#pragma once
// The program's one window: the controls the user touches, the serial component, the open
// dialog and the hidden lists, wired to the update-file conversion and the boot-loader transfer.
//
// Every handler runs on the window's thread, one at a time. A modal box or dialog runs a nested
// event loop; nothing in it may start another protocol step, so receive events that come then
// are held back and handled once the handler that showed it has returned.
#include <functional>
#include <memory>
#include <string>

#include <QWidget>

#include "app/GaugeAdapter.h"
#include "app/MessageBoxes.h"
#include "app/OpenDialog.h"
#include "app/QtDispatcher.h"
#include "line/BootLoaderPorts.h"
#include "line/VaCommTransferPort.h"
#include "loader/BootLoaderTransfer.h"
#include "loader/TransferObserver.h"
#include "loader/UpdateLists.h"
#include "serial/VaComm.h"
#include "serial/VaPortList.h"
#include "widgets/qt/QtControl.h"

class QLabel;
class QLineEdit;
class QToolButton;
class TPortComboBox;

inline constexpr const char* kForm1Caption = "Загрузчик ПО в ТЕВР-R7 (версия 1.0)";
inline constexpr int kForm1ClientWidth = 350;
inline constexpr int kForm1ClientHeight = 167;

class TForm1 : public QWidget, private TransferObserver {
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

private:
    std::shared_ptr<TQtDispatcher> dispatcher_;

public:
    TVaComm VaComm1;

    // --- Handlers ---------------------------------------------------------------------------
    // Protocol reset; run once by the constructor.
    void FormCreate();
    // Chooses the update file and converts it. Refused while a transfer runs: a new script
    // would change what is being written into the device.
    void SpeedButton1Click();
    // After the start button has flipped: starts or stops a transfer.
    void AbColBitBtn1Click();
    // One receive step with the bytes waiting at the port.
    void VaComm1RxChar(int count);
    // The port's device or adapter went away: a running transfer ends at rest.
    void VaComm1DeviceGone();

    // The boxes messages and errors go to; the desktop's unless replaced.
    void SetMessageBoxes(std::shared_ptr<TMessageBoxes> boxes);
    // Shows an error as the error box does (a full stop added as needed).
    void ShowError(const std::exception& error);

    const BootLoaderTransfer& Transfer() const { return transfer_; }
    // Whether a modal box or dialog is up now.
    bool ModalUp() const { return modalDepth_ > 0; }

    std::string Edit1Text() const;
    std::string ComboBox1Text() const;
    UpdateLists& Lists() { return lists_; }
    // Sets the start button as the program does: no click follows.
    void SetButtonChecked(bool checked);
    // Shows a handler's message in its modal box and returns once it is dismissed.
    void ShowMessage(const std::string& text);

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Marks a modal box or dialog as up until the guard goes.
    [[nodiscard]] auto ModalScope();
    void LeaveModal();

    // What the transfer tells: the log into Memo1, the LED, button and gauge, the messages.
    void Logged(const std::string& line) override;
    void Happened(const TransferEvent& event) override;

    // The window's description: every control with its bounds and settings.
    void CreateControls(const TVaPortListRoots& portRoots);
    void CreateLed();
    void CreateStartButton();
    void SetUpVaComm1();
    void SetUpOpenDialog1();

    // Runs a handler; an error it raises is shown in the error box, and whatever state the
    // handler reached stands.
    void RunHandler(const std::function<void()>& body);
    // Handles what came while another handler ran: a device gone, then waiting bytes.
    void CatchUp();
    void ChooseAndConvert();
    // Converts the file Edit1 names for a start; false (the button off again) when it names none.
    bool ConvertForStart();
    void UpdateControls();
    void StartButtonDown(Qt::MouseButton button);
    void StartButtonUp(Qt::MouseButton button);

    UpdateLists lists_;
    VaCommTransferPort port_{VaComm1};
    std::unique_ptr<TGaugeAdapter> gauge_;
    BootLoaderTransfer transfer_{port_, *this};
    std::shared_ptr<TMessageBoxes> boxes_;

    int modalDepth_ = 0;
    bool receivePending_ = false;
    bool gonePending_ = false;
    // The start button's state before the press, and whether the press led to a handled click.
    bool checkedBeforePress_ = false;
    bool pressTracked_ = false;
    bool clickHandled_ = false;
    bool centred_ = false;
};
