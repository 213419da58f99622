#include "net/moddplay.h"

#include "match/partida.h"
#include "match/preparacion_partida.h"
#include "match/vista_partida.h"
#include "options/opciones.h"
#include "platform/mensajes.h"
#include "platform/solo_local.h"
#include "logs/cuadros_de_texto.h"
#include "net/busqueda.h"

#include <QNetworkInterface>

namespace brumaria {

namespace {

template <class... F> struct Sobrecarga : F... {
    using F::operator()...;
};
template <class... F> Sobrecarga(F...) -> Sobrecarga<F...>;

} // namespace

ModDPlay::ModDPlay(Partida& partida, PreparacionPartida& preparacion, ModOpciones& opciones,
                   ModCuadrosDeTexto& cuadros, VistaPartida& vista, QObject* parent)
    : QObject(parent), partida_(partida), preparacion_(preparacion), opciones_(opciones),
      cuadros_(cuadros), vista_(vista) {
    // The router's answer is for the waiting host to read out to his friend.
    connect(&mapeo_, &red::MapeoPuertos::cambiado, this, [this] {
        if (mapeo_.estado() == red::MapeoPuertos::Estado::Abierto ||
            mapeo_.estado() == red::MapeoPuertos::Estado::Rechazado)
            cuadros_.EscribirAviso(mapeo_.strTextoParaElAnfitrion(), mapeo_.strTextoBreve());
    });
}

ModDPlay::~ModDPlay() {
    dialogo_ = nullptr;
    if (oDPP_) {
        oDPP_->UnRegisterMessageHandler();
        oDPP_->Close();
    }
}

bool ModDPlay::blnEsHost() const {
    if (salida_) return blnHostSustituto_;
    return oDPP_ && oDPP_->blnEsHost();
}

// The one place the connection changes state; the set-up hears of it.
void ModDPlay::Pasar(EstadoConexion nuevo) {
    if (nuevo == estado_) return;
    estado_ = nuevo;
    preparacion_.ConexionCambiada();
    emit estadoCambiado();
}

void ModDPlay::SustituirTransporte(std::function<bool(const QString&)> salida, bool blnHost) {
    salida_ = std::move(salida);
    blnHostSustituto_ = blnHost;
    Pasar(salida_ ? EstadoConexion::Conectados : EstadoConexion::SinConexion);
}

// ----------------------------------------------------------- connection

void ModDPlay::IniciarDPlay() {
    TerminarConexion();
    oDPP_ = std::make_unique<red::DirectPlay8Peer>();
    oDPP_->FijarTiempos(tiempos);
    oDPP_->RegisterMessageHandler(this);
    Pasar(EstadoConexion::Buscando);
}

void ModDPlay::TerminarConexion() {
    vista_.EscribirEstado(3, QString());
    mapeo_.Cerrar();
    if (oDPP_) {
        oDPP_->UnRegisterMessageHandler();
        oDPP_->Close();
        // Deleting it from inside one of its own events is not safe.
        if (oDPP_->blnEntregandoEvento())
            oDPP_.release()->deleteLater();
        else
            oDPP_.reset();
    }
    salida_ = nullptr;
    strNombreUsuario_.clear();
    nombres_.clear();
    Pasar(EstadoConexion::SinConexion);
}

std::int32_t ModDPlay::HospedarSesion(const QString& strNombreUsuario,
                                      const QString& strNombreSesion,
                                      const QString& strGuidProveedor) {
    if (!oDPP_ || estado_ != EstadoConexion::Buscando) return red::DPNERR_ALREADYINITIALIZED;
    oDPP_->SetPeerInfo(strNombreUsuario);
    red::DPN_APPLICATION_DESC desc;
    desc.SessionName = strNombreSesion;
    desc.guidApplication = sGuid;
    desc.lMaxPlayers = lngUsuariosMax;
    const std::int32_t r = oDPP_->Host(desc, strGuidProveedor);
    if (r != red::DPN_OK) return r;
    strNombreUsuario_ = strNombreUsuario;
    // Over TCP/IP a friend on the internet needs the port open on the
    // router; on this computer alone there is nothing to open.
    if (strGuidProveedor.compare(red::kGuidProveedorTcp, Qt::CaseInsensitive) == 0) {
        if (!blnSoloLocal() || !strUrlRouter.isEmpty())
            mapeo_.Abrir(oDPP_->PuertoTcp(), strUrlRouter);
        // IPv6 needs no router mapping: the host's own global address is
        // what his friend types.
        const QString v6 =
            blnSoloLocal() ? QString()
                           : red::TextoIPv6ParaCompartir(QNetworkInterface::allAddresses(),
                                                         oDPP_->PuertoTcp());
        // History only: the session's name goes to the status bar right after
        // and would take a notice off it at once; the router's answer comes later.
        if (!v6.isEmpty())
            cuadros_.EscribirEnHistorial(
                QStringLiteral("Tu dirección IPv6 para jugar por Internet: ") + v6);
    }
    Pasar(EstadoConexion::Anfitrion);
    return r;
}

std::int32_t ModDPlay::UnirseASesion(const QString& strNombreUsuario,
                                     const red::DPN_APPLICATION_DESC& desc,
                                     const QString& strUrlHost, const QString& strUrlDispositivo) {
    if (!oDPP_ || estado_ != EstadoConexion::Buscando) return 0;
    oDPP_->SetPeerInfo(strNombreUsuario);
    strNombreUsuario_ = strNombreUsuario;
    Pasar(EstadoConexion::Uniendo);
    return oDPP_->Connect(desc, strUrlHost, strUrlDispositivo);
}

QString ModDPlay::strNombreDe(std::int32_t lPlayerID) const {
    bool ok = false;
    QString strNombre = oDPP_ ? oDPP_->GetPeerInfo(lPlayerID, &ok) : QString();
    if (!ok) strNombre = nombres_.value(lPlayerID);
    return protocolo::strTextoSeguro(strNombre);
}

// ------------------------------------------------------------ events

void ModDPlay::DirectPlay8Event_CreatePlayer(std::int32_t lPlayerID) {
    bool ok = false;
    const QString strNombre = oDPP_ ? oDPP_->GetPeerInfo(lPlayerID, &ok) : QString();
    if (ok) {
        nombres_.insert(lPlayerID, strNombre);
        cuadros_.EscribirEnHistorial(QStringLiteral("Se ha agregado '") +
                                     protocolo::strTextoSeguro(strNombre) +
                                     QStringLiteral("' a la partida"));
    }
    // The event also comes for the local player: only the other one makes
    // two. A joiner is in once the join completes (ConnectComplete).
    if (oDPP_ && lPlayerID != oDPP_->IdJugadorLocal() &&
        (estado_ == EstadoConexion::Anfitrion || estado_ == EstadoConexion::RivalIdo))
        Pasar(EstadoConexion::Conectados);
}

void ModDPlay::DirectPlay8Event_DestroyPlayer(std::int32_t lPlayerID, std::int32_t lReason) {
    (void)lReason;
    const bool blnEraElOtro = estado_ == EstadoConexion::Conectados && oDPP_ &&
                              lPlayerID != oDPP_->IdJugadorLocal();
    if (blnEraElOtro) {
        MsgBox(QStringLiteral("'") + strNombreDe(lPlayerID) +
                   QStringLiteral("' se ha desconectado. Se terminará la partida."),
               QStringLiteral("Saliendo de la sesión"), Icono::Informacion);
    }
    nombres_.remove(lPlayerID);
    cuadros_.EscribirEnHistorial(QString());
    cuadros_.EscribirEnHistorial(QStringLiteral("El contrincante se ha desconectado."));
    // The match ends once the player has read why.
    if (blnEraElOtro && estado_ == EstadoConexion::Conectados) Pasar(EstadoConexion::RivalIdo);
}

void ModDPlay::DirectPlay8Event_ConnectComplete(const red::DPNMSG_CONNECT_COMPLETE& dpnotify) {
    if (estado_ != EstadoConexion::Uniendo) return;
    // The dialog first: its "Te has unido a la sesión." comes before
    // anything the host says.
    if (dialogo_) dialogo_->DirectPlay8Event_ConnectComplete(dpnotify);
    if (dpnotify.hResultCode != red::DPN_OK || !oDPP_ || !oDPP_->blnEnSesion()) {
        Pasar(EstadoConexion::Buscando); // not joined: the dialog may try again
        return;
    }
    vista_.EscribirEstado(3, QStringLiteral("Nombre de sesión: ") +
                                 protocolo::strTextoSeguro(oDPP_->GetApplicationDesc().SessionName));
    Pasar(EstadoConexion::Conectados);
}

void ModDPlay::DirectPlay8Event_EnumHostsResponse(const red::DPNMSG_ENUM_HOSTS_RESPONSE& r) {
    if (dialogo_) dialogo_->DirectPlay8Event_EnumHostsResponse(r);
}

void ModDPlay::DirectPlay8Event_AsyncOpComplete(const red::DPNMSG_ASYNC_OP_COMPLETE& r) {
    if (dialogo_) dialogo_->DirectPlay8Event_AsyncOpComplete(r);
}

void ModDPlay::DirectPlay8Event_Receive(const red::DPNMSG_RECEIVE& dpnotify) {
    bool ok = false;
    QString strNombre;
    if (oDPP_) strNombre = oDPP_->GetPeerInfo(dpnotify.idSender, &ok);
    // A player who left at once after sending is named as he was then.
    if (!ok) strNombre = dpnotify.strNombreRemitente;
    RecibirMensaje(dpnotify.strDatos, strNombre);
}

// ------------------------------------------------------------ messages

bool ModDPlay::EnviarMensaje(const protocolo::Mensaje& mensaje) {
    if (estado_ != EstadoConexion::Conectados) return false;
    const QString texto = protocolo::Escribir(mensaje);
    if (alEnviar) alEnviar(texto);
    if (salida_) return salida_(texto);
    return oDPP_ && oDPP_->SendTo(red::DPNID_ALL_PLAYERS_GROUP, texto);
}

void ModDPlay::EnviarQuienEmpieza(bool blnEmpiezaElOtro) {
    EnviarMensaje(protocolo::QuienEmpieza{blnEmpiezaElOtro});
}

void ModDPlay::EnviarCompromiso(const QByteArray& huella) {
    EnviarMensaje(protocolo::Compromiso{huella});
    EnviarMensaje(protocolo::BarcosListos{});
}

void ModDPlay::EnviarRevelacion(const Panel& flota, const QByteArray& sal) {
    for (int f = 0; f < kLado; ++f)
        for (int c = 0; c < kLado; ++c)
            if (flota[f][c] == CASILLA_BARCO) EnviarMensaje(protocolo::CasillaFlota{f, c});
    EnviarMensaje(protocolo::SalFlota{sal});
}

void ModDPlay::EnviarAtaque(int intFila, int intColumna) {
    EnviarMensaje(protocolo::Ataque{intFila, intColumna});
}

void ModDPlay::EnviarRespuesta(int intFila, int intColumna, int intResultado) {
    EnviarMensaje(protocolo::RespuestaAtaque{intFila, intColumna, intResultado});
}

void ModDPlay::EnviarFinDePartida() {
    EnviarMensaje(protocolo::FinDePartida{});
}

void ModDPlay::EnviarHistorial(const QString& strTexto) {
    EnviarMensaje(protocolo::Historial{strTexto});
}

bool ModDPlay::EnviarChat(const QString& strTexto) {
    if (lngNumJugadores() < 2) {
        MsgBox(
            QStringLiteral("No hay nadie a quien enviar.\n\nSi no estás en ninguna sesión puedes "
                           "empezar una nueva partida en red, para eso inicia una nueva partida "
                           "y activa 'Partida multijugador en red'."),
            QStringLiteral("Estás solo"), Icono::Exclamacion);
        return true;
    }
    // One line is one frame; a longer one would never arrive, so it is not
    // shown as said either.
    const protocolo::Chat chat{strTexto};
    if (!protocolo::blnCabeEnUnMarco(chat)) {
        MsgBox(QStringLiteral("El mensaje es demasiado largo y no se ha enviado. "
                              "Divídelo en varios mensajes más cortos."),
               QStringLiteral("Error"), Icono::Critico);
        return false;
    }
    // The pane shows only what went out; a link that fails here is reported
    // gone right after.
    if (EnviarMensaje(chat))
        cuadros_.EscribirEnChat(QStringLiteral("<") + protocolo::strTextoSeguro(strNombreUsuario_) +
                                QStringLiteral("> ") + protocolo::strTextoSeguro(strTexto));
    return true;
}

void ModDPlay::EnviarAlerta(int intTipo) {
    const RegistroOpciones& o = opciones_.Opciones;
    switch (intTipo) {
    case 0:
        EnviarMensaje(protocolo::Alerta{0, {}});
        break;
    case 1:
        EnviarMensaje(protocolo::Alerta{1, o.strAlertaMensajeMsgBox});
        break;
    case 2:
        EnviarMensaje(protocolo::Alerta{2, o.strAlertaMensajeHistorial});
        break;
    default:
        break;
    }
}

void ModDPlay::RecibirMensaje(const QString& strTexto, const QString& strNombre) {
    ProcesarMensaje(protocolo::Leer(strTexto), strNombre);
}

void ModDPlay::ProcesarMensaje(const protocolo::Mensaje& mensaje, const QString& strNombre) {
    using namespace protocolo;
    std::visit(Sobrecarga{
                   [](std::monostate) {},
                   [&](const protocolo::QuienEmpieza& m) {
                       preparacion_.RecibirQuienEmpieza(m.blnEmpiezaJugador);
                   },
                   [&](const Compromiso& m) { preparacion_.RecibirCompromiso(m.huella); },
                   [&](const CasillaFlota& m) {
                       partida_.juegoLimpio().RecibirCasilla(m.intFila, m.intColumna);
                   },
                   [&](const SalFlota& m) { partida_.juegoLimpio().RecibirSal(m.sal); },
                   [&](const BarcosListos&) { preparacion_.RecibirBarcosListos(); },
                   [&](const FinDePartida&) { preparacion_.RecibirFinDePartida(); },
                   [&](const Ataque& m) { partida_.RecibirAtaque(m.intFila, m.intColumna); },
                   [&](const RespuestaAtaque& m) {
                       partida_.RecibirRespuesta(m.intFila, m.intColumna, m.intResultado);
                   },
                   [&](const Alerta& m) { RecibirAlerta(m); },
                   [&](const AlertaRechazada& m) {
                       static const char* const kQue[] = {"con sonido", "con cuadro de texto",
                                                          "en el historial"};
                       cuadros_.EscribirEnHistorial(
                           strTextoSeguro(strNombre) +
                           QStringLiteral(" no tiene activadas las alertas ") +
                           QString::fromUtf8(kQue[m.intTipo]));
                   },
                   [&](const Chat& m) {
                       cuadros_.EscribirEnChat(QStringLiteral("<") + strTextoSeguro(strNombre) +
                                               QStringLiteral("> ") + m.strTexto);
                   },
                   [&](const Historial& m) { preparacion_.RecibirHistorial(m.strTexto); },
               },
               mensaje);
}

void ModDPlay::RecibirAlerta(const protocolo::Alerta& alerta) {
    const RegistroOpciones& o = opciones_.Opciones;
    switch (alerta.intTipo) {
    case 0:
        if (o.blnAlertaSonido)
            vista_.Sonido(o.strAlertaSonido);
        else
            EnviarMensaje(protocolo::AlertaRechazada{0});
        break;
    case 1:
        if (o.blnAlertaMsgBox)
            MsgBox(alerta.strTexto, QStringLiteral("Alerta de tu adversario"), Icono::Exclamacion);
        else
            EnviarMensaje(protocolo::AlertaRechazada{1});
        break;
    case 2:
        if (o.blnAlertaHistorial)
            cuadros_.EscribirEnHistorial(QStringLiteral("ALERTA DE TU ADVERSARIO: ") +
                                         alerta.strTexto);
        else
            EnviarMensaje(protocolo::AlertaRechazada{2});
        break;
    default:
        break;
    }
}

} // namespace brumaria
