// Message round trip over loopback: through the peer transport (frames,
// event queue, sink) against a bare QTcpSocket echo in the same run.
#include "platform/solo_local.h"
#include "net/dplay.h"

#include <QCoreApplication>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace brumaria::red;

namespace {

const QString kGuid = QStringLiteral("{ECF6F199-8B33-43D3-BB42-DB7ABDCFFAFA}");
const QString kMensaje = QStringLiteral("0;3;4;2;1");

struct Eco : DirectPlay8Event {
    DirectPlay8Peer* peer = nullptr;
    int recibidos = 0;
    bool devolver = false;
    void DirectPlay8Event_Receive(const DPNMSG_RECEIVE& r) override {
        ++recibidos;
        if (devolver) peer->SendTo(r.idSender, r.strDatos);
    }
};

void Esperar(const std::function<bool()>& hecho) {
    while (!hecho())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void BM_IdaYVueltaTransporte(benchmark::State& state) {
    QTemporaryDir carpeta;
    DirectPlay8Peer::FijarCarpetaEncuentros(carpeta.path());
    DirectPlay8Peer host, invitado;
    Eco ecoHost, ecoInvitado;
    ecoHost.peer = &host;
    ecoHost.devolver = true;
    ecoInvitado.peer = &invitado;
    host.RegisterMessageHandler(&ecoHost);
    invitado.RegisterMessageHandler(&ecoInvitado);
    DPN_APPLICATION_DESC d;
    d.SessionName = QStringLiteral("banco");
    d.guidApplication = kGuid;
    d.lMaxPlayers = 2;
    if (host.Host(d, kGuidProveedorLocal) != DPN_OK) {
        state.SkipWithError("host");
        return;
    }
    invitado.Connect(host.GetApplicationDesc(),
                     QStringLiteral("127.0.0.1:%1").arg(host.PuertoTcp()), kGuidProveedorLocal);
    Esperar([&] { return invitado.NumeroJugadores() == 2 && host.NumeroJugadores() == 2; });
    for (auto _ : state) {
        const int antes = ecoInvitado.recibidos;
        invitado.SendTo(DPNID_ALL_PLAYERS_GROUP, kMensaje);
        Esperar([&] { return ecoInvitado.recibidos > antes; });
    }
    state.SetItemsProcessed(state.iterations());
}

// flush: hand each write to the system at once instead of on the next loop turn.
void BM_IdaYVueltaTcpCrudo(benchmark::State& state) {
    const bool flush = state.range(0) != 0;
    QTcpServer servidor;
    servidor.listen(QHostAddress(QHostAddress::LocalHost));
    QTcpSocket* lado = nullptr;
    QObject::connect(&servidor, &QTcpServer::newConnection, [&] {
        lado = servidor.nextPendingConnection();
        lado->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        QObject::connect(lado, &QTcpSocket::readyRead, [&] {
            lado->write(lado->readAll());
            if (flush) lado->flush();
        });
    });
    QTcpSocket cliente;
    cliente.connectToHost(QHostAddress(QHostAddress::LocalHost), servidor.serverPort());
    Esperar([&] { return cliente.state() == QAbstractSocket::ConnectedState && lado; });
    cliente.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    const QByteArray datos = kMensaje.toUtf8();
    qint64 recibidos = 0;
    QObject::connect(&cliente, &QTcpSocket::readyRead,
                     [&] { recibidos += cliente.readAll().size(); });
    for (auto _ : state) {
        const qint64 meta = recibidos + datos.size();
        cliente.write(datos);
        if (flush) cliente.flush();
        Esperar([&] { return recibidos >= meta; });
    }
    state.SetItemsProcessed(state.iterations());
}

} // namespace

BENCHMARK(BM_IdaYVueltaTcpCrudo)->Arg(0)->Arg(1)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_IdaYVueltaTransporte)->UseRealTime()->MinTime(2.0);

int main(int argc, char** argv) {
    brumaria::FijarSoloLocal(true);
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
