// The facade: the session's state (role, players, the links, the server)
// and the event queue that hands everything to the sink one at a time.
// One link is a Conexion (conexion.h); finding sessions is busqueda.h.
#include "net/dplay.h"
#include "platform/solo_local.h"

#include "net/busqueda.h"
#include "net/conexion.h"
#include "net/marco.h"

#include <QHash>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUuid>
#include <algorithm>
#include <deque>
#include <functional>
#include <list>
#include <vector>

namespace brumaria::red {

namespace {

// The game is for two players: a host and one guest.
constexpr int kMaxJugadores = 2;
// Connections still in their handshake; more at once is someone knocking,
// not a player joining. A newcomer takes the place of the oldest, so idle
// knockers cannot keep a player out.
constexpr int kMaxPendientes = 8;
// Events waiting for a busy handler (a modal box) before a peer counts as
// flooding; a whole match is a few hundred messages.
constexpr std::size_t kMaxEventosEnCola = 20000;
// Bytes of one player's messages waiting for delivery, counted as held in
// memory (two per character). A match with chat is a few KiB; 2 MiB is a
// hundred full frames and still bounds what a flooding peer costs us.
constexpr qsizetype kMaxBytesEnColaPorJugador = 2 * 1024 * 1024;
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

} // namespace

struct DirectPlay8Peer::Estado final : Conexion::Sesion {
    explicit Estado(DirectPlay8Peer* peer)
        : q(peer), anuncio(peer, [peer] { return peer->GetApplicationDesc(); }),
          busqueda(peer, [this](const DPNMSG_ENUM_HOSTS_RESPONSE& ev) {
              Encolar([ev](DirectPlay8Event& s) { s.DirectPlay8Event_EnumHostsResponse(ev); });
          }) {}

    DirectPlay8Peer* q;
    DirectPlay8Event* sink = nullptr;
    Tiempos tiempos;

    // Events waiting for delivery; a received message remembers its sender
    // and size, so each player's share of the queue is known.
    struct Evento {
        std::function<void(DirectPlay8Event&)> entregar;
        std::int32_t idRemitente = 0;
        qsizetype bytes = 0;
    };
    std::deque<Evento> cola;
    QHash<std::int32_t, qsizetype> bytesEnCola; // by sender
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
    // Over TCP/IP one dual-stack server; kept to loopback, one per family.
    QTcpServer* servidor = nullptr;
    QTcpServer* servidor6 = nullptr;
    Anuncio anuncio;
    std::list<Conexion> conexiones; // host: joiners; guest: the host
    // Links that failed, to drop on the next turn of the event loop: a loss
    // can be reported from inside a write (flush()) while a loop over the
    // links, or the link itself, is still using it.
    std::vector<std::pair<Conexion*, std::int32_t>> caidas;
    QTimer* latido = nullptr;
    QHash<std::int32_t, QString> idos; // players who left this session, by id

    // Join in progress
    std::int32_t handleConexion = 0;
    DPN_APPLICATION_DESC descUnion;

    Busqueda busqueda;

    // --- events ---------------------------------------------------------

    void Encolar(std::function<void(DirectPlay8Event&)> ev, std::int32_t idRemitente = 0,
                 qsizetype bytes = 0) {
        cola.push_back({std::move(ev), idRemitente, bytes});
        if (bytes > 0) bytesEnCola[idRemitente] += bytes;
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
            Evento ev = std::move(cola.front());
            cola.pop_front();
            if (ev.bytes > 0) {
                auto it = bytesEnCola.find(ev.idRemitente);
                if (it != bytesEnCola.end() && (*it -= ev.bytes) <= 0) bytesEnCola.erase(it);
            }
            if (!sink) continue;
            entregando = true;
            ev.entregar(*sink);
            if (sigueVivo.expired()) return;
            entregando = false;
            emit q->eventoEntregado();
            if (sigueVivo.expired()) return;
        }
        Programar();
    }

    void EncolarJugadorNuevo(std::int32_t id) {
        Encolar([id](DirectPlay8Event& s) { s.DirectPlay8Event_CreatePlayer(id); });
    }

    void EncolarUnionTerminada(std::int32_t h, std::int32_t codigo) {
        Encolar([h, codigo](DirectPlay8Event& s) {
            DPNMSG_CONNECT_COMPLETE r;
            r.hAsyncOp = h;
            r.hResultCode = codigo;
            s.DirectPlay8Event_ConnectComplete(r);
        });
    }

    // --- the links --------------------------------------------------------

    // Drops a link; an accepted player is reported as gone.
    void Soltar(std::list<Conexion>::iterator it, std::int32_t razon, bool despedirse) {
        const bool eraJugador = it->blnAceptada();
        const std::int32_t id = it->IdJugador();
        if (eraJugador) idos.insert(id, it->Nombre()); // its DestroyPlayer handler asks for it
        it->Cerrar(despedirse);
        std::erase_if(caidas, [&](const auto& c) { return c.first == &*it; });
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
            hay = hay || c.blnAceptada();
        if (hay && !latido->isActive())
            latido->start(tiempos.latidoMs);
        else if (!hay)
            latido->stop();
    }

    void Latir() {
        for (auto it = conexiones.begin(); it != conexiones.end();) {
            auto actual = it++;
            if (actual->blnAceptada() && !actual->blnLatir(tiempos.silencioMs))
                Soltar(actual, DPNDESTROYPLAYERREASON_CONNECTIONLOST, false);
        }
    }

    void TerminarUnion(std::int32_t codigo) {
        if (rol != Rol::Uniendo) return;
        for (auto& c : conexiones)
            c.Cerrar(false);
        conexiones.clear();
        caidas.clear();
        rol = Rol::Nada;
        desc = {};
        const std::int32_t h = handleConexion;
        handleConexion = 0;
        EncolarUnionTerminada(h, codigo);
    }

    void NuevaEntrante(QTcpServer* origen) {
        while (origen->hasPendingConnections()) {
            QTcpSocket* s = origen->nextPendingConnection();
            if (!blnDestinoPermitido(s->peerAddress())) {
                s->abort();
                s->deleteLater();
                continue;
            }
            // Full of handshakes: the oldest (front of the list) has had the
            // longest to say hello and goes.
            int pendientes = 0;
            auto masVieja = conexiones.end();
            for (auto it = conexiones.begin(); it != conexiones.end(); ++it)
                if (!it->blnAceptada() && !blnCaida(&*it)) {
                    ++pendientes;
                    if (masVieja == conexiones.end()) masVieja = it;
                }
            if (pendientes >= kMaxPendientes && masVieja != conexiones.end())
                Soltar(masVieja, 0, false);
            s->setParent(q); // outlives the server, goes with the peer
            conexiones.emplace_back(s, q, *this, false).LimitarSaludo(tiempos.saludoMs);
        }
    }

    // --- what the links tell -----------------------------------------------

    Bienvenida BienvenidaNueva() const override {
        Bienvenida b;
        b.idInvitado = siguienteId;
        b.idHost = idLocal;
        b.nombreHost = nombreLocal;
        b.nombreSesion = desc.SessionName;
        b.maxJugadores = desc.lMaxPlayers;
        b.guidInstancia = desc.guidInstance;
        b.guidAplicacion = desc.guidApplication;
        return b;
    }

    int JugadoresAhora() const override { return q->NumeroJugadores(); }

    void Aceptada(Conexion& c) override {
        ++siguienteId;
        EncolarJugadorNuevo(c.IdJugador());
        ActualizarLatido();
    }

    Hola HolaUnion() const override {
        Hola h;
        h.guidAplicacion = descUnion.guidApplication;
        h.guidInstancia = descUnion.guidInstance;
        h.nombre = nombreLocal;
        return h;
    }

    void Unida(Conexion& c, const Bienvenida& b) override {
        idLocal = b.idInvitado;
        desc.guidApplication = b.guidAplicacion;
        desc.guidInstance = b.guidInstancia;
        desc.SessionName = b.nombreSesion;
        desc.lMaxPlayers = b.maxJugadores;
        rol = Rol::Invitado;
        const std::int32_t h = handleConexion;
        handleConexion = 0;
        EncolarJugadorNuevo(idLocal);
        EncolarJugadorNuevo(c.IdJugador());
        EncolarUnionTerminada(h, DPN_OK);
        ActualizarLatido();
    }

    bool blnRecibido(Conexion& c, const QString& texto) override {
        const std::int32_t id = c.IdJugador();
        const qsizetype bytes = (texto.size() + c.Nombre().size()) * qsizetype(sizeof(QChar)) + 64;
        // A flood, while the game is busy or faster than it reads: the peer goes.
        if (cola.size() >= kMaxEventosEnCola ||
            bytesEnCola.value(id) + bytes > kMaxBytesEnColaPorJugador)
            return false;
        Encolar(
            [id, t = texto, n = c.Nombre()](DirectPlay8Event& s) {
                DPNMSG_RECEIVE r;
                r.idSender = id;
                r.strNombreRemitente = n;
                r.strDatos = t;
                s.DirectPlay8Event_Receive(r);
            },
            id, bytes);
        return true;
    }
    bool blnCaida(const Conexion* c) const {
        return std::any_of(caidas.begin(), caidas.end(),
                           [c](const auto& x) { return x.first == c; });
    }

    // A guest who lost the host stays in the session, alone, until Close.
    void Caida(Conexion& c, std::int32_t razon) override {
        caidas.emplace_back(&c, razon);
        if (caidas.size() == 1) QTimer::singleShot(0, q, [this] { SoltarCaidas(); });
    }
    void SoltarCaidas() {
        while (!caidas.empty()) {
            const auto [p, razon] = caidas.front();
            caidas.erase(caidas.begin());
            for (auto it = conexiones.begin(); it != conexiones.end(); ++it)
                if (&*it == p) {
                    Soltar(it, razon, false);
                    break;
                }
        }
    }

    void UnionFallida(std::int32_t codigo) override { TerminarUnion(codigo); }

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
        for (QTcpServer** s : {&servidor, &servidor6}) {
            if (!*s) continue;
            (*s)->close();
            (*s)->deleteLater();
            *s = nullptr;
        }
        anuncio.Cerrar();
    }
};

DirectPlay8Peer::DirectPlay8Peer(QObject* parent) : QObject(parent), d_(new Estado(this)) {
    d_->latido = new QTimer(this);
    connect(d_->latido, &QTimer::timeout, this, [this] { d_->Latir(); });
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

    auto nuevoServidor = [this] {
        auto* s = new QTcpServer(this);
        s->setMaxPendingConnections(kMaxPendientes);
        connect(s, &QTcpServer::newConnection, this, [this, s] { d_->NuevaEntrante(s); });
        return s;
    };
    d_->servidor = nuevoServidor();
    // "Any" is both families on one socket (Qt falls back to IPv4 alone
    // where the system has no IPv6).
    const QHostAddress escucha = soloLoopback ? QHostAddress(QHostAddress::LocalHost)
                                              : QHostAddress(QHostAddress::Any);
    // Over TCP/IP the first host on a computer takes the well-known port, so a
    // player behind a router forwards one port (TCP and UDP) to be reachable
    // from the internet; later hosts on the same computer take any free port.
    const bool puertoFijo = !local && !blnModoPrueba() &&
                            d_->servidor->listen(escucha, kPuertoDescubrimiento);
    if (!puertoFijo && !d_->servidor->listen(escucha) &&
        (soloLoopback || !d_->servidor->listen(QHostAddress::AnyIPv4))) {
        d_->CerrarHost();
        return DPNERR_CANTCREATEPLAYER;
    }
    if (soloLoopback) {
        // ::1 on the same port, where this computer has IPv6.
        d_->servidor6 = nuevoServidor();
        if (!d_->servidor6->listen(QHostAddress::LocalHostIPv6, d_->servidor->serverPort())) {
            delete d_->servidor6;
            d_->servidor6 = nullptr;
        }
    }
    d_->anuncio.Abrir(local, soloLoopback, d_->servidor->serverPort());

    d_->desc = desc;
    d_->desc.guidInstance = QUuid::createUuid().toString(QUuid::WithBraces).toUpper();
    d_->desc.lMaxPlayers = kMaxJugadores;
    d_->proveedor = strGuidProveedor;
    d_->rol = Estado::Rol::Host;
    d_->idLocal = kPrimerIdJugador;
    d_->siguienteId = kPrimerIdJugador + 1;
    d_->EncolarJugadorNuevo(d_->idLocal);
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
        d_->EncolarUnionTerminada(h, codigo);
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
    if (literal ? !blnDestinoPermitido(dir) || (local && !dir.isLoopback())
                : local || blnModoPrueba())
        return fallar(DPNERR_INVALIDHOSTADDRESS);

    d_->rol = Estado::Rol::Uniendo;
    d_->handleConexion = h;
    d_->descUnion = desc;
    d_->desc = {};
    d_->proveedor = strDeviceUrl;
    auto* s = new QTcpSocket(this);
    d_->conexiones.emplace_back(s, this, *d_, true).LimitarSaludo(d_->tiempos.saludoMs);
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
        if (!c.blnAceptada() ||
            (idDestino != DPNID_ALL_PLAYERS_GROUP && idDestino != c.IdJugador()))
            continue;
        enviado = c.EnviarYa(TipoMarco::Datos, utf8) || enviado;
    }
    return enviado;
}

QString DirectPlay8Peer::GetPeerInfo(std::int32_t idJugador, bool* ok) const {
    if (ok) *ok = true;
    if (idJugador != 0 && idJugador == d_->idLocal && d_->rol != Estado::Rol::Nada &&
        d_->rol != Estado::Rol::Uniendo)
        return d_->nombreLocal;
    for (const auto& c : d_->conexiones)
        if (c.blnAceptada() && c.IdJugador() == idJugador) return c.Nombre();
    const auto ido = d_->idos.constFind(idJugador);
    if (ido != d_->idos.cend()) return *ido;
    if (ok) *ok = false;
    return {};
}

DPN_APPLICATION_DESC DirectPlay8Peer::GetApplicationDesc() const {
    if (!blnEnSesion()) return {};
    DPN_APPLICATION_DESC r = d_->desc;
    r.lCurrentPlayers = NumeroJugadores();
    return r;
}

void DirectPlay8Peer::Close() {
    d_->DetenerBusqueda(false);
    if (d_->rol == Estado::Rol::Uniendo) d_->handleConexion = 0;
    for (auto& c : d_->conexiones)
        c.Cerrar(c.blnAceptada());
    d_->conexiones.clear();
    d_->caidas.clear();
    d_->CerrarHost();
    if (d_->latido) d_->latido->stop();
    d_->rol = Estado::Rol::Nada;
    d_->desc = {};
    d_->idLocal = 0;
    d_->idos.clear();
    d_->cola.clear();
    d_->bytesEnCola.clear();
}

int DirectPlay8Peer::NumeroJugadores() const {
    if (!blnEnSesion()) return 0;
    int n = 1;
    for (const auto& c : d_->conexiones)
        n += c.blnAceptada() ? 1 : 0;
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
