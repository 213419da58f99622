#pragma once
// What the turn cycle and the set-up of a match need from the main window.
// The window implements both; tests implement them with recorders, so a
// whole match and every set-up path run with no window.
#include "match/maquina_preparacion.h"

#include <QString>
#include <optional>

namespace brumaria {

class VistaPartida {
public:
    virtual ~VistaPartida() = default;

    // Status bar panels 1..3.
    virtual void EscribirEstado(int intPanel, const QString& texto) = 0;
    virtual QString LeerEstado(int intPanel) const = 0;

    // cmdAgua, cmdTocado, cmdHundido.
    virtual void HabilitarRespuestas(bool blnHabilitar) = 0;

    // Typed attack (txtColumna, txtFila, cmdAtacar): both boxes emptied;
    // boxes and button enabled or disabled; the button is never left as
    // the default; when enabling, the focus goes to txtColumna.
    virtual void EntradaTeclado(bool blnHabilitar) = 0;
    virtual void EnfocarColumna() = 0;
    virtual void VaciarCajasAtaque() = 0;

    // shpCeldaMarcada of the player's panel: the attack indicator (transparent,
    // border lngColorIndicadorAtaque) or, once answered, the opaque marker
    // with border lngColorMarcadoresExterior.
    virtual void MarcarAtaque(int intFila, int intColumna, bool blnRespondido) = 0;

    // Hide both aiming lines (linDisparo) over the opponent's panel.
    virtual void OcultarDisparo() = 0;

    // Redraw panel 0 or 3.
    virtual void MostrarPanel(int intPanel) = 0;

    // Add one to the sunk counter of that side and length (1..4).
    virtual void ContarHundido(bool blnBarcoDeJugador, int intLongitud) = 0;

    // Row and column labels of both panels back to normal weight.
    virtual void QuitarNegritaEtiquetas() = 0;

    // The solution window (the opponent's fleet), modal.
    virtual void MostrarSolucion() = 0;

    // Start playing a WAV file and return at once; never fails visibly.
    virtual void Sonido(const QString& strArchivo) = 0;
};

// Who starts a match, as the player chose it ("Jugador" / "Tú",
// "Ordenador" / "Tu rival", "Al azar"). "Al azar" is drawn for each match.
enum class QuienEmpieza { AlAzar, Jugador, Contrincante };

// The choices of the new-game dialog.
struct EleccionPartida {
    QuienEmpieza quienEmpieza = QuienEmpieza::AlAzar;
    bool blnColocaJugador = false;
    bool blnJugarEnRed = false;
};

// How the session dialog ended. The host's choice of who starts comes with
// a session it created: it holds for every match of the session.
struct ResultadoConexion {
    bool blnConectado = false;
    std::optional<QuienEmpieza> quienEmpieza;
    QString strNombreSesion;
};

class VistaPreparacion : public VistaPartida {
public:
    // The new-game dialog, modal; false when cancelled (nothing is written).
    // `quienEnRed`: a host whose session is open; the dialog shows his
    // session's choice of who starts and keeps it open to change with
    // "Partida multijugador en red" ticked, as no session dialog follows.
    virtual bool blnEmpezarPartida(EleccionPartida& eleccion,
                                   std::optional<QuienEmpieza> quienEnRed) = 0;

    // The session dialog, modal.
    virtual ResultadoConexion AbrirConexion() = 0;

    // Both panels cleared, the sunk counters back to "0" in normal type.
    virtual void PrepararTableros() = 0;

    // The placement editor, shown without blocking; it reports the placed
    // fleet through PreparacionPartida::BarcosColocados.
    virtual void AbrirColocarBarcos() = 0;
    // Closes it without placing anything (the set-up was given up).
    virtual void CerrarColocarBarcos() = 0;

    virtual void AplicarMenus(const MenusJuego& menus) = 0;
};

} // namespace brumaria
