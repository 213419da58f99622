#pragma once
// The set-up of a match, from "&Empezar" to the first turn: the new-game
// dialog, the network start (session dialog, the wait for the other
// player, who starts), the fleets and the hand-out of the first turn. Its
// state (EstadoPreparacion) changes only here; the Game menu follows it.
//
// Every step runs as the state is entered, so a set-up never waits inside a
// call: the waits of the start sequence are states that the next event
// (the editor finishing, the other player arriving, his fleet, his word on
// who starts) leaves. Dialogs are the only nested event loops; after one,
// a step goes on only if the set-up is still where it was.
#include "core/modprincipal.h"
#include "match/maquina_preparacion.h"
#include "match/vista_partida.h"

#include <QByteArray>
#include <QObject>
#include <QStringList>
#include <array>
#include <optional>

namespace brumaria {

class ModOpciones;
class ModCuadrosDeTexto;
class Partida;
class VistaPreparacion;

class PreparacionPartida : public QObject {
    Q_OBJECT
public:
    PreparacionPartida(ModPrincipal& principal, ModOpciones& opciones, ModCuadrosDeTexto& cuadros,
                       Partida& partida, VistaPreparacion& vista, QObject* parent = nullptr);
    ~PreparacionPartida() override;

    // The network side (none: a network match ends as a cancelled session).
    void FijarRed(RedPartida* red) { red_ = red; }

    EstadoPreparacion Estado() const { return estado_; }
    // The menus the states call for, applied again (the window's start-up).
    void ActualizarMenus();

    // "&Empezar". Ignored while a set-up or a match runs.
    void EmpezarPartida();
    // "Cancelar la espera del contrincante", button and menu.
    void CancelarEspera();
    // "&Terminar partida", "&Ver los barcos del contrincante...", "&Terminar conexión".
    void mnuJuegoTerminarPartida_Click();
    void VerBarcos();
    void mnuJuegoTerminarConexion_Click();
    // The placement editor is done: the player's fleet is on his board.
    void BarcosColocados();
    // The window is closing: every set-up ends, the connection with it.
    void Cerrar();

    // From the network side: the other player's messages of the start
    // sequence, and a change of the connection's state.
    void RecibirQuienEmpieza(bool blnEmpiezaJugador);
    void RecibirCompromiso(const QByteArray& huella);
    void RecibirBarcosListos();
    void RecibirFinDePartida();
    // A line he sends for this side's history.
    void RecibirHistorial(const QString& strLinea);
    void ConexionCambiada();

private:
    // What the other player has said of the match he is setting up. It may
    // come before this side starts its own, and is kept until it is used or
    // the other gives that match up.
    struct DatosRival {
        std::optional<bool> blnEmpiezaJugador; // the host's word: true when this side starts
        bool blnAnunciado = false;             // its history line is written
        std::optional<QByteArray> compromiso;  // his fleet, kept secret behind it
        bool blnListos = false; // his commitment came, then his word
        // His history lines of that match, come before this side's block
        // for it was open ("... está colocando sus barcos").
        QStringList lineas;
    };
    // Lines held at most; each is one frame (16 KiB) long at most.
    static constexpr int kMaxLineasRival = 16;

    void Pasar(EventoPreparacion evento);
    void Entrar(EstadoPreparacion estado);
    bool blnQuienEmpiezaSabido() const;
    bool blnHost() const;
    EstadoConexion Conexion() const;

    void Elegir();
    void Conectar();
    void Colocar();
    void EnviarFlota();
    void Repartir();
    void AnunciarQuienEmpieza();
    bool blnRivalPorDelante() const;
    void EscribirLoDelRival();
    void SoltarLineasRival();
    void OlvidarRival();
    bool blnDarPorPerdida(); // the give-up box; false when the match ended meanwhile

    ModPrincipal& principal_;
    ModOpciones& opciones_;
    ModCuadrosDeTexto& cuadros_;
    Partida& partida_;
    VistaPreparacion& vista_;
    RedPartida* red_ = nullptr;

    EstadoPreparacion estado_ = EstadoPreparacion::Inactiva;
    unsigned intVez_ = 0;   // one more at every change of state
    int intEnCurso_ = 0;    // steps that wait in a dialog or a placement, still under way
    bool blnJugarEnRed_ = false;
    bool blnColocaJugador_ = false;
    bool blnEmpiezaJugador_ = false; // this match's first turn (computer, or host)
    // The host's choice for his session: made when he creates it, changed in
    // the new-game dialog of a later match, read only while he hosts one.
    QuienEmpieza quienSesion_ = QuienEmpieza::AlAzar;
    DatosRival rival_;
    EstadoConexion conexion_ = EstadoConexion::SinConexion;

    // Matches of this connection, to tell the other's word that he gave up
    // the match being set up from the late end of the one before: each side
    // ends each match it took part in with one FinDePartida.
    int intPareja_ = 0;      // the match this side sets up or plays
    int intFinesRival_ = 0;  // FinDePartida received
};

} // namespace brumaria
