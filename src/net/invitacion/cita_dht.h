#pragma once
// The rendezvous of an invitation on the Mainline DHT: the host publishes
// his sealed offer as a BEP 44 mutable item, the guest finds it and
// publishes his answer under the same key, the host looks for it. Both
// derive the item's ed25519 key from the invitation code, so nobody else
// can write there; what is written is already encrypted, so this class
// only moves opaque bytes.
//
// One libtorrent session, DHT only (no torrents, no LSD, UPnP or NAT-PMP).
// Its bootstrap nodes are always ours to give: libtorrent's own default
// list is never used. In local-only mode (platform/solo_local.h) every
// bootstrap node and every listening address must be loopback, or nothing
// starts and `fallo` says why.
//
// On a private DHT a publication also goes straight to every listed node
// (net/invitacion/puesta_directa.h) and is told once they have all
// answered, or a second after the first stored it, or when libtorrent's
// own traversal ends, whichever comes first.
//
// Every operation ends in exactly one signal, within a bounded time:
// Publicar in `publicada` (or `fallo`), Buscar in `encontrada` or
// `noEncontrada` (or `fallo`). Signals are emitted on the object's thread.
#include "net/invitacion/tipos.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <libtorrent/fwd.hpp>
#include <memory>
#include <string>
#include <vector>

namespace brumaria::red::invitacion {

struct PeticionDirecta;

// Largest value we store or accept. The DHT holds the value bencoded as a
// string ("996:..." is 1000 bytes), and BEP 44 nodes refuse a "v" whose
// bencoded form is over 1000 bytes, so 996 bytes is the most that is ever
// stored. A longer value found on the DHT is not ours and is dropped.
inline constexpr int kMaxValorDht = 996;

// How long one lookup or one publication may take before it is given up.
// A lookup on the public DHT takes a few seconds; libtorrent's own
// traversal gives up on silent nodes after 15 s, so this only catches the
// cases where it never answers (the DHT not running at all).
inline constexpr int kPlazoOperacionMs = 45'000;

// Operations in flight at once. The invitation needs two; the bound keeps
// a caller's loop from piling up lookups in libtorrent.
inline constexpr int kMaxOperacionesEnCurso = 8;

class CitaDht : public QObject {
    Q_OBJECT
public:
    struct Ajustes {
        // "ip:port", "[v6]:port", or (outside local-only mode) "host:port".
        // Always set explicitly: an empty list is a `fallo`, never
        // libtorrent's default public nodes. On a private DHT give every
        // node: a node passes on only those it has itself heard answer.
        std::vector<QString> nodosArranque;
        // libtorrent's listen_interfaces; empty means every interface on a
        // port of the system's choosing ("127.0.0.1:0" in local-only mode).
        QString interfaces;
        // A private DHT of a few nodes on one machine or one lab network:
        // lifts the checks that keep one IP (or one /24) from filling a
        // routing table or a lookup, and the per-IP rate limit. Never for
        // the public DHT, where those checks stop routing-table poisoning.
        bool blnRedPrivada = false;
    };

    explicit CitaDht(Ajustes a, QObject* parent = nullptr);
    // Tears the session down without waiting on the network (1 to 2 ms in
    // the tests, a lookup in flight); pending operations end unreported.
    ~CitaDht() override;

    // The ed25519 public key both players get from the seed.
    static Clave32 ClavePublica(const Clave32& semilla);

    // Stores `valor` (at most kMaxValorDht bytes) under (key of `semilla`,
    // `sal`), with a sequence number above both what this object last put
    // there and what the DHT holds.
    void Publicar(const Clave32& semilla, const QByteArray& sal, const QByteArray& valor);
    // One lookup of the newest item under (clavePublica, sal).
    void Buscar(const Clave32& clavePublica, const QByteArray& sal);
    // Nodes in the routing table, as last reported by libtorrent.
    int NodosConocidos() const;

signals:
    void arrancada(int nodos);
    void publicada(QByteArray sal, int nodosQueLaGuardan); // 0 = nobody stored it
    void encontrada(QByteArray sal, QByteArray valor, qint64 seq);
    void noEncontrada(QByteArray sal);
    void fallo(QString motivo);

private:
    struct Estado;
    std::unique_ptr<Estado> d_;
    void LeerAvisos();
    bool blnRechazada(const QByteArray& sal, qsizetype bytesValor);
    void TerminarPuesta(int id, bool blnRecorridoSigue);
    bool blnSeguirDirecta(PeticionDirecta& p, const libtorrent::bdecode_node& respuesta,
                          bool& acierto);
};

// A DHT-only libtorrent session, shared with the test network's node
// program. `arranque` is a comma-separated "ip:port" / "[v6]:port" list,
// already checked by the caller (may be empty). On the public DHT they are
// libtorrent's bootstrap routers, which never enter the routing table; on
// a private one they are pinged as ordinary nodes, since there every node
// is one that stores items.
std::unique_ptr<libtorrent::session> AbrirSesionDht(const std::string& interfaces,
                                                   const std::string& arranque,
                                                   bool blnRedPrivada);

} // namespace brumaria::red::invitacion
