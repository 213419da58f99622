#pragma once
// The link between two invited games: ICE (libnice, RFC 5245) crosses the
// routers, and libnice's pseudo-TCP on the chosen candidate pair gives an
// ordered, reliable byte stream. libnice runs on GLib's main context, which
// on Linux is the very loop Qt's own dispatcher iterates, so no thread of
// our own: every callback arrives on the main thread, between Qt events.
//
// Life of a link (one enum, written only by Pasar()):
//   Nuevo --Reunir--> Resolviendo --servers resolved--> Reuniendo
//   Reuniendo --gathering done or bound--> EsperandoRemota (descripcionLista)
//   EsperandoRemota --blnFijarRemota--> Comprobando --pair ready--> Conectado
//   any --fault--> Fallido (fallido, once)      any --Cerrar--> Cerrado
// A remote description given before gathering ends is kept and applied
// when it ends. A failed or closed link stays so; make a new one.
#include "net/invitacion/tipos.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <deque>
#include <optional>
#include <utility>
#include <vector>

struct _NiceAgent;

namespace brumaria::red::invitacion {

enum class EstadoEnlaceIce : std::uint8_t {
    Nuevo,
    Resolviendo,
    Reuniendo,
    EsperandoRemota,
    Comprobando,
    Conectado,
    Fallido,
    Cerrado
};

// Candidates in one description. The rendezvous record carries 12 at most,
// and a remote description with more is refused, so a peer cannot make
// libnice pair and check an unbounded list.
inline constexpr std::size_t kMaxCandidatosIce = 12;
// Bytes waiting to be sent. The pseudo-TCP holds its own window (about
// 90 KiB); this is what the game may queue beyond it while the path is
// slow. The game's frames are at most 16 KiB (net/marco.h), so 1 MiB is
// sixty-four full frames queued and unsent, far beyond an honest burst,
// and still bounds the memory a stalled peer (one that never
// acknowledges) can make us hold. The same bound holds what the other
// side sends before our own checks have ended.
inline constexpr qsizetype kMaxPendienteIce = 1024 * 1024;

class EnlaceIce : public QObject {
    Q_OBJECT
public:
    enum class Fallo : std::uint8_t {
        SinCandidatos,          // we gathered none, or the remote description had no usable one
        NoSeCruza,              // the connectivity checks failed (or ran out of time)
        RetransmisionRechazada, // TURN was given but no relay came: wrong password or unreachable
        Cerrado,                // the other side closed the link
        Desbordado,             // a queue (to send, or come early) went over kMaxPendienteIce
        ServidorNoPermitido,    // local-only mode: a non-loopback server or local address
        BucleSinGlib,           // Qt's event loop is not GLib's: libnice would never run
    };
    Q_ENUM(Fallo)

    struct Servidores {
        // Host name or address, port. libnice takes one STUN server: the
        // first that resolves is used.
        std::vector<std::pair<QString, std::uint16_t>> stun;
        // TURN over UDP; an empty server means no relay.
        QString turnServidor;
        std::uint16_t turnPuerto = 3478;
        QString turnUsuario, turnClave;
        // Only relayed pairs are checked (libnice's force-relay): the peer
        // never learns our addresses. Needs a TURN server.
        bool blnSoloRetransmitido = false;
    };

    struct Tiempos {
        // Name resolution, then gathering, each; then the description goes
        // out with whatever was gathered.
        int reunionMs = 10000;
        // From the remote description to a working pair. libnice gives up on
        // one silent pair in about 7 s, on many much later (see enlace_ice.cpp).
        int comprobacionMs = 15000;
    };

    // blnControlador: the host is the controlling agent. direccionesLocales:
    // empty means every interface libnice finds (it skips loopback by
    // itself); give {127.0.0.1} or {::1} to use loopback.
    EnlaceIce(bool blnControlador, Servidores servidores,
              std::vector<QHostAddress> direccionesLocales, QObject* parent = nullptr);
    // Safe from inside any of this link's own signals: nothing of libnice
    // reaches this object afterwards, and the agent itself is let go once
    // the main loop is back out of libnice.
    ~EnlaceIce() override;

    // Qt's dispatcher on this thread is GLib's and this is the main thread.
    static bool blnBucleCompatible();

    void FijarTiempos(Tiempos t) { tiempos_ = t; }
    EstadoEnlaceIce estado() const { return estado_; }

    // Resolves server names (QHostInfo, never blocking), then gathers;
    // descripcionLista once gathering ends or reunionMs pass.
    void Reunir();
    // The other's description: starts the checks (at once, or when our
    // gathering ends). False when refused: bad credentials, more than
    // kMaxCandidatosIce candidates or none usable (then the link fails).
    bool blnFijarRemota(const DescripcionIce& d);
    // Queued reliably and in order. False when the link is not up (nothing
    // changes), or when the queue would pass kMaxPendienteIce (then the
    // link fails with Desbordado).
    bool blnEnviar(QByteArrayView datos);
    // The selected pair goes through the TURN relay.
    bool blnRetransmitido() const;
    qsizetype Pendientes() const { return pendientesBytes_; }
    void Cerrar();

signals:
    void descripcionLista(brumaria::red::invitacion::DescripcionIce d);
    void conectado(bool blnRetransmitido);
    void datos(QByteArray trozo);
    void fallido(brumaria::red::invitacion::EnlaceIce::Fallo motivo);

private:
    // libnice's signals and the receive callback land here.
    static void AlTerminarReunion(_NiceAgent*, unsigned stream, void* yo);
    static void AlCambiarEstado(_NiceAgent*, unsigned stream, unsigned comp, unsigned estado,
                                void* yo);
    static void AlPoderEscribir(_NiceAgent*, unsigned stream, unsigned comp, void* yo);
    static void AlRecibir(_NiceAgent*, unsigned stream, unsigned comp, unsigned len, char* buf,
                          void* yo);

    void Pasar(EstadoEnlaceIce nuevo);
    void Fallar(Fallo motivo);
    void Resolver();
    void ServidorResuelto();
    QHostAddress Elegir(const QList<QHostAddress>& direcciones) const;
    void EmpezarReunion();
    void TerminarReunion();
    void AplicarRemota();
    void Vaciar();
    void SoltarAgente();

    struct Resolucion {
        QString nombre;
        std::uint16_t puerto = 0;
        std::optional<QHostAddress> direccion; // set once resolved (null if it failed)
        bool blnHecha = false;
    };

    bool controlador_;
    Servidores servidores_;
    std::vector<QHostAddress> locales_;
    Tiempos tiempos_;
    EstadoEnlaceIce estado_ = EstadoEnlaceIce::Nuevo;
    _NiceAgent* agente_ = nullptr;
    unsigned flujo_ = 0;
    std::vector<Resolucion> stun_;
    std::optional<Resolucion> turn_;
    std::vector<int> busquedas_;           // QHostInfo lookups still running
    std::optional<DescripcionIce> remota_; // kept until our gathering ends
    std::deque<QByteArray> pendientes_;
    qsizetype pendientesBytes_ = 0;
    qsizetype enviadoDelPrimero_ = 0; // bytes of pendientes_.front() already taken
    QByteArray recibidoAntes_;        // came while Comprobando, ≤ kMaxPendienteIce
    QTimer limite_;                   // the bound of the current state
};

} // namespace brumaria::red::invitacion
