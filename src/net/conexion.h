#pragma once
// One TCP link of a session, from either end: the frames it carries (its
// own decoding buffer), both sides of the handshake and its time limit,
// the heartbeat and how long the other end has been silent, and what the
// socket's signals mean. The session it belongs to (dplay.cpp) keeps the
// players and the events; the link tells it through Conexion::Sesion.
#include "net/marco.h"

#include <QAbstractSocket>
#include <QElapsedTimer>
#include <QString>
#include <cstdint>

class QObject;
class QTcpSocket;
class QTimer;

namespace brumaria::red {

class Conexion {
public:
    // What a link asks of its session and tells it. The calls that end the
    // link (Caida, UnionFallida) drop it: it touches nothing of itself after.
    class Sesion {
    public:
        // Host side: the welcome a joiner would get now (with the next free
        // id), and how many players there are.
        virtual Bienvenida BienvenidaNueva() const = 0;
        virtual int JugadoresAhora() const = 0;
        // Host side: the joiner was welcomed; it is player c.IdJugador().
        virtual void Aceptada(Conexion& c) = 0;
        // Joining side: our hello (asked when the socket connects), and the
        // host's welcome (c is then the host).
        virtual Hola HolaUnion() const = 0;
        virtual void Unida(Conexion& c, const Bienvenida& b) = 0;
        // A player's string; false when the session cannot take it (a flood).
        virtual bool blnRecibido(Conexion& c, const QString& texto) = 0;
        // The link goes; for a player, razon is why it left (DestroyPlayer).
        virtual void Caida(Conexion& c, std::int32_t razon) = 0;
        // Joining side: the join failed with codigo; the link goes.
        virtual void UnionFallida(std::int32_t codigo) = 0;

    protected:
        ~Sesion() = default;
    };

    // sock: a child of contexto, which is also the context of the socket's
    // signals. blnSaliente: our join (the socket is about to connect);
    // otherwise a joiner's link, already connected, accepted by the host.
    Conexion(QTcpSocket* sock, QObject* contexto, Sesion& sesion, bool blnSaliente);
    ~Conexion();
    Conexion(const Conexion&) = delete;
    Conexion& operator=(const Conexion&) = delete;

    // Past the handshake: a player of the session.
    bool blnAceptada() const { return aceptada_; }
    std::int32_t IdJugador() const { return idJugador_; }
    const QString& Nombre() const { return nombre_; }

    // The handshake must be over within ms: a joiner that says nothing is
    // dropped, and our own join fails with DPNERR_NORESPONSE.
    void LimitarSaludo(int ms);
    // Sends and hands it to the system now rather than on the next loop
    // turn: a move waits for its answer. False when it was not sent (not
    // connected, or the other end stopped reading: the link then goes).
    bool EnviarYa(TipoMarco tipo, QByteArrayView cuerpo = {});
    // Heartbeat: false when the other end has been silent beyond
    // silencioMs (nothing is sent then).
    bool blnLatir(int silencioMs);
    // Cuts the socket's signals and closes, with a goodbye when asked and
    // still connected. Safe to repeat.
    void Cerrar(bool blnDespedirse);

private:
    bool blnUniendo() const { return saliente_ && !aceptada_; }
    void SinRetraso();
    bool Enviar(TipoMarco tipo, QByteArrayView cuerpo = {});
    void PararSaludo();
    // The socket's signals. Each false (or each ending in Romper) means the
    // link is gone.
    bool blnLeer();
    void Perdida();
    void Error(QAbstractSocket::SocketError e);
    bool blnAtender(const Marco& m);
    bool blnAtenderSaludo(const Marco& m);
    bool blnAtenderBienvenida(const Marco& m);
    // A broken or hostile link: our join fails, a player is lost.
    void Romper();

    QTcpSocket* sock_;
    QObject* contexto_;
    Sesion& sesion_;
    const bool saliente_;
    DecodificadorMarcos dec_;
    QTimer* saludo_ = nullptr;
    QElapsedTimer silencio_;
    QElapsedTimer ventanaDatos_; // message bytes received since it started
    qint64 bytesEnVentana_ = 0;
    std::int32_t idJugador_ = 0;
    QString nombre_;
    bool aceptada_ = false;
    bool holaEnviado_ = false; // joining: our HOLA went out on an open link
    bool atascada_ = false; // reported gone for not reading
};

} // namespace brumaria::red
