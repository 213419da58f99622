#pragma once
// Playing a friend through any router with an invitation code. The host's
// game makes a code, derives its keys, gathers its ICE candidates and
// publishes a sealed offer on the DHT; the guest's game types the code,
// finds the offer, publishes its sealed answer and starts the ICE checks;
// the host picks the answer up. Once the ICE link is up, the game's own
// link runs through a Tunel over the encrypted stream.
//
// One flow, one state (EstadoInvitacion), changed only in Pasar(). Each
// wait is bounded: the guest hears within 30 s of typing the code whether
// it is unknown or the routers could not be crossed; the host, within 30 s
// of reading the answer; the host's code lives 10 minutes.
#include "net/invitacion/cita.h"
#include "net/invitacion/claves.h"
#include "net/invitacion/tunel.h"
#include "options/ajustes_internet.h"

#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace brumaria::red::invitacion {

class CitaDht;
class EnlaceIce;

// Lookups of one item in flight at once: enough to see an item within a
// pause of its arrival although each lookup may take 15 s, far under what
// the DHT session takes at once.
inline constexpr int kMaxBusquedasALaVez = 4;

// The third way to connect, beside the transport's two providers: the
// session dialog lists it, and a session hosted through it runs on the
// "Este equipo (local)" provider behind the tunnel.
inline const QString kNombreProveedorInvitacion =
    QStringLiteral("Por Internet, con un código de invitación");
inline const QString kGuidProveedorInvitacion =
    QStringLiteral("{9E41C3A7-5B2D-4C8E-A1F6-2D7B3E9C4A10}");

enum class EstadoInvitacion {
    Inactiva,
    Derivando,      // the code's keys (Argon2id, off the UI thread)
    Preparando,     // DHT bootstrap and ICE gathering, side by side
    Publicando,     // host: the offer goes out
    EsperandoAmigo, // host: the offer is out; the answer is looked for
    Buscando,       // guest: the offer is looked for
    Respondiendo,   // guest: the answer goes out, checks under way
    Conectando,     // both descriptions known: ICE checks
    Conectada,      // the tunnel runs
    Terminada       // failed, or the tunnel ended
};

class Invitacion : public QObject {
    Q_OBJECT
public:
    enum class Papel { Anfitrion, Invitado };
    enum class Fallo {
        CodigoDesconocido,  // no offer under this code (or not one of ours)
        CodigoCaducado,     // the offer is past its 10 minutes (or from the future)
        CodigoUsado,        // the host already took a guest with it
        SinCruzar,          // the ICE checks failed (a relay would do it)
        TurnRechazado,      // the relay refused us
        SinRed,             // the DHT could not be reached
        NadieRespondio,     // host: nobody used the code in 10 minutes
        AmigoSeFue,         // the link went before the game had joined
        Alterado,           // a record failed authentication
        Interno             // something of this computer's failed
    };
    Q_ENUM(Fallo)

    // What the flow uses from outside; tests give loopback servers.
    struct Entorno {
        AjustesInternet ajustes;
        std::vector<QHostAddress> direccionesLocales; // empty: every interface
        QString interfacesDht;                        // empty: every interface
        bool blnRedPrivada = false;                   // a DHT of a few nodes (tests, lab)
        std::function<qint64()> relojUnix;            // seconds; empty: the system's
        int limiteBusquedaMs = 29000;  // guest: from the code typed to the link (told within 30 s)
        int limiteConexionMs = 30000;  // host: from the answer read to the link
        int vidaCodigoMs = 10 * 60 * 1000;
        int pausaSondeoMs = 2000;                     // between two lookups started
    };

    explicit Invitacion(QObject* parent = nullptr);
    ~Invitacion() override;

    void FijarEntorno(Entorno e) { entorno_ = std::move(e); }
    const Entorno& entorno() const { return entorno_; }

    // Host: the session already listens on 127.0.0.1:puertoJuego.
    void Anfitrionar(quint16 puertoJuego, const QString& guidInstancia,
                     const QString& nombrePartida);
    // Guest: a code as NormalizarCodigo gives it.
    void Unirse(const QString& codigo);
    // Drops everything, whatever the step; nothing more is told.
    void Cancelar();

    EstadoInvitacion Estado() const { return estado_; }
    Papel papel() const { return papel_; }
    const QString& Codigo() const { return codigo_; }
    bool blnRetransmitido() const { return blnRetransmitido_; }
    // Still a node of the DHT: until connected and every put has been told.
    bool blnEnLaDht() const { return dht_ != nullptr; }

    // The player's texts for each step and each failure.
    static QString TextoPaso(EstadoInvitacion e, Papel p);
    static QString TextoFallo(Fallo f);
    // "Conectados directamente" or through the relay.
    static QString TextoConectados(bool blnRetransmitido);

signals:
    void codigoListo(QString codigo);  // host: to read out to the friend
    void paso(brumaria::red::invitacion::EstadoInvitacion e, QString texto);
    // Guest: the game joins the session at 127.0.0.1:puerto.
    void listaParaUnirse(quint16 puerto, QString guidInstancia, QString nombrePartida);
    void conectada(bool blnRetransmitido);
    void fallida(brumaria::red::invitacion::Invitacion::Fallo f, QString texto);
    // The tunnel ended after the game had joined (the game's link tells the rest).
    void terminada();

private:
    void Pasar(EstadoInvitacion e);
    void Empezar(Papel p);
    void ClavesListas(std::optional<ClavesCodigo> claves);
    void Preparado();
    void PublicarOferta();
    void EmpezarASondear();
    void Buscar();
    void Encontrada(const QByteArray& sal, const QByteArray& valor);
    void NoEncontrada(const QByteArray& sal);
    void OfertaLeida(const Oferta& o);
    void RespuestaLeida(const Respuesta& r);
    void IceConectado(bool blnRetransmitido);
    void AbrirTunel();
    void Fallar(Fallo f);
    void Liberar();
    void Publicar(const QByteArray& sal, const QByteArray& valor);
    void DejarLaDhtSiNadaQueda();
    qint64 AhoraUnix() const;

    Entorno entorno_;
    EstadoInvitacion estado_ = EstadoInvitacion::Inactiva;
    Papel papel_ = Papel::Anfitrion;
    QString codigo_;
    std::optional<ClavesCodigo> claves_;
    ParKx kx_{};
    std::optional<ClavesSesion> sesion_;
    Oferta oferta_;           // ours (host) or the host's (guest)
    std::optional<DescripcionIce> iceLocal_;
    bool blnDhtLista_ = false;
    bool blnRetransmitido_ = false;
    bool blnIceArriba_ = false; // the ICE link is up (the guest may wait for the host's first word)
    quint16 puertoJuego_ = 0;
    std::unique_ptr<CitaDht> dht_;
    std::unique_ptr<EnlaceIce> ice_;
    std::unique_ptr<Tunel> tunel_;
    QByteArray antesDelTunel_; // the friend's first bytes, before our tunnel
    QTimer limite_;           // the current step's bound
    QTimer vida_;             // host: the code's life
    QTimer sondeo_;           // the next lookup of the offer or the answer
    int busquedas_ = 0;       // lookups in flight
    int puestas_ = 0;         // publications not yet told
    // Bumped at every start and cancel: a key derivation still running for
    // an earlier flow is then ignored when it ends.
    quint64 generacion_ = 0;
};

// red.ini's servers, and in local-only mode this computer alone.
Invitacion::Entorno EntornoDelEquipo();

} // namespace brumaria::red::invitacion
