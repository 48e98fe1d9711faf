// SPDX-License-Identifier: MIT
#pragma once
// The port list: list only (no typing), items of a fixed height. It looks for ports again each
// time it opens, so an adapter plugged in or a simulator started after the window shows up.
// Each item's text is the port's path (the device name a start uses); the open list shows its
// description beside it and may be wider than the box, and the box itself shows the path's last
// part, the whole path being its tool tip.
#include <QComboBox>

#include "serial/VaPortList.h"

class TPortComboBox : public QComboBox {
    Q_OBJECT
public:
    TPortComboBox(QWidget* parent, TVaPortListRoots roots, int itemHeight);

    // Fills the list from the ports present now; the chosen entry stays chosen (and listed,
    // even if its port has gone, so that opening it says what is wrong).
    void Refresh();

    void showPopup() override;

    // What the closed box shows of the chosen entry: "COM1", "ttyUSB0" for "/dev/ttyUSB0".
    QString ShownText() const;
    // The text a list entry shows: its path and, when known, its description.
    static QString EntryText(const QString& path, const QString& description);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const TVaPortListRoots roots_;
};
