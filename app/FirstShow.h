// SPDX-License-Identifier: MIT
#pragma once
// Where the window goes when it is first shown: centred on the desktop's area. Later shows keep
// where the user put it.
#include <optional>

#include "app/Form1Description.h"

class TFirstShow {
public:
    // At every show, with the desktop's area and the window's outer size: the window's new place
    // the first time, nothing afterwards.
    std::optional<TBounds> Place(const TBounds& desk, int width, int height) {
        if (shown_) return std::nullopt;
        shown_ = true;
        return TBounds{desk.Left + (desk.Width - width) / 2, desk.Top + (desk.Height - height) / 2,
                       width, height};
    }

private:
    bool shown_ = false;
};
