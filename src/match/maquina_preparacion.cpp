#include "match/maquina_preparacion.h"

#include <array>

namespace brumaria {

namespace {

using E = EstadoPreparacion;
using V = EventoPreparacion;

struct Transicion {
    E desde;
    V evento;
    E hacia;
};

// Every move the set-up makes, but the two that depend on the match
// (a placed fleet, the other's fleet ready) and the close, which every
// state takes. Anything not listed changes nothing.
constexpr std::array kTabla{
    Transicion{E::Inactiva, V::Empezar, E::Eligiendo},

    Transicion{E::Eligiendo, V::ContraOrdenador, E::Colocando},
    Transicion{E::Eligiendo, V::Conectar, E::Conectando},
    Transicion{E::Eligiendo, V::SesionSinRival, E::EsperandoContrincante},
    Transicion{E::Eligiendo, V::SesionConRival, E::Colocando},
    Transicion{E::Eligiendo, V::Cancelar, E::Inactiva},

    Transicion{E::Conectando, V::SesionSinRival, E::EsperandoContrincante},
    Transicion{E::Conectando, V::SesionConRival, E::Colocando},
    Transicion{E::Conectando, V::Cancelar, E::Inactiva},

    Transicion{E::EsperandoContrincante, V::LlegaRival, E::Colocando},
    Transicion{E::EsperandoContrincante, V::Cancelar, E::Inactiva},
    Transicion{E::EsperandoContrincante, V::ConexionTerminada, E::Inactiva},
    Transicion{E::EsperandoContrincante, V::FinDePartida, E::Inactiva},

    Transicion{E::Colocando, V::Cancelar, E::Inactiva},
    Transicion{E::Colocando, V::FinDePartida, E::Inactiva},

    Transicion{E::EsperandoFlotaContraria, V::Cancelar, E::Inactiva},
    Transicion{E::EsperandoFlotaContraria, V::RivalSeVa, E::Inactiva},
    Transicion{E::EsperandoFlotaContraria, V::ConexionTerminada, E::Inactiva},
    Transicion{E::EsperandoFlotaContraria, V::FinDePartida, E::Inactiva},

    Transicion{E::EsperandoQuienEmpieza, V::QuienEmpiezaSabido, E::EnPartida},
    Transicion{E::EsperandoQuienEmpieza, V::Cancelar, E::Inactiva},
    Transicion{E::EsperandoQuienEmpieza, V::RivalSeVa, E::Inactiva},
    Transicion{E::EsperandoQuienEmpieza, V::ConexionTerminada, E::Inactiva},
    Transicion{E::EsperandoQuienEmpieza, V::FinDePartida, E::Inactiva},

    Transicion{E::EnPartida, V::FinDePartida, E::Inactiva},
};

} // namespace

EstadoPreparacion SiguienteEstado(EstadoPreparacion estado, EventoPreparacion evento,
                                  bool blnEnRed, bool blnQuienEmpiezaSabido) {
    if (estado == E::Cerrando || evento == V::Cerrar) return E::Cerrando;
    // The other player and the connection only matter to a network match:
    // a connection left over from before does not steer a match against
    // the computer.
    const bool blnDeLaRed = evento == V::RivalSeVa || evento == V::ConexionTerminada;
    if (blnDeLaRed && blnEnRed && (estado == E::Colocando || estado == E::EnPartida))
        return E::Inactiva;
    if (estado == E::Colocando && evento == V::FlotaColocada)
        return blnEnRed ? E::EsperandoFlotaContraria : E::EnPartida;
    if (estado == E::EsperandoFlotaContraria && evento == V::FlotaContrariaLista)
        return blnQuienEmpiezaSabido ? E::EnPartida : E::EsperandoQuienEmpieza;
    for (const Transicion& t : kTabla)
        if (t.desde == estado && t.evento == evento) return t.hacia;
    return estado;
}

MenusJuego CalcularMenus(EstadoPreparacion p, EstadoConexion c) {
    MenusJuego m;
    const bool blnEsperando = p == E::EsperandoContrincante;
    m.blnEmpezar = p == E::Inactiva;
    m.blnTerminarPartida = blnPartidaPreparada(p);
    m.blnCancelarEspera = blnEsperando;
    m.blnVerLosBarcosDelContrincante = blnPartidaPreparada(p);
    m.blnTerminarConexion = blnConectado(c) && !blnEsperando && p != E::Conectando;
    m.blnOpciones = !blnEsperando;
    m.blnAlertar = c == EstadoConexion::Conectados;
    m.blnOcupado = blnEsperando;
    return m;
}

const char* NombreEstado(EstadoPreparacion e) {
    switch (e) {
    case E::Inactiva:
        return "Inactiva";
    case E::Eligiendo:
        return "Eligiendo";
    case E::Conectando:
        return "Conectando";
    case E::EsperandoContrincante:
        return "EsperandoContrincante";
    case E::Colocando:
        return "Colocando";
    case E::EsperandoFlotaContraria:
        return "EsperandoFlotaContraria";
    case E::EsperandoQuienEmpieza:
        return "EsperandoQuienEmpieza";
    case E::EnPartida:
        return "EnPartida";
    case E::Cerrando:
        return "Cerrando";
    }
    return "?";
}

const char* NombreEvento(EventoPreparacion e) {
    switch (e) {
    case V::Empezar:
        return "Empezar";
    case V::ContraOrdenador:
        return "ContraOrdenador";
    case V::Conectar:
        return "Conectar";
    case V::SesionSinRival:
        return "SesionSinRival";
    case V::SesionConRival:
        return "SesionConRival";
    case V::LlegaRival:
        return "LlegaRival";
    case V::FlotaColocada:
        return "FlotaColocada";
    case V::FlotaContrariaLista:
        return "FlotaContrariaLista";
    case V::QuienEmpiezaSabido:
        return "QuienEmpiezaSabido";
    case V::Cancelar:
        return "Cancelar";
    case V::RivalSeVa:
        return "RivalSeVa";
    case V::ConexionTerminada:
        return "ConexionTerminada";
    case V::FinDePartida:
        return "FinDePartida";
    case V::Cerrar:
        return "Cerrar";
    }
    return "?";
}

const char* NombreEstado(EstadoConexion e) {
    switch (e) {
    case EstadoConexion::SinConexion:
        return "SinConexion";
    case EstadoConexion::Buscando:
        return "Buscando";
    case EstadoConexion::Uniendo:
        return "Uniendo";
    case EstadoConexion::Anfitrion:
        return "Anfitrion";
    case EstadoConexion::Conectados:
        return "Conectados";
    case EstadoConexion::RivalIdo:
        return "RivalIdo";
    }
    return "?";
}

} // namespace brumaria
