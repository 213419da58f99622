#pragma once
// Our peer-to-peer session transport, built on Qt Network. It offers what
// the game needs of a DirectPlay-style peer: service providers, hosting a
// session of at most two players, searching for sessions, joining one,
// sending strings that arrive whole and in order, player names, the session
// description, and events delivered one at a time on the UI thread.
//
// Providers (1-based):
//   1. "Conexión TCP/IP (red local o Internet)": hosts listen on every
//      interface; a search with no address broadcasts on the local network
//      (UDP port kPuertoDescubrimiento) and also looks on this computer; a
//      search with an address ("host", "host:port", "[v6]:port") asks only
//      that computer, so players can meet over the internet.
//   2. "Este equipo (local)": everything stays on 127.0.0.1; hosts announce
//      their discovery port in a per-user folder (CarpetaEncuentros), so any
//      number of hosts on one machine are found at once.
//
// Test safety: in local-only mode (platform/solo_local.h), no
// datagram and no connection ever leaves the loopback interface, whatever
// the provider or address; broadcasts are never sent. Every send goes
// through one check that enforces this.
//
// Events: every operation's outcome and every arrival is queued and handed
// to the registered DirectPlay8Event sink from a queued call, one event per
// call, in order. A handler may run a nested event loop (Pausa, a modal
// box): no further event is delivered until it returns. Never delete the
// peer inside a handler (use deleteLater); Close() there is fine.
#include <QHostAddress>
#include <QObject>
#include <QString>
#include <cstdint>
#include <memory>

namespace brumaria::red {

// Result codes (0 is success; every failure has its own value).
inline constexpr std::int32_t DPN_OK = 0;
inline constexpr std::int32_t DPNERR_SESSIONFULL = static_cast<std::int32_t>(0x80158610u);
// Nothing listens at the address (connection refused or unreachable).
inline constexpr std::int32_t DPNERR_NOCONNECTION = static_cast<std::int32_t>(0x80158480u);
// The host did not complete the handshake in time.
inline constexpr std::int32_t DPNERR_NORESPONSE = static_cast<std::int32_t>(0x80158590u);
// The host runs another application (different application GUID).
inline constexpr std::int32_t DPNERR_INVALIDAPPLICATION = static_cast<std::int32_t>(0x80158300u);
// The host's session is not the one asked for (it was restarted).
inline constexpr std::int32_t DPNERR_INVALIDINSTANCE = static_cast<std::int32_t>(0x80158380u);
// The address cannot be used (malformed, unknown name, or not loopback in tests).
inline constexpr std::int32_t DPNERR_INVALIDHOSTADDRESS = static_cast<std::int32_t>(0x80158320u);
// The other side answered something that is not our protocol.
inline constexpr std::int32_t DPNERR_HOSTREJECTEDCONNECTION =
    static_cast<std::int32_t>(0x801582A0u);
// Bad argument (unknown provider, malformed GUID, text too long).
inline constexpr std::int32_t DPNERR_INVALIDPARAM = static_cast<std::int32_t>(0x80070057u);
// Already hosting or connected (Close first).
inline constexpr std::int32_t DPNERR_ALREADYINITIALIZED = static_cast<std::int32_t>(0x801580B0u);
// The listening socket could not be opened.
inline constexpr std::int32_t DPNERR_CANTCREATEPLAYER = static_cast<std::int32_t>(0x80158160u);
// An asynchronous operation was cancelled.
inline constexpr std::int32_t DPNERR_USERCANCEL = static_cast<std::int32_t>(0x80158700u);
// The other side speaks another version of the game's protocol: refused
// before anything of a match could be misread.
inline constexpr std::int32_t DPNERR_OTRAVERSION = static_cast<std::int32_t>(0x80158A00u);

// Why a player left (DestroyPlayer).
inline constexpr std::int32_t DPNDESTROYPLAYERREASON_NORMAL = 1;         // said goodbye
inline constexpr std::int32_t DPNDESTROYPLAYERREASON_CONNECTIONLOST = 2; // vanished or misbehaved

// A player id; 0 addresses every other player.
inline constexpr std::int32_t DPNID_ALL_PLAYERS_GROUP = 0;

struct DPN_APPLICATION_DESC {
    QString guidInstance;    // one per hosted session, "{...}"
    QString guidApplication; // the game's GUID
    std::int32_t lMaxPlayers = 0;
    std::int32_t lCurrentPlayers = 0;
    QString SessionName;
};

struct ProveedorServicio {
    QString Name;
    QString Guid;
};

// GUIDs of the two providers.
inline const QString kGuidProveedorTcp = QStringLiteral("{6D4A3650-628D-11D2-AE0F-006097B01411}");
inline const QString kGuidProveedorLocal = QStringLiteral("{3B2C7E51-9A4D-4F0B-8C1E-5D6F7A8B9C0D}");

struct DPNMSG_RECEIVE {
    std::int32_t idSender = 0;
    QString strNombreRemitente; // the sender's name when the message arrived
    QString strDatos;           // the string as sent (always valid UTF-8 on the wire)
};

struct DPNMSG_CONNECT_COMPLETE {
    std::int32_t hAsyncOp = 0;
    std::int32_t hResultCode = 0;
};

struct DPNMSG_ENUM_HOSTS_RESPONSE {
    DPN_APPLICATION_DESC ApplicationDescription;
    QString HostAddressUrl;   // "127.0.0.1:40123": give it to Connect
    QString DeviceAddressUrl; // the provider's GUID
    // The socket that answered, "ip:port". A host answers from one socket
    // per session, so a list keeps one entry per socket: whatever session
    // ids a forger makes up, it holds one line.
    QString SenderAddressUrl;
    std::int32_t lRoundTripLatencyMS = 0;
};

struct DPNMSG_ASYNC_OP_COMPLETE {
    std::int32_t hAsyncOp = 0;
    std::int32_t hResultCode = 0;
};

// The event sink. Every handler defaults to doing nothing.
class DirectPlay8Event {
public:
    virtual ~DirectPlay8Event() = default;
    virtual void DirectPlay8Event_CreatePlayer(std::int32_t lPlayerID) { (void)lPlayerID; }
    virtual void DirectPlay8Event_DestroyPlayer(std::int32_t lPlayerID, std::int32_t lReason) {
        (void)lPlayerID;
        (void)lReason;
    }
    virtual void DirectPlay8Event_Receive(const DPNMSG_RECEIVE& dpnotify) { (void)dpnotify; }
    virtual void DirectPlay8Event_ConnectComplete(const DPNMSG_CONNECT_COMPLETE& dpnotify) {
        (void)dpnotify;
    }
    virtual void DirectPlay8Event_EnumHostsResponse(const DPNMSG_ENUM_HOSTS_RESPONSE& dpnotify) {
        (void)dpnotify;
    }
    virtual void DirectPlay8Event_AsyncOpComplete(const DPNMSG_ASYNC_OP_COMPLETE& dpnotify) {
        (void)dpnotify;
    }
};

class DirectPlay8Peer : public QObject {
    Q_OBJECT
public:
    explicit DirectPlay8Peer(QObject* parent = nullptr);
    ~DirectPlay8Peer() override;

    // The sink that receives events (not owned); nullptr drops them.
    void RegisterMessageHandler(DirectPlay8Event* sink);
    void UnRegisterMessageHandler() { RegisterMessageHandler(nullptr); }

    static int GetCountServiceProviders();
    // 1-based; an empty record out of range.
    static ProveedorServicio GetServiceProvider(int lIndex);

    // The local player's name, sent to the other side when joining or
    // accepting. Set it before Host/Connect.
    void SetPeerInfo(const QString& strNombre);

    // Starts a session; desc gives the name, application GUID and maximum
    // players (only 2 is supported: other values become 2). Returns DPN_OK
    // or an error code. On success the local player's CreatePlayer follows.
    std::int32_t Host(const DPN_APPLICATION_DESC& desc, const QString& strGuidProveedor);

    // Searches for sessions of strGuidAplicacion until cancelled, asking
    // every intervaloBusquedaMs; each answer becomes an EnumHostsResponse
    // (at most 64 distinct sessions per search). strDireccionHost: empty
    // for the local network / this computer, or "host[:port]". Returns the
    // operation handle (> 0), or 0 for bad arguments. Starting a search
    // cancels the previous one.
    std::int32_t EnumHosts(const QString& strGuidAplicacion, const QString& strGuidProveedor,
                           const QString& strDireccionHost = QString());
    // Ends a search (AsyncOpComplete with DPNERR_USERCANCEL follows) or a
    // pending join (ConnectComplete with DPNERR_USERCANCEL follows).
    void CancelAsyncOperation(std::int32_t hAsyncHandle);

    // Joins the session described (instance and application GUID as found
    // by the search) at strHostUrl. Returns the operation handle; the
    // outcome always arrives as ConnectComplete: DPN_OK, DPNERR_SESSIONFULL,
    // or another failure code. On success CreatePlayer for the local
    // player and for the host come first.
    std::int32_t Connect(const DPN_APPLICATION_DESC& desc, const QString& strHostUrl,
                         const QString& strDeviceUrl);

    // Sends one string to a player or to all others (DPNID_ALL_PLAYERS_GROUP),
    // reliably and in order, never looped back. False when nobody is there,
    // the text is beyond the frame bound (kMaxCuerpoMarco bytes of UTF-8),
    // or the other end has stopped reading.
    bool SendTo(std::int32_t idDestino, const QString& strMensaje);

    // A player's name; empty (and *ok false) for an unknown id. Players who
    // left the session are still known (their DestroyPlayer handler asks).
    QString GetPeerInfo(std::int32_t idJugador, bool* ok = nullptr) const;
    // The session hosted or joined (empty outside a session).
    DPN_APPLICATION_DESC GetApplicationDesc() const;

    // Leaves the session (the other side gets DestroyPlayer), ends any
    // search or join, drops queued events. The peer can host or join again.
    void Close();

    // Players in the session, the local one included (0 outside a session).
    int NumeroJugadores() const;
    std::int32_t IdJugadorLocal() const;
    bool blnEsHost() const;
    bool blnEnSesion() const;
    // True while a handler of this peer runs (the peer must not be deleted).
    bool blnEntregandoEvento() const;
    // The host's ports (0 when not hosting): TCP for joins, UDP for searches
    // (the private one on 127.0.0.1, announced in CarpetaEncuentros).
    std::uint16_t PuertoTcp() const;
    std::uint16_t PuertoDescubrimientoLocal() const;

    // Timing, adjustable so tests stay short.
    struct Tiempos {
        int latidoMs = 1000;           // heartbeat interval
        int silencioMs = 4000;         // a peer silent this long is gone
        int saludoMs = 5000;           // handshake limit, both directions
        int intervaloBusquedaMs = 500; // search query interval
    };
    void FijarTiempos(const Tiempos& t);

    // Local-only mode (platform/solo_local.h): loopback only.
    static bool blnModoPrueba();
    // The gate every datagram and connection passes: in test mode only
    // loopback addresses (never a broadcast) are allowed.
    static bool blnDestinoPermitido(const QHostAddress& dir);
    // Folder where local hosts announce themselves; empty restores the
    // default (per-user runtime folder).
    static void FijarCarpetaEncuentros(const QString& ruta);
    static QString CarpetaEncuentros();

signals:
    // After each event was handed to the sink (tests wait on it).
    void eventoEntregado();

private:
    struct Estado;
    std::unique_ptr<Estado> d_;
    friend struct Estado;
};

} // namespace brumaria::red
