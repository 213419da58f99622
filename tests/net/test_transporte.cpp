// The peer transport over loopback: the loopback gate, answers to
// searches, failed joins, leaving. Hostile peers are in test_hostiles.cpp;
// searching and joining by a typed address is played by the two-process
// match over ::1.
#include "net/busqueda.h"
#include "net/descubrimiento.h"
#include "net/marco.h"
#include "red_prueba.h"

#include <QDir>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QNetworkDatagram>
#include <QTimer>
#include <QUdpSocket>
#include <algorithm>
#include <memory>
#include <tuple>
#include <utility>
#include <vector>
#include <gtest/gtest.h>

using namespace brumaria;
using namespace brumaria::prueba;

TEST(Transporte, EnPruebasSoloSalePorLoopback) {
    ASSERT_TRUE(red::DirectPlay8Peer::blnModoPrueba());
    // Loopback passes; an empty address and any other does not. (Only asked,
    // never sent to: the others are from the documentation ranges.)
    for (const auto& [dir, permitida] : {std::pair{QHostAddress(QHostAddress::LocalHost), true},
                                         {QHostAddress(QHostAddress::LocalHostIPv6), true},
                                         {QHostAddress(QStringLiteral("127.8.9.1")), true},
                                         {QHostAddress(), false},
                                         {QHostAddress(QStringLiteral("192.0.2.1")), false},
                                         {QHostAddress(QStringLiteral("203.0.113.7")), false},
                                         {QHostAddress(QStringLiteral("2001:db8::1")), false}})
        EXPECT_EQ(red::DirectPlay8Peer::blnDestinoPermitido(dir), permitida)
            << dir.toString().toStdString();
}

// A host answers searches for its own game only.
TEST(Transporte, UnHostSoloContestaALasBusquedasDeSuJuego) {
    CarpetaEncuentros carpeta;
    Par host(QStringLiteral("Ana"));
    ASSERT_EQ(host.peer.Host(Sesion(QStringLiteral("Mesa")), red::kGuidProveedorLocal),
              red::DPN_OK);
    QUdpSocket u;
    ASSERT_TRUE(u.bind(QHostAddress(QHostAddress::LocalHost), 0));
    for (const char* guid : {"{00000000-1111-2222-3333-444444444444}", kGuidJuego}) {
        u.writeDatagram(red::CodificarConsulta({QString::fromLatin1(guid), 1}),
                        QHostAddress(QHostAddress::LocalHost),
                        host.peer.PuertoDescubrimientoLocal());
        EXPECT_EQ(Esperar([&] { return u.hasPendingDatagrams(); }, 500), guid == kGuidJuego)
            << guid;
    }
}

// The address a host tells his friend is his first global unicast IPv6
// address (2000::/3), never one only his own network can reach.
TEST(Transporte, LaDireccionIPv6QueSeDaEsLaPrimeraGlobal) {
    for (const auto& [texto, global] : {std::pair{"2001:db8:10::2", true}, {"2a00:1450::1", true},
                                        {"3fff:ffff::1", true}, {"4000::1", false},
                                        {"1fff::1", false}, {"fe80::1", false},
                                        {"fd12:3456::1", false}, {"fec0::1", false},
                                        {"::1", false}, {"::", false}, {"ff0e::1", false},
                                        {"::ffff:198.51.100.7", false}, {"198.51.100.7", false}})
        EXPECT_EQ(red::blnIPv6Global(QHostAddress(QString::fromLatin1(texto))), global) << texto;
    const QList<QHostAddress> propias{QHostAddress(QStringLiteral("fe80::1")),
                                      QHostAddress(QStringLiteral("198.51.100.7")),
                                      QHostAddress(QStringLiteral("2001:db8::2")),
                                      QHostAddress(QStringLiteral("2001:db8::3"))};
    EXPECT_EQ(red::TextoIPv6ParaCompartir(propias, 47810), QStringLiteral("[2001:db8::2]:47810"));
    EXPECT_EQ(red::TextoIPv6ParaCompartir(propias.mid(0, 2), 47810), QString());
}

// What a player may type as the host: "host", "host:port", "[IPv6]:port"
// or a bare IPv6 address; a port from 1 to 65535, a name of 253 letters at
// most (the longest a name can be).
TEST(Transporte, LaDireccionTecleadaSeParteEnEquipoYPuerto) {
    const auto largo = [](int n) { return QString(n, u'a'); };
    const std::tuple<QString, bool, QString, int> filas[] = {
        {QStringLiteral("198.51.100.7"), true, QStringLiteral("198.51.100.7"), 47810},
        {QStringLiteral("  equipo.casa:2300 "), true, QStringLiteral("equipo.casa"), 2300},
        {QStringLiteral("[2001:db8::5]:47811"), true, QStringLiteral("2001:db8::5"), 47811},
        {QStringLiteral("[2001:db8::5]"), true, QStringLiteral("2001:db8::5"), 47810},
        {QStringLiteral("2001:db8::5"), true, QStringLiteral("2001:db8::5"), 47810},
        {QStringLiteral("equipo:1"), true, QStringLiteral("equipo"), 1},
        {QStringLiteral("equipo:65535"), true, QStringLiteral("equipo"), 65535},
        {largo(253), true, largo(253), 47810},
        {largo(254), false, {}, 0},
        {QStringLiteral("equipo:65536"), false, {}, 0},
        {QStringLiteral("equipo:0"), false, {}, 0},
        {QStringLiteral("equipo:-1"), false, {}, 0},
        {QStringLiteral("equipo:uno"), false, {}, 0},
        {QStringLiteral("equipo:"), false, {}, 0},
        {QStringLiteral("[2001:db8::5]:"), false, {}, 0},
        {QStringLiteral("[2001:db8::5]x"), false, {}, 0},
        {QStringLiteral("[2001:db8::5"), false, {}, 0},
        {QStringLiteral(":2300"), false, {}, 0},
        {QString(), false, {}, 0}};
    for (const auto& [texto, valida, host, puerto] : filas) {
        QString h;
        quint16 p = 0;
        ASSERT_EQ(red::PartirDireccion(texto, h, p, 47810), valida) << texto.left(20).toStdString();
        if (!valida) continue;
        EXPECT_EQ(h, host);
        EXPECT_EQ(p, puerto) << texto.toStdString();
    }
    // An address is used as it is, "localhost" is this computer; a name is looked up.
    for (const auto& [host, literal, dir] :
         {std::tuple{"localhost", true, "127.0.0.1"}, {"LocalHost", true, "127.0.0.1"},
          {"198.51.100.7", true, "198.51.100.7"}, {"::1", true, "::1"},
          {"equipo.casa", false, ""}}) {
        QHostAddress d;
        EXPECT_EQ(red::blnDireccionLiteral(QString::fromLatin1(host), d), literal) << host;
        if (literal) {
            EXPECT_EQ(d, QHostAddress(QString::fromLatin1(dir))) << host;
        }
    }
}

// A searcher hears each answering socket once per query, and at most 64 of
// them: a forger who answers twice, or from a crowd of sockets, cannot
// fill the list of games.
TEST(Transporte, CadaRespuestaSeOyeUnaVezYDeNoMasDe64Sitios) {
    constexpr int kTope = 64; // distinct sessions a search reports
    Par p(QStringLiteral("Ana"));
    p.peer.FijarTiempos(TiemposCortos());
    std::vector<std::unique_ptr<QUdpSocket>> falsos;
    for (int i = 0; i < kTope + 6; ++i) {
        falsos.push_back(std::make_unique<QUdpSocket>());
        ASSERT_TRUE(falsos.back()->bind(QHostAddress(QHostAddress::LocalHost), 0));
    }
    QUdpSocket& oido = *falsos[0];
    const auto buscar = [&p](const QUdpSocket& en) {
        return p.peer.EnumHosts(QString::fromLatin1(kGuidJuego), red::kGuidProveedorTcp,
                                QStringLiteral("127.0.0.1:%1").arg(en.localPort()));
    };
    const std::int32_t h = buscar(oido);
    ASSERT_GT(h, 0);
    ASSERT_TRUE(Esperar([&] { return oido.hasPendingDatagrams(); }, 2000));
    const QNetworkDatagram pregunta = oido.receiveDatagram();
    const auto consulta = red::LeerConsulta(pregunta.data());
    ASSERT_TRUE(consulta);
    red::RespuestaBusqueda r;
    r.marca = consulta->marca;
    r.guidInstancia = QStringLiteral("{00000000-0000-0000-0000-000000000001}");
    r.guidAplicacion = QString::fromLatin1(kGuidJuego);
    r.maxJugadores = 2;
    r.jugadores = 1;
    r.puertoTcp = 47811;
    r.nombreSesion = QStringLiteral("Falsa");
    const QByteArray respuesta = red::CodificarRespuesta(r);
    for (auto& s : falsos)
        for (int vez = 0; vez < 2; ++vez)
            s->writeDatagram(respuesta, pregunta.senderAddress(), quint16(pregunta.senderPort()));
    QTest::qWait(300);
    EXPECT_EQ(p.registro.respuestas.size(), kTope);

    // The next search asks only where it is told, and hears anew.
    p.peer.CancelAsyncOperation(h);
    ASSERT_TRUE(Esperar([&] { return p.registro.terminadas.size() == 1; }, 1000));
    EXPECT_EQ(p.registro.terminadas[0].hAsyncOp, h);
    EXPECT_EQ(p.registro.terminadas[0].hResultCode, red::DPNERR_USERCANCEL);
    QUdpSocket otro;
    ASSERT_TRUE(otro.bind(QHostAddress(QHostAddress::LocalHost), 0));
    ASSERT_GT(buscar(otro), 0);
    QTest::qWait(50);
    while (oido.hasPendingDatagrams()) oido.receiveDatagram();
    ASSERT_TRUE(Esperar([&] { return otro.hasPendingDatagrams(); }, 2000));
    const QNetworkDatagram nueva = otro.receiveDatagram();
    // An answer to the search before is not one to this search.
    otro.writeDatagram(respuesta, nueva.senderAddress(), quint16(nueva.senderPort()));
    QTest::qWait(100);
    EXPECT_EQ(p.registro.respuestas.size(), kTope);
    r.marca = red::LeerConsulta(nueva.data()).value_or(red::ConsultaBusqueda{}).marca;
    otro.writeDatagram(red::CodificarRespuesta(r), nueva.senderAddress(),
                       quint16(nueva.senderPort()));
    EXPECT_TRUE(Esperar([&] { return p.registro.respuestas.size() == kTope + 1; }, 1000));
    QTest::qWait(300); // a few queries' time
    EXPECT_FALSE(oido.hasPendingDatagrams());
}

// A search needs the game's GUID well formed and a provider it knows.
TEST(Transporte, UnaBusquedaMalPedidaNoEmpieza) {
    CarpetaEncuentros carpeta;
    Par p(QStringLiteral("Ana"));
    const QString guid = QString::fromLatin1(kGuidJuego);
    EXPECT_EQ(p.peer.EnumHosts(guid.chopped(1), red::kGuidProveedorLocal, QString()), 0);
    EXPECT_EQ(p.peer.EnumHosts(guid, QStringLiteral("{00000000-0000-0000-0000-000000000009}"),
                               QString()),
              0);
    const std::int32_t h = p.peer.EnumHosts(guid, red::kGuidProveedorLocal, QString());
    EXPECT_GT(h, 0);
    p.peer.CancelAsyncOperation(h);
}

// A host answers every one of many searchers at once: its limit of
// answers is per source address, not shared.
TEST(Transporte, ElHostContestaACadaUnoDeMuchosBuscadores) {
    CarpetaEncuentros carpeta;
    Par host(QStringLiteral("Host"));
    ASSERT_EQ(host.peer.Host(Sesion(QStringLiteral("s")), red::kGuidProveedorLocal), red::DPN_OK);
    const QByteArray consulta = red::CodificarConsulta({QString::fromLatin1(kGuidJuego), 7});
    std::vector<std::unique_ptr<QUdpSocket>> buscadores;
    for (int i = 2; i < 8; ++i) {
        buscadores.push_back(std::make_unique<QUdpSocket>());
        ASSERT_TRUE(buscadores.back()->bind(QHostAddress(QStringLiteral("127.0.0.%1").arg(i)), 0));
        buscadores.back()->writeDatagram(consulta, QHostAddress(QHostAddress::LocalHost),
                                         host.peer.PuertoDescubrimientoLocal());
    }
    for (const auto& s : buscadores)
        EXPECT_TRUE(Esperar([&] { return s->hasPendingDatagrams(); }, 1000))
            << s->localAddress().toString().toStdString();
}

TEST(Transporte, UnionFallidaNuncaEsExito) {
    CarpetaEncuentros carpeta;
    Par host(QStringLiteral("Host")), p(QStringLiteral("Ana"));
    p.peer.FijarTiempos(TiemposCortos());
    ASSERT_EQ(host.peer.Host(Sesion(QStringLiteral("s")), red::kGuidProveedorLocal), red::DPN_OK);
    quint16 libre = 0;
    {
        QTcpServer s; // listened once, then nothing listens there
        ASSERT_TRUE(s.listen(QHostAddress(QHostAddress::LocalHost)));
        libre = s.serverPort();
    }
    QTcpServer mudo, cuelga; // one takes the link and says nothing, one hangs up at once
    ASSERT_TRUE(mudo.listen(QHostAddress(QHostAddress::LocalHost)));
    ASSERT_TRUE(cuelga.listen(QHostAddress(QHostAddress::LocalHost)));
    QObject::connect(&cuelga, &QTcpServer::newConnection, [&] {
        while (QTcpSocket* s = cuelga.nextPendingConnection()) {
            // After the hello, as a copy of the old version does.
            QObject::connect(s, &QTcpSocket::readyRead, s, [s] { s->close(); s->deleteLater(); });
        }
    });
    red::DPN_APPLICATION_DESC otraApp =
        Sesion(QStringLiteral("s"), QStringLiteral("{00000000-0000-0000-0000-000000000001}"));
    red::DPN_APPLICATION_DESC vieja = host.peer.GetApplicationDesc(); // the host was restarted
    vieja.guidInstance = QStringLiteral("{00000000-0000-0000-0000-000000000002}");
    auto en = [](quint16 puerto) { return QStringLiteral("127.0.0.1:%1").arg(puerto); };
    const struct {
        red::DPN_APPLICATION_DESC desc;
        QString url;
        std::int32_t codigo;
    } casos[] = {
        {Sesion(QStringLiteral("x")), en(libre), red::DPNERR_NOCONNECTION},
        {otraApp, en(host.peer.PuertoTcp()), red::DPNERR_INVALIDAPPLICATION},
        {vieja, en(host.peer.PuertoTcp()), red::DPNERR_INVALIDINSTANCE},
        {Sesion(QStringLiteral("x")), en(mudo.serverPort()), red::DPNERR_NORESPONSE},
        {Sesion(QStringLiteral("x")), QStringLiteral("127.0.0.1"), red::DPNERR_INVALIDHOSTADDRESS},
        {Sesion(QStringLiteral("x")), en(cuelga.serverPort()), red::DPNERR_OTRAVERSION},
    };
    for (const auto& c : casos) {
        const auto n = p.registro.resultadosUnion.size();
        p.peer.Connect(c.desc, c.url, red::kGuidProveedorLocal);
        ASSERT_TRUE(Esperar([&] { return p.registro.resultadosUnion.size() > n; }));
        EXPECT_EQ(p.registro.resultadosUnion.back(), c.codigo) << c.url.toStdString();
    }
    EXPECT_TRUE(p.registro.creados.isEmpty());
    EXPECT_EQ(host.peer.NumeroJugadores(), 1);
}

TEST(Transporte, CerrarAvisaAlOtroYPermiteEmpezarDeNuevo) {
    CarpetaEncuentros carpeta;
    Par a(QStringLiteral("Ana")), b(QStringLiteral("Bea"));
    ASSERT_TRUE(Unir(a, b));
    const auto idB = a.registro.creados[1];
    EXPECT_EQ(a.peer.GetPeerInfo(a.peer.IdJugadorLocal()), QStringLiteral("Ana"));
    EXPECT_EQ(b.peer.GetPeerInfo(b.peer.IdJugadorLocal()), QStringLiteral("Bea"));
    // A message longer than a frame is not sent, and says so.
    EXPECT_FALSE(b.peer.SendTo(0, QString(red::kMaxCuerpoMarco + 1, u'x')));
    // Both sides know both players, by the same ids.
    auto ordenados = [](QList<std::int32_t> l) {
        std::sort(l.begin(), l.end());
        return l;
    };
    EXPECT_EQ(ordenados(b.registro.creados), ordenados(a.registro.creados));
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
    auto c = std::make_unique<Par>(QStringLiteral("Cris"));
    c->peer.Connect(a.peer.GetApplicationDesc(),
                    QStringLiteral("127.0.0.1:%1").arg(a.peer.PuertoTcp()),
                    red::kGuidProveedorLocal);
    ASSERT_TRUE(Esperar([&] { return !c->registro.resultadosUnion.isEmpty(); }));
    EXPECT_EQ(c->registro.resultadosUnion[0], red::DPN_OK);
    // A peer that goes away in session (its program closing) says goodbye too.
    c.reset();
    ASSERT_TRUE(Esperar([&] { return a.registro.destruidos.size() == 2; }));
    EXPECT_EQ(a.registro.razones[1], red::DPNDESTROYPLAYERREASON_NORMAL);
    EXPECT_EQ(b.peer.Host(Sesion(QStringLiteral("otra")), red::kGuidProveedorLocal), red::DPN_OK);
    // The host's announcement goes with it.
    const QString carpetaRuta = red::DirectPlay8Peer::CarpetaEncuentros();
    EXPECT_EQ(QDir(carpetaRuta).entryList(QDir::Files).size(), 2);
    b.peer.Close();
    a.peer.Close();
    EXPECT_TRUE(QDir(carpetaRuta).entryList(QDir::Files).isEmpty());
}

namespace {
// A recorder that runs a step once, from inside the first message it is
// handed: the program busy with it, as in a box.
struct DentroDelPrimero : RegistroEventos {
    std::function<void()> alRecibir;
    void DirectPlay8Event_Receive(const red::DPNMSG_RECEIVE& r) override {
        RegistroEventos::DirectPlay8Event_Receive(r);
        if (auto f = std::exchange(alRecibir, {})) f();
    }
};

// Ana and Bea joined, Ana's program handed Bea's messages through it.
struct TransporteOcupado : ::testing::Test {
    CarpetaEncuentros carpeta;
    Par a{QStringLiteral("Ana")}, b{QStringLiteral("Bea")};
    DentroDelPrimero dentro;
    void SetUp() override {
        ASSERT_TRUE(Unir(a, b));
        a.peer.RegisterMessageHandler(&dentro);
    }
};
} // namespace

// A peer who keeps talking while the game is held in a box (a nested event
// loop, when nothing is handed out) is let go once what waits for the game
// passes its bound: the waiting lines cannot grow without end.
TEST_F(TransporteOcupado, QuienHablaSinParaMientrasElJuegoEsperaSeVa) {
    DentroDelPrimero& ocupado = dentro;
    bool blnSeFue = false;
    ocupado.alRecibir = [&] {
        const QString linea(10000, u'x'); // 150 of them pass the bound, not the byte rate's
        for (int i = 0; i < 150 && b.registro.destruidos.isEmpty(); ++i) {
            b.peer.SendTo(0, linea);
            QCoreApplication::processEvents();
        }
        blnSeFue = Esperar([&] { return !b.registro.destruidos.isEmpty(); });
    };
    b.peer.SendTo(0, QStringLiteral("1;hola"));
    ASSERT_TRUE(Esperar([&] { return !ocupado.recibidos.isEmpty(); }));
    EXPECT_TRUE(blnSeFue);
    ASSERT_TRUE(Esperar([&] { return !ocupado.destruidos.isEmpty(); }));
    EXPECT_EQ(ocupado.razones[0], red::DPNDESTROYPLAYERREASON_CONNECTIONLOST);
    EXPECT_LT(ocupado.recibidos.size(), 150);
}

TEST(Transporte, LosTiemposPorDefectoSonLosDelDocumento) {
    QFile f(QStringLiteral(BRUMARIA_DOCS_DIR "/protocol.md"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString doc = QString::fromUtf8(f.readAll());
    const red::DirectPlay8Peer::Tiempos t;
    for (const auto& [que, ms] : {std::pair{"heartbeat (LATIDO interval)", t.latidoMs},
                                  {"silence timeout", t.silencioMs},
                                  {"handshake timeout", t.saludoMs},
                                  {"search query interval", t.intervaloBusquedaMs}})
        EXPECT_TRUE(doc.contains(QStringLiteral("| %1 | %2 ms |").arg(QLatin1String(que)).arg(ms)))
            << que;
}

// A host that takes link after link that goes keeps no socket nor timer
// of any of them.
TEST(Transporte, LosEnlacesQueSeVanNoDejanNadaDetras) {
    CarpetaEncuentros carpeta;
    Par host(QStringLiteral("Host"));
    ASSERT_EQ(host.peer.Host(Sesion(QStringLiteral("s")), red::kGuidProveedorLocal), red::DPN_OK);
    const auto sockets = host.peer.findChildren<QTcpSocket*>().size();
    const auto relojes = host.peer.findChildren<QTimer*>().size();
    for (int i = 0; i < 20; ++i) {
        QTcpSocket s;
        s.connectToHost(QHostAddress(QHostAddress::LocalHost), host.peer.PuertoTcp());
        ASSERT_TRUE(s.waitForConnected(3000));
        s.write("no es un saludo");
        ASSERT_TRUE(Esperar([&] { return s.state() == QAbstractSocket::UnconnectedState; }));
    }
    EXPECT_TRUE(Esperar([&] {
        return host.peer.findChildren<QTcpSocket*>().size() == sockets &&
               host.peer.findChildren<QTimer*>().size() == relojes;
    }, 2000)) << host.peer.findChildren<QTcpSocket*>().size() << " sockets, "
              << host.peer.findChildren<QTimer*>().size() << " timers";
}

// Hosting and closing, searching anew over a search: no UDP socket of an
// earlier one stays open.
TEST(Transporte, NiCerrarNiBuscarOtraVezDejanSocketsAbiertos) {
    CarpetaEncuentros carpeta;
    Par p(QStringLiteral("Ana"));
    auto udp = [&p] { return p.peer.findChildren<QUdpSocket*>().size(); };
    const auto base = udp();
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(p.peer.Host(Sesion(QStringLiteral("s")), red::kGuidProveedorLocal), red::DPN_OK);
        p.peer.Close();
    }
    EXPECT_TRUE(Esperar([&] { return udp() == base; }, 1000)) << udp() << " after closing";
    std::int32_t h = 0;
    for (int i = 0; i < 3; ++i)
        h = p.peer.EnumHosts(QString::fromLatin1(kGuidJuego), red::kGuidProveedorLocal, QString());
    ASSERT_GT(h, 0);
    const auto buscando = udp();
    p.peer.CancelAsyncOperation(h);
    EXPECT_TRUE(Esperar([&] { return udp() == base; }, 1000))
        << udp() << " after cancelling, " << buscando << " while searching";
    // A search still running when the peer closes stops with it.
    ASSERT_GT(p.peer.EnumHosts(QString::fromLatin1(kGuidJuego), red::kGuidProveedorLocal, QString()), 0);
    p.peer.Close();
    EXPECT_TRUE(Esperar([&] { return udp() == base; }, 1000)) << udp() << " after closing";
}

// Closing from inside an event drops what waits behind it: nothing of the
// closed session reaches the program afterwards.
TEST_F(TransporteOcupado, LoQueEsperabaAlCerrarNoLlegaDespues) {
    DentroDelPrimero& cierra = dentro;
    cierra.alRecibir = [&] {
        for (int i = 0; i < 3; ++i)
            b.peer.SendTo(0, QStringLiteral("1;otra"));
        QTest::qWait(200); // they arrive and wait behind this one
        a.peer.Close();
    };
    b.peer.SendTo(0, QStringLiteral("1;hola"));
    ASSERT_TRUE(Esperar([&] { return !cierra.recibidos.isEmpty(); }));
    QTest::qWait(200);
    EXPECT_EQ(cierra.recibidos.size(), 1);
}
