// Flood run (not a test, not in CI): a joined peer pours 200 MiB of valid
// chat frames at a host within 60 s, over 127.0.0.1, in one process. Reports
// how much the host took before it dropped the peer, how long the host's
// timer ever waited, and how much resident memory grew.
//
//   bench_inundacion [MiB=200] [seconds=60]
#include "net/dplay.h"
#include "net/marco.h"
#include "platform/solo_local.h"
#include "medidas.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

using namespace brumaria::red;

using brumaria::prueba::VmRssKiB;

namespace {

const QString kGuid = QStringLiteral("{ECF6F199-8B33-43D3-BB42-DB7ABDCFFAFA}");

struct Contador : DirectPlay8Event {
    qint64 bytes = 0;
    int idos = 0;
    void DirectPlay8Event_Receive(const DPNMSG_RECEIVE& r) override { bytes += r.strDatos.size(); }
    void DirectPlay8Event_DestroyPlayer(std::int32_t, std::int32_t) override { ++idos; }
};

} // namespace

int main(int argc, char** argv) {
    brumaria::FijarSoloLocal(true);
    QCoreApplication app(argc, argv);
    const qint64 total = qint64(argc > 1 ? std::max(1, atoi(argv[1])) : 200) << 20;
    const int segundos = argc > 2 ? std::max(1, atoi(argv[2])) : 60;
    QTemporaryDir encuentros;
    DirectPlay8Peer::FijarCarpetaEncuentros(encuentros.path());

    DirectPlay8Peer host;
    Contador contador;
    host.RegisterMessageHandler(&contador);
    host.SetPeerInfo(QStringLiteral("Ana"));
    DPN_APPLICATION_DESC d;
    d.SessionName = QStringLiteral("Mesa");
    d.guidApplication = kGuid;
    d.lMaxPlayers = 2;
    if (host.Host(d, kGuidProveedorLocal) != DPN_OK) return 1;

    QTcpSocket s;
    s.connectToHost(QHostAddress(QHostAddress::LocalHost), host.PuertoTcp());
    if (!s.waitForConnected(3000)) return 1;
    s.write(
        CodificarMarco(TipoMarco::Hola, CodificarHola({kGuid, {}, QStringLiteral("inundador")})));

    const long rss0 = VmRssKiB();
    long rssMax = rss0;
    brumaria::prueba::MedidorDeHuecos reloj([&] { rssMax = std::max(rssMax, VmRssKiB()); });

    // Frames paced to spread the whole amount over the time given.
    const QByteArray marco =
        CodificarMarco(TipoMarco::Datos, "1;" + QByteArray(int(kMaxCuerpoMarco) - 2, 'x'));
    qint64 enviados = 0;
    qint64 caidaMs = -1;
    const double porMs = double(total) / (segundos * 1000.0);
    while (enviados < total && reloj.ms() < (segundos + 10) * 1000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (s.state() != QAbstractSocket::ConnectedState) {
            caidaMs = reloj.ms();
            break;
        }
        while (enviados < qint64(porMs * double(reloj.ms() + 1)) &&
               s.bytesToWrite() < (1 << 20)) {
            s.write(marco);
            enviados += marco.size();
        }
    }
    for (QElapsedTimer t; !t.isValid() || t.elapsed() < 500;) {
        if (!t.isValid()) t.start();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    std::printf("enviado %.1f MiB en %.1f s; el host recibió %.1f MiB y %s\n",
                double(enviados) / (1 << 20), double(reloj.ms()) / 1000.0,
                double(contador.bytes) / (1 << 20),
                contador.idos > 0 ? "echó al inundador" : "NO lo echó");
    if (caidaMs >= 0) std::printf("conexión cortada a los %.2f s\n", double(caidaMs) / 1000.0);
    std::printf("hueco máximo del temporizador %lld ms; memoria residente %ld -> pico %ld KiB "
                "(+%ld KiB)\n",
                static_cast<long long>(reloj.hueco()), rss0, rssMax, rssMax - rss0);
    return contador.idos > 0 ? 0 : 1;
}
