// SPDX-License-Identifier: MIT
#pragma once
// The two kinds of modal message the window shows. Tests put their own in place of the real
// boxes, which would wait for a user.
#include <QString>

class TMessageBoxes {
public:
    virtual ~TMessageBoxes() = default;
    // A handler's own message: no icon, one "OK" button, centred on the screen.
    virtual void ShowMessage(const QString& text) = 0;
    // An error no handler caught: the error icon, one "OK" button. `text` is already the box's
    // text (see ErrorBoxText).
    virtual void ShowError(const QString& text) = 0;
};

// The boxes on the desktop; both captioned with the application title and waiting until the
// user dismisses them.
class TQtMessageBoxes final : public TMessageBoxes {
public:
    void ShowMessage(const QString& text) override;
    void ShowError(const QString& text) override;
};
