// SPDX-License-Identifier: MIT
#include "widgets/AbGradSettings.h"

void TAbGradSettings::Assign(const TAbGradSettings& source) {
    colorFrom_ = source.colorFrom_;
    colorTo_ = source.colorTo_;
    visible_ = source.visible_;
    style_ = source.style_;
    Changed();
}
