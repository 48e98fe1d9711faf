// SPDX-License-Identifier: MIT
#include "app/qt/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

QTranslator* InstallQtTranslations(QCoreApplication& app) {
    const QLocale system = QLocale::system();
    const QLocale locale =
        system.language() == QLocale::Russian ? system : QLocale(QLocale::Russian, QLocale::Russia);
    auto* translator = new QTranslator(&app);
    if (!translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return nullptr;
    }
    return translator;
}
