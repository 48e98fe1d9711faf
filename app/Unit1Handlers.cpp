// SPDX-License-Identifier: MIT
// The window's handlers and what the transfer asks of the window.
#include <chrono>

#include <QFile>
#include <QLineEdit>
#include <QToolButton>

#include "app/PortComboBox.h"
#include "app/Unit1.h"
#include "base/ScopeGuard.h"
#include "loader/Conversion.h"
#include "widgets/AbColBitBtn.h"
#include "widgets/AbLED.h"

auto TForm1::HandlerScope() {
    ++handlerDepth_;
    return ScopeGuard([this] { LeaveHandler(); });
}

void TForm1::LeaveHandler() {
    // When the last one ends, what was held back meanwhile (a device gone, a receive event) is
    // handled; queued, so that whatever held it back has fully returned first.
    if (--handlerDepth_ == 0 && (receivePending_ || gonePending_)) {
        receivePending_ = false;
        QMetaObject::invokeMethod(
            this, [this] { CatchUp(); }, Qt::QueuedConnection);
    }
}

void TForm1::FormCreate() {
    transfer_.FormCreate();
}

void TForm1::SpeedButton1Click() {
    // The button is disabled while a transfer runs; a click inside another handler can only
    // come from a program, as a message box keeps the mouse away.
    if (InHandler() || transfer_.Running()) return;
    RunHandler([this] { ChooseAndConvert(); });
}

void TForm1::ChooseAndConvert() {
    if (!OpenDialog1.Execute(this)) return;
    Edit1->setText(OpenDialog1.FileName);
    const std::string fileName = Edit1Text();
    if (!HasHexExtension(fileName)) return;
    ConvertUpdateFile(fileName, lists_, *gauge_);
}

void TForm1::AbColBitBtn1Click() {
    // Inside another handler's message the click is left alone; the release puts the button
    // back as it was.
    if (InHandler()) return;
    clickHandled_ = true;
    RunHandler([this] {
        if (AbColBitBtn1->Checked() && !ConvertForStart()) return;
        transfer_.AbColBitBtn1Click();
    });
}

bool TForm1::ConvertForStart() {
    // What goes out is the file the field names now, typed or picked, as it is on the disk now.
    // A fresh conversion also empties the exchange log of the previous update.
    const std::string fileName = Edit1Text();
    if (!HasHexExtension(fileName)) {
        ShowMessage(BootLoaderTransfer::kNoFileMessage);
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
    if (InHandler()) {
        // A message of another handler is up. The bytes stay in the input queue and are
        // handled together once it has returned.
        receivePending_ = true;
        return;
    }
    RunHandler([this, count] { transfer_.VaComm1RxChar(count); });
}

void TForm1::VaComm1DeviceGone() {
    if (InHandler()) {
        // Held back like a receive event: the handler whose message is up finishes first.
        gonePending_ = true;
        return;
    }
    RunHandler([this] { transfer_.DeviceGone(); });
}

void TForm1::CatchUp() {
    if (InHandler()) {
        receivePending_ = true;
        return;
    }
    if (gonePending_) {
        gonePending_ = false;
        RunHandler([this] { transfer_.DeviceGone(); });
    }
    RunHandler([this] {
        const int count = VaComm1.InputCount();
        if (count > 0) transfer_.VaComm1RxChar(count);
    });
}

void TForm1::RunHandler(const std::function<void()>& body) {
    const auto scope = HandlerScope();
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
    const auto scope = HandlerScope();
    boxes_->ShowError(ErrorBoxText(error.what()));
}

std::string TForm1::Edit1Text() const {
    // The name as the file system spells it.
    return QFile::encodeName(Edit1->text()).toStdString();
}

std::string TForm1::ComboBox1Text() const {
    return ComboBox1->currentText().toStdString();
}

void TForm1::SetLedChecked(bool checked) {
    AbLED1->SetChecked(checked);
}

bool TForm1::ButtonChecked() const {
    return AbColBitBtn1->Checked();
}

void TForm1::SetButtonChecked(bool checked) {
    AbColBitBtn1->SetChecked(checked);
    // Set while the mouse holds the button: a release without a click returns to this.
    checkedBeforePress_ = checked;
}

void TForm1::ShowMessage(const std::string& text) {
    const auto scope = HandlerScope();
    boxes_->ShowMessage(QString::fromUtf8(text));
}

uint32_t TForm1::TickCount() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}
