// The facade: the session's state (role, players, the links, the server)
// and the event queue that hands everything to the sink one at a time.
// Finding sessions is busqueda.h.
#include "net/dplay.h"
#include "platform/solo_local.h"

#include "net/busqueda.h"
#include "net/marco.h"

#include <QElapsedTimer>
#include <QHash>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUuid>
#include <deque>
#include <functional>
#include <list>

namespace brumaria::red {

namespace {

// The game is for two players: a host and one guest.
constexpr int kMaxJugadores = 2;
// Connections still in their handshake; more at once is someone knocking,
// not a player joining.
constexpr int kMaxPendientes = 8;
// Events waiting for a busy handler (a modal box) before a peer counts as
// flooding; a whole match is a few hundred messages.
constexpr std::size_t kMaxEventosEnCola = 20000;
// Events handed out in one turn of the loop, so a flood of messages cannot
// starve the window.
constexpr int kMaxEventosPorTurno = 64;
constexpr std::int32_t kPrimerIdJugador = 0x10001;

bool EsProveedorLocal(const QString& guid) {
    return guid.compare(kGuidProveedorLocal, Qt::CaseInsensitive) == 0;
}
bool EsProveedorTcp(const QString& guid) {
    return guid.compare(kGuidProveedorTcp, Qt::CaseInsensitive) == 0;
}

bool DestinoPermitido(const QHostAddress& dir) {
    return DirectPlay8Peer::blnDestinoPermitido(dir);
}

struct Conexion {
    QTcpSocket* sock = nullptr;
    DecodificadorMarcos dec;
    QTimer* saludo = nullptr;
    QElapsedTimer silencio;
    std::int32_t idJugador = 0;
    QString nombre;
    bool aceptada = false;
};

} // namespace

struct DirectPlay8Peer::Estado {
    explicit Estado(DirectPlay8Peer* peer)
        : q(peer), anuncio(peer, [peer] { return peer->GetApplicationDesc(); }),
          busqueda(peer, [this](const DPNMSG_ENUM_HOSTS_RESPONSE& ev) {
              Encolar([ev](DirectPlay8Event& s) { s.DirectPlay8Event_EnumHostsResponse(ev); });
          }) {}

    DirectPlay8Peer* q;
    DirectPlay8Event* sink = nullptr;
    Tiempos tiempos;

    // Events waiting for delivery.
    std::deque<std::function<void(DirectPlay8Event&)>> cola;
    bool entregaPendiente = false;
    bool entregando = false;
    std::shared_ptr<bool> vivo = std::make_shared<bool>(true);

    QString nombreLocal;
    std::int32_t idLocal = 0;
    std::int32_t siguienteId = kPrimerIdJugador + 1;
    std::int32_t siguienteHandle = 1;

    // Session
    enum class Rol { Nada, Host, Uniendo, Invitado } rol = Rol::Nada;
    DPN_APPLICATION_DESC desc;
    QString proveedor;
    QTcpServer* servidor = nullptr;
    Anuncio anuncio;
    std::list<Conexion> conexiones; // host: joiners; guest: the host
    QTimer* latido = nullptr;

    // Join in progress
    std::int32_t handleConexion = 0;
    QTimer* limiteUnion = nullptr;
    DPN_APPLICATION_DESC descUnion;

    QHash<std::int32_t, QString> idos; // players who left this session, by id

    Busqueda busqueda;

    // --- events ---------------------------------------------------------

    void Encolar(std::function<void(DirectPlay8Event&)> ev) {
        cola.push_back(std::move(ev));
        Programar();
    }

    void Programar() {
        if (entregaPendiente || cola.empty()) return;
        entregaPendiente = true;
        QMetaObject::invokeMethod(
            q, [this] { Entregar(); }, Qt::QueuedConnection);
    }

    // Hands out queued events in order. A handler that runs a nested event
    // loop sees no further delivery until it returns.
    void Entregar() {
        entregaPendiente = false;
        if (entregando) return; // the running handler's return reschedules
        std::weak_ptr<bool> sigueVivo = vivo;
        for (int n = 0; n < kMaxEventosPorTurno && !cola.empty(); ++n) {
            auto ev = std::move(cola.front());
            cola.pop_front();
            if (!sink) continue;
            entregando = true;
            ev(*sink);
            if (sigueVivo.expired()) return;
            entregando = false;
            emit q->eventoEntregado();
            if (sigueVivo.expired()) return;
        }
        Programar();
    }

    // --- sockets ----------------------------------------------------------

    static void Enviar(Conexion& c, TipoMarco tipo, QByteArrayView cuerpo = {}) {
        if (c.sock && c.sock->state() == QAbstractSocket::ConnectedState)
            c.sock->write(CodificarMarco(tipo, cuerpo));
    }

    void CerrarSocket(Conexion& c, bool despedirse) {
        if (c.saludo) {
            c.saludo->stop();
            c.saludo->deleteLater();
            c.saludo = nullptr;
        }
        if (!c.sock) return;
        c.sock->disconnect(q);
        if (despedirse && c.sock->state() == QAbstractSocket::ConnectedState) {
            Enviar(c, TipoMarco::Adios);
            c.sock->flush();
        }
        c.sock->abort();
        c.sock->deleteLater();
        c.sock = nullptr;
    }

    std::list<Conexion>::iterator Buscar(QTcpSocket* s) {
        for (auto it = conexiones.begin(); it != conexiones.end(); ++it)
            if (it->sock == s) return it;
        return conexiones.end();
    }

    // Drops a connection; an accepted player is reported as gone.
    void Soltar(std::list<Conexion>::iterator it, std::int32_t razon, bool despedirse) {
        const bool eraJugador = it->aceptada;
        const std::int32_t id = it->idJugador;
        if (eraJugador) idos.insert(id, it->nombre); // its DestroyPlayer handler asks for the name
        CerrarSocket(*it, despedirse);
        conexiones.erase(it);
        if (eraJugador) {
            Encolar(
                [id, razon](DirectPlay8Event& s) { s.DirectPlay8Event_DestroyPlayer(id, razon); });
            ActualizarLatido();
        }
    }

    void ActualizarLatido() {
        bool hay = false;
        for (const auto& c : conexiones)
            hay = hay || c.aceptada;
        if (hay && !latido->isActive())
            latido->start(tiempos.latidoMs);
        else if (!hay)
            latido->stop();
    }

    void Latir() {
        for (auto it = conexiones.begin(); it != conexiones.end();) {
            auto actual = it++;
            if (!actual->aceptada) continue;
            if (actual->silencio.elapsed() > tiempos.silencioMs) {
                Soltar(actual, DPNDESTROYPLAYERREASON_CONNECTIONLOST, false);
                continue;
            }
            Enviar(*actual, TipoMarco::Latido);
        }
    }

    // Reads whatever arrived on a connection and acts on each frame.
    void Leer(QTcpSocket* s) {
        auto it = Buscar(s);
        if (it == conexiones.end()) return;
        QList<Marco> marcos;
        const bool bien = it->dec.Anadir(s->readAll(), marcos);
        if (!marcos.isEmpty() || bien) it->silencio.restart();
        for (const Marco& m : marcos) {
            if (!Atender(it, m)) return; // the connection is gone
        }
        if (!bien) Romper(it);
    }

    // A broken or hostile connection: during the handshake it just goes;
    // an accepted player is reported as lost.
    void Romper(std::list<Conexion>::iterator it) {
        if (rol == Rol::Uniendo) {
            TerminarUnion(DPNERR_HOSTREJECTEDCONNECTION);
            return;
        }
        const bool invitadoPierdeHost = rol == Rol::Invitado;
        Soltar(it, DPNDESTROYPLAYERREASON_CONNECTIONLOST, false);
        if (invitadoPierdeHost) rol = Rol::Invitado; // alone in the session until Close
    }

    // False when the connection was dropped.
    bool Atender(std::list<Conexion>::iterator it, const Marco& m) {
        if (rol == Rol::Uniendo) return AtenderUnion(m);
        if (!it->aceptada) return AtenderSaludo(it, m);
        switch (m.tipo) {
        case TipoMarco::Datos: {
            auto texto = DecodificarUtf8(m.cuerpo);
            if (!texto) {
                Romper(it);
                return false;
            }
            if (cola.size() >= kMaxEventosEnCola) {
                Romper(it); // a flood while the game is busy: not a player
                return false;
            }
            const std::int32_t id = it->idJugador;
            Encolar([id, t = *texto, n = it->nombre](DirectPlay8Event& s) {
                DPNMSG_RECEIVE r;
                r.idSender = id;
                r.strNombreRemitente = n;
                r.strDatos = t;
                s.DirectPlay8Event_Receive(r);
            });
            return true;
        }
        case TipoMarco::Latido:
            return m.cuerpo.isEmpty() ? true : (Romper(it), false);
        case TipoMarco::Adios:
            Soltar(it, DPNDESTROYPLAYERREASON_NORMAL, false);
            return false;
        default:
            Romper(it);
            return false;
        }
    }

    // Host side: the first frame of a new connection.
    bool AtenderSaludo(std::list<Conexion>::iterator it, const Marco& m) {
        if (m.tipo != TipoMarco::Hola) {
            Soltar(it, 0, false);
            return false;
        }
        const auto hola = LeerHola(m.cuerpo);
        if (!hola) {
            Soltar(it, 0, false);
            return false;
        }
        const QString& app = hola->guidAplicacion;
        const QString& instancia = hola->guidInstancia;
        const QString& nombre = hola->nombre;
        std::int32_t codigo = DPN_OK;
        if (app.compare(desc.guidApplication, Qt::CaseInsensitive) != 0)
            codigo = DPNERR_INVALIDAPPLICATION;
        else if (!instancia.isEmpty() &&
                 instancia.compare(desc.guidInstance, Qt::CaseInsensitive) != 0)
            codigo = DPNERR_INVALIDINSTANCE;
        else if (q->NumeroJugadores() >= desc.lMaxPlayers)
            codigo = DPNERR_SESSIONFULL;
        if (codigo != DPN_OK) {
            Enviar(*it, TipoMarco::Rechazo, CodificarRechazo(codigo));
            it->sock->flush();
            Soltar(it, 0, false);
            return false;
        }
        it->aceptada = true;
        it->nombre = nombre;
        it->idJugador = siguienteId++;
        if (it->saludo) {
            it->saludo->stop();
            it->saludo->deleteLater();
            it->saludo = nullptr;
        }
        Bienvenida b;
        b.idInvitado = it->idJugador;
        b.idHost = idLocal;
        b.nombreHost = nombreLocal;
        b.nombreSesion = desc.SessionName;
        b.maxJugadores = desc.lMaxPlayers;
        b.guidInstancia = desc.guidInstance;
        b.guidAplicacion = desc.guidApplication;
        Enviar(*it, TipoMarco::Bienvenida, CodificarBienvenida(b));
        const std::int32_t id = it->idJugador;
        Encolar([id](DirectPlay8Event& s) { s.DirectPlay8Event_CreatePlayer(id); });
        ActualizarLatido();
        return true;
    }

    // Joining side: the host's answer.
    bool AtenderUnion(const Marco& m) {
        if (m.tipo == TipoMarco::Rechazo) {
            TerminarUnion(LeerRechazo(m.cuerpo).value_or(DPNERR_HOSTREJECTEDCONNECTION));
            return false;
        }
        const auto b = m.tipo == TipoMarco::Bienvenida ? LeerBienvenida(m.cuerpo) : std::nullopt;
        if (!b || b->guidAplicacion.compare(descUnion.guidApplication, Qt::CaseInsensitive) != 0) {
            TerminarUnion(DPNERR_HOSTREJECTEDCONNECTION);
            return false;
        }
        const std::int32_t miId = b->idInvitado;
        const std::int32_t idHost = b->idHost;
        const QString& nombreHost = b->nombreHost;
        const QString& sesion = b->nombreSesion;
        const std::int32_t maximo = b->maxJugadores;
        const QString& instancia = b->guidInstancia;
        const QString& app = b->guidAplicacion;
        Conexion& c = conexiones.front();
        c.aceptada = true;
        c.idJugador = idHost;
        c.nombre = nombreHost;
        c.silencio.restart();
        idLocal = miId;
        desc.guidApplication = app;
        desc.guidInstance = instancia;
        desc.SessionName = sesion;
        desc.lMaxPlayers = maximo;
        rol = Rol::Invitado;
        limiteUnion->stop();
        const std::int32_t h = handleConexion;
        handleConexion = 0;
        Encolar([miId](DirectPlay8Event& s) { s.DirectPlay8Event_CreatePlayer(miId); });
        Encolar([idHost](DirectPlay8Event& s) { s.DirectPlay8Event_CreatePlayer(idHost); });
        Encolar([h](DirectPlay8Event& s) {
            DPNMSG_CONNECT_COMPLETE r;
            r.hAsyncOp = h;
            r.hResultCode = DPN_OK;
            s.DirectPlay8Event_ConnectComplete(r);
        });
        ActualizarLatido();
        return true;
    }

    void TerminarUnion(std::int32_t codigo) {
        if (rol != Rol::Uniendo) return;
        limiteUnion->stop();
        for (auto& c : conexiones)
            CerrarSocket(c, false);
        conexiones.clear();
        rol = Rol::Nada;
        desc = {};
        const std::int32_t h = handleConexion;
        handleConexion = 0;
        Encolar([h, codigo](DirectPlay8Event& s) {
            DPNMSG_CONNECT_COMPLETE r;
            r.hAsyncOp = h;
            r.hResultCode = codigo;
            s.DirectPlay8Event_ConnectComplete(r);
        });
    }

    Conexion& NuevaConexion(QTcpSocket* s) {
        conexiones.push_back({});
        Conexion& c = conexiones.back();
        c.sock = s;
        c.silencio.start();
        QObject::connect(s, &QTcpSocket::readyRead, q, [this, s] { Leer(s); });
        QObject::connect(s, &QTcpSocket::disconnected, q, [this, s] { Perdida(s); });
        QObject::connect(s, &QTcpSocket::errorOccurred, q,
                         [this, s](QAbstractSocket::SocketError e) { ErrorSocket(s, e); });
        return c;
    }

    void Perdida(QTcpSocket* s) {
        auto it = Buscar(s);
        if (it == conexiones.end()) return;
        if (s->bytesAvailable() > 0) {
            Leer(s); // a last frame (a goodbye or a refusal) may still be there
            it = Buscar(s);
            if (it == conexiones.end()) return;
        }
        if (rol == Rol::Uniendo) {
            TerminarUnion(DPNERR_NOCONNECTION);
            return;
        }
        Romper(it);
    }

    void ErrorSocket(QTcpSocket* s, QAbstractSocket::SocketError e) {
        if (rol == Rol::Uniendo) {
            if (Buscar(s) == conexiones.end()) return;
            TerminarUnion(e == QAbstractSocket::HostNotFoundError    ? DPNERR_INVALIDHOSTADDRESS
                          : e == QAbstractSocket::SocketTimeoutError ? DPNERR_NORESPONSE
                                                                     : DPNERR_NOCONNECTION);
            return;
        }
        if (e == QAbstractSocket::RemoteHostClosedError) return; // disconnected() follows
        auto it = Buscar(s);
        if (it != conexiones.end() && s->state() != QAbstractSocket::ConnectedState) Romper(it);
    }

    void NuevaEntrante() {
        while (servidor && servidor->hasPendingConnections()) {
            QTcpSocket* s = servidor->nextPendingConnection();
            int pendientes = 0;
            for (const auto& c : conexiones)
                pendientes += c.aceptada ? 0 : 1;
            if (pendientes >= kMaxPendientes || !DestinoPermitido(s->peerAddress())) {
                s->abort();
                s->deleteLater();
                continue;
            }
            s->setParent(q); // outlives the server, goes with the peer
            // Game messages are tiny and wait for each other: no Nagle delay.
            s->setSocketOption(QAbstractSocket::LowDelayOption, 1);
            Conexion& c = NuevaConexion(s);
            c.saludo = new QTimer(q);
            c.saludo->setSingleShot(true);
            QObject::connect(c.saludo, &QTimer::timeout, q, [this, s] {
                auto it = Buscar(s);
                if (it != conexiones.end() && !it->aceptada) Soltar(it, 0, false);
            });
            c.saludo->start(tiempos.saludoMs);
        }
    }

    // --- discovery --------------------------------------------------------

    void DetenerBusqueda(bool avisar) {
        const std::int32_t h = busqueda.Detener();
        if (h == 0 || !avisar) return;
        Encolar([h](DirectPlay8Event& s) {
            DPNMSG_ASYNC_OP_COMPLETE r;
            r.hAsyncOp = h;
            r.hResultCode = DPNERR_USERCANCEL;
            s.DirectPlay8Event_AsyncOpComplete(r);
        });
    }

    void CerrarHost() {
        if (servidor) {
            servidor->close();
            servidor->deleteLater();
            servidor = nullptr;
        }
        anuncio.Cerrar();
    }
};

DirectPlay8Peer::DirectPlay8Peer(QObject* parent) : QObject(parent), d_(new Estado(this)) {
    d_->latido = new QTimer(this);
    connect(d_->latido, &QTimer::timeout, this, [this] { d_->Latir(); });
    d_->limiteUnion = new QTimer(this);
    d_->limiteUnion->setSingleShot(true);
    connect(d_->limiteUnion, &QTimer::timeout, this,
            [this] { d_->TerminarUnion(DPNERR_NORESPONSE); });
}

DirectPlay8Peer::~DirectPlay8Peer() {
    *d_->vivo = false;
    d_->vivo.reset();
    d_->sink = nullptr;
    Close();
}

void DirectPlay8Peer::RegisterMessageHandler(DirectPlay8Event* sink) {
    d_->sink = sink;
}

int DirectPlay8Peer::GetCountServiceProviders() {
    return 2;
}

ProveedorServicio DirectPlay8Peer::GetServiceProvider(int lIndex) {
    switch (lIndex) {
    case 1:
        return {QStringLiteral("Conexión TCP/IP (red local o Internet)"), kGuidProveedorTcp};
    case 2:
        return {QStringLiteral("Este equipo (local)"), kGuidProveedorLocal};
    default:
        return {};
    }
}

void DirectPlay8Peer::SetPeerInfo(const QString& strNombre) {
    d_->nombreLocal = strNombre;
}

std::int32_t DirectPlay8Peer::Host(const DPN_APPLICATION_DESC& desc,
                                   const QString& strGuidProveedor) {
    if (d_->rol != Estado::Rol::Nada) return DPNERR_ALREADYINITIALIZED;
    const bool local = EsProveedorLocal(strGuidProveedor);
    if ((!local && !EsProveedorTcp(strGuidProveedor)) || !blnGuidValido(desc.guidApplication))
        return DPNERR_INVALIDPARAM;
    const bool soloLoopback = local || blnModoPrueba();

    d_->servidor = new QTcpServer(this);
    d_->servidor->setMaxPendingConnections(kMaxPendientes);
    const QHostAddress escucha = soloLoopback ? QHostAddress(QHostAddress::LocalHost)
                                              : QHostAddress(QHostAddress::AnyIPv4);
    // Over TCP/IP the first host on a computer takes the well-known port, so a
    // player behind a router forwards one port (TCP and UDP) to be reachable
    // from the internet; later hosts on the same computer take any free port.
    const bool puertoFijo = !local && !blnModoPrueba() &&
                            d_->servidor->listen(escucha, kPuertoDescubrimiento);
    if (!puertoFijo && !d_->servidor->listen(escucha)) {
        d_->CerrarHost();
        return DPNERR_CANTCREATEPLAYER;
    }
    connect(d_->servidor, &QTcpServer::newConnection, this, [this] { d_->NuevaEntrante(); });

    d_->anuncio.Abrir(local, soloLoopback, d_->servidor->serverPort());

    d_->desc = desc;
    d_->desc.guidInstance = QUuid::createUuid().toString(QUuid::WithBraces).toUpper();
    d_->desc.lMaxPlayers = kMaxJugadores;
    d_->proveedor = strGuidProveedor;
    d_->rol = Estado::Rol::Host;
    d_->idLocal = kPrimerIdJugador;
    d_->siguienteId = kPrimerIdJugador + 1;
    const std::int32_t id = d_->idLocal;
    d_->Encolar([id](DirectPlay8Event& s) { s.DirectPlay8Event_CreatePlayer(id); });
    return DPN_OK;
}

std::int32_t DirectPlay8Peer::EnumHosts(const QString& strGuidAplicacion,
                                        const QString& strGuidProveedor,
                                        const QString& strDireccionHost) {
    if (!blnGuidValido(strGuidAplicacion) ||
        (!EsProveedorLocal(strGuidProveedor) && !EsProveedorTcp(strGuidProveedor)))
        return 0;
    d_->DetenerBusqueda(true);
    const bool local = EsProveedorLocal(strGuidProveedor);
    const bool escrita = !strDireccionHost.trimmed().isEmpty() && !local;

    QString host;
    quint16 puerto = kPuertoDescubrimiento;
    if (escrita && !PartirDireccion(strDireccionHost, host, puerto, kPuertoDescubrimiento))
        return 0;

    const std::int32_t h = d_->siguienteHandle++;
    d_->busqueda.Empezar(h, strGuidAplicacion, strGuidProveedor, EsProveedorTcp(strGuidProveedor),
                         local || blnModoPrueba(), host, puerto, d_->tiempos.intervaloBusquedaMs);
    return h;
}

void DirectPlay8Peer::CancelAsyncOperation(std::int32_t hAsyncHandle) {
    if (hAsyncHandle != 0 && hAsyncHandle == d_->busqueda.Handle())
        d_->DetenerBusqueda(true);
    else if (hAsyncHandle != 0 && hAsyncHandle == d_->handleConexion)
        d_->TerminarUnion(DPNERR_USERCANCEL);
}

std::int32_t DirectPlay8Peer::Connect(const DPN_APPLICATION_DESC& desc, const QString& strHostUrl,
                                      const QString& strDeviceUrl) {
    const std::int32_t h = d_->siguienteHandle++;
    auto fallar = [this, h](std::int32_t codigo) {
        d_->Encolar([h, codigo](DirectPlay8Event& s) {
            DPNMSG_CONNECT_COMPLETE r;
            r.hAsyncOp = h;
            r.hResultCode = codigo;
            s.DirectPlay8Event_ConnectComplete(r);
        });
        return h;
    };
    if (d_->rol != Estado::Rol::Nada) return fallar(DPNERR_ALREADYINITIALIZED);
    if (!blnGuidValido(desc.guidApplication)) return fallar(DPNERR_INVALIDPARAM);
    QString host;
    quint16 puerto = 0;
    if (!PartirDireccion(strHostUrl, host, puerto, 0) || puerto == 0)
        return fallar(DPNERR_INVALIDHOSTADDRESS);
    QHostAddress dir;
    const bool literal = blnDireccionLiteral(host, dir);
    const bool local = EsProveedorLocal(strDeviceUrl);
    // Only a literal address can be checked before connecting: names are
    // refused where nothing may leave this computer.
    if (literal ? !DestinoPermitido(dir) || (local && !dir.isLoopback()) : local || blnModoPrueba())
        return fallar(DPNERR_INVALIDHOSTADDRESS);

    d_->rol = Estado::Rol::Uniendo;
    d_->handleConexion = h;
    d_->descUnion = desc;
    d_->desc = {};
    d_->proveedor = strDeviceUrl;
    auto* s = new QTcpSocket(this);
    Conexion& c = d_->NuevaConexion(s);
    c.idJugador = 0;
    connect(s, &QTcpSocket::connected, this, [this, s] {
        auto it = d_->Buscar(s);
        if (it == d_->conexiones.end()) return;
        s->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        Hola h;
        h.guidAplicacion = d_->descUnion.guidApplication;
        h.guidInstancia = d_->descUnion.guidInstance;
        h.nombre = d_->nombreLocal;
        Estado::Enviar(*it, TipoMarco::Hola, CodificarHola(h));
    });
    d_->limiteUnion->start(d_->tiempos.saludoMs);
    if (literal)
        s->connectToHost(dir, puerto);
    else
        s->connectToHost(host, puerto); // a name, resolved by Qt (never in test mode)
    return h;
}

bool DirectPlay8Peer::SendTo(std::int32_t idDestino, const QString& strMensaje) {
    const QByteArray utf8 = strMensaje.toUtf8();
    if (utf8.size() > qsizetype(kMaxCuerpoMarco)) return false;
    bool enviado = false;
    for (auto& c : d_->conexiones) {
        if (!c.aceptada || (idDestino != DPNID_ALL_PLAYERS_GROUP && idDestino != c.idJugador))
            continue;
        Estado::Enviar(c, TipoMarco::Datos, utf8);
        // Hand it to the system now rather than on the next loop turn: a
        // move waits for its answer.
        c.sock->flush();
        enviado = true;
    }
    return enviado;
}

QString DirectPlay8Peer::GetPeerInfo(std::int32_t idJugador, bool* ok) const {
    if (ok) *ok = true;
    if (idJugador != 0 && idJugador == d_->idLocal && d_->rol != Estado::Rol::Nada &&
        d_->rol != Estado::Rol::Uniendo)
        return d_->nombreLocal;
    for (const auto& c : d_->conexiones)
        if (c.aceptada && c.idJugador == idJugador) return c.nombre;
    const auto ido = d_->idos.constFind(idJugador);
    if (ido != d_->idos.cend()) return *ido;
    if (ok) *ok = false;
    return {};
}

DPN_APPLICATION_DESC DirectPlay8Peer::GetApplicationDesc() const {
    if (d_->rol != Estado::Rol::Host && d_->rol != Estado::Rol::Invitado) return {};
    DPN_APPLICATION_DESC r = d_->desc;
    r.lCurrentPlayers = NumeroJugadores();
    return r;
}

void DirectPlay8Peer::Close() {
    d_->DetenerBusqueda(false);
    if (d_->rol == Estado::Rol::Uniendo) {
        d_->limiteUnion->stop();
        d_->handleConexion = 0;
    }
    for (auto& c : d_->conexiones)
        d_->CerrarSocket(c, c.aceptada);
    d_->conexiones.clear();
    d_->CerrarHost();
    if (d_->latido) d_->latido->stop();
    d_->rol = Estado::Rol::Nada;
    d_->desc = {};
    d_->idLocal = 0;
    d_->idos.clear();
    d_->cola.clear();
}

int DirectPlay8Peer::NumeroJugadores() const {
    if (d_->rol != Estado::Rol::Host && d_->rol != Estado::Rol::Invitado) return 0;
    int n = 1;
    for (const auto& c : d_->conexiones)
        n += c.aceptada ? 1 : 0;
    return n;
}

std::int32_t DirectPlay8Peer::IdJugadorLocal() const {
    return d_->idLocal;
}
bool DirectPlay8Peer::blnEsHost() const {
    return d_->rol == Estado::Rol::Host;
}
bool DirectPlay8Peer::blnEnSesion() const {
    return d_->rol == Estado::Rol::Host || d_->rol == Estado::Rol::Invitado;
}
bool DirectPlay8Peer::blnEntregandoEvento() const {
    return d_->entregando;
}

std::uint16_t DirectPlay8Peer::PuertoTcp() const {
    return d_->servidor ? d_->servidor->serverPort() : 0;
}
std::uint16_t DirectPlay8Peer::PuertoDescubrimientoLocal() const {
    return d_->anuncio.PuertoLocal();
}

void DirectPlay8Peer::FijarTiempos(const Tiempos& t) {
    d_->tiempos = t;
    if (d_->latido->isActive()) d_->latido->start(t.latidoMs);
    d_->busqueda.FijarIntervalo(t.intervaloBusquedaMs);
}

bool DirectPlay8Peer::blnModoPrueba() { return blnSoloLocal(); }

bool DirectPlay8Peer::blnDestinoPermitido(const QHostAddress& dir) {
    if (dir.isNull()) return false;
    if (blnModoPrueba())
        return dir.isLoopback() && !dir.isBroadcast() &&
               dir != QHostAddress(QHostAddress::Broadcast);
    return true;
}

void DirectPlay8Peer::FijarCarpetaEncuentros(const QString& ruta) {
    red::CarpetaEncuentros::FijarRuta(ruta);
}

QString DirectPlay8Peer::CarpetaEncuentros() {
    return red::CarpetaEncuentros::Ruta();
}

} // namespace brumaria::red
