#include "platform/mensajes.h"

#include <cstdio>

namespace brumaria {
namespace {
ManejadorMensajes& manejadorActual() {
    static ManejadorMensajes m;
    return m;
}
} // namespace

QString strPartirPalabras(const QString& texto, int intMaximo) {
    QString salida;
    salida.reserve(texto.size());
    int seguidos = 0;
    for (const QChar c : texto) {
        if (c.isSpace()) {
            seguidos = 0;
        } else if (seguidos == intMaximo) {
            salida += QChar(0x200B); // a place to break that shows nothing
            seguidos = 0;
        }
        if (!c.isSpace()) ++seguidos;
        salida += c;
    }
    return salida;
}

Respuesta MsgBox(const QString& texto, const QString& titulo, Icono icono, Botones botones) {
    const Mensaje m{texto, titulo, icono, botones};
    if (auto& h = manejadorActual())
        return h(m);
    std::fprintf(stderr, "[%s] %s\n", qUtf8Printable(titulo), qUtf8Printable(texto));
    return botones == Botones::SiNo ? Respuesta::No : Respuesta::Aceptar;
}

ManejadorMensajes InstalarManejadorMensajes(ManejadorMensajes manejador) {
    ManejadorMensajes previo = std::move(manejadorActual());
    manejadorActual() = std::move(manejador);
    return previo;
}

} // namespace brumaria
