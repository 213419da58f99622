#pragma once
// A fresh program folder for one test: Config.dat, history files and
// pictures go there, never beside the real binary.
#include "platform/rutas.h"

#include <QString>
#include <QTemporaryDir>

namespace brumaria::prueba {

class CarpetaTemporal {
public:
    CarpetaTemporal() { FijarRutaPrograma(dir_.path()); }
    ~CarpetaTemporal() { FijarRutaPrograma(QString()); }
    QString ruta() const { return dir_.path(); }
    QString archivo(const QString& relativo) const { return dir_.filePath(relativo); }
    // Copies the shipped pictures and sounds (imagenes/, alerta.wav, ayuda/)
    // from the build's bin/ folder into this folder.
    void CopiarRecursos() const;

private:
    QTemporaryDir dir_;
};

// A whole file's bytes (empty when it cannot be read); a file written
// whole, false when it cannot be.
QByteArray LeerArchivo(const QString& ruta);
bool EscribirArchivo(const QString& ruta, const QByteArray& datos);

} // namespace brumaria::prueba
