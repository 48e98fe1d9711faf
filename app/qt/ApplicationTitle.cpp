// SPDX-License-Identifier: MIT
#include "app/qt/ApplicationTitle.h"

namespace {
// GUI thread only, like every message box that reads it.
QString& Title() {
    static QString title;
    return title;
}
}  // namespace

void SetApplicationTitle(const QString& title) {
    Title() = title;
}

QString ApplicationTitle() {
    return Title();
}
