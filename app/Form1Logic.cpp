// SPDX-License-Identifier: MIT
#include "app/Form1Logic.h"

#include <algorithm>
#include <cassert>
#include <stdexcept>

#include "app/Form1Description.h"
#include "base/ScopeGuard.h"
#include "base/Translation.h"
#include "files/UpdateFiles.h"
#include "loader/Conversion.h"
#include "serial/VaErrors.h"
#include "widgets/AbColBitBtn.h"
#include "widgets/AbLED.h"
#include "widgets/Gauge.h"
#include "words/Words.h"

namespace {
using Clock = BoardSessionCore::Clock;

BoardSessionRules WindowRules() {
    BoardSessionRules rules;
    // The user watches the LED and switches a transfer off; nothing ends it behind the user's
    // back.
    rules.stallTimeout.reset();
    rules.errors = SessionErrors::CarryOn;
    return rules;
}
}  // namespace

TForm1Logic::TForm1Logic(TForm1Desktop& desktop, std::unique_ptr<TForm1Port> port)
    : TForm1Logic(desktop, *port) {
    ownPort_ = std::move(port);
}

TForm1Logic::TForm1Logic(TForm1Desktop& desktop, TForm1Port& port)
    : desktop_(desktop),
      port_(port),
      gauge_(desktop.ProgressBar1Control()),
      session_(port_, *this, WindowRules()) {
    port_.SetEvents({
        .RxChar = [this](int count) { VaComm1RxChar(count); },
        // An error of the port's own is the session's to judge; it comes back through Erred.
        .Failed = [this](const std::exception& error) { session_.Failed(error); },
        .DeviceGone = [this] { VaComm1DeviceGone(); },
        .TxEmpty = [this] { VaComm1TxEmpty(); },
    });

    TAbColBitBtn& button = desktop_.AbColBitBtn1Control();
    button.SetOnClick([this](TAbBinGControl*) { AbColBitBtn1Click(); });
    button.SetOnMouseDown([this](TAbBinGControl*, TMouseButton pressed, TShiftState, int, int) {
        StartButtonDown(pressed);
    });
    button.SetOnMouseUp([this](TAbBinGControl*, TMouseButton released, TShiftState, int, int) {
        StartButtonUp(released);
    });
}

auto TForm1Logic::ModalScope() {
    ++modalDepth_;
    return ScopeGuard([this] { LeaveModal(); });
}

void TForm1Logic::LeaveModal() {
    // When the last one closes, what was held back meanwhile (a device gone, Timer1, a receive
    // event) is handled; queued, so that the handler that showed it has fully returned first.
    if (--modalDepth_ == 0 && (receivePending_ || gonePending_ || timerPending_)) {
        receivePending_ = false;
        desktop_.PostToForm([this] { CatchUp(); });
    }
}

void TForm1Logic::FormCreate() {
    assert(thread_.IsCurrent());
    session_.Reset();
}

void TForm1Logic::SpeedButton1Click() {
    assert(thread_.IsCurrent());
    // The button is disabled while a transfer runs; a click while a box is up can only come
    // from a program, as the box keeps the mouse away.
    if (ModalUp() || Transfer().Running()) return;
    RunHandler([this] { ChooseAndConvert(); });
}

void TForm1Logic::ChooseAndConvert() {
    bool chosen = false;
    {
        const auto scope = ModalScope();
        chosen = desktop_.ExecuteOpenDialog1();
    }
    if (!chosen) return;
    const std::string fileName = desktop_.Edit1Text();
    if (!HasHexExtension(fileName)) return;
    Convert(fileName);
}

void TForm1Logic::Convert(const std::string& fileName) {
    // The counts stand where the conversion leaves them alone.
    ConvertedUpdate converted;
    converted.ScriptLineCount = lists_.ScriptLineCount;
    converted.FileLineCount = lists_.FileLineCount;
    const ScopeGuard keep([&] {
        lists_.Memo1 = std::move(converted.recordList);
        lists_.Memo2 = std::move(converted.transferScript);
        lists_.ScriptLineCount = converted.ScriptLineCount;
        lists_.FileLineCount = converted.FileLineCount;
    });
    // The hint speaks of the file converted last; a refused one has none.
    desktop_.SetEdit1Hint("");
    const PreparedUpdate prepared = Prepared(fileName, converted, gauge_);
    if (prepared.release)
        desktop_.SetEdit1Hint(
            Fill(Tr("Release: %1, signature checked"), {ReleaseText(*prepared.release)}));
}

PreparedUpdate TForm1Logic::CheckedUpdate(const std::string& fileName, ConvertedUpdate& converted) {
    NullGauge gauge;
    return Prepared(fileName, converted, gauge);
}

PreparedUpdate TForm1Logic::Prepared(const std::string& fileName, ConvertedUpdate& converted,
                                     ProgressGauge& gauge) {
    // The station's trusted keys are read at every conversion: a key the supervisor installs
    // counts from the next start on, and from then on a signature is required.
    return PrepareUpdateFile(fileName, {}, converted, gauge);
}

void TForm1Logic::AbColBitBtn1Click() {
    assert(thread_.IsCurrent());
    // While a box is up the click is left alone; the release puts the button back as it was.
    if (ModalUp()) return;
    clickHandled_ = true;
    RunHandler([this] {
        if (!desktop_.AbColBitBtn1Control().Checked()) {
            session_.Stop();
        } else if (ConvertForStart()) {
            session_.Start(lists_.Memo2, lists_.ScriptLineCount, desktop_.ComboBox1Text(),
                           Clock::now());
        }
    });
}

bool TForm1Logic::ConvertForStart() {
    // What goes out is the file the field names now, typed or picked, as it is on the disk now.
    // A fresh conversion also empties the exchange log of the previous update.
    const std::string fileName = desktop_.Edit1Text();
    if (!HasHexExtension(fileName)) {
        ShowMessage(TransferMessageText(TransferMessage::NoScript));
        SetButtonChecked(false);
        return false;
    }
    try {
        Convert(fileName);
    } catch (...) {
        // Nothing was opened; the error box says what is wrong with the file.
        SetButtonChecked(false);
        throw;
    }
    return true;
}

void TForm1Logic::StartButtonDown(TMouseButton button) {
    if (button != mbLeft) return;
    // Called before the button flips.
    checkedBeforePress_ = desktop_.AbColBitBtn1Control().Checked();
    pressTracked_ = true;
    clickHandled_ = false;
}

void TForm1Logic::StartButtonUp(TMouseButton button) {
    if (button != mbLeft || !pressTracked_) return;
    pressTracked_ = false;
    // The button flips on the press but clicks only on a release inside it, and only once for a
    // double click. A flip that led to no click would show a transfer running that is not (or
    // none where one runs), and the next click would start one twice: undo it.
    TAbColBitBtn& start = desktop_.AbColBitBtn1Control();
    if (!clickHandled_ && start.Checked() != checkedBeforePress_)
        start.SetChecked(checkedBeforePress_);
    clickHandled_ = false;
}

void TForm1Logic::VaComm1RxChar(int count) {
    assert(thread_.IsCurrent());
    if (ModalUp()) {
        // A box is up, maybe shown from inside the previous receive step. The bytes stay in the
        // input queue and are handled together once its handler has returned.
        receivePending_ = true;
        return;
    }
    RunHandler([this, count] { session_.Received(count, Clock::now()); });
}

void TForm1Logic::VaComm1DeviceGone() {
    assert(thread_.IsCurrent());
    if (ModalUp()) {
        // Held back like a receive event: the handler whose box is up finishes first.
        gonePending_ = true;
        return;
    }
    RunHandler([this] { session_.DeviceGone(); });
}

void TForm1Logic::VaComm1TxEmpty() {
    assert(thread_.IsCurrent());
    // Nothing to hold back under a box: what it tells is asked for after every handler anyway.
    if (ModalUp()) return;
    RunHandler([] {});
}

void TForm1Logic::Timer1Timer() {
    assert(thread_.IsCurrent());
    if (ModalUp()) {
        // Held back like a receive event: the first page command waits for the box to go.
        timerPending_ = true;
        return;
    }
    RunHandler([this] { session_.Tick(Clock::now()); });
}

void TForm1Logic::CatchUp() {
    if (ModalUp()) {
        receivePending_ = true;
        return;
    }
    if (gonePending_) {
        gonePending_ = false;
        RunHandler([this] { session_.DeviceGone(); });
    }
    if (timerPending_) {
        timerPending_ = false;
        RunHandler([this] { session_.Tick(Clock::now()); });
    }
    RunHandler([this] {
        const int count = port_.InputCount();
        if (count > 0) session_.Received(count, Clock::now());
    });
}

void TForm1Logic::RunHandler(const std::function<void()>& body) {
    try {
        body();
    } catch (const EVaCommDeviceGone&) {
        // A status query of this handler found the device gone: one message, at rest.
        session_.DeviceGone();
    } catch (const std::exception& error) {
        ShowError(error);
    }
    // A frame the write thread has handed on, the end command among them, is the session's
    // news as well.
    if (port_.Transmitted()) session_.Written(Clock::now());
    UpdateControls();
    StartTimer1();
}

void TForm1Logic::StartTimer1() {
    const auto due = session_.Deadline();
    if (!due) return;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(*due - Clock::now());
    // A timer that ran early finds the deadline not yet passed and comes here again.
    desktop_.StartTimer1(std::max(left, std::chrono::milliseconds(0)));
}

void TForm1Logic::UpdateControls() {
    desktop_.SetSpeedButton1Enabled(!Transfer().Running());
}

void TForm1Logic::ShowError(const std::exception& error) {
    assert(thread_.IsCurrent());
    // The box runs a nested event loop, in which no protocol step may start.
    const auto scope = ModalScope();
    desktop_.ShowErrorBox(ErrorBoxText(ProblemOf(error)));
}

void TForm1Logic::SetButtonChecked(bool checked) {
    desktop_.AbColBitBtn1Control().SetChecked(checked);
    // Set while the mouse holds the button: a release without a click returns to this.
    checkedBeforePress_ = checked;
}

void TForm1Logic::ShowMessage(const std::string& text) {
    assert(thread_.IsCurrent());
    const auto scope = ModalScope();
    desktop_.ShowMessageBox(text);
}

void TForm1Logic::Logged(const std::string& line) {
    lists_.Memo1.push_back(line);
}

void TForm1Logic::Erred(const std::exception& error, const BoardCause&) {
    ShowError(error);
}

void TForm1Logic::Stepped(const TransferEvent& event) {
    const std::string text = TransferMessageText(event.message);
    TAbLED& led = desktop_.AbLED1Control();
    TGauge& gauge = desktop_.ProgressBar1Control();
    switch (event.kind) {
        case TransferEventKind::Refused:
            ShowMessage(text);
            SetButtonChecked(false);
            break;
        case TransferEventKind::GreetingAnswered:
            led.SetChecked(true);
            break;
        case TransferEventKind::FrameSent:
            gauge.SetProgress(gauge.Progress() + 1);
            led.SetChecked(true);
            break;
        case TransferEventKind::BlockConfirmed:
            break;
        case TransferEventKind::WrongChecksum:
            ShowMessage(text);
            break;
        case TransferEventKind::LineFault:
        case TransferEventKind::DeviceGone:
            // At rest before the message, so that it is all that stands before a new start.
            SetButtonChecked(false);
            led.SetChecked(false);
            gauge.SetProgress(0);
            ShowMessage(text);
            break;
        case TransferEventKind::Completed:
            // The port stays open while the message is up; it closes once it is dismissed.
            ShowMessage(text);
            SetButtonChecked(false);
            break;
        case TransferEventKind::Stopped:
            // A switch-off leaves the LED as it was.
            if (event.ending == TransferEnding::Completed) led.SetChecked(false);
            gauge.SetProgress(0);
            break;
    }
}
