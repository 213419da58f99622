#include "net/invitacion/tunel.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

namespace brumaria::red::invitacion {

Tunel::Tunel(const ClavesSesion& claves, std::function<bool(QByteArrayView)> enviar,
             QObject* parent)
    : QObject(parent), canal_(claves), enviar_(std::move(enviar)) {
    if (!enviar_(canal_.Abrir())) Terminar(Fin::EnlaceCaido);
}

Tunel::~Tunel() {
    Cerrar();
}

void Tunel::Cerrar() {
    terminado_ = true;
    if (servidor_) {
        servidor_->close();
        servidor_->disconnect(this);
    }
    if (juego_) {
        juego_->disconnect(this);
        juego_->abort();
    }
}

void Tunel::Terminar(Fin fin) {
    if (terminado_) return;
    const bool blnDespedida = fin == Fin::JuegoCerro;
    if (blnDespedida) enviar_(canal_.CifrarFinal());
    if (juego_ && fin == Fin::AmigoCerro) {
        // What the friend said last still reaches the game.
        juego_->disconnect(this);
        juego_->disconnectFromHost();
        juego_ = nullptr;
    }
    Cerrar();
    emit terminado(fin);
}

void Tunel::ConectarAlJuego(quint16 puerto) {
    auto* s = new QTcpSocket(this);
    connect(s, &QTcpSocket::connected, this, [this] {
        juegoListo_ = true;
        EntregarAlJuego();
    });
    TomarSocket(s);
    s->connectToHost(QHostAddress::LocalHost, puerto);
}

quint16 Tunel::EscucharParaElJuego() {
    servidor_ = new QTcpServer(this);
    servidor_->setMaxPendingConnections(1);
    if (!servidor_->listen(QHostAddress::LocalHost, 0)) return 0;
    connect(servidor_, &QTcpServer::newConnection, this, [this] {
        QTcpSocket* s = servidor_->nextPendingConnection();
        // One join only: the game's. Whatever comes after is refused.
        servidor_->close();
        if (!s || juego_) {
            if (s) s->abort();
            return;
        }
        s->setParent(this);
        TomarSocket(s);
        juegoListo_ = true;
        EntregarAlJuego();
        LeerDelJuego();
    });
    return servidor_->serverPort();
}

void Tunel::TomarSocket(QTcpSocket* s) {
    juego_ = s;
    connect(s, &QTcpSocket::readyRead, this, &Tunel::LeerDelJuego);
    connect(s, &QTcpSocket::disconnected, this, [this] { Terminar(Fin::JuegoCerro); });
    connect(s, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError e) {
        if (e == QAbstractSocket::RemoteHostClosedError) return; // disconnected follows
        Terminar(juegoListo_ ? Fin::JuegoCerro : Fin::SinJuego);
    });
}

void Tunel::LeerDelJuego() {
    if (terminado_ || !juego_) return;
    const QByteArray claro = juego_->readAll();
    if (claro.isEmpty()) return;
    if (!enviar_(canal_.Cifrar(claro))) Terminar(Fin::EnlaceCaido);
}

void Tunel::Recibido(QByteArrayView cifrado) {
    if (terminado_) return;
    QByteArray claro;
    const CanalCifrado::Estado e = canal_.Recibir(cifrado, claro);
    if (e == CanalCifrado::Estado::Roto) {
        Terminar(Fin::Alterado);
        return;
    }
    pendiente_ += claro;
    EntregarAlJuego();
    if (terminado_) return;
    if (e == CanalCifrado::Estado::Cerrado) Terminar(Fin::AmigoCerro);
}

void Tunel::EntregarAlJuego() {
    if (terminado_) return;
    if (juegoListo_ && juego_ && !pendiente_.isEmpty()) {
        juego_->write(pendiente_);
        pendiente_.clear();
    }
    const qint64 enEspera = pendiente_.size() + (juego_ ? juego_->bytesToWrite() : 0);
    if (enEspera > kMaxPendienteTunel) Terminar(Fin::Desbordado);
}

void Tunel::EnlaceCaido() {
    Terminar(Fin::EnlaceCaido);
}

} // namespace brumaria::red::invitacion
