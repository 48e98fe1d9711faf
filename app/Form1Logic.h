// SPDX-License-Identifier: MIT
#pragma once
// The window's logic apart from any desktop: what each handler does with the controls, the
// hidden lists, the serial component's events and the board's session, and the order of things
// around the modal boxes. The session is the core every front end drives (BoardSessionCore),
// under the window's rules: no stall time-out, and an error is shown while the transfer goes on
// as far as it can, until the user switches it off. Its deadline (the wait before the first page
// command) comes back as Timer1.
//
// Every handler runs on the window's thread, one at a time. A box (a message, an error, the
// open dialog) runs a nested event loop in which no protocol step may start: a receive event, a
// device gone or Timer1 that comes meanwhile is held back and handled once the box's handler has
// returned.
#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "app/Form1Desktop.h"
#include "app/Form1Lists.h"
#include "app/Form1Port.h"
#include "app/GaugeAdapter.h"
#include "base/OwningThread.h"
#include "line/BoardSessionCore.h"
#include "release/UpdatePreparation.h"
#include "widgets/AbBinGControl.h"

class TVaComm;

class TForm1Logic final : private BoardSessionObserver {
public:
    // `port` is the window's VaComm1, which outlives the logic; its events are set here.
    TForm1Logic(TForm1Desktop& desktop, TForm1Port& port);
    // The desktop windows': the serial component, its settings and events set here
    // (VaCommForm1Port.cpp).
    TForm1Logic(TForm1Desktop& desktop, TVaComm& comm);
    TForm1Logic(const TForm1Logic&) = delete;
    TForm1Logic& operator=(const TForm1Logic&) = delete;

    // --- Handlers ---------------------------------------------------------------------------
    // Protocol reset; run once when the window has been made.
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
    // Everything written has left the port (a port that learns it only later, as the page's).
    void VaComm1TxEmpty();
    // Timer1 ran out: what the session had due (the first page command) happens.
    void Timer1Timer();
    // The mouse on the start button, before it flips and when it is released.
    void StartButtonDown(TMouseButton button);
    void StartButtonUp(TMouseButton button);

    // The update a start would send of `fileName` into `converted`, prepared as a start prepares
    // it, touching nothing of the window: for a desktop that must ask before it opens the port.
    // Throws what the start would show.
    static PreparedUpdate CheckedUpdate(const std::string& fileName, ConvertedUpdate& converted);

    // Shows an error as the error box does (a full stop added as needed).
    void ShowError(const std::exception& error);
    // Shows a handler's message in its modal box and returns once it is dismissed.
    void ShowMessage(const std::string& text);
    // Sets the start button as the program does: no click follows.
    void SetButtonChecked(bool checked);

    const BootLoaderTransfer& Transfer() const { return session_.Transfer(); }
    TForm1Lists& Lists() { return lists_; }
    ProgressGauge& Gauge() { return gauge_; }
    // Whether a modal box or dialog is up now.
    bool ModalUp() const { return modalDepth_ > 0; }

private:
    TForm1Logic(TForm1Desktop& desktop, std::unique_ptr<TForm1Port> port);

    // Marks a modal box or dialog as up until the guard goes.
    [[nodiscard]] auto ModalScope();
    void LeaveModal();

    // What the session tells: the log into Memo1, the LED, button and gauge at every step of the
    // transfer with its messages, and the errors.
    void Logged(const std::string& line) override;
    void Stepped(const TransferEvent& event) override;
    void Erred(const std::exception& error, const BoardCause& cause) override;

    // Runs a handler; an error it raises is shown in the error box, and whatever state the
    // handler reached stands. Then tells the session what the port has written, and sets Timer1
    // for the session's next deadline.
    void RunHandler(const std::function<void()>& body);
    // Handles what came while a box was up: a device gone, Timer1, then waiting bytes.
    void CatchUp();
    void StartTimer1();
    void ChooseAndConvert();
    // Prepares the file (loader/UpdateFiles.h) into Memo1 and Memo2 as the conversion leaves
    // them, also when it fails. With a trusted key installed, the file's release signature must
    // hold first; the release becomes Edit1's tool tip.
    void Convert(const std::string& fileName);
    // The one update preparation under the window's rules: the station's keys, and a signature
    // once one is trusted.
    static PreparedUpdate Prepared(const std::string& fileName, ConvertedUpdate& converted,
                                   ProgressGauge& gauge);
    // Converts the file Edit1 names for a start; false (the button off again) when it names none.
    bool ConvertForStart();
    void UpdateControls();

    TForm1Desktop& desktop_;
    std::unique_ptr<TForm1Port> ownPort_;
    TForm1Port& port_;
    const OwningThread thread_;
    TForm1Lists lists_;
    TGaugeAdapter gauge_;
    BoardSessionCore session_;

    int modalDepth_ = 0;
    bool receivePending_ = false;
    bool gonePending_ = false;
    bool timerPending_ = false;
    // The start button's state before the press, and whether the press led to a handled click.
    bool checkedBeforePress_ = false;
    bool pressTracked_ = false;
    bool clickHandled_ = false;
};
