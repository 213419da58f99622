#include "net/invitacion/cita_dht.h"
#include "net/invitacion/puesta_directa.h"

#include "net/busqueda.h"

#include "net/dplay.h"
#include "platform/solo_local.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QMetaObject>
#include <QNetworkInterface>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <libtorrent/address.hpp>
#include <libtorrent/alert_types.hpp>
#include <libtorrent/bdecode.hpp>
#include <libtorrent/bencode.hpp>
#include <libtorrent/kademlia/ed25519.hpp>
#include <libtorrent/kademlia/item.hpp>
#include <libtorrent/session.hpp>
#include <libtorrent/session_params.hpp>
#include <libtorrent/settings_pack.hpp>

#include <algorithm>
#include <cstring>
#include <limits>
#include <map>
#include <mutex>
#include <optional>
#include <utility>

namespace lt = libtorrent;

namespace brumaria::red::invitacion {

namespace {

// BEP 44 caps the salt at 64 bytes; nodes refuse a longer one.
constexpr int kMaxSal = 64;
// How often the routing table's size is asked for: often until it has
// nodes (a player waits on that), rarely after.
constexpr int kIntervaloArranqueMs = 200;
constexpr int kIntervaloEstadisticasMs = 5000;
// A bootstrap node answers in well under a second when it is there at
// all; a DHT with no node after this is reported (and may still fill later).
constexpr int kPlazoArranqueMs = 15'000;
// libtorrent keeps at most this many alerts between two reads; the DHT
// posts one per incoming announce or lookup on the public network, which
// we never read, so the queue stays small and drops those first.
constexpr int kMaxAvisosEnCola = 256;
// Direct puts on a private DHT: to this many listed nodes, and at most this
// many requests in a session's life (each one's record stays until the
// session goes, as libtorrent hands its address back with the reply).
constexpr std::size_t kMaxNodosPrivados = 8;
constexpr std::size_t kMaxDirectas = 128;
// Once one node has stored the item, the others have this long to say so
// before the publication is told.
constexpr int kGraciaDirectaMs = 1000;

std::array<char, 32> Bytes(const Clave32& c) {
    std::array<char, 32> b{};
    std::memcpy(b.data(), c.data(), b.size());
    return b;
}

Clave32 Clave(const std::array<char, 32>& b) {
    Clave32 c{};
    std::memcpy(c.data(), b.data(), c.size());
    return c;
}

std::string Cadena(const QByteArray& b) { return std::string(b.constData(), std::size_t(b.size())); }

// Splits "ip:port", "[v6]:port" or "host:port"; false when malformed.
// Port 0 (any free port) only makes sense for listening.
bool PartirNodo(const QString& nodo, QString& host, int& puerto, bool blnPuertoCero = false) {
    qsizetype dosPuntos = -1;
    if (nodo.startsWith(u'[')) {
        const qsizetype cierre = nodo.indexOf(u']');
        if (cierre < 0 || nodo.mid(cierre + 1, 1) != u":") return false;
        host = nodo.mid(1, cierre - 1);
        dosPuntos = cierre + 1;
    } else {
        dosPuntos = nodo.lastIndexOf(u':');
        if (dosPuntos <= 0) return false;
        host = nodo.left(dosPuntos);
        if (host.contains(u':')) return false; // a bare IPv6 address needs brackets
    }
    bool ok = false;
    puerto = nodo.mid(dosPuntos + 1).toInt(&ok);
    return ok && (puerto > 0 || (blnPuertoCero && puerto == 0)) && puerto <= 65535 &&
           !host.isEmpty();
}

// Why one bootstrap node is refused by the game's address gate; empty if
// it is not.
QString MotivoRechazoNodo(const QString& nodo) {
    QString host;
    int puerto = 0;
    if (!PartirNodo(nodo, host, puerto))
        return QStringLiteral("El nodo de arranque «%1» no es «dirección:puerto».").arg(nodo);
    const QHostAddress dir(host);
    if (dir.isNull()) {
        // A name is resolved by libtorrent, past our gate: only outside local-only mode.
        const bool blnNombre = !host.contains(u' ') && !host.contains(u',');
        if (!blnNombre || blnSoloLocal())
            return QStringLiteral("El nodo de arranque «%1» no es una dirección de este equipo.")
                .arg(nodo);
        return {};
    }
    if (dir.isMulticast() || dir == QHostAddress::AnyIPv4 || dir == QHostAddress::AnyIPv6 ||
        !DirectPlay8Peer::blnDestinoPermitido(dir))
        return QStringLiteral("El nodo de arranque «%1» no está permitido%2.")
            .arg(nodo, blnSoloLocal() ? QStringLiteral(" en modo solo local") : QString());
    return {};
}

// Same for libtorrent's listen_interfaces list (only loopback in local-only mode).
QString MotivoRechazoInterfaces(const QString& interfaces) {
    if (!blnSoloLocal()) return {};
    for (QString item : interfaces.split(u',', Qt::SkipEmptyParts)) {
        item = item.trimmed();
        if (item.endsWith(u's') || item.endsWith(u'l')) item.chop(1); // libtorrent's ssl/local marks
        QString host;
        int puerto = 0;
        if (!PartirNodo(item, host, puerto, true) || !QHostAddress(host).isLoopback())
            return QStringLiteral("En modo solo local sólo se escucha en loopback, no en «%1».")
                .arg(item);
    }
    return {};
}

struct Familias {
    bool v4 = false;
    bool v6 = false;
};

// IPv4 beyond loopback, and a global IPv6 address.
Familias FamiliasPropias() {
    Familias f;
    for (const QHostAddress& a : QNetworkInterface::allAddresses()) {
        if (a.isLoopback()) continue;
        if (a.protocol() == QAbstractSocket::IPv4Protocol) f.v4 = true;
        if (blnIPv6Global(a)) f.v6 = true;
    }
    return f;
}

QString TextoInterfaces(const Familias& f) {
    if (f.v4 && !f.v6) return QStringLiteral("0.0.0.0:0");
    if (f.v6 && !f.v4) return QStringLiteral("[::]:0");
    return QStringLiteral("0.0.0.0:0,[::]:0");
}

// A node given by address of a family we have (a name may give either).
bool blnAlcanzable(const QString& nodo, const Familias& f) {
    QString host;
    int puerto = 0;
    if (!PartirNodo(nodo, host, puerto)) return false;
    const QHostAddress dir(host);
    if (dir.isNull() || (!f.v4 && !f.v6)) return true;
    return dir.protocol() == QAbstractSocket::IPv6Protocol ? f.v6 : f.v4;
}

} // namespace

std::unique_ptr<lt::session> AbrirSesionDht(const std::string& interfaces,
                                            const std::string& arranque, bool blnRedPrivada) {
    lt::settings_pack p;
    p.set_str(lt::settings_pack::listen_interfaces, interfaces);
    // A busy port is a failure, not some other port: the lab's nodes must
    // be where the players are told they are.
    p.set_bool(lt::settings_pack::listen_system_port_fallback, false);
    p.set_int(lt::settings_pack::max_retry_port_bind, 0);
    // Always ours, even when empty: the default list is public nodes.
    p.set_str(lt::settings_pack::dht_bootstrap_nodes, blnRedPrivada ? std::string() : arranque);
    p.set_bool(lt::settings_pack::enable_dht, true);
    // Not read-only (BEP 43), though a player comes and goes: libtorrent's
    // nodes still hand out a read-only player they heard of, and a
    // read-only player's puts were seen to fail on a private DHT. A
    // traversal that asks a player behind a NAT waits 15 s for him: lookups
    // tell the first item found, and puts on a private DHT go direct.
    p.set_bool(lt::settings_pack::dht_read_only, false);
    // Multicast on the local network and talking to the router are not
    // what a rendezvous needs.
    p.set_bool(lt::settings_pack::enable_lsd, false);
    p.set_bool(lt::settings_pack::enable_upnp, false);
    p.set_bool(lt::settings_pack::enable_natpmp, false);
    // No torrents: no peers to connect to, nothing to announce.
    p.set_int(lt::settings_pack::connections_limit, 4);
    p.set_int(lt::settings_pack::active_limit, 0);
    p.set_int(lt::settings_pack::stop_tracker_timeout, 1);
    p.set_int(lt::settings_pack::alert_queue_size, kMaxAvisosEnCola);
    p.set_int(lt::settings_pack::alert_mask,
              static_cast<int>(static_cast<std::uint32_t>(lt::alert_category::dht |
                                                          lt::alert_category::status |
                                                          lt::alert_category::error)));
    if (blnRedPrivada) {
        // Every node of a private DHT may share one address (127.0.0.1, or
        // one /24 in the lab): libtorrent would keep only one of them in its
        // routing table and in each lookup, and ban the address that sends
        // more than 5 packets a second.
        p.set_bool(lt::settings_pack::dht_restrict_routing_ips, false);
        p.set_bool(lt::settings_pack::dht_restrict_search_ips, false);
        p.set_int(lt::settings_pack::dht_block_ratelimit, 1000);
    }
    // No plugins: ut_metadata, ut_pex and smart_ban are for torrents.
    auto ses = std::make_unique<lt::session>(
        lt::session_params(std::move(p), std::vector<std::shared_ptr<lt::plugin>>{}));
    if (blnRedPrivada) {
        for (const QString& nodo : QString::fromStdString(arranque).split(u',', Qt::SkipEmptyParts)) {
            QString host;
            int puerto = 0;
            if (PartirNodo(nodo.trimmed(), host, puerto)) ses->add_dht_node({host.toStdString(), puerto});
        }
    }
    return ses;
}

// What the network thread's notify function may touch: the object to wake,
// cleared under the lock before the object goes.
struct Buzon {
    std::mutex m;
    CitaDht* destino = nullptr;
};

struct CitaDht::Estado {
    enum class Tipo { Publicar, Buscar };
    struct Operacion {
        int id = 0;
        Tipo tipo = Tipo::Buscar;
        std::array<char, 32> clave{};
        std::string sal;
        int directasEnVuelo = 0; // direct puts not yet answered
        int guardadaEn = 0;      // nodes that said they stored it, directly
    };

    Ajustes ajustes;
    std::unique_ptr<lt::session> ses;
    std::shared_ptr<Buzon> buzon = std::make_shared<Buzon>();
    // Per (key, salt) this object wrote (two per invitation); and how many
    // traversals of publications already told are still to report there.
    std::map<std::pair<std::array<char, 32>, std::string>, std::shared_ptr<Escrito>> escritos;
    std::map<std::pair<std::array<char, 32>, std::string>, int> recorridosSobrantes;
    std::vector<Operacion> enCurso;
    std::vector<Operacion>::iterator PorId(int id) {
        return std::find_if(enCurso.begin(), enCurso.end(),
                            [id](const Operacion& o) { return o.id == id; });
    }
    std::vector<lt::udp::endpoint> nodosPrivados;
    std::vector<std::unique_ptr<PeticionDirecta>> directas;
    QTimer estadisticas;
    int nodos = 0;
    int siguienteId = 1;
    int interfacesPedidas = 0;
    int escuchasFallidas = 0;
    bool blnEscucha = false;
    bool blnArrancada = false;
    bool blnRota = false;
};

CitaDht::CitaDht(Ajustes a, QObject* parent) : QObject(parent), d_(std::make_unique<Estado>()) {
    d_->ajustes = std::move(a);
    QString interfaces = d_->ajustes.interfaces;
    // Only the families this computer can reach the internet with: a DHT
    // of the other family would have nobody to ask, and libtorrent waits
    // 15 s on every node it cannot reach before it ends a lookup or a put.
    const Familias propias = FamiliasPropias();
    if (interfaces.isEmpty())
        interfaces = blnSoloLocal() ? QStringLiteral("127.0.0.1:0") : TextoInterfaces(propias);
    QString motivo = MotivoRechazoInterfaces(interfaces);
    QStringList arranque;
    for (const QString& nodo : d_->ajustes.nodosArranque) {
        if (!motivo.isEmpty()) break;
        motivo = MotivoRechazoNodo(nodo.trimmed());
        if (blnSoloLocal() || blnAlcanzable(nodo.trimmed(), propias)) arranque << nodo.trimmed();
    }
    if (motivo.isEmpty() && arranque.isEmpty())
        motivo = QStringLiteral("No hay ningún nodo de arranque para la DHT.");
    if (!motivo.isEmpty()) {
        // Refused before libtorrent hears of any address.
        d_->blnRota = true;
        QMetaObject::invokeMethod(this, [this, motivo] { emit fallo(motivo); }, Qt::QueuedConnection);
        return;
    }
    d_->interfacesPedidas = int(interfaces.split(u',', Qt::SkipEmptyParts).size());
    if (d_->ajustes.blnRedPrivada) {
        for (const QString& nodo : arranque) {
            QString host;
            int puerto = 0;
            lt::error_code ec;
            const lt::address dir = PartirNodo(nodo, host, puerto)
                                        ? lt::make_address(host.toStdString(), ec)
                                        : lt::address();
            if (!ec && !dir.is_unspecified() && d_->nodosPrivados.size() < kMaxNodosPrivados)
                d_->nodosPrivados.emplace_back(dir, std::uint16_t(puerto));
        }
    }

    d_->ses = AbrirSesionDht(interfaces.toStdString(), arranque.join(u',').toStdString(),
                             d_->ajustes.blnRedPrivada);
    d_->buzon->destino = this;
    d_->ses->set_alert_notify([buzon = d_->buzon] {
        // libtorrent's thread: only queue a read on ours.
        std::lock_guard<std::mutex> l(buzon->m);
        if (buzon->destino)
            QMetaObject::invokeMethod(
                buzon->destino, [c = buzon->destino] { c->LeerAvisos(); }, Qt::QueuedConnection);
    });
    connect(&d_->estadisticas, &QTimer::timeout, this, [this] { d_->ses->post_dht_stats(); });
    d_->estadisticas.start(kIntervaloArranqueMs);
    QTimer::singleShot(kPlazoArranqueMs, this, [this] {
        if (!d_->blnArrancada && !d_->blnRota)
            emit fallo(QStringLiteral("Ningún nodo de arranque de la DHT contesta."));
    });
    // Alerts may have been queued before the notify function was set.
    QMetaObject::invokeMethod(this, [this] { LeerAvisos(); }, Qt::QueuedConnection);
}

CitaDht::~CitaDht() {
    if (!d_->ses) return;
    {
        std::lock_guard<std::mutex> l(d_->buzon->m);
        d_->buzon->destino = nullptr;
    }
    d_->ses->set_alert_notify({});
    // With no torrents there are no trackers to say goodbye to and the DHT
    // sends nothing on the way out, so waiting on the proxy is short.
    // Nothing can wake us after this: the notify function is gone, and a
    // read already queued dies with this object (Qt drops its events).
    lt::session_proxy proxy = d_->ses->abort();
    d_->ses.reset();
}

Clave32 CitaDht::ClavePublica(const Clave32& semilla) {
    const auto [publica, secreta] = lt::dht::ed25519_create_keypair(Bytes(semilla));
    (void)secreta;
    return Clave(publica.bytes);
}

int CitaDht::NodosConocidos() const { return d_->nodos; }

// Every operation passes here first; a refused one ends in `fallo`, later.
bool CitaDht::blnRechazada(const QByteArray& sal, qsizetype bytesValor) {
    QString motivo;
    if (d_->blnRota) motivo = QStringLiteral("La DHT no está en marcha.");
    else if (bytesValor > kMaxValorDht)
        motivo = QStringLiteral("El dato ocupa %1 bytes; en la DHT caben %2.").arg(bytesValor).arg(kMaxValorDht);
    else if (sal.size() > kMaxSal) motivo = QStringLiteral("La sal pasa de %1 bytes.").arg(kMaxSal);
    else if (int(d_->enCurso.size()) >= kMaxOperacionesEnCurso)
        motivo = QStringLiteral("Demasiadas operaciones de la DHT en curso.");
    if (motivo.isEmpty()) return false;
    QMetaObject::invokeMethod(this, [this, motivo] { emit fallo(motivo); }, Qt::QueuedConnection);
    return true;
}

void CitaDht::Publicar(const Clave32& semilla, const QByteArray& sal, const QByteArray& valor) {
    if (blnRechazada(sal, valor.size())) return;
    const auto [publica, secreta] = lt::dht::ed25519_create_keypair(Bytes(semilla));
    const std::string strSal = Cadena(sal);
    auto& escrito = d_->escritos[{publica.bytes, strSal}];
    if (!escrito) escrito = std::make_shared<Escrito>();
    {
        std::lock_guard<std::mutex> l(escrito->m);
        escrito->valor = Cadena(valor);
        escrito->Siguiente(escrito->seq); // above every put of the value before
    }

    // Runs on libtorrent's thread once the lookup has found what the DHT
    // holds (its seq, 0 if nothing).
    auto firmar = [publica = publica, secreta = secreta,
                   escrito = escrito](lt::entry& item, std::array<char, 64>& firma,
                                      std::int64_t& seq, std::string const& salUsada) {
        std::lock_guard<std::mutex> l(escrito->m);
        const std::int64_t nueva = escrito->Siguiente(seq);
        item = lt::entry(escrito->valor);
        firma = FirmaDeValor(escrito->valor, salUsada, nueva, publica.bytes, secreta.bytes);
        seq = nueva;
    };
    const int id = d_->siguienteId++;
    Estado::Operacion op{id, Estado::Tipo::Publicar, publica.bytes, strSal};
    for (const lt::udp::endpoint& nodo : d_->nodosPrivados) {
        if (d_->directas.size() >= kMaxDirectas) break;
        auto& p = d_->directas.emplace_back(std::make_unique<PeticionDirecta>());
        *p = {
            PeticionDirecta::Paso::Token, id, escrito, publica.bytes, secreta.bytes, strSal, nodo};
        d_->ses->dht_direct_request(nodo, PeticionToken(publica.bytes, strSal),
                                    lt::client_data_t(p.get()));
        ++op.directasEnVuelo;
    }
    d_->enCurso.push_back(op);
    d_->ses->dht_put_item(publica.bytes, std::move(firmar), strSal);
    QTimer::singleShot(kPlazoOperacionMs, this, [this, id] { TerminarPuesta(id, false); });
}

// Ends publication `id` if still in flight. Told by its direct puts, its
// traversal still runs and is one to ignore when it reports; given up, it
// never will.
void CitaDht::TerminarPuesta(int id, bool blnRecorridoSigue) {
    const auto it = d_->PorId(id);
    if (it == d_->enCurso.end()) return;
    const Estado::Operacion op = *it;
    d_->enCurso.erase(it);
    if (blnRecorridoSigue) ++d_->recorridosSobrantes[{op.clave, op.sal}];
    emit publicada(QByteArray(op.sal.data(), qsizetype(op.sal.size())), op.guardadaEn);
}

// The next step of a direct put once its node has answered: true while it
// goes on, else `acierto` says whether the node stored the item.
bool CitaDht::blnSeguirDirecta(PeticionDirecta& p, const lt::bdecode_node& respuesta,
                               bool& acierto) {
    acierto = false;
    if (p.paso == PeticionDirecta::Paso::Put) {
        acierto = blnAceptado(respuesta);
        return false;
    }
    const std::optional<TokenDeNodo> t = LeerToken(respuesta, p.publica, p.sal);
    if (!t) return false;
    lt::entry put;
    {
        std::lock_guard<std::mutex> l(p.escrito->m);
        const std::int64_t seq = p.escrito->Siguiente(t->seq);
        put = PeticionPut(t->token, p.publica, p.sal, p.escrito->valor, seq,
                          FirmaDeValor(p.escrito->valor, p.sal, seq, p.publica, p.secreta));
    }
    p.paso = PeticionDirecta::Paso::Put;
    d_->ses->dht_direct_request(p.nodo, put, lt::client_data_t(&p));
    return true;
}

void CitaDht::Buscar(const Clave32& clavePublica, const QByteArray& sal) {
    if (blnRechazada(sal, 0)) return;
    const int id = d_->siguienteId++;
    d_->enCurso.push_back({id, Estado::Tipo::Buscar, Bytes(clavePublica), Cadena(sal)});
    d_->ses->dht_get_item(Bytes(clavePublica), Cadena(sal));
    QTimer::singleShot(kPlazoOperacionMs, this, [this, id, sal] {
        const auto it = d_->PorId(id);
        if (it == d_->enCurso.end()) return;
        d_->enCurso.erase(it);
        emit noEncontrada(sal);
    });
}

void CitaDht::LeerAvisos() {
    if (!d_->ses) return;
    // Alerts live only until the next pop: copy out what we need first, as
    // a slot may run an event loop that reads again, or delete us.
    struct Suceso {
        enum class Tipo {
            Arranque,
            Tabla,
            Escucha,
            Puesta,
            Hallada,
            Directa
        } tipo = Tipo::Arranque;
        std::array<char, 32> clave{};
        std::string sal;
        int numero = 0;
        std::int64_t seq = 0;
        bool blnValida = false;
        QByteArray valor;
        QString texto;
    };
    std::vector<Suceso> sucesos;
    std::vector<lt::alert*> avisos;
    d_->ses->pop_alerts(&avisos);
    for (lt::alert* a : avisos) {
        Suceso s;
        if (lt::alert_cast<lt::dht_bootstrap_alert>(a)) {
            s.tipo = Suceso::Tipo::Arranque;
        } else if (auto* e = lt::alert_cast<lt::dht_stats_alert>(a)) {
            s.tipo = Suceso::Tipo::Tabla;
            for (const auto& cubo : e->routing_table) s.numero += cubo.num_nodes;
        } else if (auto* l = lt::alert_cast<lt::listen_succeeded_alert>(a)) {
            // The DHT speaks over the UDP socket (libtorrent calls it utp).
            if (l->socket_type == lt::socket_type_t::utp) d_->blnEscucha = true;
            continue;
        } else if (auto* f = lt::alert_cast<lt::listen_failed_alert>(a)) {
            if (f->socket_type != lt::socket_type_t::utp) continue;
            s.tipo = Suceso::Tipo::Escucha;
            s.texto = QString::fromStdString(f->message());
        } else if (auto* p = lt::alert_cast<lt::dht_put_alert>(a)) {
            s.tipo = Suceso::Tipo::Puesta;
            s.clave = p->public_key;
            s.sal = p->salt;
            s.numero = p->num_success;
            s.seq = p->seq;
        } else if (auto* r = lt::alert_cast<lt::dht_direct_response_alert>(a)) {
            // Only our own records: the address libtorrent hands back is
            // looked up, never trusted.
            const auto it =
                std::find_if(d_->directas.begin(), d_->directas.end(), [&](const auto& p) {
                    return p.get() == r->userdata.get<PeticionDirecta>();
                });
            if (it == d_->directas.end()) continue;
            bool acierto = false;
            if (blnSeguirDirecta(**it, r->response(), acierto)) continue;
            s.tipo = Suceso::Tipo::Directa;
            s.numero = (*it)->operacion;
            s.blnValida = acierto;
        } else if (auto* m = lt::alert_cast<lt::dht_mutable_item_alert>(a)) {
            // Only a string of our size is ours; anything else is dropped unread.
            const bool blnValida = m->item.type() == lt::entry::string_t &&
                                   m->item.string().size() <= std::size_t(kMaxValorDht);
            // The first good item is told at once: the lookup itself only
            // ends once every node asked has answered or timed out, which
            // takes 15 s whenever one of them sits behind a NAT. A newer
            // item the same lookup would still find is seen by the next one.
            if (!m->authoritative && !blnValida) continue;
            s.tipo = Suceso::Tipo::Hallada;
            s.clave = m->key;
            s.sal = m->salt;
            s.seq = m->seq;
            if (blnValida) {
                s.blnValida = true;
                s.valor = QByteArray(m->item.string().data(), qsizetype(m->item.string().size()));
            }
        } else {
            continue;
        }
        sucesos.push_back(std::move(s));
    }

    QPointer<CitaDht> vivo(this);
    auto tomar = [this](Estado::Tipo tipo, const Suceso& s) -> std::optional<Estado::Operacion> {
        const auto it = std::find_if(d_->enCurso.begin(), d_->enCurso.end(), [&](const Estado::Operacion& o) {
            return o.tipo == tipo && o.clave == s.clave && o.sal == s.sal;
        });
        if (it == d_->enCurso.end()) return std::nullopt;
        const Estado::Operacion op = *it;
        d_->enCurso.erase(it);
        return op;
    };
    for (const Suceso& s : sucesos) {
        if (!vivo) return;
        const QByteArray sal(s.sal.data(), qsizetype(s.sal.size()));
        switch (s.tipo) {
        case Suceso::Tipo::Arranque:
            d_->ses->post_dht_stats();
            break;
        case Suceso::Tipo::Tabla:
            d_->nodos = s.numero;
            if (!d_->blnArrancada && s.numero > 0) {
                d_->blnArrancada = true;
                d_->estadisticas.start(kIntervaloEstadisticasMs);
                emit arrancada(s.numero);
            }
            break;
        case Suceso::Tipo::Escucha:
            ++d_->escuchasFallidas;
            if (!d_->blnEscucha && d_->escuchasFallidas >= d_->interfacesPedidas && !d_->blnRota) {
                d_->blnRota = true;
                emit fallo(QStringLiteral("La DHT no puede escuchar: %1").arg(s.texto));
            }
            break;
        case Suceso::Tipo::Puesta: {
            const auto sobrantes = d_->recorridosSobrantes.find({s.clave, s.sal});
            if (sobrantes != d_->recorridosSobrantes.end() && sobrantes->second > 0) {
                --sobrantes->second; // its publication was told already
                break;
            }
            if (const auto op = tomar(Estado::Tipo::Publicar, s))
                emit publicada(sal, std::max(s.numero, op->guardadaEn));
            break;
        }
        case Suceso::Tipo::Directa: {
            const int id = s.numero;
            const auto op = d_->PorId(id);
            if (op == d_->enCurso.end()) break;
            --op->directasEnVuelo;
            if (s.blnValida && ++op->guardadaEn == 1)
                QTimer::singleShot(kGraciaDirectaMs, this,
                                   [this, id] { TerminarPuesta(id, true); });
            if (op->directasEnVuelo == 0 && op->guardadaEn > 0) TerminarPuesta(id, true);
            break;
        }
        case Suceso::Tipo::Hallada:
            if (!tomar(Estado::Tipo::Buscar, s).has_value()) break;
            if (s.blnValida) emit encontrada(sal, s.valor, s.seq);
            else emit noEncontrada(sal);
            break;
        }
    }
}

} // namespace brumaria::red::invitacion
