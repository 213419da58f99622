#include "net/red_principal.h"

#include "core/modprincipal.h"
#include "match/partida.h"
#include "net/frm_conexion_dplay.h"
#include "net/moddplay.h"
#include "options/opciones.h"
#include "platform/mensajes.h"
#include "platform/pausa.h"
#include "ui/logs/cuadros_de_texto.h"

#include "options/frm_opciones.h"

#include <QApplication>
#include <QTimer>
#include <algorithm>

namespace brumaria {

RedPrincipal::RedPrincipal(ModPrincipal& principal, ModOpciones& opciones,
                           ModCuadrosDeTexto& cuadros, Partida& partida, ModDPlay& dplay,
                           VistaPartida& vista, VistaRed& vistaRed, QObject* parent)
    : QObject(parent), principal_(principal), opciones_(opciones), cuadros_(cuadros),
      partida_(partida), vista_(vista), vistaRed_(vistaRed), dplay_(dplay) {}

RedPrincipal::~RedPrincipal() {
    delete frmConexion_.data();
}

red::DirectPlay8Peer* RedPrincipal::peer() const {
    return dplay_.oDPP();
}

// ----------------------------------------------------------- connection

void RedPrincipal::IniciarDPlay() {
    dplay_.IniciarDPlay()->FijarTiempos(tiempos);
    nombres_.clear();
}

void RedPrincipal::TerminarConexion() {
    vista_.EscribirEstado(3, QString());
    vista_.MostrarMenu(MenuJuego::TerminarConexion, false);
    vista_.MostrarMenu(MenuJuego::Alertar, false);
    dplay_.CerrarDPlay();
    nombres_.clear();
    if (frmConexion_) {
        frmConexion_->GoUnload();
        frmConexion_ = nullptr;
    }
    dplay_.blnConectado = false;
    dplay_.blnEsHost = false;
}

// ------------------------------------------------------- network start

bool RedPrincipal::blnEsperar(const std::function<bool()>& condicion) {
    while (!condicion() && !principal_.blnCerrando)
        Pausa(5);
    return !principal_.blnCerrando;
}

bool RedPrincipal::blnSeguir() const {
    return !principal_.blnCerrando && dplay_.blnConectado && dplay_.lngNumJugadores >= 2 &&
           !(blnPartidaAbandonada && blnPartidaAbandonada());
}

bool RedPrincipal::blnIniciarRed() {
    Partida& p = partida_;
    p.blnQuienEmpiezaRecibido = false;
    p.blnBarcosContrincanteListos = false;
    p.blnCancelarEspera = false;
    cuadros_.EscribirEnHistorial(QString());
    cuadros_.EscribirEnHistorial(QStringLiteral("Partida multijugador"));

    // A host who stopped waiting keeps his session open: starting again
    // goes on waiting in it rather than opening a second one.
    const bool blnSesionAbierta =
        dplay_.blnConectado && dplay_.blnEsHost && peer() && peer()->blnEnSesion();
    if (blnSesionAbierta) {
        dplay_.ReiniciarProtocolo();
    } else {
        if (dplay_.blnConectado || peer()) TerminarConexion();
        IniciarDPlay();
        frmConexion_ = new FrmConexionDPlay(opciones_, cuadros_, principal_.blnCerrando,
                                            vistaRed_.VentanaRed());
        if (alAbrirDialogo) {
            QPointer<FrmConexionDPlay> f = frmConexion_;
            QTimer::singleShot(0, f, [this, f] {
                if (f) alAbrirDialogo(*f);
            });
        }
        bool blnEmpieza = p.blnEmpiezaJugador;
        const bool blnUnido = frmConexion_->StartConnectWizard(
            peer(), ModDPlay::sGuid, ModDPlay::lngUsuariosMax, blnEmpieza, this);
        dplay_.blnConectado = true; // whatever the outcome: TerminarConexion below clears it
        if (principal_.blnCerrando) {
            TerminarConexion(); // nothing may outlive the window
            return false;
        }
        if (!blnUnido) {
            TerminarConexion();
            cuadros_.EscribirEnHistorial(QStringLiteral("Partida multijugador cancelada"));
            p.FinDePartida();
            vista_.MostrarMenu(MenuJuego::Empezar, true);
            return false;
        }
        p.blnEmpiezaJugador = blnEmpieza;
        dplay_.strNombreUsuario = frmConexion_->UserName();
        dplay_.blnEsHost = frmConexion_->IsHost();
        if (dplay_.blnEsHost)
            vista_.EscribirEstado(3, QStringLiteral("Nombre de sesión: ") +
                                         frmConexion_->SessionName() + QStringLiteral(" (HOST)"));
    }
    vista_.MostrarMenu(MenuJuego::TerminarConexion, true);

    QApplication::setOverrideCursor(Qt::BusyCursor);
    if (dplay_.lngNumJugadores < 2) {
        cuadros_.EscribirEnHistorial(QStringLiteral("Esperando al contrincante..."));
        vistaRed_.MostrarCancelarEspera(true);
        vista_.MostrarMenu(MenuJuego::Empezar, false);
        vista_.MostrarMenu(MenuJuego::CancelarEspera, true);
        vista_.MostrarMenu(MenuJuego::TerminarConexion, false);
        vista_.MostrarMenu(MenuJuego::Opciones, false);
        // The connection may also end under the wait (closing, or the
        // transport gave up on the session).
        blnEsperar([&] {
            return dplay_.lngNumJugadores >= 2 || p.blnCancelarEspera || !dplay_.blnConectado;
        });
    }
    QApplication::restoreOverrideCursor();
    if (principal_.blnCerrando) return false;
    vistaRed_.MostrarCancelarEspera(false);
    vista_.MostrarMenu(MenuJuego::CancelarEspera, false);
    vista_.MostrarMenu(MenuJuego::Opciones, true);
    if (p.blnCancelarEspera || dplay_.lngNumJugadores < 2) {
        vista_.MostrarMenu(MenuJuego::TerminarConexion, dplay_.blnConectado);
        p.FinDePartida();
        // Back to the idle menus: a new match may start (in the same session).
        vista_.MostrarMenu(MenuJuego::Empezar, true);
        return false;
    }
    vista_.MostrarMenu(MenuJuego::Empezar, true);
    vista_.MostrarMenu(MenuJuego::TerminarConexion, true);
    vista_.MostrarMenu(MenuJuego::Alertar, true);

    if (dplay_.blnEsHost) {
        dplay_.EnviarMensaje(
            QStringLiteral("0;0;blnEmpiezaJugador:") +
            (p.blnEmpiezaJugador ? QStringLiteral("False") : QStringLiteral("True")));
        cuadros_.EscribirEnHistorial(p.blnEmpiezaJugador
                                         ? QStringLiteral("Tú empiezas")
                                         : QStringLiteral("Tu contrincante empieza"));
    }
    dplay_.EnviarMensaje(QStringLiteral("2;") + dplay_.strNombreUsuario +
                         QStringLiteral(" está colocando sus barcos"));
    return true;
}

bool RedPrincipal::blnEnviarFlotaYEsperar() {
    if (!blnSeguir()) return blnInicioFallido();
    dplay_.EnviarBarcos();
    dplay_.EnviarMensaje(QStringLiteral("0;0;BarcosListos:Sí"));
    dplay_.EnviarMensaje(QStringLiteral("2;") + dplay_.strNombreUsuario +
                         QStringLiteral(" ha terminado de colocar sus barcos"));
    blnEsperar([&] { return partida_.blnBarcosContrincanteListos || !blnSeguir(); });
    return partida_.blnBarcosContrincanteListos && blnSeguir() ? true : blnInicioFallido();
}

bool RedPrincipal::blnInicioFallido() {
    if (principal_.blnCerrando) return false;
    // The opponent left, the connection ended or the match was given up
    // while waiting: the set-up ends like a finished match.
    if (!(blnPartidaAbandonada && blnPartidaAbandonada())) partida_.FinDePartida();
    vista_.MostrarMenu(MenuJuego::Empezar, true);
    return false;
}

bool RedPrincipal::blnEsperarQuienEmpieza() {
    if (!dplay_.blnEsHost)
        blnEsperar([&] { return partida_.blnQuienEmpiezaRecibido || !blnSeguir(); });
    return (dplay_.blnEsHost || partida_.blnQuienEmpiezaRecibido) && blnSeguir()
               ? true
               : blnInicioFallido();
}

// --------------------------------------------------------------- events

void RedPrincipal::DirectPlay8Event_CreatePlayer(std::int32_t lPlayerID) {
    ++dplay_.lngNumJugadores;
    bool ok = false;
    const QString strNombre = peer() ? peer()->GetPeerInfo(lPlayerID, &ok) : QString();
    if (ok) {
        nombres_.insert(lPlayerID, strNombre);
        cuadros_.EscribirEnHistorial(QStringLiteral("Se ha agregado '") +
                                     strTextoSeguro(strNombre) + QStringLiteral("' a la partida"));
    }
    // Someone who joins a session whose host is not waiting can still be
    // alerted and chatted with.
    if (dplay_.lngNumJugadores >= 2 && !partida_.blnEnPartida)
        vista_.MostrarMenu(MenuJuego::Alertar, true);
    emit jugadoresCambiados(dplay_.lngNumJugadores);
}

void RedPrincipal::DirectPlay8Event_DestroyPlayer(std::int32_t lPlayerID, std::int32_t lReason) {
    (void)lReason;
    dplay_.lngNumJugadores = std::max(0, dplay_.lngNumJugadores - 1);
    if (dplay_.lngNumJugadores == 1) {
        bool ok = false;
        QString strNombre = peer() ? peer()->GetPeerInfo(lPlayerID, &ok) : QString();
        if (!ok) strNombre = nombres_.value(lPlayerID);
        vista_.MostrarMenu(MenuJuego::Alertar, false);
        MsgBox(QStringLiteral("'") + strTextoSeguro(strNombre) +
                   QStringLiteral("' se ha desconectado. Se terminará la partida."),
               QStringLiteral("Saliendo de la sesión"), Icono::Informacion);
    }
    nombres_.remove(lPlayerID);
    cuadros_.EscribirEnHistorial(QString());
    cuadros_.EscribirEnHistorial(QStringLiteral("El contrincante se ha desconectado."));
    if (partida_.blnEnPartida) partida_.FinDePartida();
    emit jugadoresCambiados(dplay_.lngNumJugadores);
}

void RedPrincipal::DirectPlay8Event_ConnectComplete(const red::DPNMSG_CONNECT_COMPLETE& dpnotify) {
    if (dpnotify.hResultCode != red::DPN_OK || !peer()) return; // the dialog told the player
    vista_.EscribirEstado(3, QStringLiteral("Nombre de sesión: ") +
                                 strTextoSeguro(peer()->GetApplicationDesc().SessionName));
}

void RedPrincipal::DirectPlay8Event_Receive(const red::DPNMSG_RECEIVE& dpnotify) {
    dplay_.DirectPlay8Event_Receive(dpnotify);
}

// ------------------------------------------------------ menus, buttons

void RedPrincipal::cmdChatEnviar_Click() {
    const QString texto = vistaRed_.TextoMensaje();
    if (dplay_.lngNumJugadores < 2) {
        MsgBox(
            QStringLiteral("No hay nadie a quien enviar.\n\nSi no estás en ninguna sesión puedes "
                           "empezar una nueva partida en red, para eso inicia una nueva partida "
                           "y activa 'Partida multijugador en red'."),
            QStringLiteral("Estás solo"), Icono::Exclamacion);
    } else {
        cuadros_.EscribirEnChat(QStringLiteral("<") + dplay_.strNombreUsuario +
                                QStringLiteral("> ") + strTextoSeguro(texto));
        dplay_.EnviarMensaje(QStringLiteral("1;") + texto);
    }
    vistaRed_.VaciarMensaje();
}

void RedPrincipal::mnuAlertarSonido_Click() {
    dplay_.EnviarMensaje(QStringLiteral("0;4;0"));
}

void RedPrincipal::mnuAlertarMsgBox_Click() {
    dplay_.EnviarMensaje(QStringLiteral("0;4;1;") + opciones_.Opciones.strAlertaMensajeMsgBox);
}

void RedPrincipal::mnuAlertarHistorial_Click() {
    dplay_.EnviarMensaje(QStringLiteral("0;4;2;") + opciones_.Opciones.strAlertaMensajeHistorial);
}

void RedPrincipal::AbrirOpciones(const QString& strEnfoque) {
    FrmOpciones dialogo(opciones_, vistaRed_.DestinoDeOpciones(), vistaRed_.VentanaRed());
    dialogo.Abrir(strEnfoque);
}

void RedPrincipal::mnuAlertarElegirSonido_Click() {
    AbrirOpciones(QStringLiteral("txtAlertaSonido"));
}

void RedPrincipal::mnuAlertarElegirMensajeMsgBox_Click() {
    AbrirOpciones(QStringLiteral("txtAlertaMensajeMsgBox"));
}

void RedPrincipal::mnuAlertarElegirMensajeHistorial_Click() {
    AbrirOpciones(QStringLiteral("txtAlertaMensajeHistorial"));
}

void RedPrincipal::mnuJuegoTerminarConexion_Click() {
    if (partida_.blnEnPartida) {
        MsgBox(QStringLiteral("Has cancelado la partida, has perdido."),
               QStringLiteral("Fin de partida"), Icono::Informacion);
        cuadros_.EscribirEnHistorial(QStringLiteral("Has perdido"));
        partida_.FinDePartida();
    }
    TerminarConexion();
    vista_.MostrarMenu(MenuJuego::Empezar, true);
}

void RedPrincipal::cmdCancelarEspera_Click() {
    partida_.blnCancelarEspera = true;
}

void RedPrincipal::AlCerrar() {
    partida_.blnCancelarEspera = true;
    if (!dplay_.blnConectado && !peer()) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    TerminarConexion();
    QApplication::restoreOverrideCursor();
}

} // namespace brumaria
