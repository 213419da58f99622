// Two ICE links in one process, on loopback: direct, through a coturn of
// our own, against a closed port, closed by the other side, refused in
// local-only mode, and deleted from inside their own signals.
#include "carpeta_temporal.h"
#include "ice_turn.h"
#include "net/invitacion/enlace_ice.h"
#include "red_prueba.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QNetworkInterface>
#include <QUdpSocket>
#include <gtest/gtest.h>
#include <memory>

using namespace brumaria::red::invitacion;
using Fallo = EnlaceIce::Fallo;

namespace {

// Waits on the event loop, checking every millisecond: qWaitFor's 10 ms
// naps would throttle the pseudo-TCP and the figures measured here.
bool Esperar(const std::function<bool()>& condicion, int ms = 5000) {
    QEventLoop bucle;
    QTimer tic;
    QElapsedTimer reloj;
    reloj.start();
    QObject::connect(&tic, &QTimer::timeout, [&] { if (condicion() || reloj.elapsed() > ms) bucle.quit(); });
    tic.start(1);
    if (!condicion()) bucle.exec();
    return condicion();
}

const QHostAddress kLocal4(QHostAddress::LocalHost);
const QHostAddress kLocal6(QHostAddress::LocalHostIPv6);

// One link and everything it said.
struct Lado {
    std::unique_ptr<EnlaceIce> enlace;
    std::optional<DescripcionIce> descripcion;
    std::optional<bool> retransmitido; // set by conectado
    std::optional<Fallo> fallo;
    QByteArray recibido;

    Lado(bool blnControlador, QHostAddress local, EnlaceIce::Servidores s = {})
        : enlace(std::make_unique<EnlaceIce>(blnControlador, std::move(s), std::vector<QHostAddress>{local})) {
        auto* e = enlace.get();
        QObject::connect(e, &EnlaceIce::descripcionLista, [this](const DescripcionIce& d) { descripcion = d; });
        QObject::connect(e, &EnlaceIce::conectado, [this](bool r) { retransmitido = r; });
        QObject::connect(e, &EnlaceIce::fallido, [this](Fallo f) { fallo = f; });
        QObject::connect(e, &EnlaceIce::datos, [this](const QByteArray& t) { recibido += t; });
        enlace->Reunir();
    }
};

// Waits for both descriptions, crosses them and returns the ms from both
// set to both connected (-1 if they never were).
qint64 Cruzar(Lado& a, Lado& b, int ms = 10000) {
    if (!Esperar([&] { return a.descripcion && b.descripcion; }, 12000)) return -1;
    QElapsedTimer reloj;
    reloj.start();
    if (!a.enlace->blnFijarRemota(*b.descripcion) || !b.enlace->blnFijarRemota(*a.descripcion)) return -1;
    return Esperar([&] { return a.retransmitido && b.retransmitido; }, ms) ? reloj.elapsed() : -1;
}

QByteArray Patron(qsizetype n, int semilla) {
    QByteArray b(n, Qt::Uninitialized);
    for (qsizetype i = 0; i < n; ++i) b[i] = char((i * 31 + semilla * 7 + i / 251) & 0xff);
    return b;
}

// Sends `datos` in uneven chunks (1 byte to a few KiB).
void EnviarATrozos(EnlaceIce& e, const QByteArray& datos) {
    for (qsizetype hecho = 0, i = 0; hecho < datos.size(); ++i) {
        const qsizetype n = std::min<qsizetype>(datos.size() - hecho, 1 + (i * 977) % 6007);
        ASSERT_TRUE(e.blnEnviar(QByteArrayView(datos).sliced(hecho, n)));
        hecho += n;
    }
}

// A megabyte each way at once arrives whole and in order; prints the rate.
void CruzarUnMega(Lado& a, Lado& b, const char* que) {
    const QByteArray deA = Patron(kMaxPendienteIce, 1), deB = Patron(kMaxPendienteIce, 2);
    QElapsedTimer reloj;
    reloj.start();
    EnviarATrozos(*a.enlace, deA);
    EnviarATrozos(*b.enlace, deB);
    ASSERT_TRUE(Esperar([&] { return a.recibido.size() >= deB.size() && b.recibido.size() >= deA.size(); }, 30000))
        << a.recibido.size() << " / " << b.recibido.size();
    const double s = double(reloj.elapsed()) / 1000.0;
    EXPECT_EQ(b.recibido, deA);
    EXPECT_EQ(a.recibido, deB);
    std::printf("[ medida ] %s: 2 x 1 MiB in %.2f s (%.1f MiB/s each way)\n", que, s, 1.0 / s);
}

bool blnHayIpv6Local() {
    QUdpSocket s;
    return s.bind(kLocal6, 0);
}

DescripcionIce HaciaPuertoCerrado() {
    DescripcionIce d{"ab12", "0123456789abcdefghijkl", {}};
    d.candidatos.push_back({CandidatoIce::Tipo::Anfitrion, kLocal4, brumaria::prueba::PuertoUdpLibre(), 2130706431, "1"});
    return d;
}

EnlaceIce::Servidores PorTurn(std::uint16_t puerto, const char* clave) {
    EnlaceIce::Servidores s;
    s.turnServidor = QStringLiteral("127.0.0.1");
    s.turnPuerto = puerto;
    s.turnUsuario = QString::fromLatin1(brumaria::prueba::ServidorTurn::kUsuario);
    s.turnClave = QString::fromLatin1(clave);
    s.blnSoloRetransmitido = true;
    return s;
}

} // namespace

TEST(EnlaceIce, ElBucleDeQtEsElDeGlibYLibniceCorreEnEl) {
    EXPECT_TRUE(EnlaceIce::blnBucleCompatible());
}

TEST(EnlaceIce, DosEnlacesEn127SeConectanDirectosYCruzanUnMegaEnCadaSentidoAlaVez) {
    brumaria::prueba::Barrido barrido;
    Lado a(true, kLocal4), b(false, kLocal4);
    const qint64 ms = Cruzar(a, b);
    ASSERT_GE(ms, 0) << "no conectaron";
    EXPECT_FALSE(*a.retransmitido);
    EXPECT_FALSE(*b.retransmitido);
    std::printf("[ medida ] direct 127.0.0.1: connected %lld ms after both descriptions\n", static_cast<long long>(ms));
    CruzarUnMega(a, b, "direct 127.0.0.1");
}

TEST(EnlaceIce, DosEnlacesEnIpv6LocalSeConectanYCruzanUnMega) {
    if (!blnHayIpv6Local()) GTEST_SKIP() << "this machine has no ::1";
    brumaria::prueba::Barrido barrido;
    Lado a(true, kLocal6), b(false, kLocal6);
    ASSERT_GE(Cruzar(a, b), 0);
    ASSERT_TRUE(a.descripcion->candidatos.front().direccion == kLocal6);
    CruzarUnMega(a, b, "direct ::1");
}

TEST(EnlaceIce, PorUnRelevoTurnSeConectanRetransmitidosYLosDatosPasan) {
    brumaria::prueba::Barrido barrido;
    brumaria::prueba::CarpetaTemporal carpeta;
    brumaria::prueba::ServidorTurn turn(carpeta.ruta());
    ASSERT_TRUE(turn.blnListo()) << "turnserver no arrancó";
    Lado a(true, kLocal4, PorTurn(turn.puerto(), turn.kClave)), b(false, kLocal4, PorTurn(turn.puerto(), turn.kClave));
    const qint64 ms = Cruzar(a, b);
    ASSERT_GE(ms, 0) << turn.registro().toStdString();
    EXPECT_TRUE(*a.retransmitido);
    EXPECT_TRUE(*b.retransmitido);
    for (const auto& c : a.descripcion->candidatos) EXPECT_EQ(c.tipo, CandidatoIce::Tipo::Retransmitido);
    std::printf("[ medida ] relayed: connected %lld ms after both descriptions\n", static_cast<long long>(ms));
    CruzarUnMega(a, b, "relayed");
}

TEST(EnlaceIce, ConUnaClaveTurnEquivocadaElRelevoSeDaPorRechazadoEnMenosDeCincoSegundos) {
    brumaria::prueba::Barrido barrido;
    brumaria::prueba::CarpetaTemporal carpeta;
    brumaria::prueba::ServidorTurn turn(carpeta.ruta());
    ASSERT_TRUE(turn.blnListo());
    Lado a(true, kLocal4, PorTurn(turn.puerto(), "no-es-la-clave"));
    EXPECT_TRUE(Esperar([&] { return a.fallo.has_value(); }, 5000));
    EXPECT_EQ(a.fallo, Fallo::RetransmisionRechazada);
    EXPECT_FALSE(a.descripcion);
}

TEST(EnlaceIce, UnaDescripcionHaciaUnPuertoCerradoNoSeCruzaEnElTiempoFijado) {
    brumaria::prueba::Barrido barrido;
    Lado a(true, kLocal4);
    a.enlace->FijarTiempos({10000, 3000});
    ASSERT_TRUE(Esperar([&] { return a.descripcion.has_value(); }));
    QElapsedTimer reloj;
    reloj.start();
    ASSERT_TRUE(a.enlace->blnFijarRemota(HaciaPuertoCerrado()));
    ASSERT_TRUE(Esperar([&] { return a.fallo.has_value(); }, 6000));
    EXPECT_EQ(a.fallo, Fallo::NoSeCruza);
    std::printf("[ medida ] closed port: NoSeCruza after %lld ms\n", static_cast<long long>(reloj.elapsed()));
}

TEST(EnlaceIce, UnaDescripcionRemotaMalFormadaSeRechaza) {
    brumaria::prueba::Barrido barrido;
    const auto rechaza = [](auto estropear) {
        Lado a(true, kLocal4);
        DescripcionIce d = HaciaPuertoCerrado();
        estropear(d);
        return !a.enlace->blnFijarRemota(d) && Esperar([&] { return a.fallo == Fallo::SinCandidatos; }, 1000);
    };
    EXPECT_TRUE(rechaza([](DescripcionIce& d) { d.candidatos.clear(); }));
    EXPECT_TRUE(rechaza([](DescripcionIce& d) { d.usuario = "abc"; }));               // ufrag under 4
    EXPECT_TRUE(rechaza([](DescripcionIce& d) { d.clave = "0123456789abcdefghijk;"; })); // not an ICE-char
    EXPECT_TRUE(rechaza([](DescripcionIce& d) { d.candidatos.front().direccion = QHostAddress("192.0.2.7"); }));
    EXPECT_TRUE(rechaza([](DescripcionIce& d) { d.candidatos.assign(kMaxCandidatosIce + 1, d.candidatos.front()); }));
}

TEST(EnlaceIce, CuandoElOtroCierraElEnlaceFallaPorCerrado) {
    brumaria::prueba::Barrido barrido;
    Lado a(true, kLocal4), b(false, kLocal4);
    ASSERT_GE(Cruzar(a, b), 0);
    QElapsedTimer reloj;
    reloj.start();
    b.enlace->Cerrar();
    EXPECT_TRUE(Esperar([&] { return a.fallo.has_value(); }, 5000));
    EXPECT_EQ(a.fallo, Fallo::Cerrado);
    EXPECT_FALSE(b.fallo) << "closing is not a failure of one's own";
    EXPECT_FALSE(a.enlace->blnEnviar("tarde"));
    std::printf("[ medida ] the other side's close seen after %lld ms\n", static_cast<long long>(reloj.elapsed()));
}

TEST(EnlaceIce, EnModoLocalUnServidorAjenoSeRechazaSinEnviarNadaANingunServidor) {
    brumaria::prueba::Barrido barrido;
    QUdpSocket turnLocal; // the TURN server it would have asked first, on loopback
    ASSERT_TRUE(turnLocal.bind(kLocal4, 0));
    EnlaceIce::Servidores s = PorTurn(turnLocal.localPort(), "x");
    s.blnSoloRetransmitido = false;
    s.stun = {{QStringLiteral("192.0.2.1"), 3478}};
    Lado a(true, kLocal4, s);
    ASSERT_TRUE(Esperar([&] { return a.fallo.has_value(); }, 2000));
    EXPECT_EQ(a.fallo, Fallo::ServidorNoPermitido);
    QTest::qWait(300);
    EXPECT_FALSE(turnLocal.hasPendingDatagrams());
    EXPECT_FALSE(a.descripcion);
}

TEST(EnlaceIce, BorrarUnEnlaceDesdeSuPropioDatosOFallidoNoRompeNada) {
    brumaria::prueba::Barrido barrido;
    Lado a(true, kLocal4), b(false, kLocal4);
    ASSERT_GE(Cruzar(a, b), 0);
    bool borradoEnDatos = false, borradoEnFallido = false;
    QObject::connect(b.enlace.get(), &EnlaceIce::datos, [&] { b.enlace.reset(); borradoEnDatos = true; });
    QObject::connect(a.enlace.get(), &EnlaceIce::fallido, [&] { a.enlace.reset(); borradoEnFallido = true; });
    ASSERT_TRUE(a.enlace->blnEnviar(Patron(200000, 3)));
    // b goes inside libnice's receive callback; its agent's close reaches a.
    EXPECT_TRUE(Esperar([&] { return borradoEnDatos && borradoEnFallido; }, 5000));
    QTest::qWait(200); // anything libnice had queued for either runs now
}
