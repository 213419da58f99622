#include "net/conexion.h"

#include "net/dplay.h"

#include <QTcpSocket>
#include <QTimer>

namespace brumaria::red {

namespace {
// What the socket may read ahead of us: a few frames. The rest waits in the
// system's own buffer, so one read never hands over more than this.
constexpr qint64 kMaxLecturaAdelantada = 4 * (kMaxCuerpoMarco + 5);
// Bytes we have written that the other end has not taken yet. Our own
// traffic is a few small messages; a peer that stops reading while we keep
// talking would make this grow without end, so past 1 MiB it is gone.
constexpr qint64 kMaxPorEnviar = 1024 * 1024;
// Messages a player may send in one window of time. A match with chat is a
// few KiB a minute and a player pasting long lines a few hundred; what is
// received ends up shown (the chat pane keeps every line), so a peer that
// sends more than 4 MiB within 10 s is flooding and goes.
constexpr qint64 kMaxDatosPorVentana = 4 * 1024 * 1024;
constexpr qint64 kVentanaDatosMs = 10000;
} // namespace

Conexion::Conexion(QTcpSocket* sock, QObject* contexto, Sesion& sesion, bool blnSaliente)
    : sock_(sock), contexto_(contexto), sesion_(sesion), saliente_(blnSaliente) {
    silencio_.start();
    sock_->setReadBufferSize(kMaxLecturaAdelantada);
    if (!saliente_) SinRetraso();
    QObject::connect(sock_, &QTcpSocket::readyRead, contexto_, [this] { blnLeer(); });
    QObject::connect(sock_, &QTcpSocket::disconnected, contexto_, [this] { Perdida(); });
    QObject::connect(sock_, &QTcpSocket::errorOccurred, contexto_,
                     [this](QAbstractSocket::SocketError e) { Error(e); });
    if (saliente_) {
        QObject::connect(sock_, &QTcpSocket::connected, contexto_, [this] {
            SinRetraso();
            holaEnviado_ = Enviar(TipoMarco::Hola, CodificarHola(sesion_.HolaUnion()));
        });
    }
}

Conexion::~Conexion() {
    Cerrar(false);
}

void Conexion::SinRetraso() {
    // Game messages are tiny and wait for each other: no Nagle delay.
    sock_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
}

bool Conexion::Enviar(TipoMarco tipo, QByteArrayView cuerpo) {
    if (!sock_ || sock_->state() != QAbstractSocket::ConnectedState) return false;
    const QByteArray marco = CodificarMarco(tipo, cuerpo);
    if (sock_->bytesToWrite() + marco.size() > kMaxPorEnviar) {
        // The other end does not read: it is dropped on the next turn.
        if (!atascada_) {
            atascada_ = true;
            Romper();
        }
        return false;
    }
    return sock_->write(marco) == marco.size();
}

bool Conexion::EnviarYa(TipoMarco tipo, QByteArrayView cuerpo) {
    const bool ok = Enviar(tipo, cuerpo);
    if (ok) sock_->flush();
    return ok;
}

bool Conexion::blnLatir(int silencioMs) {
    if (silencio_.elapsed() > silencioMs) return false;
    Enviar(TipoMarco::Latido);
    return true;
}

void Conexion::Cerrar(bool blnDespedirse) {
    PararSaludo();
    if (!sock_) return;
    sock_->disconnect(contexto_);
    if (blnDespedirse && sock_->state() == QAbstractSocket::ConnectedState)
        EnviarYa(TipoMarco::Adios);
    sock_->abort();
    sock_->deleteLater();
    sock_ = nullptr;
}

void Conexion::LimitarSaludo(int ms) {
    PararSaludo();
    saludo_ = new QTimer(contexto_);
    saludo_->setSingleShot(true);
    QObject::connect(saludo_, &QTimer::timeout, contexto_, [this] {
        if (blnUniendo())
            sesion_.UnionFallida(DPNERR_NORESPONSE);
        else if (!aceptada_)
            sesion_.Caida(*this, 0);
    });
    saludo_->start(ms);
}

void Conexion::PararSaludo() {
    if (!saludo_) return;
    saludo_->stop();
    saludo_->deleteLater();
    saludo_ = nullptr;
}

// --- what arrives -----------------------------------------------------------

bool Conexion::blnLeer() {
    QList<Marco> marcos;
    const bool bien = dec_.Anadir(sock_->readAll(), marcos);
    // Only a whole frame is a sign of life: a peer that trickles a byte at
    // a time is as good as silent.
    if (!marcos.isEmpty()) silencio_.restart();
    for (const Marco& m : marcos) {
        if (!blnAtender(m)) return false;
    }
    if (!bien) {
        Romper();
        return false;
    }
    return true;
}

void Conexion::Perdida() {
    // A last frame (a goodbye or a refusal) may still be there.
    if (sock_->bytesAvailable() > 0 && !blnLeer()) return;
    if (blnUniendo()) {
        // A host that takes our HOLA and hangs up without a word does not
        // speak this version: a copy of version 1 closes on a HOLA it cannot
        // read, where ours answers RECHAZO.
        sesion_.UnionFallida(holaEnviado_ ? DPNERR_OTRAVERSION : DPNERR_NOCONNECTION);
        return;
    }
    Romper();
}

void Conexion::Error(QAbstractSocket::SocketError e) {
    if (blnUniendo()) {
        if (e == QAbstractSocket::RemoteHostClosedError) {
            Perdida(); // a refusal may still be there to read
            return;
        }
        sesion_.UnionFallida(e == QAbstractSocket::HostNotFoundError    ? DPNERR_INVALIDHOSTADDRESS
                             : e == QAbstractSocket::SocketTimeoutError ? DPNERR_NORESPONSE
                                                                        : DPNERR_NOCONNECTION);
        return;
    }
    if (e == QAbstractSocket::RemoteHostClosedError) return; // disconnected() follows
    if (sock_->state() != QAbstractSocket::ConnectedState) Romper();
}

void Conexion::Romper() {
    if (blnUniendo())
        sesion_.UnionFallida(DPNERR_HOSTREJECTEDCONNECTION);
    else
        sesion_.Caida(*this, DPNDESTROYPLAYERREASON_CONNECTIONLOST);
}

bool Conexion::blnAtender(const Marco& m) {
    if (blnUniendo()) return blnAtenderBienvenida(m);
    if (!aceptada_) return blnAtenderSaludo(m);
    switch (m.tipo) {
    case TipoMarco::Datos: {
        if (!ventanaDatos_.isValid() || ventanaDatos_.elapsed() > kVentanaDatosMs) {
            ventanaDatos_.start();
            bytesEnVentana_ = 0;
        }
        bytesEnVentana_ += m.cuerpo.size();
        const auto texto = DecodificarUtf8(m.cuerpo);
        if (bytesEnVentana_ > kMaxDatosPorVentana || !texto ||
            !sesion_.blnRecibido(*this, *texto)) {
            Romper();
            return false;
        }
        return true;
    }
    case TipoMarco::Latido:
        if (m.cuerpo.isEmpty()) return true;
        Romper();
        return false;
    case TipoMarco::Adios:
        sesion_.Caida(*this, DPNDESTROYPLAYERREASON_NORMAL);
        return false;
    default:
        Romper();
        return false;
    }
}

// Host side: the first frame of a new link.
bool Conexion::blnAtenderSaludo(const Marco& m) {
    const auto hola = m.tipo == TipoMarco::Hola ? LeerHola(m.cuerpo) : std::nullopt;
    if (!hola) {
        sesion_.Caida(*this, 0);
        return false;
    }
    const Bienvenida b = sesion_.BienvenidaNueva();
    std::int32_t codigo = DPN_OK;
    if (hola->intVersion != kVersionProtocolo)
        codigo = DPNERR_OTRAVERSION;
    else if (hola->guidAplicacion.compare(b.guidAplicacion, Qt::CaseInsensitive) != 0)
        codigo = DPNERR_INVALIDAPPLICATION;
    else if (!hola->guidInstancia.isEmpty() &&
             hola->guidInstancia.compare(b.guidInstancia, Qt::CaseInsensitive) != 0)
        codigo = DPNERR_INVALIDINSTANCE;
    else if (sesion_.JugadoresAhora() >= b.maxJugadores)
        codigo = DPNERR_SESSIONFULL;
    if (codigo != DPN_OK) {
        EnviarYa(TipoMarco::Rechazo, CodificarRechazo(codigo));
        sesion_.Caida(*this, 0);
        return false;
    }
    aceptada_ = true;
    nombre_ = hola->nombre;
    idJugador_ = b.idInvitado;
    PararSaludo();
    Enviar(TipoMarco::Bienvenida, CodificarBienvenida(b));
    sesion_.Aceptada(*this);
    return true;
}

// Joining side: the host's answer to our hello.
bool Conexion::blnAtenderBienvenida(const Marco& m) {
    if (m.tipo == TipoMarco::Rechazo) {
        sesion_.UnionFallida(LeerRechazo(m.cuerpo).value_or(DPNERR_HOSTREJECTEDCONNECTION));
        return false;
    }
    const auto b = m.tipo == TipoMarco::Bienvenida ? LeerBienvenida(m.cuerpo) : std::nullopt;
    if (!b ||
        b->guidAplicacion.compare(sesion_.HolaUnion().guidAplicacion, Qt::CaseInsensitive) != 0) {
        sesion_.UnionFallida(DPNERR_HOSTREJECTEDCONNECTION);
        return false;
    }
    aceptada_ = true;
    idJugador_ = b->idHost;
    nombre_ = b->nombreHost;
    silencio_.restart();
    PararSaludo();
    sesion_.Unida(*this, *b);
    return true;
}

} // namespace brumaria::red
