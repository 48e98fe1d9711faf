// SPDX-License-Identifier: MIT
#pragma once
// The application's title: the caption of every message box the program shows. It is kept apart
// from Qt's display name, which the desktop would append to the window's own caption.
#include <QString>

inline constexpr const char* kApplicationTitle = "Загрузчик обновленного ПО в Тевр-R7";

void SetApplicationTitle(const QString& title);
QString ApplicationTitle();
