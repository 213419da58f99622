#pragma once
// What the turn cycle needs from the main window. The window implements it;
// tests implement it with a recorder, so a whole match runs with no window.
#include <QString>

namespace brumaria {

enum class MenuJuego {
    Empezar,
    TerminarPartida,
    CancelarEspera,
    VerLosBarcosDelContrincante,
    TerminarConexion,
    Opciones, // enabled / disabled rather than shown / hidden
    Alertar,  // enabled / disabled
};

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

    // Row and column labels of the player's panel back to normal weight.
    virtual void QuitarNegritaEtiquetas() = 0;

    // Game menu items (MenuJuego::Opciones and ::Alertar are enabled/disabled).
    virtual void MostrarMenu(MenuJuego menu, bool blnVisible) = 0;

    // The solution window (the opponent's fleet), modal.
    virtual void MostrarSolucion() = 0;

    // Start playing a WAV file and return at once; never fails visibly.
    virtual void Sonido(const QString& strArchivo) = 0;
};

// The network side of the cycle; absent in a match against the computer.
class EmisorMensajes {
public:
    virtual ~EmisorMensajes() = default;
    // False when nothing was sent (no opponent).
    virtual bool EnviarMensaje(const QString& strMensaje) = 0;
};

} // namespace brumaria
