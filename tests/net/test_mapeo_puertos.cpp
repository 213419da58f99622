// The router's port mapping against a fake router on 127.0.0.1 that serves
// an IGD description and its control endpoint, found by its URL: no test
// ever searches the network for a router.
#include "mesa_en_red.h"
#include "net/mapeo_puertos.h"

#include <QHostAddress>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

using namespace brumaria::red;
using Estado = MapeoPuertos::Estado;

namespace {

const char kDescripcion[] = R"(<?xml version="1.0"?>
<root xmlns="urn:schemas-upnp-org:device-1-0"><specVersion><major>1</major><minor>0</minor></specVersion>
<device><deviceType>urn:schemas-upnp-org:device:InternetGatewayDevice:1</deviceType>
<friendlyName>Router de prueba</friendlyName>
<deviceList><device><deviceType>urn:schemas-upnp-org:device:WANDevice:1</deviceType>
<deviceList><device><deviceType>urn:schemas-upnp-org:device:WANConnectionDevice:1</deviceType>
<serviceList><service><serviceType>urn:schemas-upnp-org:service:WANIPConnection:1</serviceType>
<serviceId>urn:upnp-org:serviceId:WANIPConn1</serviceId><controlURL>/ctl/IPConn</controlURL>
<eventSubURL>/evt/IPConn</eventSubURL><SCPDURL>/WANIPCn.xml</SCPDURL></service></serviceList>
</device></deviceList></device></deviceList></device></root>)";

QByteArray Sobre(const QByteArray& cuerpo) {
    return R"(<?xml version="1.0"?><s:Envelope xmlns:s="http://schemas.xmlsoap.org/soap/envelope/" )"
           R"(s:encodingStyle="http://schemas.xmlsoap.org/soap/encoding/"><s:Body>)" +
           cuerpo + "</s:Body></s:Envelope>";
}

// A home router as the game sees it: it maps, refuses with a code, keeps
// only permanent mappings, or never answers.
struct Router {
    enum class Modo { Acepta, Rechaza, SoloPermanentes, Mudo };
    struct Llamada {
        QString accion, protocolo, puertoExterno, puertoInterno, cliente, arriendo;
    };
    Modo modo = Modo::Acepta;
    QTcpServer servidor;
    QList<Llamada> llamadas;
    int intPedidos = 0; // requests of any kind, the description's included

    explicit Router(Modo m) : modo(m) {
        servidor.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&servidor, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* s = servidor.nextPendingConnection()) {
                s->setParent(&servidor);
                QObject::connect(s, &QTcpSocket::readyRead, [this, s] { Leer(s); });
            }
        });
    }
    QString Url() const {
        return QStringLiteral("http://127.0.0.1:%1/rootDesc.xml").arg(servidor.serverPort());
    }
    int Cuantas(const QString& accion) const {
        int n = 0;
        for (const Llamada& l : llamadas)
            n += l.accion == accion;
        return n;
    }

    void Leer(QTcpSocket* s) {
        QByteArray& pedido = pedidos_[s];
        pedido += s->readAll();
        const qsizetype fin = pedido.indexOf("\r\n\r\n");
        if (fin < 0) return;
        static const QRegularExpression largo(QStringLiteral("Content-Length: *(\\d+)"),
                                              QRegularExpression::CaseInsensitiveOption);
        const auto m = largo.match(QString::fromLatin1(pedido.left(fin)));
        const qsizetype cuerpo = m.hasMatch() ? m.captured(1).toLongLong() : 0;
        if (pedido.size() < fin + 4 + cuerpo) return;
        ++intPedidos;
        if (modo == Modo::Mudo && !pedido.startsWith("GET")) return; // holds the line
        Responder(s, QString::fromUtf8(pedido));
    }

    void Responder(QTcpSocket* s, const QString& pedido) {
        QByteArray estado = "200 OK", cuerpo;
        if (pedido.startsWith(u"GET")) {
            cuerpo = kDescripcion;
        } else {
            auto valor = [&](const char* n) {
                const QRegularExpression e(
                    QStringLiteral("<%1>([^<]*)</%1>").arg(QLatin1String(n)));
                return e.match(pedido).captured(1);
            };
            const QString accion =
                QRegularExpression(QStringLiteral("#(\\w+)\"")).match(pedido).captured(1);
            llamadas.append({accion, valor("NewProtocol"), valor("NewExternalPort"),
                             valor("NewInternalPort"), valor("NewInternalClient"),
                             valor("NewLeaseDuration")});
            int error = 0;
            if (accion == u"AddPortMapping" && modo == Modo::Rechaza) error = 718;
            if (accion == u"AddPortMapping" && modo == Modo::SoloPermanentes &&
                valor("NewLeaseDuration") != u"0")
                error = 725;
            if (error) {
                estado = "500 Internal Server Error";
                cuerpo = Sobre("<s:Fault><faultcode>s:Client</faultcode><faultstring>UPnPError"
                               "</faultstring><detail><UPnPError "
                               "xmlns=\"urn:schemas-upnp-org:control-1-0\"><errorCode>" +
                               QByteArray::number(error) +
                               "</errorCode></UPnPError></detail></s:Fault>");
            } else {
                const QByteArray ns = "xmlns:u=\"urn:schemas-upnp-org:service:WANIPConnection:1\"";
                cuerpo = Sobre(
                    "<u:" + accion.toLatin1() + "Response " + ns + ">" +
                    (accion == u"GetExternalIPAddress"
                         ? QByteArray("<NewExternalIPAddress>127.0.0.99</NewExternalIPAddress>")
                         : QByteArray()) +
                    "</u:" + accion.toLatin1() + "Response>");
            }
        }
        s->write("HTTP/1.1 " + estado + "\r\nContent-Type: text/xml\r\nContent-Length: " +
                 QByteArray::number(cuerpo.size()) + "\r\nConnection: close\r\n\r\n" + cuerpo);
        s->disconnectFromHost();
    }

private:
    QHash<QTcpSocket*, QByteArray> pedidos_;
};

bool Esperar(const std::function<bool()>& cond, int ms = 8000) {
    return QTest::qWaitFor(cond, ms);
}

} // namespace

TEST(MapeoPuertos, AbreTcpYUdpHaciaEsteEquipoLoRenuevaYLoQuitaAlTerminar) {
    Router r(Router::Modo::Acepta);
    MapeoPuertos m;
    m.FijarTiempos({3000, 2, 1000}); // a two-second lease, renewed every second
    QStringList dichos; // what the window is told at each change
    QObject::connect(&m, &MapeoPuertos::cambiado, [&] { dichos << m.strTextoParaElAnfitrion(); });
    m.Abrir(47810, r.Url());
    EXPECT_EQ(dichos, QStringList{m.strTextoParaElAnfitrion()});
    EXPECT_EQ(m.strTextoParaElAnfitrion(),
              QStringLiteral("Pidiendo al router que abra el puerto 47810..."));
    ASSERT_TRUE(Esperar([&] { return m.estado() == Estado::Abierto; }));
    EXPECT_EQ(m.strTextoParaElAnfitrion(),
              QStringLiteral("Tu dirección para jugar por Internet: 127.0.0.99:47810"));
    ASSERT_GE(r.llamadas.size(), 2);
    for (int i = 0; i < 2; ++i) {
        const Router::Llamada& l = r.llamadas[i];
        EXPECT_EQ(l.accion, QStringLiteral("AddPortMapping"));
        EXPECT_EQ(l.protocolo, i == 0 ? QStringLiteral("TCP") : QStringLiteral("UDP"));
        EXPECT_EQ(l.puertoExterno, QStringLiteral("47810"));
        EXPECT_EQ(l.puertoInterno, QStringLiteral("47810"));
        EXPECT_EQ(l.cliente, QStringLiteral("127.0.0.1")); // the address that reached the router
        EXPECT_EQ(l.arriendo, QStringLiteral("2"));
    }
    // Renewed before the lease runs out.
    ASSERT_TRUE(Esperar([&] { return r.Cuantas(QStringLiteral("AddPortMapping")) >= 4; }));
    m.Cerrar();
    EXPECT_EQ(m.estado(), Estado::Inactivo);
    EXPECT_EQ(dichos.size(), 3);
    EXPECT_EQ(dichos.value(2), QString()) << "the window is told it is closed";
    ASSERT_TRUE(Esperar([&] { return r.Cuantas(QStringLiteral("DeletePortMapping")) == 2; }));
    EXPECT_EQ(r.llamadas.back().puertoExterno, QStringLiteral("47810"));
}

TEST(MapeoPuertos, AlCerrarElProgramaElPuertoSeQuita) {
    Router r(Router::Modo::Acepta);
    auto m = std::make_unique<MapeoPuertos>();
    m->Abrir(47810, r.Url());
    ASSERT_TRUE(Esperar([&] { return m->estado() == Estado::Abierto; }));
    m.reset(); // waits a moment for the router, then lets the removal finish on its own
    ASSERT_TRUE(Esperar([&] { return r.Cuantas(QStringLiteral("DeletePortMapping")) == 2; }));
}

// Asked for another port while one is open: the first goes back first.
TEST(MapeoPuertos, OtroPuertoDevuelveElPrimero) {
    Router r(Router::Modo::Acepta);
    MapeoPuertos m;
    m.Abrir(47810, r.Url());
    ASSERT_TRUE(Esperar([&] { return m.estado() == Estado::Abierto; }));
    m.Abrir(47811, r.Url());
    ASSERT_TRUE(Esperar([&] { return m.estado() == Estado::Abierto; }));
    m.Cerrar();
    ASSERT_TRUE(Esperar([&] { return r.Cuantas(QStringLiteral("DeletePortMapping")) == 4; }));
    QStringList quitados;
    for (const Router::Llamada& l : r.llamadas)
        if (l.accion == u"DeletePortMapping") quitados << l.puertoExterno;
    EXPECT_EQ(quitados.join(u' '), QStringLiteral("47810 47810 47811 47811"));
}

TEST(MapeoPuertos, UnRouterSinArriendosRecibeUnMapeoPermanente) {
    Router r(Router::Modo::SoloPermanentes);
    MapeoPuertos m;
    m.FijarTiempos({3000, 2, 1000}); // a leased one would be renewed after a second
    m.Abrir(47810, r.Url());
    ASSERT_TRUE(Esperar([&] { return m.estado() == Estado::Abierto; }));
    EXPECT_EQ(r.llamadas.value(1).arriendo, QStringLiteral("0"));
    const int intPedidas = r.Cuantas(QStringLiteral("AddPortMapping"));
    QTest::qWait(1500);
    EXPECT_EQ(r.Cuantas(QStringLiteral("AddPortMapping")), intPedidas) << "a permanent one is never renewed";
}

// Whatever goes wrong, the host learns it in words and the game goes on.
TEST(MapeoPuertos, RechazoSilencioYNingunRouterSeDicenAlAnfitrion) {
    enum class Url { Suya, Ninguna, PorNombre };
    struct Caso {
        const char* nombre;
        Router::Modo modo;
        Url url;
        const char* texto;
    };
    const QString aMano = QStringLiteral(
        "para jugar por Internet, abre a mano el puerto 47810 (TCP y UDP) en el router.");
    const Caso casos[] = {
        {"rechaza", Router::Modo::Rechaza, Url::Suya,
         "El router no ha abierto el puerto (error 718): "},
        {"no contesta", Router::Modo::Mudo, Url::Suya, "El router no ha contestado a tiempo: "},
        // Local-only, as every test runs: the network-wide search never
        // starts, and a router named rather than given by a loopback
        // address is not spoken to.
        {"sin router", Router::Modo::Acepta, Url::Ninguna,
         "No se ha encontrado un router que abra puertos (UPnP ni NAT-PMP): "},
        {"por nombre", Router::Modo::Acepta, Url::PorNombre,
         "No se ha encontrado un router que abra puertos (UPnP ni NAT-PMP): "},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        Router r(c.modo);
        MapeoPuertos m; // with the game's own three-second limit
        QString url = r.Url();
        if (c.url == Url::Ninguna) url.clear();
        if (c.url == Url::PorNombre)
            url.replace(QStringLiteral("127.0.0.1"), QStringLiteral("localhost"));
        QStringList dichos; // what the window is told at each change
        QObject::connect(&m, &MapeoPuertos::cambiado,
                         [&] { dichos << m.strTextoParaElAnfitrion(); });
        m.Abrir(47810, url);
        ASSERT_TRUE(Esperar([&] { return m.estado() == Estado::Rechazado; }, 5000));
        EXPECT_EQ(m.strTextoParaElAnfitrion(), QString::fromUtf8(c.texto) + aMano);
        EXPECT_EQ(dichos.value(dichos.size() - 1), m.strTextoParaElAnfitrion());
        if (c.url != Url::Suya) {
            EXPECT_EQ(r.intPedidos, 0);
        }
    }
}

// Creating a TCP/IP game asks for its own port, tells the host and gives
// the port back on "Terminar conexión"; a refusal is told too, and the game
// stays hosted.
TEST(MapeoPuertos, CrearUnaPartidaPideSuPuertoYTerminarLaConexionLoDevuelve) {
    const QString aMano = QStringLiteral(
        "para jugar por Internet, abre a mano el puerto %1 (TCP y UDP) en el router.");
    for (const Router::Modo modo : {Router::Modo::Acepta, Router::Modo::Rechaza}) {
        SCOPED_TRACE(modo == Router::Modo::Acepta ? "acepta" : "rechaza");
        brumaria::prueba::Barrido barrido;
        brumaria::prueba::CarpetaEncuentros encuentros;
        Router r(modo);
        brumaria::prueba::MesaEnRed mesa;
        mesa.dp.strUrlRouter = r.Url();
        mesa.dp.IniciarDPlay();
        ASSERT_EQ(mesa.dp.HospedarSesion(QStringLiteral("Ana"), QStringLiteral("Mesa"),
                                         kGuidProveedorTcp),
                  DPN_OK);
        const QString puerto = QString::number(mesa.dp.oDPP()->PuertoTcp());
        const QString dicho =
            modo == Router::Modo::Acepta
                ? QStringLiteral("Tu dirección para jugar por Internet: 127.0.0.99:") + puerto
                : QStringLiteral("El router no ha abierto el puerto (error 718): ") +
                      aMano.arg(puerto);
        ASSERT_TRUE(Esperar([&] { return mesa.m.paneles.historial.contains(dicho); }));
        // With the history pane hidden, the status bar says it too, briefly.
        EXPECT_EQ(mesa.m.paneles.aviso, modo == Router::Modo::Acepta
                                            ? dicho
                                            : QStringLiteral("Para jugar por Internet, abre el "
                                                             "puerto %1 (TCP y UDP) en el router.")
                                                  .arg(puerto));
        EXPECT_EQ(mesa.dp.Estado(), brumaria::EstadoConexion::Anfitrion);
        EXPECT_EQ(r.llamadas.value(0).puertoInterno, puerto);
        mesa.dp.TerminarConexion();
        if (modo == Router::Modo::Acepta) {
            EXPECT_TRUE(Esperar([&] { return r.Cuantas(QStringLiteral("DeletePortMapping")) == 2; }));
        }
    }
}
