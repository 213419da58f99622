#include "grabador_mensajes.h"

namespace brumaria::prueba {

GrabadorMensajes::GrabadorMensajes() {
    previo_ = InstalarManejadorMensajes([this](const Mensaje& m) {
        mensajes_.append(m);
        if (m.botones == Botones::Aceptar)
            return Respuesta::Aceptar;
        if (!guion_.empty()) {
            const Respuesta r = guion_.front();
            guion_.pop_front();
            return r;
        }
        return respuestaPorDefecto;
    });
}

GrabadorMensajes::~GrabadorMensajes() { InstalarManejadorMensajes(std::move(previo_)); }

int GrabadorMensajes::Contar(const QString& texto) const {
    int n = 0;
    for (const auto& m : mensajes_)
        n += m.texto == texto ? 1 : 0;
    return n;
}

} // namespace brumaria::prueba
