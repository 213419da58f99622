// The peer transport over loopback: search, join, ordered delivery, failed
// joins, leaving. Hostile peers are in test_hostiles.cpp.
#include "net/descubrimiento.h"
#include "net/marco.h"
#include "platform/pausa.h"
#include "red_prueba.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QNetworkDatagram>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUdpSocket>
#include <gtest/gtest.h>

using namespace brumaria;
using namespace brumaria::prueba;

TEST(Transporte, EnPruebasSoloSalePorLoopback) {
    ASSERT_TRUE(red::DirectPlay8Peer::blnModoPrueba());
    EXPECT_TRUE(
        red::DirectPlay8Peer::blnDestinoPermitido(QHostAddress(QStringLiteral("127.0.0.1"))));
    EXPECT_TRUE(
        red::DirectPlay8Peer::blnDestinoPermitido(QHostAddress(QStringLiteral("127.8.9.1"))));
    EXPECT_TRUE(red::DirectPlay8Peer::blnDestinoPermitido(QHostAddress(QStringLiteral("::1"))));
    for (const char* a : {"255.255.255.255", "192.168.1.255", "10.0.0.1", "8.8.8.8", "0.0.0.0",
                          "224.0.0.1", "fe80::1"})
        EXPECT_FALSE(
            red::DirectPlay8Peer::blnDestinoPermitido(QHostAddress(QString::fromLatin1(a))))
            << a;
    EXPECT_FALSE(red::DirectPlay8Peer::blnDestinoPermitido(QHostAddress()));

    // A join to another machine is refused before any packet leaves.
    Par p(QStringLiteral("Ana"));
    p.peer.Connect(Sesion(QStringLiteral("x")), QStringLiteral("192.0.2.1:4000"),
                   red::kGuidProveedorTcp);
    ASSERT_TRUE(Esperar([&] { return !p.registro.resultadosUnion.isEmpty(); }));
    EXPECT_EQ(p.registro.resultadosUnion.front(), red::DPNERR_INVALIDHOSTADDRESS);
    EXPECT_EQ(p.peer.EnumHosts(QStringLiteral("no-guid"), red::kGuidProveedorTcp), 0);
    EXPECT_EQ(p.peer.EnumHosts(QString::fromLatin1(kGuidJuego), red::kGuidProveedorTcp,
                               QStringLiteral("host:99999")),
              0);
}

TEST(Transporte, BuscaDosHostsALaVezYSeUneAUno) {
    CarpetaEncuentros carpeta;
    Par a(QStringLiteral("Ana")), b(QStringLiteral("Berta")), c(QStringLiteral("Carlos"));
    for (Par* p : {&a, &b, &c})
        p->peer.FijarTiempos(TiemposCortos());
    ASSERT_EQ(a.peer.Host(Sesion(QStringLiteral("Mesa de Ana")), red::kGuidProveedorLocal),
              red::DPN_OK);
    ASSERT_EQ(b.peer.Host(Sesion(QStringLiteral("Mesa de Berta")), red::kGuidProveedorTcp),
              red::DPN_OK);
    // An unrelated program in the same folder is never listed.
    Par otro(QStringLiteral("Otro"));
    ASSERT_EQ(otro.peer.Host(Sesion(QStringLiteral("Ajena"),
                                    QStringLiteral("{00000000-1111-2222-3333-444444444444}")),
                             red::kGuidProveedorLocal),
              red::DPN_OK);

    const auto h = c.peer.EnumHosts(QString::fromLatin1(kGuidJuego), red::kGuidProveedorLocal);
    ASSERT_GT(h, 0);
    QSet<QString> nombres;
    ASSERT_TRUE(Esperar([&] {
        nombres.clear();
        for (const auto& r : c.registro.respuestas)
            nombres.insert(r.ApplicationDescription.SessionName);
        return nombres.size() == 2 && c.registro.respuestas.size() >= 4; // asked again
    }));
    EXPECT_FALSE(nombres.contains(QStringLiteral("Ajena")));
    red::DPNMSG_ENUM_HOSTS_RESPONSE deAna;
    for (const auto& r : c.registro.respuestas) {
        EXPECT_GE(r.lRoundTripLatencyMS, 0);
        EXPECT_LT(r.lRoundTripLatencyMS, 60000);
        EXPECT_EQ(r.ApplicationDescription.lMaxPlayers, 2);
        EXPECT_EQ(r.ApplicationDescription.lCurrentPlayers, 1);
        EXPECT_TRUE(r.HostAddressUrl.startsWith(QStringLiteral("127.0.0.1:")));
        if (r.ApplicationDescription.SessionName == QStringLiteral("Mesa de Ana")) deAna = r;
    }
    EXPECT_EQ(deAna.ApplicationDescription.guidInstance, a.peer.GetApplicationDesc().guidInstance);

    c.peer.CancelAsyncOperation(h);
    ASSERT_TRUE(Esperar([&] {
        return c.registro.eventos.contains(
            QStringLiteral("AsyncOp %1 %2").arg(h).arg(red::DPNERR_USERCANCEL));
    }));

    c.peer.Connect(deAna.ApplicationDescription, deAna.HostAddressUrl, deAna.DeviceAddressUrl);
    ASSERT_TRUE(Esperar([&] { return !c.registro.resultadosUnion.isEmpty(); }));
    EXPECT_EQ(c.registro.resultadosUnion.front(), red::DPN_OK);
    ASSERT_TRUE(Esperar([&] { return a.registro.creados.size() == 2; }));

    // The host sees itself first, then the guest; the guest sees both before the outcome.
    EXPECT_EQ(a.registro.creados.front(), a.peer.IdJugadorLocal());
    EXPECT_EQ(a.peer.GetPeerInfo(a.registro.creados[1]), QStringLiteral("Carlos"));
    ASSERT_EQ(c.registro.eventos.size(), 4); // search end, 2 x Create, Connect
    EXPECT_EQ(c.registro.eventos[3], QStringLiteral("Connect 0"));
    EXPECT_EQ(c.peer.GetPeerInfo(c.peer.IdJugadorLocal()), QStringLiteral("Carlos"));
    EXPECT_EQ(c.peer.GetPeerInfo(c.registro.creados[1]), QStringLiteral("Ana"));
    EXPECT_EQ(c.peer.GetApplicationDesc().SessionName, QStringLiteral("Mesa de Ana"));
    EXPECT_EQ(c.peer.NumeroJugadores(), 2);
    EXPECT_EQ(a.peer.NumeroJugadores(), 2);
    bool ok = true;
    c.peer.GetPeerInfo(12345, &ok);
    EXPECT_FALSE(ok);
}

TEST(Transporte, ProveedorTcpEncuentraPorDireccionEscrita) {
    CarpetaEncuentros carpeta;
    Par host(QStringLiteral("Ana")), busca(QStringLiteral("Bea"));
    busca.peer.FijarTiempos(TiemposCortos());
    ASSERT_EQ(host.peer.Host(Sesion(QStringLiteral("Por dirección")), red::kGuidProveedorTcp),
              red::DPN_OK);
    busca.peer.EnumHosts(QString::fromLatin1(kGuidJuego), red::kGuidProveedorTcp,
                         QStringLiteral("127.0.0.1:%1").arg(host.peer.PuertoDescubrimientoLocal()));
    ASSERT_TRUE(Esperar([&] { return !busca.registro.respuestas.isEmpty(); }));
    const auto r = busca.registro.respuestas.front();
    EXPECT_EQ(r.ApplicationDescription.SessionName, QStringLiteral("Por dirección"));
    EXPECT_EQ(r.HostAddressUrl, QStringLiteral("127.0.0.1:%1").arg(host.peer.PuertoTcp()));
}

TEST(Transporte, MilesDeMensajesLleganEnterosYEnOrden) {
    CarpetaEncuentros carpeta;
    Par a(QStringLiteral("Ana")), b(QStringLiteral("Bea"));
    ASSERT_TRUE(Unir(a, b));
    constexpr int kN = 3000;
    QStringList enviados;
    for (int i = 0; i < kN; ++i) {
        QString s = QStringLiteral("0;2;%1;%2 ñ€😀 ;:").arg(i % 10).arg(i);
        if (i % 500 == 0) s = QString(); // an empty chat text is a message too
        if (i == 7) s = QString(red::kMaxCuerpoMarco / 2, QChar(u'é')); // exactly at the bound
        enviados << s;
        ASSERT_TRUE(a.peer.SendTo(red::DPNID_ALL_PLAYERS_GROUP, s));
        ASSERT_TRUE(b.peer.SendTo(a.peer.IdJugadorLocal(), s));
    }
    EXPECT_FALSE(a.peer.SendTo(0, QString(red::kMaxCuerpoMarco + 1, QChar(u'x'))));
    ASSERT_TRUE(Esperar(
        [&] { return a.registro.recibidos.size() == kN && b.registro.recibidos.size() == kN; },
        20000));
    for (int i = 0; i < kN; ++i) {
        ASSERT_EQ(b.registro.recibidos[i].strDatos, enviados[i]) << i;
        ASSERT_EQ(a.registro.recibidos[i].strDatos, enviados[i]) << i;
        ASSERT_EQ(b.registro.recibidos[i].idSender, a.peer.IdJugadorLocal());
    }
    Pausa(50);
    EXPECT_EQ(a.registro.recibidos.size(), kN); // never looped back
}

TEST(Transporte, UnionFallidaNuncaEsExito) {
    // Nothing listening.
    quint16 libre = 0;
    {
        QTcpServer s;
        ASSERT_TRUE(s.listen(QHostAddress(QHostAddress::LocalHost)));
        libre = s.serverPort();
    }
    Par p(QStringLiteral("Ana"));
    p.peer.FijarTiempos(TiemposCortos());
    p.peer.Connect(Sesion(QStringLiteral("x")), QStringLiteral("127.0.0.1:%1").arg(libre),
                   red::kGuidProveedorLocal);
    ASSERT_TRUE(Esperar([&] { return p.registro.resultadosUnion.size() == 1; }));
    EXPECT_EQ(p.registro.resultadosUnion[0], red::DPNERR_NOCONNECTION);

    // Wrong application.
    CarpetaEncuentros carpeta;
    Par host(QStringLiteral("Host"));
    ASSERT_EQ(host.peer.Host(Sesion(QStringLiteral("s")), red::kGuidProveedorLocal), red::DPN_OK);
    p.peer.Connect(
        Sesion(QStringLiteral("s"), QStringLiteral("{00000000-0000-0000-0000-000000000001}")),
        QStringLiteral("127.0.0.1:%1").arg(host.peer.PuertoTcp()), red::kGuidProveedorLocal);
    ASSERT_TRUE(Esperar([&] { return p.registro.resultadosUnion.size() == 2; }));
    EXPECT_EQ(p.registro.resultadosUnion[1], red::DPNERR_INVALIDAPPLICATION);

    // A stale search answer: the host was restarted.
    red::DPN_APPLICATION_DESC vieja = host.peer.GetApplicationDesc();
    vieja.guidInstance = QStringLiteral("{00000000-0000-0000-0000-000000000002}");
    p.peer.Connect(vieja, QStringLiteral("127.0.0.1:%1").arg(host.peer.PuertoTcp()),
                   red::kGuidProveedorLocal);
    ASSERT_TRUE(Esperar([&] { return p.registro.resultadosUnion.size() == 3; }));
    EXPECT_EQ(p.registro.resultadosUnion[2], red::DPNERR_INVALIDINSTANCE);

    // Something that accepts and never answers.
    QTcpServer mudo;
    ASSERT_TRUE(mudo.listen(QHostAddress(QHostAddress::LocalHost)));
    p.peer.Connect(Sesion(QStringLiteral("x")),
                   QStringLiteral("127.0.0.1:%1").arg(mudo.serverPort()), red::kGuidProveedorLocal);
    ASSERT_TRUE(Esperar([&] { return p.registro.resultadosUnion.size() == 4; }));
    EXPECT_EQ(p.registro.resultadosUnion[3], red::DPNERR_NORESPONSE);

    // Something that answers garbage.
    QTcpServer basura;
    ASSERT_TRUE(basura.listen(QHostAddress(QHostAddress::LocalHost)));
    QObject::connect(&basura, &QTcpServer::newConnection, [&] {
        basura.nextPendingConnection()->write("HTTP/1.0 400 Bad Request\r\n\r\n");
    });
    p.peer.Connect(Sesion(QStringLiteral("x")),
                   QStringLiteral("127.0.0.1:%1").arg(basura.serverPort()),
                   red::kGuidProveedorLocal);
    ASSERT_TRUE(Esperar([&] { return p.registro.resultadosUnion.size() == 5; }));
    EXPECT_EQ(p.registro.resultadosUnion[4], red::DPNERR_HOSTREJECTEDCONNECTION);

    // Malformed address.
    p.peer.Connect(Sesion(QStringLiteral("x")), QStringLiteral("127.0.0.1"),
                   red::kGuidProveedorLocal);
    ASSERT_TRUE(Esperar([&] { return p.registro.resultadosUnion.size() == 6; }));
    EXPECT_EQ(p.registro.resultadosUnion[5], red::DPNERR_INVALIDHOSTADDRESS);
    for (auto r : p.registro.resultadosUnion)
        EXPECT_NE(r, red::DPN_OK);
    EXPECT_TRUE(p.registro.creados.isEmpty());
}

TEST(Transporte, EventosUnoTrasOtroAunqueElManejadorEspere) {
    CarpetaEncuentros carpeta;
    Par a(QStringLiteral("Ana")), b(QStringLiteral("Bea"));
    ASSERT_TRUE(Unir(a, b));
    int profundidad = 0, maxima = 0;
    b.registro.alRecibir = [&](const red::DPNMSG_RECEIVE&) {
        maxima = std::max(maxima, ++profundidad);
        Pausa(5); // handlers wait like the game does
        --profundidad;
    };
    for (int i = 0; i < 40; ++i)
        a.peer.SendTo(0, QString::number(i));
    ASSERT_TRUE(Esperar([&] { return b.registro.recibidos.size() == 40; }));
    EXPECT_EQ(maxima, 1);
    for (int i = 0; i < 40; ++i)
        EXPECT_EQ(b.registro.recibidos[i].strDatos, QString::number(i));
}

TEST(Transporte, CerrarAvisaAlOtroYPermiteEmpezarDeNuevo) {
    CarpetaEncuentros carpeta;
    Par a(QStringLiteral("Ana")), b(QStringLiteral("Bea"));
    ASSERT_TRUE(Unir(a, b));
    const auto idB = a.registro.creados[1];
    b.peer.SendTo(0, QStringLiteral("1;adiós"));
    b.peer.Close();
    ASSERT_TRUE(Esperar([&] { return a.registro.destruidos.size() == 1; }));
    // The last words and the departed player keep their name.
    ASSERT_EQ(a.registro.recibidos.size(), 1);
    EXPECT_EQ(a.registro.recibidos[0].strDatos, QStringLiteral("1;adiós"));
    EXPECT_EQ(a.registro.recibidos[0].strNombreRemitente, QStringLiteral("Bea"));
    EXPECT_EQ(a.peer.GetPeerInfo(idB), QStringLiteral("Bea"));
    EXPECT_EQ(a.registro.destruidos[0], idB);
    EXPECT_EQ(a.registro.razones[0], red::DPNDESTROYPLAYERREASON_NORMAL);
    EXPECT_EQ(b.peer.NumeroJugadores(), 0);
    // The seat is free again, and the closed peer can host.
    Par c(QStringLiteral("Cris"));
    c.peer.Connect(a.peer.GetApplicationDesc(),
                   QStringLiteral("127.0.0.1:%1").arg(a.peer.PuertoTcp()),
                   red::kGuidProveedorLocal);
    ASSERT_TRUE(Esperar([&] { return !c.registro.resultadosUnion.isEmpty(); }));
    EXPECT_EQ(c.registro.resultadosUnion[0], red::DPN_OK);
    EXPECT_EQ(b.peer.Host(Sesion(QStringLiteral("otra")), red::kGuidProveedorLocal), red::DPN_OK);
    // The host's announcement goes with it.
    const QString carpetaRuta = red::DirectPlay8Peer::CarpetaEncuentros();
    EXPECT_EQ(QDir(carpetaRuta).entryList(QDir::Files).size(), 2);
    b.peer.Close();
    a.peer.Close();
    EXPECT_TRUE(QDir(carpetaRuta).entryList(QDir::Files).isEmpty());
}

TEST(Transporte, LosTiemposPorDefectoSonLosDelDocumento) {
    QFile f(QStringLiteral(BRUMARIA_DOCS_DIR "/protocol.md"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString doc = QString::fromUtf8(f.readAll());
    auto ms = [&](const char* que) {
        const auto m = QRegularExpression(QStringLiteral("\\| %1 \\| (\\d+) ms \\|")
                                              .arg(QRegularExpression::escape(QLatin1String(que))))
                           .match(doc);
        return m.hasMatch() ? m.captured(1).toInt() : -1;
    };
    const red::DirectPlay8Peer::Tiempos t;
    EXPECT_EQ(ms("heartbeat (LATIDO interval)"), t.latidoMs);
    EXPECT_EQ(ms("silence timeout"), t.silencioMs);
    EXPECT_EQ(ms("handshake timeout"), t.saludoMs);
    EXPECT_EQ(ms("search query interval"), t.intervaloBusquedaMs);
}
