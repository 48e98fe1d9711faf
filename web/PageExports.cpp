// SPDX-License-Identifier: MIT
// What the page's script calls in the module: the page's events handed to the form and the
// window's logic, and the texts the script shows. Every call runs on the page's one thread, one
// at a time, as the window's handlers do.
#include <emscripten/emscripten.h>

#include <memory>
#include <string>

#include "app/Form1Description.h"
#include "base/Translation.h"
#include "files/SystemConfig.h"
#include "line/Problem.h"
#include "loader/Conversion.h"
#include "web/PageForm.h"
#include "web/PageWords.h"
#include "words/RussianCatalogue.h"
#include "words/Words.h"

namespace {
std::unique_ptr<TPageForm> form;

// Strings handed to the script stay until the next one.
const char* Handed(std::string text) {
    static std::string kept;
    kept = std::move(text);
    return kept.c_str();
}

// The pointer's events as the script numbers them.
enum class TPointerKind : int { Press, Double, Release, Move, Enter, Leave, CaptureLost };

TShiftState ShiftOf(int bits) {
    TShiftState shift;
    if (bits & 1) shift = shift | TShiftState{ssShift};
    if (bits & 2) shift = shift | TShiftState{ssAlt};
    if (bits & 4) shift = shift | TShiftState{ssCtrl};
    return shift;
}

TMouseButton ButtonOf(int button) {
    // The DOM's numbering: 0 main, 1 middle (the wheel), 2 secondary.
    return button == 2 ? mbRight : button == 1 ? mbMiddle : mbLeft;
}

// Only the start button takes the pointer and the keyboard; the LED is an indicator.
TTwoStateInput* InputOf(int control) {
    if (!form || control != static_cast<int>(TPageControlId::AbColBitBtn1)) return nullptr;
    return &form->AbColBitBtn1.input_;
}
}  // namespace

extern "C" {

// Makes the form; `russian` when the browser prefers Russian.
EMSCRIPTEN_KEEPALIVE void PageCreate(int russian) {
    if (russian) UseCatalogue(RussianCatalogue());
    form = std::make_unique<TPageForm>();
}

EMSCRIPTEN_KEEPALIVE const char* PageTextOf(int which) {
    return Handed(PageText(static_cast<TPageText>(which)));
}

EMSCRIPTEN_KEEPALIVE const char* PagePortName(int usbVendor, int usbProduct, int number) {
    return Handed(PagePortText(usbVendor, usbProduct, number));
}

// Where the page keeps the keys a station trusts, read at every start as the window reads them.
EMSCRIPTEN_KEEPALIVE const char* PageTrustedKeysPath() {
    return Handed(SystemTrustedKeysPath());
}

// Where the page's elements stand: the window's description, as JSON ({"Edit1": [left, top, width,
// height], ...}, the client area as "Form1").
EMSCRIPTEN_KEEPALIVE const char* PageLayout() {
    std::string json = "{";
    const auto add = [&](const char* name, const TBounds& b) {
        if (json.size() > 1) json += ",";
        json += "\"" + std::string(name) + "\":[" + std::to_string(b.Left) + "," +
                std::to_string(b.Top) + "," + std::to_string(b.Width) + "," +
                std::to_string(b.Height) + "]";
    };
    add("Form1", {0, 0, kForm1ClientWidth, kForm1ClientHeight});
    add("Label1", kLabel1Bounds);
    add("Edit1", kEdit1Bounds);
    add("SpeedButton1", kSpeedButton1Bounds);
    add("AbLED1", kAbLED1Bounds);
    add("ComboBox1", kComboBox1Bounds);
    add("AbColBitBtn1", kAbColBitBtn1Bounds);
    add("ProgressBar1", kProgressBar1Bounds);
    return Handed(json + "}");
}

// A page that cannot reach a port keeps the start button off.
EMSCRIPTEN_KEEPALIVE void PageSetStartEnabled(int enabled) {
    if (form) form->AbColBitBtn1.HostEnabled(enabled != 0);
}

EMSCRIPTEN_KEEPALIVE void PagePaint() {
    if (form) form->Paint();
}

// Returns whether the control took the event.
EMSCRIPTEN_KEEPALIVE int PagePointer(int control, int kind, int button, int shift, int x, int y,
                                     int othersDown) {
    TTwoStateInput* input = InputOf(control);
    if (!input) return 0;
    switch (static_cast<TPointerKind>(kind)) {
        case TPointerKind::Press:
            return input->Press(TPressKind::Single, ButtonOf(button), ShiftOf(shift), x, y);
        case TPointerKind::Double:
            return input->Press(TPressKind::Double, ButtonOf(button), ShiftOf(shift), x, y);
        case TPointerKind::Release:
            return input->Release(ButtonOf(button), ShiftOf(shift), x, y, othersDown != 0);
        case TPointerKind::Move:
            return input->Move(ShiftOf(shift), x, y);
        case TPointerKind::Enter:
            input->Enter();
            return 1;
        case TPointerKind::Leave:
            input->Leave();
            return 1;
        case TPointerKind::CaptureLost:
            input->CaptureLost();
            return 1;
    }
    return 0;
}

// Space went down or up on the control; returns whether it took it.
EMSCRIPTEN_KEEPALIVE int PageSpace(int control, int down, int repeat, int shift) {
    TTwoStateInput* input = InputOf(control);
    if (!input) return 0;
    return down ? input->SpaceDown(repeat != 0, ShiftOf(shift))
                : input->SpaceUp(repeat != 0, ShiftOf(shift));
}

EMSCRIPTEN_KEEPALIVE void PageFocus(int control, int in) {
    if (TTwoStateInput* input = InputOf(control)) {
        form->AbColBitBtn1.SetFocused(in != 0);
        in ? input->FocusIn() : input->FocusOut();
    }
}

EMSCRIPTEN_KEEPALIVE void PageSetEdit1(const char* text) {
    if (form) form->SetEdit1Text(text);
}

EMSCRIPTEN_KEEPALIVE void PageSetComboBox1(const char* text) {
    if (form) form->SetComboBox1Text(text);
}

EMSCRIPTEN_KEEPALIVE void PageSpeedButton1Click(int chosen) {
    if (form) form->SpeedButton1Click(chosen != 0);
}

EMSCRIPTEN_KEEPALIVE int PageStartButtonChecked() {
    return form && form->AbColBitBtn1.Checked() ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE int PageTransferRunning() {
    return form && form->Logic().Transfer().Running() ? 1 : 0;
}

// Whether a start would send the file Edit1 names as it is now: only then does the page open the
// port. What is wrong with it the start itself says.
EMSCRIPTEN_KEEPALIVE int PageCheckForStart() {
    if (!form || !HasHexExtension(form->Edit1Text())) return 0;
    try {
        ConvertedUpdate converted;
        TForm1Logic::CheckedUpdate(form->Edit1Text(), converted);
        return 1;
    } catch (const std::exception&) {
        return 0;
    }
}

// The plan of the file Edit1 names, for a browser that cannot flash; or what is wrong with it, as
// the error box says it.
EMSCRIPTEN_KEEPALIVE const char* PagePlan() {
    if (!form) return "";
    const std::string file = form->Edit1Text();
    try {
        ConvertedUpdate converted;
        const PreparedUpdate prepared = TForm1Logic::CheckedUpdate(file, converted);
        return Handed(PageText(TPageText::PlanTitle) + "\n" +
                      PagePlanText(file, prepared.bytes.size(), converted, prepared.release,
                                   prepared.keysTrusted));
    } catch (const std::exception& error) {
        return Handed(ErrorBoxText(ProblemOf(error)));
    }
}

EMSCRIPTEN_KEEPALIVE void PageReceived(const uint8_t* bytes, int count) {
    if (form) form->VaComm1.Received(bytes, count);
}

EMSCRIPTEN_KEEPALIVE void PageWritten() {
    if (form) form->VaComm1.Written();
}

EMSCRIPTEN_KEEPALIVE void PageDeviceGone() {
    if (form) form->VaComm1.DeviceGone();
}

EMSCRIPTEN_KEEPALIVE void PagePortFailed(int writing, const char* text) {
    if (form) form->VaComm1.Failed(writing ? TVaCommFault::Write : TVaCommFault::Read, text);
}

EMSCRIPTEN_KEEPALIVE void PageTimer1() {
    if (form) form->Logic().Timer1Timer();
}

EMSCRIPTEN_KEEPALIVE void PageRunPosted() {
    if (form) form->RunPosted();
}
}
