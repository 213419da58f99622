#include "platform/mensajes.h"

#include <cstdio>

namespace brumaria {
namespace {
ManejadorMensajes& manejadorActual() {
    static ManejadorMensajes m;
    return m;
}
} // namespace

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
