// SPDX-License-Identifier: MIT
#pragma once
// What the transfer needs of the window around it: the chosen file and port, the hidden lists,
// the LED, the start button, the gauge, the modal message, the end of a transfer and the
// millisecond tick. The window
// implements it with its controls, the command line with its own state, tests with plain fields.
#include <cstdint>
#include <string>

#include "loader/ProgressGauge.h"
#include "loader/TransferState.h"
#include "loader/UpdateLists.h"

class TransferHost {
public:
    virtual ~TransferHost() = default;

    // Text of the update-file field (Edit1) and of the port choice (ComboBox1).
    virtual std::string Edit1Text() const = 0;
    virtual std::string ComboBox1Text() const = 0;

    // The transfer reads Memo2 and ScriptLineCount and appends the exchange log to Memo1.
    virtual UpdateLists& Lists() = 0;

    // Checked of the LED and of the start button. Setting either fires no click.
    virtual void SetLedChecked(bool checked) = 0;
    virtual bool ButtonChecked() const = 0;
    virtual void SetButtonChecked(bool checked) = 0;

    virtual ProgressGauge& Gauge() = 0;

    // Shows a message and returns once the user has dismissed it.
    virtual void ShowMessage(const std::string& text) = 0;

    // Once per transfer, when it has ended, before the message that tells the user of it: after
    // a completion with the port still open (the end command may still be on its way), after a
    // switch-off or a fault with everything at rest.
    virtual void TransferFinished(TransferEnding ending) = 0;

    // Milliseconds since some fixed moment, wrapping at 32 bits.
    virtual uint32_t TickCount() = 0;
};
