#pragma once
// The match: turns, the player's shot, the opponent's shot and the player's
// honest answer, the end of a match.
#include "match/juego_limpio.h"

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>

namespace brumaria {

class ModPrincipal;
class ModOpciones;
class ModCuadrosDeTexto;
class VistaPartida;
class RedPartida;

// The four states of a running match, named by their status text.
enum class EstadoTurno {
    SinPartida,        // no match runs (before the first turn, after the end)
    JugadorAtaca,      // A: "Tu turno (tienes que atacar)"
    JugadorEspera,     // B: "Tu turno (esperas respuesta)"
    ContrincanteAtaca, // C: "Mi turno (pensando ataque...)" / "Su turno (tiene que atacar)"
    JugadorResponde,   // D: "... (tienes que responder)"
};

class Partida : public QObject {
    Q_OBJECT
public:
    Partida(ModPrincipal& principal, ModOpciones& opciones, ModCuadrosDeTexto& cuadros,
            VistaPartida& vista, QObject* parent = nullptr);

    // The network side; without it a network match sends nothing.
    void FijarRed(RedPartida* red) {
        red_ = red;
        limpio_.FijarRed(red);
    }
    // The commitment, the end-of-match reveal and its check.
    JuegoLimpio& juegoLimpio() { return limpio_; }
    // Called at the end of every match, by FinDePartida.
    std::function<void()> alTerminar;

    EstadoTurno Estado() const { return estado_; }
    // The flags other modules read, derived from the state.
    bool blnEnPartida() const { return estado_ != EstadoTurno::SinPartida; }
    bool blnTurnoJugadorAtaque() const { return estado_ == EstadoTurno::JugadorAtaca; }
    bool blnEsperandoRespuesta() const { return estado_ == EstadoTurno::JugadorResponde; }
    bool blnJugarEnRed() const { return blnJugarEnRed_; }

    // The set-up says how the next match is played, then hands out its
    // first turn (MostrarTurnoJugador 0 + TurnoJugador, or the opponent's).
    void FijarJugarEnRed(bool blnJugarEnRed) { blnJugarEnRed_ = blnJugarEnRed; }
    void Empezar(bool blnEmpiezaJugador);

    void MostrarTurnoJugador(int intEstado);
    void MostrarTurnoContrincante(int intEstado);
    void TurnoJugador();
    void TurnoJugador2(int intFila, int intColumna);
    void TurnoJugador3(int intResultado, int intFila, int intColumna);
    void TurnoOrdenador();
    void TurnoOrdenador2();
    void cmdAgua_Click();
    void cmdTocado_Click();
    void cmdHundido_Click();
    void AvisarTramposo();
    void TurnoOrdenador3();
    void FinDePartida();
    void ContabilizarBarcoHundido(int intFila, int intColumna, bool blnBarcoDeJugador);

    // The peer's attack and its answer to ours; anything out of turn, or
    // an answer to a square we did not shoot, is ignored.
    void RecibirAtaque(int intFila, int intColumna);
    void RecibirRespuesta(int intFila, int intColumna, int intResultado);

    // The solution window: over the network once the other's fleet is shown.
    void VerSolucion();

    // "¡Yo gano!" against the computer, "¡Él gana!" over the network.
    QString strGanaContrario() const;

    // The computer's pause before its chosen square is shown (single shot).
    QTimer tmrReloj;
    void tmrReloj_Timer();

private:
    ModPrincipal& principal_;
    ModOpciones& opciones_;
    ModCuadrosDeTexto& cuadros_;
    VistaPartida& vista_;
    RedPartida* red_ = nullptr;
    JuegoLimpio limpio_;
    EstadoTurno estado_ = EstadoTurno::SinPartida;
    bool blnJugarEnRed_ = false;
    int intFilaDisparo_ = -1; // our last shot over the network, named by its answer
    int intColumnaDisparo_ = -1;

    // 0 Agua, 1 Tocado, 2 Hundido: the answer button pressed.
    void Responder(int intRespuesta);
    bool blnEnRed() const;
    // 0 the match goes on, 1 the player won, 2 the opponent won.
    int intTerminarPartida() const;
    void SonidoResultado(int intResultado);
};

} // namespace brumaria
