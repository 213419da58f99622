#include "net/descubrimiento.h"

#include "net/marco.h"

namespace brumaria::red {

namespace {
constexpr QByteArrayView kMagia("BRUMARIA");
constexpr std::uint8_t kVersion = 1;
constexpr std::uint8_t kConsulta = 1;
constexpr std::uint8_t kRespuesta = 2;

bool Cabecera(LectorCampos& l, std::uint8_t clase) {
    return l.bytes(kMagia) && l.u8() == clase && l.u8() == kVersion && l.ok();
}
} // namespace

QByteArray CodificarConsulta(const ConsultaBusqueda& c) {
    EscritorCampos e;
    e.bytes(kMagia).u8(kConsulta).u8(kVersion).cadena(c.guidAplicacion).u32(c.marca);
    return e.datos();
}

QByteArray CodificarRespuesta(const RespuestaBusqueda& r) {
    EscritorCampos e;
    e.bytes(kMagia).u8(kRespuesta).u8(kVersion);
    e.u32(r.marca).cadena(r.guidInstancia).cadena(r.guidAplicacion);
    e.u32(r.maxJugadores).u32(r.jugadores).u16(r.puertoTcp).cadena(r.nombreSesion);
    return e.datos();
}

std::optional<ConsultaBusqueda> LeerConsulta(QByteArrayView datos) {
    if (datos.size() > kMaxDatagrama) return std::nullopt;
    LectorCampos l(datos);
    if (!Cabecera(l, kConsulta)) return std::nullopt;
    ConsultaBusqueda c;
    c.guidAplicacion = l.cadena();
    c.marca = l.u32();
    if (!l.ok() || !l.alFinal() || !blnGuidValido(c.guidAplicacion)) return std::nullopt;
    return c;
}

std::optional<RespuestaBusqueda> LeerRespuesta(QByteArrayView datos) {
    if (datos.size() > kMaxDatagrama) return std::nullopt;
    LectorCampos l(datos);
    if (!Cabecera(l, kRespuesta)) return std::nullopt;
    RespuestaBusqueda r;
    r.marca = l.u32();
    r.guidInstancia = l.cadena();
    r.guidAplicacion = l.cadena();
    r.maxJugadores = l.u32();
    r.jugadores = l.u32();
    r.puertoTcp = l.u16();
    r.nombreSesion = l.cadena();
    if (!l.ok() || !l.alFinal() || !blnGuidValido(r.guidInstancia) ||
        !blnGuidValido(r.guidAplicacion) || r.puertoTcp == 0 || r.maxJugadores == 0 ||
        r.maxJugadores > 64 || r.jugadores > r.maxJugadores)
        return std::nullopt;
    return r;
}

} // namespace brumaria::red
