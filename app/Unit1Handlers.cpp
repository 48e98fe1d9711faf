// SPDX-License-Identifier: MIT
// The window's handlers and what it makes of the transfer's events.
#include <QFile>
#include <QLineEdit>
#include <QToolButton>

#include "app/PortComboBox.h"
#include "app/Unit1.h"
#include "base/ScopeGuard.h"
#include "loader/Conversion.h"
#include "widgets/AbColBitBtn.h"
#include "widgets/AbLED.h"

auto TForm1::ModalScope() {
    ++modalDepth_;
    return ScopeGuard([this] { LeaveModal(); });
}

void TForm1::LeaveModal() {
    // When the last one closes, what was held back meanwhile (a device gone, a receive event) is
    // handled; queued, so that the handler that showed it has fully returned first.
    if (--modalDepth_ == 0 && (receivePending_ || gonePending_)) {
        receivePending_ = false;
        QMetaObject::invokeMethod(
            this, [this] { CatchUp(); }, Qt::QueuedConnection);
    }
}

void TForm1::FormCreate() {
    transfer_.Reset();
}

void TForm1::SpeedButton1Click() {
    // The button is disabled while a transfer runs; a click while a box is up can only come
    // from a program, as the box keeps the mouse away.
    if (ModalUp() || transfer_.Running()) return;
    RunHandler([this] { ChooseAndConvert(); });
}

void TForm1::ChooseAndConvert() {
    bool chosen = false;
    {
        const auto scope = ModalScope();
        chosen = OpenDialog1.Execute(this);
    }
    if (!chosen) return;
    Edit1->setText(OpenDialog1.FileName);
    const std::string fileName = Edit1Text();
    if (!HasHexExtension(fileName)) return;
    ConvertUpdateFile(fileName, lists_, *gauge_);
}

void TForm1::AbColBitBtn1Click() {
    // While a box is up the click is left alone; the release puts the button back as it was.
    if (ModalUp()) return;
    clickHandled_ = true;
    RunHandler([this] {
        if (!AbColBitBtn1->Checked()) {
            transfer_.Stop();
        } else if (ConvertForStart()) {
            transfer_.Start(lists_, ComboBox1Text());
        }
    });
}

bool TForm1::ConvertForStart() {
    // What goes out is the file the field names now, typed or picked, as it is on the disk now.
    // A fresh conversion also empties the exchange log of the previous update.
    const std::string fileName = Edit1Text();
    if (!HasHexExtension(fileName)) {
        ShowMessage(TransferMessageText(TransferMessage::NoScript));
        SetButtonChecked(false);
        return false;
    }
    try {
        ConvertUpdateFile(fileName, lists_, *gauge_);
    } catch (...) {
        // Nothing was opened; the error box says what is wrong with the file.
        SetButtonChecked(false);
        throw;
    }
    return true;
}

void TForm1::StartButtonDown(Qt::MouseButton button) {
    if (button != Qt::LeftButton) return;
    // Called before the button flips.
    checkedBeforePress_ = AbColBitBtn1->Checked();
    pressTracked_ = true;
    clickHandled_ = false;
}

void TForm1::StartButtonUp(Qt::MouseButton button) {
    if (button != Qt::LeftButton || !pressTracked_) return;
    pressTracked_ = false;
    // The button flips on the press but clicks only on a release inside it, and only once for a
    // double click. A flip that led to no click would show a transfer running that is not (or
    // none where one runs), and the next click would start one twice: undo it.
    if (!clickHandled_ && AbColBitBtn1->Checked() != checkedBeforePress_)
        AbColBitBtn1->SetChecked(checkedBeforePress_);
    clickHandled_ = false;
}

void TForm1::VaComm1RxChar(int count) {
    if (ModalUp()) {
        // A box is up, maybe shown from inside the previous receive step. The bytes stay in the
        // input queue and are handled together once its handler has returned.
        receivePending_ = true;
        return;
    }
    RunHandler([this, count] { transfer_.Receive(count); });
}

void TForm1::VaComm1DeviceGone() {
    if (ModalUp()) {
        // Held back like a receive event: the handler whose box is up finishes first.
        gonePending_ = true;
        return;
    }
    RunHandler([this] { transfer_.DeviceGone(); });
}

void TForm1::CatchUp() {
    if (ModalUp()) {
        receivePending_ = true;
        return;
    }
    if (gonePending_) {
        gonePending_ = false;
        RunHandler([this] { transfer_.DeviceGone(); });
    }
    RunHandler([this] {
        const int count = VaComm1.InputCount();
        if (count > 0) transfer_.Receive(count);
    });
}

void TForm1::RunHandler(const std::function<void()>& body) {
    try {
        body();
    } catch (const EVaCommDeviceGone&) {
        // A read or status query of this handler found the device gone: one message, at rest.
        transfer_.DeviceGone();
    } catch (const std::exception& error) {
        ShowError(error);
    }
    UpdateControls();
}

void TForm1::UpdateControls() {
    SpeedButton1->setEnabled(!transfer_.Running());
}

void TForm1::SetMessageBoxes(std::shared_ptr<TMessageBoxes> boxes) {
    boxes_ = std::move(boxes);
}

void TForm1::ShowError(const std::exception& error) {
    // The box runs a nested event loop, in which no protocol step may start.
    const auto scope = ModalScope();
    boxes_->ShowError(ErrorBoxText(error.what()));
}

std::string TForm1::Edit1Text() const {
    // The name as the file system spells it.
    return QFile::encodeName(Edit1->text()).toStdString();
}

std::string TForm1::ComboBox1Text() const {
    return ComboBox1->currentText().toStdString();
}

void TForm1::SetButtonChecked(bool checked) {
    AbColBitBtn1->SetChecked(checked);
    // Set while the mouse holds the button: a release without a click returns to this.
    checkedBeforePress_ = checked;
}

void TForm1::ShowMessage(const std::string& text) {
    const auto scope = ModalScope();
    boxes_->ShowMessage(QString::fromUtf8(text));
}

void TForm1::Logged(const std::string& line) {
    lists_.Memo1.push_back(line);
}

void TForm1::Happened(const TransferEvent& event) {
    const std::string text = TransferMessageText(event.message);
    switch (event.kind) {
        case TransferEventKind::Refused:
            ShowMessage(text);
            SetButtonChecked(false);
            break;
        case TransferEventKind::GreetingAnswered:
            AbLED1->SetChecked(true);
            break;
        case TransferEventKind::FrameSent:
            ProgressBar1->SetProgress(ProgressBar1->Progress() + 1);
            AbLED1->SetChecked(true);
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
            AbLED1->SetChecked(false);
            ProgressBar1->SetProgress(0);
            ShowMessage(text);
            break;
        case TransferEventKind::Completed:
            // The port stays open while the message is up; it closes once it is dismissed.
            ShowMessage(text);
            SetButtonChecked(false);
            break;
        case TransferEventKind::Stopped:
            // A switch-off leaves the LED as it was.
            if (event.ending == TransferEnding::Completed) AbLED1->SetChecked(false);
            ProgressBar1->SetProgress(0);
            break;
    }
}
