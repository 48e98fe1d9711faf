// SPDX-License-Identifier: MIT
#pragma once
// Qt's own dialogs (the file dialog, the message boxes' buttons) in the language of the window.
class QCoreApplication;
class QTranslator;

// Installs Qt's base translation for the system's locale when that is Russian, otherwise for
// Russian, from Qt's translations folder. Returns the installed translator (the application owns
// it), or null when no translation is installed on this machine; Qt then stays in English.
QTranslator* InstallQtTranslations(QCoreApplication& app);
