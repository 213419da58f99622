#pragma once
// The match: turns, the player's shot, the opponent's shot and the player's
// honest answer, the end of a match.
#include <QObject>
#include <QTimer>
#include <cstdint>

namespace brumaria {

class ModPrincipal;
class ModOpciones;
class ModCuadrosDeTexto;
class VistaPartida;
class EmisorMensajes;

class Partida : public QObject {
    Q_OBJECT
public:
    Partida(ModPrincipal& principal, ModOpciones& opciones, ModCuadrosDeTexto& cuadros,
            VistaPartida& vista, QObject* parent = nullptr);

    // The network sender; nullptr (the default) outside a network match.
    void FijarEmisor(EmisorMensajes* emisor) { emisor_ = emisor; }

    // Match flags of the main window.
    bool blnEnPartida = false;
    bool blnTurnoJugadorAtaque = false;
    bool blnJugarEnRed = false;
    bool blnCancelarEspera = false;
    bool blnBarcosColocados = false;
    bool blnEmpiezaJugador = false;
    bool blnQuienEmpiezaRecibido = false;
    bool blnBarcosContrincanteListos = false;

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
    void VerBarcos();
    void ContabilizarBarcoHundido(int intFila, int intColumna, bool blnBarcoDeJugador);

    // The end of a new match against the computer, once its dialogs are done
    // and its opening history lines written: places the computer's fleet
    // (and the player's, unless he placed it himself), hides both uncovered
    // panels, redraws panels 0 and 3, hands out the first turn and marks the
    // match as running.
    void EmpezarContraOrdenador(bool blnEmpiezaJugador, bool blnFlotaColocada);

    // True between the opponent's shot being shown and the player's true
    // answer to it (the answer buttons are live).
    bool blnEsperandoRespuesta() const { return blnEsperandoRespuesta_; }

    // Network: true between the player's shot being sent and the peer's
    // answer to it; an answer that arrives at any other time is ignored.
    bool blnEsperandoResultado() const { return blnEsperandoResultado_; }

    // The computer's pause before its chosen square is shown (single shot).
    QTimer tmrReloj;
    void tmrReloj_Timer();

private:
    ModPrincipal& principal_;
    ModOpciones& opciones_;
    ModCuadrosDeTexto& cuadros_;
    VistaPartida& vista_;
    EmisorMensajes* emisor_ = nullptr;
    bool blnEsperandoRespuesta_ = false;
    bool blnEsperandoResultado_ = false;

    // 0 Agua, 1 Tocado, 2 Hundido: the answer button pressed.
    void Responder(int intRespuesta);
    void Enviar(const QString& strMensaje);
    void SonidoResultado(int intResultado);
};

} // namespace brumaria
