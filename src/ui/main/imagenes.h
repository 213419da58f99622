#pragma once
// The pictures the boards draw, loaded once and shared, and the
// once-per-run warning when the ship pictures are missing.
#include "core/modprincipal.h"

#include <QHash>
#include <QPixmap>

namespace brumaria {

class ImagenesTablero {
public:
    // The picture of a ship piece or hit mark from imagenes/ in the
    // program's folder; null (after the one warning of the run) if missing.
    QPixmap Pieza(ImagenCasilla imagen);

    // Any picture by full path, cached; null when it cannot be loaded.
    QPixmap Archivo(const QString& strRuta);

    // Forget cached files (the player may have changed them on disk).
    void Olvidar() { archivos_.clear(); }

    bool blnAvisoMostrado() const { return blnAvisado_; }

private:
    QHash<int, QPixmap> piezas_;
    QHash<QString, QPixmap> archivos_;
    bool blnAvisado_ = false;
};

// The warning shown once per run for a missing ship picture.
extern const QString kTextoFaltanImagenes;

} // namespace brumaria
