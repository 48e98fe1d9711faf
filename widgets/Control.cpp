// SPDX-License-Identifier: MIT
#include "widgets/Control.h"

#include "widgets/DesktopStyle.h"

TOwner::~TOwner() {
    for (TControl* c : components_)
        c->owner_ = nullptr;
}

TControl::TControl(TOwner* owner) : owner_(owner), font_(DesktopFont()) {
    if (owner_) owner_->components_.push_back(this);
}

TControl::~TControl() {
    if (owner_) std::erase(owner_->components_, this);
}

void TControl::SetSize(int width, int height) {
    if (width == width_ && height == height_) return;
    width_ = width;
    height_ = height;
    LookChanged();
}

void TControl::SetVisible(bool value) {
    if (value == visible_) return;
    visible_ = value;
    LookChanged();
}

void TControl::SetFont(const TFont& value) {
    if (value == font_) return;
    font_ = value;
    LookChanged();
}

void TControl::SetEnabled(bool value) {
    if (value == enabled_) return;
    enabled_ = value;
    EnabledChanged();
}
