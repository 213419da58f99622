#pragma once
// Finding sessions, both sides: the search that asks every so often and
// hands on each answer, the host's sockets that answer it, the rendezvous
// folder where local hosts announce themselves, and the typed addresses.
// The datagrams themselves are in descubrimiento.h; every datagram goes
// through DirectPlay8Peer::blnDestinoPermitido.
#include "net/descubrimiento.h"
#include "net/dplay.h"

#include <QElapsedTimer>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <cstdint>
#include <functional>

class QTimer;
class QUdpSocket;

namespace brumaria::red {

// Distinct answering sockets one search reports, and local hosts it asks:
// bounds what a crowded network or a stuffed folder can make us hold.
inline constexpr int kMaxSesionesBusqueda = 64;
// Answers a host gives one source address per second. A searcher asks twice
// a second; an answer is up to 16 times the size of the query, so without a
// cap a forged source address would turn a host into an amplifier.
inline constexpr int kMaxRespuestasPorFuente = 4;

using Destino = QPair<QHostAddress, quint16>;

// "host", "host:port", "[v6]" or "[v6]:port". False for anything else.
bool PartirDireccion(const QString& texto, QString& host, quint16& puerto, quint16 porDefecto);
// A host given as an address ("localhost" counts as 127.0.0.1) rather
// than a name to look up.
bool blnDireccionLiteral(const QString& host, QHostAddress& dir);
// "1.2.3.4:port", or "[v6]:port" for an address that is not IPv4.
QString TextoDireccion(const QHostAddress& dir, quint16 puerto);
// An IPv6 address a friend on the internet can reach: global unicast, not
// loopback, link-local, unique-local, site-local or multicast.
bool blnIPv6Global(const QHostAddress& dir);
// What the host tells his friend to type over IPv6, "[2001:db8::5]:47810",
// for the first global IPv6 address among `propias`; empty without one.
QString TextoIPv6ParaCompartir(const QList<QHostAddress>& propias, quint16 puerto);

// One UDP port on both address families: an IPv4 and an IPv6 socket, each
// kept only if it could be bound, so a computer without IPv6 still plays.
// The IPv6 socket is IPv6-only; a datagram leaves by the socket of its
// destination's family.
class UdpDosFamilias {
public:
    using Lector = std::function<void(QUdpSocket*)>;
    // puerto 0: any free one, the same on both when it can be had.
    void Abrir(QObject* dueno, bool blnSoloLoopback, quint16 puerto, bool blnCompartido,
               const Lector& alLeer);
    void Cerrar();
    bool blnAbierto() const { return v4_ || v6_; }
    std::uint16_t Puerto() const;
    void Enviar(const QHostAddress& dir, quint16 puerto, const QByteArray& datos) const;

private:
    QUdpSocket* v4_ = nullptr;
    QUdpSocket* v6_ = nullptr;
};

// The per-user folder of empty files "<pid>-<port>", one per local host:
// a unicast to one shared port would reach only one host on the machine.
class CarpetaEncuentros {
public:
    // Empty restores the default (the per-user runtime folder).
    static void FijarRuta(const QString& ruta);
    static QString Ruta();
    // Announces a discovery port; the file's path, empty when it could not
    // be written.
    static QString Anunciar(quint16 puerto);
    // The ports of the hosts still alive; files of gone processes are removed.
    static QList<Destino> Destinos();
};

// The host's side: the private port on loopback (announced in the folder)
// and, over TCP/IP, the shared well-known port that hears broadcasts and
// IPv6 multicasts.
class Anuncio {
public:
    // The session as it is now (an empty one answers nothing).
    using Sesion = std::function<DPN_APPLICATION_DESC()>;
    // dueno: parent of the sockets and context of their signals.
    Anuncio(QObject* dueno, Sesion sesion);
    ~Anuncio();
    Anuncio(const Anuncio&) = delete;
    Anuncio& operator=(const Anuncio&) = delete;

    // Starts answering searches for the session that listens on puertoTcp.
    void Abrir(bool blnLocal, bool blnSoloLoopback, quint16 puertoTcp);
    // Closes the sockets and removes the announcement. Safe to repeat.
    void Cerrar();
    std::uint16_t PuertoLocal() const;

private:
    void Responder(QUdpSocket* s);

    QObject* dueno_;
    Sesion sesion_;
    quint16 puertoTcp_ = 0;
    UdpDosFamilias local_;   // loopback:ephemeral, announced in the folder
    UdpDosFamilias publico_; // fixed port, TCP provider only
    QString archivo_;
    QHash<QString, int> respondidas_; // answers per source in this second
    QElapsedTimer segundo_;
};

// The searching side: one search at a time, asking until stopped.
class Busqueda {
public:
    using Respuesta = std::function<void(const DPNMSG_ENUM_HOSTS_RESPONSE&)>;
    // dueno: parent of the socket and timer and context of their signals.
    Busqueda(QObject* dueno, Respuesta alResponder);
    ~Busqueda();
    Busqueda(const Busqueda&) = delete;
    Busqueda& operator=(const Busqueda&) = delete;

    // Starts asking for guidAplicacion under `handle` (> 0; stop any
    // earlier search first). hostEscrito empty: the rendezvous folder and,
    // when blnDifundir, the local network; otherwise only that host.
    void Empezar(std::int32_t handle, const QString& guidAplicacion, const QString& proveedor,
                 bool blnDifundir, bool blnSoloLoopback, const QString& hostEscrito, quint16 puerto,
                 int intervaloMs);
    // Ends the search; the handle it had, 0 when none was running.
    std::int32_t Detener();
    std::int32_t Handle() const { return handle_; }
    void FijarIntervalo(int ms);

private:
    void AbrirSocket();
    void Preguntar();
    void RecibirRespuestas(QUdpSocket* s);

    QObject* dueno_;
    Respuesta alResponder_;
    QTimer* temporizador_;
    std::int32_t handle_ = 0;
    UdpDosFamilias udp_;
    QString proveedor_;
    QString guid_;
    bool blnDifundir_ = false;
    bool blnEscrita_ = false;
    bool blnSoloLoopback_ = false;
    int preguntas_ = 0;            // queries of this search so far
    QList<Destino> destinosFijos_; // a typed address, once resolved
    // Stamps of our recent queries: an answer must echo one, so stale,
    // replayed or blindly forged answers are not reported.
    QList<std::uint32_t> marcas_;
    std::uint32_t desfase_ = 0; // random per search, added to the clock
    // The query each answering socket last answered, by "ip:port". A socket
    // speaks for one session and answers a query once: a second answer to
    // the same query is dropped, so a forger gets one report per query
    // however many sessions it makes up, and only 64 sockets are heard.
    QHash<QString, std::uint32_t> fuentes_;
};

} // namespace brumaria::red
