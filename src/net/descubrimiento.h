#pragma once
// The search datagrams: a query naming the application, and a host's answer
// describing its session. Parsed defensively: any datagram may be hostile.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <optional>

namespace brumaria::red {

// Where hosts of the TCP provider listen for search queries on every
// interface (UDP).
inline constexpr std::uint16_t kPuertoDescubrimiento = 47810;
// A datagram beyond this is not ours.
inline constexpr qsizetype kMaxDatagrama = 2048;

struct ConsultaBusqueda {
    QString guidAplicacion;
    std::uint32_t marca = 0; // the searcher's clock in ms, echoed for the latency
};

struct RespuestaBusqueda {
    std::uint32_t marca = 0; // echoed from the query
    QString guidInstancia;
    QString guidAplicacion;
    std::uint32_t maxJugadores = 0;
    std::uint32_t jugadores = 0;
    std::uint16_t puertoTcp = 0;
    QString nombreSesion;
};

QByteArray CodificarConsulta(const ConsultaBusqueda& c);
QByteArray CodificarRespuesta(const RespuestaBusqueda& r);

// nullopt for anything that is not a well-formed datagram of that kind
// (wrong magic or version, a short or overlong field, bad GUIDs, junk after
// the last field, a port of 0, more players than the maximum).
std::optional<ConsultaBusqueda> LeerConsulta(QByteArrayView datos);
std::optional<RespuestaBusqueda> LeerRespuesta(QByteArrayView datos);

} // namespace brumaria::red
