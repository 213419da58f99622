#include "carpeta_temporal.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace brumaria::prueba {

void CarpetaTemporal::CopiarRecursos() const {
    const QString origen = QStringLiteral(BRUMARIA_BIN_DIR);
    QDirIterator it(origen, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString ruta = it.next();
        const QString relativa = QDir(origen).relativeFilePath(ruta);
        if (QFileInfo(ruta).isExecutable())
            continue; // binaries stay where they are
        // What a run of the real program left there is not part of the game.
        if (relativa == u"Config.dat" || relativa == u"Historial.txt") continue;
        const QString destino = dir_.filePath(relativa);
        QDir().mkpath(QFileInfo(destino).path());
        QFile::copy(ruta, destino);
    }
}

QByteArray LeerArchivo(const QString& ruta) {
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool EscribirArchivo(const QString& ruta, const QByteArray& datos) {
    QFile f(ruta);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(datos) == datos.size();
}

} // namespace brumaria::prueba
