#include "ui/main/imagenes.h"

#include "platform/mensajes.h"
#include "platform/rutas.h"


namespace brumaria {

const QString kTextoFaltanImagenes =
    QStringLiteral("Faltan las imágenes de los barcos, puedes seguir jugando pero es recomendable "
                   "que instales de nuevo el juego.");

ImagenNitida ImagenesTablero::Pieza(ImagenCasilla imagen) {
    if (imagen == ImagenCasilla::Ninguna) return {};
    const int clave = int(imagen);
    if (auto it = piezas_.constFind(clave); it != piezas_.constEnd()) return *it;
    const ImagenNitida p =
        ImagenNitida::Cargar(UnirRuta(strRutaPrograma(), strArchivoImagen(imagen)), true);
    if (p.isNull() && !blnAvisado_) {
        blnAvisado_ = true;
        MsgBox(kTextoFaltanImagenes, QStringLiteral("Advertencia"), Icono::Exclamacion);
    }
    piezas_.insert(clave, p); // a missing picture is not looked for again
    return p;
}

ImagenNitida ImagenesTablero::Archivo(const QString& strRuta) {
    if (strRuta.isEmpty()) return {};
    if (auto it = archivos_.constFind(strRuta); it != archivos_.constEnd()) return *it;
    const ImagenNitida p = ImagenNitida::Cargar(strRuta);
    archivos_.insert(strRuta, p);
    return p;
}

} // namespace brumaria
