#pragma once
// The connection state and the game's message protocol: the sender
// (EnviarMensaje, EnviarBarcos), the receiving entry point and the game
// message dispatcher (ProcesarMensaje).
//
// Messages are short texts, fields separated by ";". Kind 0 is a game
// message, 1 a chat line, 2 a line for the receiver's history. Everything a
// peer sends is checked before it touches the game: a message that is not
// well formed, or makes no sense in the current state of the match, is
// ignored (see docs/protocol.md for the full catalogue and the rules).
#include "core/modprincipal.h"
#include "match/vista_partida.h"
#include "net/dplay.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>

namespace brumaria {

class Partida;
class ModOpciones;
class ModCuadrosDeTexto;

class ModDPlay : public QObject, public EmisorMensajes {
    Q_OBJECT
public:
    // The game's application GUID and the players a session holds.
    static inline const QString sGuid = QStringLiteral("{ECF6F199-8B33-43D3-BB42-DB7ABDCFFAFA}");
    static constexpr std::int32_t lngUsuariosMax = 2;
    // The longest alert text shown; longer ones are cut.
    static constexpr int kMaxTextoAlerta = 1024;

    ModDPlay(ModPrincipal& principal, Partida& partida, ModOpciones& opciones,
             ModCuadrosDeTexto& cuadros, VistaPartida& vista, QObject* parent = nullptr);
    ~ModDPlay() override;

    // Connection state.
    std::int32_t lngNumJugadores = 0; // players in the session, the local one included
    QString strNombreUsuario;         // the local player's name in use
    bool blnConectado = false;
    bool blnEsHost = false;

    // The transport: created by IniciarDPlay, released by CerrarDPlay.
    red::DirectPlay8Peer* oDPP() const { return oDPP_.get(); }
    // A fresh peer (any previous one is closed first) and a fresh protocol state.
    red::DirectPlay8Peer* IniciarDPlay();
    // Unregisters the sink, closes and releases the peer; clears the
    // connection state (lngNumJugadores, strNombreUsuario, blnConectado).
    void CerrarDPlay();

    // Sends one message to the other player. False (nothing sent) with
    // fewer than two players.
    bool EnviarMensaje(const QString& strMensaje) override;
    // "0;1;row;column" for every ship square of the local fleet.
    void EnviarBarcos();

    // The receiving entry point for a transport Receive event: looks up
    // the sender's name and dispatches.
    void DirectPlay8Event_Receive(const red::DPNMSG_RECEIVE& dpnotify);
    // The same for a message text already in hand.
    void RecibirMensaje(const QString& strTexto, const QString& strNombre);
    // A game message without its leading "0;".
    void ProcesarMensaje(const QString& strMensaje, const QString& strNombre);

    // Forgets what the protocol knows of the match (IniciarDPlay does it).
    // Once this side has sent FinDePartida, the opponent's fleet, who
    // starts and early attacks are no longer taken: a further match on the
    // same connection must call this first.
    void ReiniciarProtocolo();

    // Replaces the transport for sending (tests and fuzzing); empty restores it.
    void FijarSalida(std::function<bool(const QString&)> salida) { salida_ = std::move(salida); }

    // Messages held until the local match has started (an attack that
    // overtook the end of this side's start sequence).
    int MensajesRetenidos() const { return static_cast<int>(retenidos_.size()); }

private:
    ModPrincipal& principal_;
    Partida& partida_;
    ModOpciones& opciones_;
    ModCuadrosDeTexto& cuadros_;
    VistaPartida& vista_;
    std::unique_ptr<red::DirectPlay8Peer> oDPP_;
    std::function<bool(const QString&)> salida_;

    // What the protocol has seen of the current match.
    std::array<std::array<bool, kLado>, kLado> flotaRecibida_{};
    int intCasillasRecibidas_ = 0;
    bool blnBarcosListosRecibido_ = false;
    bool blnQuienEmpiezaAceptado_ = false;
    bool blnFlotaPropiaEnviada_ = false;
    bool blnPartidaTerminada_ = false; // this side sent FinDePartida
    int intFilaDisparo_ = -1;          // our last shot, echoed by the answer
    int intColumnaDisparo_ = -1;

    struct Retenido {
        QString texto;
        QString nombre;
    };
    std::deque<Retenido> retenidos_;
    QTimer tmrRetenidos_;
    qint64 retenidoDesde_ = 0;

    void ObservarSalida(const QString& strMensaje);
    void Despachar(const QString& strTexto, const QString& strNombre);
    void ProcesarRetenidos();
    // 0 process now, 1 hold until the match starts, 2 ignore.
    int intDecidirAtaque() const;

    void Control(const QString& strCuerpo, const QString& strNombre);
    void CasillaFlota(const QString& strCuerpo);
    void Ataque(const QString& strCuerpo);
    void Respuesta(const QString& strCuerpo);
    void Alerta(const QString& strCuerpo, const QString& strNombre);
};

// The square of a body "d;d" (row, column); false for anything else.
bool blnLeerCasilla(const QString& strCuerpo, int& intFila, int& intColumna);

// A text from the peer made fit for one line of a plain-text pane: line
// breaks and other control characters (tab excepted) become spaces.
QString strTextoSeguro(const QString& strTexto);

} // namespace brumaria
