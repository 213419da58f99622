#pragma once
// The pictures the boards draw, loaded once and shared, and the
// once-per-run warning when the ship pictures are missing.
#include "core/modprincipal.h"
#include "ui/escala/imagen_nitida.h"

#include <QHash>

namespace brumaria {

class ImagenesTablero {
public:
    // The picture of a ship piece or hit mark from imagenes/ in the
    // program's folder, from its SVG when there is one beside the GIF; null
    // (after the one warning of the run) if neither can be read.
    ImagenNitida Pieza(ImagenCasilla imagen);

    // Any picture by full path, cached; null when it cannot be loaded.
    ImagenNitida Archivo(const QString& strRuta);

    // Forget cached files (the player may have changed them on disk).
    void Olvidar() { archivos_.clear(); }

    bool blnAvisoMostrado() const { return blnAvisado_; }

private:
    QHash<int, ImagenNitida> piezas_;
    QHash<QString, ImagenNitida> archivos_;
    bool blnAvisado_ = false;
};

// The warning shown once per run for a missing ship picture.
extern const QString kTextoFaltanImagenes;

} // namespace brumaria
