// SPDX-License-Identifier: MIT
#pragma once
// The application's title: the caption of every message box the program shows. It is kept apart
// from Qt's display name, which the desktop would append to the window's own caption.
#include <QString>

#include "app/Form1Description.h"

void SetApplicationTitle(const QString& title);
QString ApplicationTitle();
