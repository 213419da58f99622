#include "platform/traducciones.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace brumaria {

bool CargarTraduccionesQt(QCoreApplication& app) {
    // Dates, numbers and the file dialogs' sorting follow the same language.
    const QLocale espanol(QLocale::Spanish, QLocale::Spain);
    QLocale::setDefault(espanol);
    auto* qt = new QTranslator(&app);
    if (!qt->load(espanol, QStringLiteral("qtbase"), QStringLiteral("_"),
                  QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete qt;
        return false;
    }
    return QCoreApplication::installTranslator(qt);
}

} // namespace brumaria
