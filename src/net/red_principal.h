#pragma once
// The main window's network side: the connection (start and end), the
// network start of a match, arrivals and departures, chat and alerts. The
// window owns one and calls it from its menus, buttons and new-game
// sequence; the transport's events reach it through the hidden session
// dialog.
#include "match/vista_partida.h"
#include "net/dplay.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <functional>

class QWidget;

namespace brumaria {

class ModPrincipal;
class ModOpciones;
class ModCuadrosDeTexto;
class Partida;
class DestinoOpciones;
class FrmConexionDPlay;

// What the network side needs of the main window beyond the turn cycle's view.
class VistaRed {
public:
    virtual ~VistaRed() = default;
    // Parent of the session and options dialogs.
    virtual QWidget* VentanaRed() = 0;
    // cmdCancelarEspera ("Cancelar la espera del contrincante").
    virtual void MostrarCancelarEspera(bool blnVisible) = 0;
    // txtMensaje: its text; emptied and focused after a send.
    virtual QString TextoMensaje() const = 0;
    virtual void VaciarMensaje() = 0;
    // What the options dialog applies to (may be null).
    virtual DestinoOpciones* DestinoDeOpciones() = 0;
};

class ModDPlay;

class RedPrincipal : public QObject, public red::DirectPlay8Event {
    Q_OBJECT
public:
    RedPrincipal(ModPrincipal& principal, ModOpciones& opciones, ModCuadrosDeTexto& cuadros,
                 Partida& partida, ModDPlay& dplay, VistaPartida& vista, VistaRed& vistaRed,
                 QObject* parent = nullptr);
    ~RedPrincipal() override;

    // Creates the transport (a fresh peer with `tiempos`).
    void IniciarDPlay();
    // Ends the connection; safe to call at any time, also when none exists.
    void TerminarConexion();

    // The network start of a new match, run after its opening history
    // lines: the session dialog, the wait for the opponent and who starts.
    // False when the set-up ends here (dialog or wait cancelled, closing).
    bool blnIniciarRed();
    // After the player's fleet is placed: sends it and waits for the
    // opponent's. False when the match cannot go on (closing, the opponent
    // left, the connection or the match ended meanwhile).
    bool blnEnviarFlotaYEsperar();
    // The joining side waits for the host's word on who starts (the host
    // returns at once). False as above.
    bool blnEsperarQuienEmpieza();
    // Extra end of the start sequence's waits (the window: the match was
    // given up meanwhile).
    std::function<bool()> blnPartidaAbandonada;

    // Menus and buttons.
    void cmdChatEnviar_Click();
    void mnuAlertarSonido_Click();
    void mnuAlertarMsgBox_Click();
    void mnuAlertarHistorial_Click();
    void mnuAlertarElegirSonido_Click();
    void mnuAlertarElegirMensajeMsgBox_Click();
    void mnuAlertarElegirMensajeHistorial_Click();
    void mnuJuegoTerminarConexion_Click();
    void cmdCancelarEspera_Click();
    // The main window is closing.
    void AlCerrar();

    // red::DirectPlay8Event (forwarded by the session dialog).
    void DirectPlay8Event_CreatePlayer(std::int32_t lPlayerID) override;
    void DirectPlay8Event_DestroyPlayer(std::int32_t lPlayerID, std::int32_t lReason) override;
    void DirectPlay8Event_Receive(const red::DPNMSG_RECEIVE& dpnotify) override;
    void DirectPlay8Event_ConnectComplete(const red::DPNMSG_CONNECT_COMPLETE& dpnotify) override;

    // The transport and the dialog while they exist.
    red::DirectPlay8Peer* peer() const;
    FrmConexionDPlay* frmConexionDPlay() const { return frmConexion_; }
    // Transport timings for new peers (tests shorten them).
    red::DirectPlay8Peer::Tiempos tiempos;
    // Runs inside the session dialog once it is shown (tests and the
    // scripted driver fill it in); empty in the game.
    std::function<void(FrmConexionDPlay&)> alAbrirDialogo;

signals:
    // The opponent arrived (count 2) or left.
    void jugadoresCambiados(int lngNumJugadores);

private:
    bool blnEsperar(const std::function<bool()>& condicion);
    bool blnSeguir() const;
    bool blnInicioFallido();
    void AbrirOpciones(const QString& strEnfoque);

    ModPrincipal& principal_;
    ModOpciones& opciones_;
    ModCuadrosDeTexto& cuadros_;
    Partida& partida_;
    VistaPartida& vista_;
    VistaRed& vistaRed_;
    ModDPlay& dplay_;
    QPointer<FrmConexionDPlay> frmConexion_;
    QHash<std::int32_t, QString> nombres_; // players by id, kept past their departure
};

} // namespace brumaria
