#pragma once
// What the match (turn cycle and set-up) needs of the network: the state of
// the connection and typed messages to the other player. The network side
// implements it; tests implement it with a recorder.
#include "core/modprincipal.h"

#include <QByteArray>
#include <QString>

namespace brumaria {

// The connection, owned by the network side. A session holds two players.
enum class EstadoConexion {
    SinConexion, // no transport
    Buscando,    // the session dialog is open: nothing hosted or joined yet
    Uniendo,     // a join is waiting for the host's answer
    Anfitrion,   // hosting, alone in the session
    Conectados,  // both players are in the session
    RivalIdo,    // the other player left; this side is alone until the connection ends
};

// Players in the session, the local one included (lngNumJugadores).
constexpr int intJugadores(EstadoConexion e) {
    switch (e) {
    case EstadoConexion::Anfitrion:
    case EstadoConexion::RivalIdo:
        return 1;
    case EstadoConexion::Conectados:
        return 2;
    default:
        return 0;
    }
}

// A session exists (hosted or joined), with or without the other player.
constexpr bool blnConectado(EstadoConexion e) {
    return e == EstadoConexion::Anfitrion || e == EstadoConexion::Conectados ||
           e == EstadoConexion::RivalIdo;
}

class RedPartida {
public:
    virtual ~RedPartida() = default;

    virtual EstadoConexion Estado() const = 0;
    bool blnConectado() const { return brumaria::blnConectado(Estado()); }
    // This side created the session.
    virtual bool blnEsHost() const = 0;
    // The local player's name in the session.
    virtual QString strNombreUsuario() const = 0;

    // A fresh transport for the session dialog (state Buscando).
    virtual void IniciarDPlay() = 0;
    // Ends the connection, whatever its state (state SinConexion).
    virtual void TerminarConexion() = 0;

    // Messages to the other player; nothing is sent without one.
    virtual void EnviarQuienEmpieza(bool blnEmpiezaElOtro) = 0;
    // The commitment to this side's placed fleet, then the word that it is
    // placed; the fleet itself stays here until the match is over.
    virtual void EnviarCompromiso(const QByteArray& huella) = 0;
    // At the end of a match: every ship square of `flota`, then the salt
    // that closes the commitment.
    virtual void EnviarRevelacion(const Panel& flota, const QByteArray& sal) = 0;
    virtual void EnviarAtaque(int intFila, int intColumna) = 0;
    virtual void EnviarRespuesta(int intFila, int intColumna, int intResultado) = 0;
    virtual void EnviarFinDePartida() = 0;
    // A line for the other player's history.
    virtual void EnviarHistorial(const QString& strTexto) = 0;
};

} // namespace brumaria
