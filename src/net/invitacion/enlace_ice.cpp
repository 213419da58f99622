// libnice first: GIO's headers name a struct field `signals`, which Qt
// defines as a macro.
#include <nice/agent.h>

#include "net/invitacion/enlace_ice.h"

#include "net/dplay.h"
#include "platform/solo_local.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QHostInfo>
#include <QLoggingCategory>
#include <QPointer>
#include <QThread>
#include <algorithm>
#include <cstring>

// Timing, as measured on loopback with libnice 0.1.21: host candidates are
// gathered at once; a STUN or TURN server that never answers is given up
// after about 2 s of retransmissions, well inside reunionMs. A pair whose
// checks are never answered is declared failed after about 7 s (the
// checks' retransmissions, then libnice's idle-timeout before it looks for
// failed components, which we set to comprobacionMs); more pairs take
// longer, paced 20 ms apart, hence our own bound comprobacionMs too.

namespace brumaria::red::invitacion {

namespace {

Q_LOGGING_CATEGORY(lcIce, "brumaria.red.ice", QtWarningMsg)

constexpr unsigned kComponente = 1;

bool blnCaracterIce(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' ||
           c == '/';
}

bool blnCadenaIce(const QByteArray& s, qsizetype minimo, qsizetype maximo) {
    return s.size() >= minimo && s.size() <= maximo &&
           std::all_of(s.begin(), s.end(), blnCaracterIce);
}

// The order a description is cut in: a relay reaches through any router,
// a reflexive address through most, a host address only on the same network.
int Preferencia(CandidatoIce::Tipo t) {
    switch (t) {
    case CandidatoIce::Tipo::Retransmitido:
        return 0;
    case CandidatoIce::Tipo::Reflejado:
        return 1;
    case CandidatoIce::Tipo::ReflejadoPar:
        return 2;
    case CandidatoIce::Tipo::Anfitrion:
        return 3;
    }
    return 4;
}

std::optional<CandidatoIce::Tipo> TipoDe(NiceCandidateType t) {
    switch (t) {
    case NICE_CANDIDATE_TYPE_HOST:
        return CandidatoIce::Tipo::Anfitrion;
    case NICE_CANDIDATE_TYPE_SERVER_REFLEXIVE:
        return CandidatoIce::Tipo::Reflejado;
    case NICE_CANDIDATE_TYPE_PEER_REFLEXIVE:
        return CandidatoIce::Tipo::ReflejadoPar;
    case NICE_CANDIDATE_TYPE_RELAYED:
        return CandidatoIce::Tipo::Retransmitido;
    }
    return std::nullopt;
}

std::optional<NiceCandidateType> TipoNice(CandidatoIce::Tipo t) {
    switch (t) {
    case CandidatoIce::Tipo::Anfitrion:
        return NICE_CANDIDATE_TYPE_HOST;
    case CandidatoIce::Tipo::Reflejado:
        return NICE_CANDIDATE_TYPE_SERVER_REFLEXIVE;
    case CandidatoIce::Tipo::ReflejadoPar:
        return NICE_CANDIDATE_TYPE_PEER_REFLEXIVE;
    case CandidatoIce::Tipo::Retransmitido:
        return NICE_CANDIDATE_TYPE_RELAYED;
    }
    return std::nullopt; // a value from a damaged record
}

QHostAddress DireccionDe(const NiceAddress& a) {
    char texto[NICE_ADDRESS_STRING_LEN] = {};
    nice_address_to_string(&a, texto);
    return QHostAddress(QString::fromLatin1(texto));
}

// A link-local IPv6 address means nothing without its interface, which
// the other side cannot know.
bool blnUtilizable(const QHostAddress& a) {
    return !a.isNull() && !(a.protocol() == QAbstractSocket::IPv6Protocol && a.isLinkLocal());
}

std::optional<CandidatoIce> CandidatoDe(const NiceCandidate& c) {
    const auto tipo = TipoDe(c.type);
    if (!tipo || c.component_id != kComponente || c.transport != NICE_CANDIDATE_TRANSPORT_UDP)
        return std::nullopt;
    CandidatoIce r;
    r.tipo = *tipo;
    r.direccion = DireccionDe(c.addr);
    r.puerto = static_cast<std::uint16_t>(nice_address_get_port(&c.addr));
    r.prioridad = c.priority;
    r.fundacion = QByteArray(c.foundation,
                             static_cast<qsizetype>(strnlen(c.foundation, sizeof c.foundation)));
    if (!blnUtilizable(r.direccion) || r.puerto == 0 || !blnCadenaIce(r.fundacion, 1, 32))
        return std::nullopt;
    return r;
}

// Null for a candidate we would not pair: malformed, link-local, or (in
// local-only mode) outside loopback.
NiceCandidate* CandidatoNice(const CandidatoIce& c, unsigned flujo) {
    const auto tipo = TipoNice(c.tipo);
    if (!tipo || c.puerto == 0 || !blnUtilizable(c.direccion) ||
        !blnCadenaIce(c.fundacion, 1, 32) || !DirectPlay8Peer::blnDestinoPermitido(c.direccion))
        return nullptr;
    NiceCandidate* n = nice_candidate_new(*tipo);
    n->transport = NICE_CANDIDATE_TRANSPORT_UDP;
    n->stream_id = flujo;
    n->component_id = kComponente;
    n->priority = c.prioridad;
    std::memcpy(n->foundation, c.fundacion.constData(),
                static_cast<std::size_t>(c.fundacion.size()));
    n->foundation[c.fundacion.size()] = '\0';
    if (!nice_address_set_from_string(&n->addr, c.direccion.toString().toLatin1().constData())) {
        nice_candidate_free(n);
        return nullptr;
    }
    nice_address_set_port(&n->addr, c.puerto);
    return n;
}

void SoltarCandidatos(GSList* l) {
    g_slist_free_full(l, reinterpret_cast<GDestroyNotify>(nice_candidate_free));
}

// What the idle source needs to let an agent go once libnice is no
// longer on the stack.
struct AgenteSuelto {
    NiceAgent* agente;
    unsigned flujo;
};

void AgenteCerrado(GObject* agente, GAsyncResult*, gpointer) {
    g_object_unref(agente);
}

gboolean SoltarEnReposo(gpointer p) {
    auto* s = static_cast<AgenteSuelto*>(p);
    // Removing the stream starts the pseudo-TCP's close, so the other side
    // learns at once rather than by silence; closing releases the TURN
    // allocation before the last reference goes.
    if (s->flujo) nice_agent_remove_stream(s->agente, s->flujo);
    nice_agent_close_async(s->agente, AgenteCerrado, nullptr);
    delete s;
    return G_SOURCE_REMOVE;
}

} // namespace

EnlaceIce::EnlaceIce(bool blnControlador, Servidores servidores,
                     std::vector<QHostAddress> direccionesLocales, QObject* parent)
    : QObject(parent), controlador_(blnControlador), servidores_(std::move(servidores)),
      locales_(std::move(direccionesLocales)) {
    limite_.setSingleShot(true);
    connect(&limite_, &QTimer::timeout, this, [this] {
        switch (estado_) {
        case EstadoEnlaceIce::Resolviendo:
            for (int id : busquedas_)
                QHostInfo::abortHostLookup(id);
            busquedas_.clear();
            for (auto& r : stun_)
                r.blnHecha = true;
            if (turn_) turn_->blnHecha = true;
            ServidorResuelto();
            break;
        case EstadoEnlaceIce::Reuniendo:
            TerminarReunion();
            break;
        case EstadoEnlaceIce::Comprobando:
            Fallar(Fallo::NoSeCruza);
            break;
        default:
            break;
        }
    });
}

EnlaceIce::~EnlaceIce() {
    for (int id : busquedas_)
        QHostInfo::abortHostLookup(id);
    SoltarAgente();
}

bool EnlaceIce::blnBucleCompatible() {
    auto* app = QCoreApplication::instance();
    auto* d = QAbstractEventDispatcher::instance();
    return app && QThread::currentThread() == app->thread() && d &&
           d->inherits("QEventDispatcherGlib");
}

void EnlaceIce::Pasar(EstadoEnlaceIce nuevo) {
    qCDebug(lcIce) << "estado" << int(estado_) << "->" << int(nuevo);
    estado_ = nuevo;
    limite_.stop();
    if (nuevo == EstadoEnlaceIce::Resolviendo || nuevo == EstadoEnlaceIce::Reuniendo)
        limite_.start(tiempos_.reunionMs);
    if (nuevo == EstadoEnlaceIce::Comprobando) limite_.start(tiempos_.comprobacionMs);
}

void EnlaceIce::Fallar(Fallo motivo) {
    if (estado_ == EstadoEnlaceIce::Fallido || estado_ == EstadoEnlaceIce::Cerrado) return;
    qCInfo(lcIce) << "enlace fallido:" << motivo;
    Pasar(EstadoEnlaceIce::Fallido);
    SoltarAgente();
    pendientes_.clear();
    pendientesBytes_ = 0;
    // Told from the event loop, never from inside the caller's own call:
    // a handler may delete this link.
    QTimer::singleShot(0, this, [this, motivo] { emit fallido(motivo); });
}

void EnlaceIce::Reunir() {
    if (estado_ != EstadoEnlaceIce::Nuevo) return;
    Pasar(EstadoEnlaceIce::Resolviendo);
    if (!blnBucleCompatible()) {
        qCCritical(lcIce) << "Qt's event loop is not GLib's here: libnice would never run";
        Fallar(Fallo::BucleSinGlib);
        return;
    }
    if (blnSoloLocal() &&
        (locales_.empty() || std::any_of(locales_.begin(), locales_.end(),
                                         [](const QHostAddress& a) { return !a.isLoopback(); }))) {
        Fallar(Fallo::ServidorNoPermitido);
        return;
    }
    Resolver();
}

void EnlaceIce::Resolver() {
    auto pedir = [this](Resolucion& r) {
        QHostAddress literal;
        if (literal.setAddress(r.nombre)) {
            r.direccion = literal;
            r.blnHecha = true;
        } else if (blnSoloLocal() &&
                   r.nombre.compare(QLatin1String("localhost"), Qt::CaseInsensitive)) {
            // Local-only: no name goes to a resolver, which could be the
            // network's. A null address fails the gate below.
            r.direccion = QHostAddress();
            r.blnHecha = true;
        }
    };
    for (const auto& [nombre, puerto] : servidores_.stun)
        stun_.push_back({nombre, puerto, {}, false});
    if (!servidores_.turnServidor.isEmpty())
        turn_ = Resolucion{servidores_.turnServidor, servidores_.turnPuerto, {}, false};
    for (auto& r : stun_)
        pedir(r);
    if (turn_) pedir(*turn_);

    auto buscar = [this](Resolucion& r, std::size_t indice, bool blnTurn) {
        if (r.blnHecha) return;
        const int id =
            QHostInfo::lookupHost(r.nombre, this, [this, indice, blnTurn](const QHostInfo& info) {
                busquedas_.erase(std::remove(busquedas_.begin(), busquedas_.end(), info.lookupId()),
                                 busquedas_.end());
                if (estado_ != EstadoEnlaceIce::Resolviendo) return;
                Resolucion& hecha = blnTurn ? *turn_ : stun_[indice];
                hecha.blnHecha = true;
                hecha.direccion = Elegir(info.addresses());
                ServidorResuelto();
            });
        busquedas_.push_back(id);
    };
    for (std::size_t i = 0; i < stun_.size(); ++i)
        buscar(stun_[i], i, false);
    if (turn_) buscar(*turn_, 0, true);
    // Even with every name a literal, go on from the event loop, so no
    // signal is emitted from inside Reunir().
    QTimer::singleShot(0, this, [this] { ServidorResuelto(); });
}

QHostAddress EnlaceIce::Elegir(const QList<QHostAddress>& direcciones) const {
    // A server is reached from our own addresses: IPv6 only when all of
    // ours are IPv6, else IPv4, which every TURN server and router speaks.
    const bool soloIpv6 = !locales_.empty() &&
                          std::all_of(locales_.begin(), locales_.end(), [](const QHostAddress& a) {
                              return a.protocol() == QAbstractSocket::IPv6Protocol;
                          });
    const auto familia = soloIpv6 ? QAbstractSocket::IPv6Protocol : QAbstractSocket::IPv4Protocol;
    for (const QHostAddress& a : direcciones)
        if (a.protocol() == familia) return a;
    return direcciones.isEmpty() ? QHostAddress() : direcciones.front();
}

void EnlaceIce::ServidorResuelto() {
    if (estado_ != EstadoEnlaceIce::Resolviendo) return;
    const auto hecha = [](const Resolucion& r) { return r.blnHecha; };
    if (!std::all_of(stun_.begin(), stun_.end(), hecha) || (turn_ && !turn_->blnHecha)) return;
    // Every server we would talk to passes the game's gate before a single
    // datagram leaves: a refused one fails the link, even among good ones.
    const auto prohibido = [](const Resolucion& r) {
        return r.direccion && !r.direccion->isNull() &&
               !DirectPlay8Peer::blnDestinoPermitido(*r.direccion);
    };
    const bool soloLocalSinDireccion =
        blnSoloLocal() &&
        (std::any_of(stun_.begin(), stun_.end(),
                     [](const Resolucion& r) { return !r.direccion || r.direccion->isNull(); }) ||
         (turn_ && (!turn_->direccion || turn_->direccion->isNull())));
    if (soloLocalSinDireccion || std::any_of(stun_.begin(), stun_.end(), prohibido) ||
        (turn_ && prohibido(*turn_))) {
        Fallar(Fallo::ServidorNoPermitido);
        return;
    }
    EmpezarReunion();
}

void EnlaceIce::EmpezarReunion() {
    Pasar(EstadoEnlaceIce::Reuniendo);
    agente_ = nice_agent_new_reliable(g_main_context_default(), NICE_COMPATIBILITY_RFC5245);
    // UDP only: the description carries no TCP candidates. No UPnP: it
    // multicasts on the local network, and the game maps its own ports.
    g_object_set(agente_, "controlling-mode", gboolean(controlador_), "ice-tcp", FALSE, "upnp",
                 FALSE, "force-relay", gboolean(servidores_.blnSoloRetransmitido), nullptr);
    // The guest's checks may succeed long before the host has read his
    // answer on the DHT and nominates: libnice's own 5 s of waiting for a
    // nomination would fail a link that was about to work. Our bound rules.
    g_object_set(agente_, "idle-timeout", guint(std::max(tiempos_.comprobacionMs, 0)), nullptr);
    const auto stun = std::find_if(stun_.begin(), stun_.end(), [](const Resolucion& r) {
        return r.direccion && !r.direccion->isNull();
    });
    if (stun != stun_.end())
        g_object_set(agente_, "stun-server", stun->direccion->toString().toLatin1().constData(),
                     "stun-server-port", guint(stun->puerto), nullptr);
    for (const QHostAddress& a : locales_) {
        NiceAddress n;
        nice_address_init(&n);
        if (nice_address_set_from_string(&n, a.toString().toLatin1().constData()))
            nice_agent_add_local_address(agente_, &n);
    }
    flujo_ = nice_agent_add_stream(agente_, 1);
    if (turn_ && turn_->direccion && !turn_->direccion->isNull())
        nice_agent_set_relay_info(
            agente_, flujo_, kComponente, turn_->direccion->toString().toLatin1().constData(),
            turn_->puerto, servidores_.turnUsuario.toUtf8().constData(),
            servidores_.turnClave.toUtf8().constData(), NICE_RELAY_TYPE_TURN_UDP);
    g_signal_connect(agente_, "candidate-gathering-done", G_CALLBACK(AlTerminarReunion), this);
    g_signal_connect(agente_, "component-state-changed", G_CALLBACK(AlCambiarEstado), this);
    g_signal_connect(agente_, "reliable-transport-writable", G_CALLBACK(AlPoderEscribir), this);
    nice_agent_attach_recv(agente_, flujo_, kComponente, g_main_context_default(), AlRecibir, this);
    QPointer<EnlaceIce> vivo(this);
    if (!nice_agent_gather_candidates(agente_, flujo_) && vivo) Fallar(Fallo::SinCandidatos);
}

void EnlaceIce::AlTerminarReunion(_NiceAgent*, unsigned, void* yo) {
    static_cast<EnlaceIce*>(yo)->TerminarReunion();
}

void EnlaceIce::TerminarReunion() {
    if (estado_ != EstadoEnlaceIce::Reuniendo) return;
    DescripcionIce d;
    gchar* usuario = nullptr;
    gchar* clave = nullptr;
    if (nice_agent_get_local_credentials(agente_, flujo_, &usuario, &clave)) {
        d.usuario = usuario;
        d.clave = clave;
    }
    g_free(usuario);
    g_free(clave);
    GSList* lista = nice_agent_get_local_candidates(agente_, flujo_, kComponente);
    for (GSList* i = lista; i; i = i->next)
        if (auto c = CandidatoDe(*static_cast<NiceCandidate*>(i->data))) d.candidatos.push_back(*c);
    SoltarCandidatos(lista);
    std::stable_sort(d.candidatos.begin(), d.candidatos.end(),
                     [](const CandidatoIce& a, const CandidatoIce& b) {
                         return Preferencia(a.tipo) != Preferencia(b.tipo)
                                    ? Preferencia(a.tipo) < Preferencia(b.tipo)
                                    : a.prioridad > b.prioridad;
                     });
    if (d.candidatos.size() > kMaxCandidatosIce) d.candidatos.resize(kMaxCandidatosIce);

    const bool hayRelevo =
        std::any_of(d.candidatos.begin(), d.candidatos.end(), [](const CandidatoIce& c) {
            return c.tipo == CandidatoIce::Tipo::Retransmitido;
        });
    if (turn_ && !hayRelevo) return Fallar(Fallo::RetransmisionRechazada);
    if (d.candidatos.empty() || !blnCadenaIce(d.usuario, 4, 256) || !blnCadenaIce(d.clave, 22, 256))
        return Fallar(Fallo::SinCandidatos);
    Pasar(EstadoEnlaceIce::EsperandoRemota);
    QPointer<EnlaceIce> vivo(this);
    emit descripcionLista(d);
    if (vivo && remota_ && estado_ == EstadoEnlaceIce::EsperandoRemota) AplicarRemota();
}

bool EnlaceIce::blnFijarRemota(const DescripcionIce& d) {
    switch (estado_) {
    case EstadoEnlaceIce::Nuevo:
    case EstadoEnlaceIce::Resolviendo:
    case EstadoEnlaceIce::Reuniendo:
    case EstadoEnlaceIce::EsperandoRemota:
        break;
    default:
        return false; // given once; a failed link stays failed
    }
    if (remota_) return false;
    const bool valida = blnCadenaIce(d.usuario, 4, 256) && blnCadenaIce(d.clave, 22, 256) &&
                        !d.candidatos.empty() && d.candidatos.size() <= kMaxCandidatosIce;
    // Checked whole now, so the caller hears at once, not when gathering ends.
    const bool algunaUtil =
        valida && std::any_of(d.candidatos.begin(), d.candidatos.end(), [](const CandidatoIce& c) {
            NiceCandidate* n = CandidatoNice(c, 0);
            if (n) nice_candidate_free(n);
            return n != nullptr;
        });
    if (!algunaUtil) {
        Fallar(Fallo::SinCandidatos);
        return false;
    }
    remota_ = d;
    if (estado_ == EstadoEnlaceIce::EsperandoRemota) AplicarRemota();
    return true;
}

void EnlaceIce::AplicarRemota() {
    GSList* lista = nullptr;
    for (const CandidatoIce& c : remota_->candidatos)
        if (NiceCandidate* n = CandidatoNice(c, flujo_)) lista = g_slist_prepend(lista, n);
    lista = g_slist_reverse(lista);
    Pasar(EstadoEnlaceIce::Comprobando);
    QPointer<EnlaceIce> vivo(this);
    const bool credenciales = nice_agent_set_remote_credentials(
        agente_, flujo_, remota_->usuario.constData(), remota_->clave.constData());
    const int aceptados =
        credenciales ? nice_agent_set_remote_candidates(agente_, flujo_, kComponente, lista) : -1;
    SoltarCandidatos(lista);
    if (vivo && estado_ == EstadoEnlaceIce::Comprobando && aceptados <= 0)
        Fallar(Fallo::SinCandidatos);
}

void EnlaceIce::AlCambiarEstado(_NiceAgent*, unsigned, unsigned comp, unsigned estado, void* yo) {
    auto* e = static_cast<EnlaceIce*>(yo);
    if (comp != kComponente) return;
    qCDebug(lcIce) << "componente" << nice_component_state_to_string(NiceComponentState(estado));
    if (estado == NICE_COMPONENT_STATE_READY && e->estado_ == EstadoEnlaceIce::Comprobando) {
        e->Pasar(EstadoEnlaceIce::Conectado);
        const QPointer<EnlaceIce> vivo(e);
        emit e->conectado(e->blnRetransmitido());
        // What the other side sent while our own checks were still running
        // comes now, after conectado, so the game sees it in order.
        if (vivo && e->estado_ == EstadoEnlaceIce::Conectado && !e->recibidoAntes_.isEmpty())
            emit e->datos(std::exchange(e->recibidoAntes_, {})); // may delete e: nothing after
    } else if (estado == NICE_COMPONENT_STATE_FAILED) {
        // Once up, a failed component is the pseudo-TCP seeing the other
        // side's close (or libnice giving up on a silent path).
        e->Fallar(e->estado_ == EstadoEnlaceIce::Conectado ? Fallo::Cerrado : Fallo::NoSeCruza);
    }
}

void EnlaceIce::AlPoderEscribir(_NiceAgent*, unsigned, unsigned comp, void* yo) {
    if (comp == kComponente) static_cast<EnlaceIce*>(yo)->Vaciar();
}

void EnlaceIce::AlRecibir(_NiceAgent*, unsigned, unsigned comp, unsigned len, char* buf, void* yo) {
    auto* e = static_cast<EnlaceIce*>(yo);
    // A piece of the pseudo-TCP's receive buffer (libnice hands over at most
    // 64 KiB a time). The other side's close comes as a failed
    // component, not here.
    if (comp != kComponente || len == 0) return;
    if (e->estado_ == EstadoEnlaceIce::Comprobando) {
        // The other side may reach Conectado first and speak at once; its
        // pseudo-TCP has had these bytes acknowledged, so they are ours to
        // keep until our own pair is ready, and never sent again.
        if (qsizetype(len) > kMaxPendienteIce - e->recibidoAntes_.size()) {
            e->Fallar(Fallo::Desbordado);
            return;
        }
        e->recibidoAntes_.append(buf, qsizetype(len));
        return;
    }
    if (e->estado_ != EstadoEnlaceIce::Conectado) return;
    emit e->datos(QByteArray(buf, static_cast<qsizetype>(len))); // may delete e: nothing after
}

bool EnlaceIce::blnEnviar(QByteArrayView datos) {
    if (estado_ != EstadoEnlaceIce::Conectado) return false;
    if (datos.isEmpty()) return true;
    if (datos.size() > kMaxPendienteIce - pendientesBytes_) {
        Fallar(Fallo::Desbordado);
        return false;
    }
    pendientes_.emplace_back(datos.toByteArray());
    pendientesBytes_ += datos.size();
    Vaciar();
    return true;
}

void EnlaceIce::Vaciar() {
    // Bounded: every turn either takes bytes off the queue or stops.
    while (agente_ && estado_ == EstadoEnlaceIce::Conectado && !pendientes_.empty()) {
        const QByteArray& primero = pendientes_.front();
        const qsizetype resto = primero.size() - enviadoDelPrimero_;
        const gint n = nice_agent_send(agente_, flujo_, kComponente, guint(resto),
                                       primero.constData() + enviadoDelPrimero_);
        if (n <= 0) return; // the pseudo-TCP's window is full: reliable-transport-writable resumes
        pendientesBytes_ -= n;
        enviadoDelPrimero_ += n;
        if (enviadoDelPrimero_ == primero.size()) {
            pendientes_.pop_front();
            enviadoDelPrimero_ = 0;
        }
    }
}

bool EnlaceIce::blnRetransmitido() const {
    if (!agente_ || estado_ != EstadoEnlaceIce::Conectado) return false;
    NiceCandidate* local = nullptr;
    NiceCandidate* remoto = nullptr;
    return nice_agent_get_selected_pair(agente_, flujo_, kComponente, &local, &remoto) && local &&
           local->type == NICE_CANDIDATE_TYPE_RELAYED;
}

void EnlaceIce::Cerrar() {
    if (estado_ == EstadoEnlaceIce::Cerrado) return;
    Pasar(EstadoEnlaceIce::Cerrado);
    SoltarAgente();
    pendientes_.clear();
    pendientesBytes_ = 0;
    recibidoAntes_.clear();
}

void EnlaceIce::SoltarAgente() {
    if (!agente_) return;
    // From here no libnice callback can reach this object, even one already
    // queued on the main context: the handlers and the receive callback are
    // gone. The agent itself is let go from an idle source, since we may be
    // inside one of its own callbacks now.
    g_signal_handlers_disconnect_by_data(agente_, this);
    if (flujo_)
        nice_agent_attach_recv(agente_, flujo_, kComponente, g_main_context_default(), nullptr,
                               nullptr);
    g_idle_add_full(G_PRIORITY_DEFAULT, SoltarEnReposo, new AgenteSuelto{agente_, flujo_}, nullptr);
    agente_ = nullptr;
    flujo_ = 0;
}

} // namespace brumaria::red::invitacion
