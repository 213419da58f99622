#pragma once
// The set-up of a match as a state machine, and the Game menu each state
// shows. Pure functions: PreparacionPartida is their one user, the test
// reads them as tables.
#include "match/red_partida.h"

namespace brumaria {

enum class EstadoPreparacion {
    Inactiva,                // no match, nothing being set up
    Eligiendo,               // the new-game dialog is open
    Conectando,              // the session dialog is open
    EsperandoContrincante,   // hosting, waiting for the other player to join
    Colocando,               // the player's fleet is being placed
    EsperandoFlotaContraria, // own fleet sent, waiting for the other's
    EsperandoQuienEmpieza,   // the joiner waits for the host's word on who starts
    EnPartida,               // the turn cycle runs
    Cerrando,                // the window is closing: final
};

enum class EventoPreparacion {
    Empezar,             // "&Empezar"
    ContraOrdenador,     // the new-game dialog accepted, no network
    Conectar,            // accepted over the network, with no session open
    SesionSinRival,      // a session is open, the other player is not there
    SesionConRival,      // a session is open with both players
    LlegaRival,          // the other player joined
    FlotaColocada,       // the player's fleet is complete
    FlotaContrariaLista, // the other's fleet is complete
    QuienEmpiezaSabido,  // the host's word on who starts has arrived
    Cancelar,            // a dialog or the wait cancelled, "&Terminar partida"
    RivalSeVa,           // the other player gave up or left
    ConexionTerminada,   // the connection ended
    FinDePartida,        // the match ended
    Cerrar,              // the window closes
};

// What an event leaves the set-up in. `blnEnRed`: the match is played over
// the network; `blnQuienEmpiezaSabido`: this side knows who starts (always
// on the host). An event that means nothing in a state leaves it unchanged.
EstadoPreparacion SiguienteEstado(EstadoPreparacion estado, EventoPreparacion evento,
                                  bool blnEnRed, bool blnQuienEmpiezaSabido);

// Shown / enabled state of the Game menu, the alert menu, the wait button
// ("Cancelar la espera del contrincante") and the busy pointer.
struct MenusJuego {
    bool blnEmpezar = true;
    bool blnTerminarPartida = false;
    bool blnCancelarEspera = false;
    bool blnVerLosBarcosDelContrincante = false;
    bool blnTerminarConexion = false;
    bool blnOpciones = true; // enabled
    bool blnAlertar = false; // enabled
    bool blnOcupado = false; // the busy pointer

    bool operator==(const MenusJuego&) const = default;
};

MenusJuego CalcularMenus(EstadoPreparacion preparacion, EstadoConexion conexion);

// A set-up is under way past its dialogs: the player may give it up.
constexpr bool blnPartidaPreparada(EstadoPreparacion e) {
    return e == EstadoPreparacion::Colocando || e == EstadoPreparacion::EsperandoFlotaContraria ||
           e == EstadoPreparacion::EsperandoQuienEmpieza || e == EstadoPreparacion::EnPartida;
}

const char* NombreEstado(EstadoPreparacion e);
const char* NombreEvento(EventoPreparacion e);
const char* NombreEstado(EstadoConexion e);

} // namespace brumaria
