#pragma once
// The connection and the game's messages: the transport's event sink for
// the whole connection, the connection state (EstadoConexion, changed only
// here), the typed sender the match uses, the dispatcher of received
// messages, arrivals and departures, chat and alerts.
#include "match/red_partida.h"
#include "net/dplay.h"
#include "net/mapeo_puertos.h"
#include "net/mensajes.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

namespace brumaria {

class Partida;
class PreparacionPartida;
class ModOpciones;
class ModCuadrosDeTexto;
class VistaPartida;

class ModDPlay : public QObject, public RedPartida, public red::DirectPlay8Event {
    Q_OBJECT
public:
    // The game's application GUID and the players a session holds.
    static inline const QString sGuid = QStringLiteral("{ECF6F199-8B33-43D3-BB42-DB7ABDCFFAFA}");
    static constexpr std::int32_t lngUsuariosMax = 2;

    ModDPlay(Partida& partida, PreparacionPartida& preparacion, ModOpciones& opciones,
             ModCuadrosDeTexto& cuadros, VistaPartida& vista, QObject* parent = nullptr);
    ~ModDPlay() override;

    // The connection state; the flags other modules read are derived from it.
    EstadoConexion Estado() const override { return estado_; }
    std::int32_t lngNumJugadores() const { return intJugadores(estado_); }
    bool blnEsHost() const override;
    QString strNombreUsuario() const override { return strNombreUsuario_; }

    // The transport while it exists (the session dialog searches through it).
    red::DirectPlay8Peer* oDPP() const { return oDPP_.get(); }
    void IniciarDPlay() override;
    void TerminarConexion() override;

    // The session dialog's two ways into a session. Hosting answers at once
    // (DPN_OK or an error code); a join's outcome comes as ConnectComplete,
    // which the dialog hears through FijarDialogo.
    std::int32_t HospedarSesion(const QString& strNombreUsuario, const QString& strNombreSesion,
                                const QString& strGuidProveedor);
    std::int32_t UnirseASesion(const QString& strNombreUsuario,
                               const red::DPN_APPLICATION_DESC& desc, const QString& strUrlHost,
                               const QString& strUrlDispositivo);
    // The open session dialog hears search answers and the join's outcome
    // (nullptr when it closes).
    void FijarDialogo(red::DirectPlay8Event* dialogo) { dialogo_ = dialogo; }

    // RedPartida
    void EnviarQuienEmpieza(bool blnEmpiezaElOtro) override;
    void EnviarCompromiso(const QByteArray& huella) override;
    void EnviarRevelacion(const Panel& flota, const QByteArray& sal) override;
    void EnviarAtaque(int intFila, int intColumna) override;
    void EnviarRespuesta(int intFila, int intColumna, int intResultado) override;
    void EnviarFinDePartida() override;
    void EnviarHistorial(const QString& strTexto) override;

    // "Enviar": the line to the other player and, once sent, in the local
    // chat; the "Estás solo" box when nobody is there. False when the line
    // is too long for one frame: it is refused with a box and the caller
    // keeps the text for the player to shorten. The alert menu's three
    // sends (0 sound, 1 message box, 2 history line).
    bool EnviarChat(const QString& strTexto);
    void EnviarAlerta(int intTipo);

    // One received message text, from the player named.
    void RecibirMensaje(const QString& strTexto, const QString& strNombre);
    void ProcesarMensaje(const protocolo::Mensaje& mensaje, const QString& strNombre);

    // red::DirectPlay8Event
    void DirectPlay8Event_CreatePlayer(std::int32_t lPlayerID) override;
    void DirectPlay8Event_DestroyPlayer(std::int32_t lPlayerID, std::int32_t lReason) override;
    void DirectPlay8Event_Receive(const red::DPNMSG_RECEIVE& dpnotify) override;
    void DirectPlay8Event_ConnectComplete(const red::DPNMSG_CONNECT_COMPLETE& dpnotify) override;
    void
    DirectPlay8Event_EnumHostsResponse(const red::DPNMSG_ENUM_HOSTS_RESPONSE& dpnotify) override;
    void DirectPlay8Event_AsyncOpComplete(const red::DPNMSG_ASYNC_OP_COMPLETE& dpnotify) override;

    // Transport timings for new peers (tests shorten them).
    red::DirectPlay8Peer::Tiempos tiempos;
    // Where the router describes itself; empty, it is looked for on the
    // local network, which local-only mode never does (tests name a fake
    // router on loopback here).
    QString strUrlRouter;

signals:
    // After every change of Estado() (the invitation flow ends with the connection).
    void estadoCambiado();

public:
    // Tests: hears every message as it is sent.
    std::function<void(const QString&)> alEnviar;

    // Tests and fuzzing without a transport: what would be sent goes to
    // `salida`, and both players count as in the session.
    void SustituirTransporte(std::function<bool(const QString&)> salida, bool blnHost);

private:
    void Pasar(EstadoConexion nuevo);
    bool EnviarMensaje(const protocolo::Mensaje& mensaje);
    void RecibirAlerta(const protocolo::Alerta& alerta);
    QString strNombreDe(std::int32_t lPlayerID) const;

    Partida& partida_;
    PreparacionPartida& preparacion_;
    ModOpciones& opciones_;
    ModCuadrosDeTexto& cuadros_;
    VistaPartida& vista_;
    std::unique_ptr<red::DirectPlay8Peer> oDPP_;
    // The hosted game's port on the home router, for friends on the internet.
    red::MapeoPuertos mapeo_;
    red::DirectPlay8Event* dialogo_ = nullptr;
    std::function<bool(const QString&)> salida_;
    bool blnHostSustituto_ = false;

    EstadoConexion estado_ = EstadoConexion::SinConexion;
    QString strNombreUsuario_;
    QHash<std::int32_t, QString> nombres_; // players by id, kept past their departure
};

} // namespace brumaria
