#pragma once
// The port list: list only (no typing), items of a fixed height. It looks for ports again each
// time it opens, so an adapter plugged in or a simulator started after the window shows up.
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

private:
    const TVaPortListRoots roots_;
};
