#include "platform/rutas.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace brumaria {
namespace {
QString& rutaFijada() {
    static QString r;
    return r;
}

bool carpetaEscribible(const QString& carpeta) {
    // QFileInfo::isWritable ignores ACLs and read-only mounts; a real probe does not.
    QTemporaryFile prueba(carpeta + QStringLiteral("/.brumaria-XXXXXX"));
    return prueba.open();
}
} // namespace

QString strRutaPrograma() {
    if (!rutaFijada().isEmpty())
        return rutaFijada();
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

QString strRutaDatos() {
    if (!rutaFijada().isEmpty())
        return rutaFijada();
    static const QString datos = [] {
        const QString programa = strRutaPrograma();
        return carpetaEscribible(programa) ? programa : strRutaConfigUsuario();
    }();
    return datos;
}

QString strRutaConfigUsuario() {
    if (!rutaFijada().isEmpty())
        return rutaFijada();
    QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    if (config.isEmpty())
        config = QDir::homePath() + QStringLiteral("/.config/brumaria");
    QDir().mkpath(config);
    return config;
}

void FijarRutaPrograma(const QString& ruta) {
    QString r = ruta;
    while (r.size() > 1 && r.endsWith(QLatin1Char('/')))
        r.chop(1);
    rutaFijada() = r;
}

QString UnirRuta(const QString& carpeta, const QString& relativa) {
    if (carpeta.endsWith(QLatin1Char('/')))
        return carpeta + relativa;
    return carpeta + QLatin1Char('/') + relativa;
}

} // namespace brumaria
