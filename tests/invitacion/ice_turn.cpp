#include "ice_turn.h"

#include "carpeta_temporal.h"

#include <QDir>
#include <QElapsedTimer>
#include <QNetworkDatagram>
#include <QRandomGenerator>
#include <QTest>
#include <QUdpSocket>

namespace brumaria::prueba {

std::uint16_t PuertoUdpLibre() {
    QUdpSocket s;
    return s.bind(QHostAddress::LocalHost, 0) ? s.localPort() : 0;
}

ServidorTurn::ServidorTurn(const QString& carpeta) : carpeta_(carpeta), puerto_(PuertoUdpLibre()) {
    const QDir d(carpeta_);
    proceso_.setProcessChannelMode(QProcess::MergedChannels);
    proceso_.setStandardOutputFile(QProcess::nullDevice());
    proceso_.start(QStringLiteral("turnserver"),
                   {
                       QStringLiteral("-n"), // no configuration file: only what is written here
                       QStringLiteral("--listening-ip=127.0.0.1"),
                       QStringLiteral("--relay-ip=127.0.0.1"),
                       QStringLiteral("--listening-port=%1").arg(puerto_),
                       QStringLiteral("--lt-cred-mech"),
                       QStringLiteral("--user=%1:%2").arg(kUsuario, kClave),
                       QStringLiteral("--realm=%1").arg(kReino),
                       QStringLiteral("--no-tls"),
                       QStringLiteral("--no-dtls"),
                       QStringLiteral("--no-tcp"),
                       QStringLiteral("--no-tcp-relay"),
                       QStringLiteral("--no-cli"),
                       QStringLiteral("--no-rfc5780"),
                       // Both relays sit on 127.0.0.1, so the peers coturn relays to are loopback.
                       QStringLiteral("--allow-loopback-peers"),
                       QStringLiteral("--no-multicast-peers"),
                       QStringLiteral("--log-file=%1").arg(d.filePath(QStringLiteral("turn.log"))),
                       QStringLiteral("--simple-log"),
                       QStringLiteral("--no-stdout-log"),
                       QStringLiteral("--pidfile=%1").arg(d.filePath(QStringLiteral("turn.pid"))),
                       QStringLiteral("--db=%1").arg(d.filePath(QStringLiteral("turndb"))),
                   });
}

ServidorTurn::~ServidorTurn() {
    if (proceso_.state() == QProcess::NotRunning) return;
    proceso_.terminate();
    if (!proceso_.waitForFinished(3000)) {
        proceso_.kill();
        proceso_.waitForFinished(2000);
    }
}

bool ServidorTurn::blnListo(int ms) {
    if (!puerto_ || !proceso_.waitForStarted(2000)) return false;
    // A STUN binding request (type 1, no attributes, magic cookie, random
    // transaction), sent every 100 ms until it is answered: at most ms/100.
    QByteArray pedido("\x00\x01\x00\x00\x21\x12\xa4\x42", 8);
    for (int i = 0; i < 3; ++i) {
        const quint32 r = QRandomGenerator::global()->generate();
        pedido.append(reinterpret_cast<const char*>(&r), 4);
    }
    QUdpSocket s;
    if (!s.bind(QHostAddress::LocalHost, 0)) return false;
    QElapsedTimer reloj;
    reloj.start();
    while (reloj.elapsed() < ms && proceso_.state() == QProcess::Running) {
        s.writeDatagram(pedido, QHostAddress::LocalHost, puerto_);
        if (QTest::qWaitFor([&] { return s.hasPendingDatagrams(); }, 100)) return true;
    }
    return false;
}

QString ServidorTurn::registro() const {
    return QString::fromUtf8(LeerArchivo(QDir(carpeta_).filePath(QStringLiteral("turn.log"))));
}

} // namespace brumaria::prueba
