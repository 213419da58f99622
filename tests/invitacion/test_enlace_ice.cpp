// Two ICE links in one process, on loopback: direct, through a coturn of
// our own, against a closed port, closed by the other side, refused in
// local-only mode, and deleted from inside their own signals.
#include "carpeta_temporal.h"
#include "ice_turn.h"
#include "net/invitacion/enlace_ice.h"
#include "red_prueba.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>
#include <QUdpSocket>
#include <gtest/gtest.h>
#include <memory>

using namespace brumaria::red::invitacion;
using brumaria::prueba::Barrido;
using Fallo = EnlaceIce::Fallo;

namespace {

const QHostAddress kLocal4(QHostAddress::LocalHost);
const QHostAddress kLocal6(QHostAddress::LocalHostIPv6);

// Waits on the event loop, looking every millisecond: qWaitFor's 10 ms
// naps would throttle the pseudo-TCP and the figures measured here.
bool Esperar(const std::function<bool()>& condicion, int ms = 5000) {
    QEventLoop bucle;
    QTimer tic;
    QElapsedTimer reloj;
    reloj.start();
    QObject::connect(&tic, &QTimer::timeout, [&] {
        if (condicion() || reloj.elapsed() > ms) bucle.quit();
    });
    tic.start(1);
    if (!condicion()) bucle.exec();
    return condicion();
}

// One link and everything it said.
struct Lado {
    std::unique_ptr<EnlaceIce> enlace;
    std::optional<DescripcionIce> descripcion;
    std::optional<bool> retransmitido; // set by conectado
    std::optional<Fallo> fallo;
    QByteArray recibido;

    Lado(bool blnControlador, QHostAddress local, EnlaceIce::Servidores s = {})
        : enlace(std::make_unique<EnlaceIce>(blnControlador, std::move(s),
                                             std::vector<QHostAddress>{local})) {
        auto* e = enlace.get();
        QObject::connect(e, &EnlaceIce::descripcionLista,
                         [this](const DescripcionIce& d) { descripcion = d; });
        QObject::connect(e, &EnlaceIce::conectado, [this](bool r) { retransmitido = r; });
        QObject::connect(e, &EnlaceIce::fallido, [this](Fallo f) { fallo = f; });
        QObject::connect(e, &EnlaceIce::datos, [this](const QByteArray& t) { recibido += t; });
        enlace->Reunir();
    }
};

// Crosses both descriptions; the ms from both set to both connected, -1 if never.
qint64 Cruzar(Lado& a, Lado& b) {
    if (!Esperar([&] { return a.descripcion && b.descripcion; }, 12000)) return -1;
    QElapsedTimer reloj;
    reloj.start();
    if (!a.enlace->blnFijarRemota(*b.descripcion) || !b.enlace->blnFijarRemota(*a.descripcion))
        return -1;
    return Esperar([&] { return a.retransmitido && b.retransmitido; }, 10000) ? reloj.elapsed()
                                                                              : -1;
}

QByteArray Patron(qsizetype n, int semilla) {
    QByteArray b(n, Qt::Uninitialized);
    for (qsizetype i = 0; i < n; ++i)
        b[i] = char((i * 31 + semilla * 7 + i / 251) & 0xff);
    return b;
}

// A megabyte each way at once, sent in uneven chunks (1 byte to 6 KiB),
// arrives whole and in order; prints the rate.
void CruzarUnMega(Lado& a, Lado& b, const char* que) {
    const QByteArray deA = Patron(kMaxPendienteIce, 1), deB = Patron(kMaxPendienteIce, 2);
    QElapsedTimer reloj;
    reloj.start();
    for (qsizetype hecho = 0, i = 0; hecho < deA.size(); ++i) {
        const qsizetype n = std::min<qsizetype>(deA.size() - hecho, 1 + (i * 977) % 6007);
        ASSERT_TRUE(a.enlace->blnEnviar(QByteArrayView(deA).sliced(hecho, n)));
        ASSERT_TRUE(b.enlace->blnEnviar(QByteArrayView(deB).sliced(hecho, n)));
        hecho += n;
    }
    ASSERT_TRUE(Esperar(
        [&] { return a.recibido.size() >= deB.size() && b.recibido.size() >= deA.size(); }, 30000))
        << a.recibido.size() << " / " << b.recibido.size();
    EXPECT_EQ(b.recibido, deA);
    EXPECT_EQ(a.recibido, deB);
    std::printf("[ medida ] %s: 1 MiB each way in %lld ms\n", que,
                static_cast<long long>(reloj.elapsed()));
}

DescripcionIce HaciaPuertoCerrado() {
    DescripcionIce d{"ab12", "0123456789abcdefghijkl", {}};
    d.candidatos.push_back({CandidatoIce::Tipo::Anfitrion, kLocal4,
                            brumaria::prueba::PuertoUdpLibre(), 2130706431, "1"});
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

// Run by the case below in a child with QT_NO_GLIB=1, where Qt has its own
// dispatcher and libnice's sources would never be looked at.
TEST(EnlaceIceSinGlib, ElEnlaceFallaEnseguidaEnVezDeQuedarseColgado) {
    if (qEnvironmentVariableIsEmpty("QT_NO_GLIB")) GTEST_SKIP() << "runs inside the case below";
    EXPECT_FALSE(EnlaceIce::blnBucleCompatible());
    Lado a(true, kLocal4);
    EXPECT_TRUE(Esperar([&] { return a.fallo == Fallo::BucleSinGlib; }, 1000));
}

TEST(EnlaceIce, SinElBucleDeGlibElEnlaceFallaClaramente) {
    QProcess hijo;
    auto entorno = QProcessEnvironment::systemEnvironment();
    entorno.insert(QStringLiteral("QT_NO_GLIB"), QStringLiteral("1"));
    hijo.setProcessEnvironment(entorno);
    hijo.start(QCoreApplication::applicationFilePath(),
               {QStringLiteral("--gtest_filter=EnlaceIceSinGlib.*")});
    ASSERT_TRUE(hijo.waitForFinished(20000));
    const QByteArray salida = hijo.readAll();
    EXPECT_EQ(hijo.exitCode(), 0) << salida.toStdString();
    EXPECT_TRUE(salida.contains("[  PASSED  ] 1 test")) << salida.toStdString();
}

TEST(EnlaceIce, DosEnlacesEnLoopbackSeConectanDirectosYCruzanUnMegaEnCadaSentidoALaVez) {
    for (const QHostAddress& local : {kLocal4, kLocal6}) {
        QUdpSocket prueba;
        if (!prueba.bind(local, 0)) {
            std::printf("[ omitido ] this machine has no %s\n", qPrintable(local.toString()));
            continue;
        }
        Barrido barrido;
        Lado a(true, local), b(false, local);
        const qint64 ms = Cruzar(a, b);
        ASSERT_GE(ms, 0) << "no conectaron por " << local.toString().toStdString();
        EXPECT_FALSE(*a.retransmitido || *b.retransmitido);
        EXPECT_EQ(a.descripcion->candidatos.front().direccion, local);
        std::printf("[ medida ] direct %s: connected %lld ms after both descriptions\n",
                    qPrintable(local.toString()), static_cast<long long>(ms));
        CruzarUnMega(a, b, qPrintable(local.toString()));
    }
}

// A coturn of our own on 127.0.0.1, one per case.
class EnlaceIcePorRelevo : public ::testing::Test {
protected:
    Barrido barrido;
    brumaria::prueba::CarpetaTemporal carpeta;
    brumaria::prueba::ServidorTurn turn{carpeta.ruta()};
    void SetUp() override { ASSERT_TRUE(turn.blnListo()) << "turnserver did not start"; }
};

TEST_F(EnlaceIcePorRelevo, AmbosSeConectanRetransmitidosYLosDatosPasan) {
    auto porNombre = PorTurn(turn.puerto(), turn.kClave);
    porNombre.turnServidor = QStringLiteral("localhost"); // looked up, never blocking
    Lado a(true, kLocal4, porNombre), b(false, kLocal4, PorTurn(turn.puerto(), turn.kClave));
    const qint64 ms = Cruzar(a, b);
    ASSERT_GE(ms, 0) << turn.registro().toStdString();
    EXPECT_TRUE(*a.retransmitido && *b.retransmitido);
    for (const auto& c : a.descripcion->candidatos)
        EXPECT_EQ(c.tipo, CandidatoIce::Tipo::Retransmitido);
    std::printf("[ medida ] relayed: connected %lld ms after both descriptions\n",
                static_cast<long long>(ms));
    CruzarUnMega(a, b, "relayed");
}

TEST_F(EnlaceIcePorRelevo, ConUnaClaveEquivocadaElRelevoSeDaPorRechazadoEnMenosDeCincoSegundos) {
    Lado a(true, kLocal4, PorTurn(turn.puerto(), "no-es-la-clave"));
    EXPECT_TRUE(Esperar([&] { return a.fallo.has_value(); }, 5000));
    EXPECT_EQ(a.fallo, Fallo::RetransmisionRechazada);
    EXPECT_FALSE(a.descripcion);
}

TEST(EnlaceIce, UnaDescripcionHaciaUnPuertoCerradoNoSeCruzaEnElTiempoFijado) {
    Barrido barrido;
    Lado a(true, kLocal4);
    a.enlace->FijarTiempos({10000, 3000});
    ASSERT_TRUE(Esperar([&] { return a.descripcion.has_value(); }));
    ASSERT_TRUE(a.enlace->blnFijarRemota(HaciaPuertoCerrado()));
    EXPECT_TRUE(Esperar([&] { return a.fallo.has_value(); }, 4000));
    EXPECT_EQ(a.fallo, Fallo::NoSeCruza);
}

TEST(EnlaceIce, UnaDescripcionRemotaMalFormadaSeRechaza) {
    Barrido barrido;
    const auto rechaza = [](auto estropear) {
        Lado a(true, kLocal4);
        DescripcionIce d = HaciaPuertoCerrado();
        estropear(d);
        return !a.enlace->blnFijarRemota(d) &&
               Esperar([&] { return a.fallo == Fallo::SinCandidatos; }, 1000);
    };
    EXPECT_TRUE(rechaza([](DescripcionIce& d) { d.candidatos.clear(); }));
    EXPECT_TRUE(rechaza([](DescripcionIce& d) { d.usuario = "abc"; })); // ufrag under 4
    EXPECT_TRUE(
        rechaza([](DescripcionIce& d) { d.clave = "0123456789abcdefghijk;"; })); // not an ICE-char
    EXPECT_TRUE(rechaza(
        [](DescripcionIce& d) { d.candidatos.front().direccion = QHostAddress("192.0.2.7"); }));
    EXPECT_TRUE(rechaza([](DescripcionIce& d) {
        d.candidatos.assign(kMaxCandidatosIce + 1, d.candidatos.front());
    }));
}

TEST(EnlaceIce, CuandoElOtroCierraElEnlaceFallaPorCerrado) {
    Barrido barrido;
    Lado a(true, kLocal4), b(false, kLocal4);
    ASSERT_GE(Cruzar(a, b), 0);
    b.enlace->Cerrar();
    EXPECT_TRUE(Esperar([&] { return a.fallo.has_value(); }, 2000));
    EXPECT_EQ(a.fallo, Fallo::Cerrado);
    EXPECT_FALSE(b.fallo) << "closing is not a failure of one's own";
    EXPECT_FALSE(a.enlace->blnEnviar("tarde"));
}

TEST(EnlaceIce, MasDeUnMegaSinSalirHaceFallarElEnlacePorDesbordado) {
    Barrido barrido;
    Lado a(true, kLocal4), b(false, kLocal4);
    ASSERT_GE(Cruzar(a, b), 0);
    ASSERT_TRUE(
        a.enlace->blnEnviar(Patron(kMaxPendienteIce, 1))); // more than the pseudo-TCP takes at once
    EXPECT_FALSE(a.enlace->blnEnviar(Patron(kMaxPendienteIce / 2, 2)));
    EXPECT_TRUE(Esperar([&] { return a.fallo == Fallo::Desbordado; }, 1000));
}

TEST(EnlaceIce, EnModoLocalUnServidorAjenoSeRechazaSinEnviarNadaANingunServidor) {
    Barrido barrido;
    QUdpSocket turnLocal; // the TURN server it would have asked, on loopback
    ASSERT_TRUE(turnLocal.bind(kLocal4, 0));
    EnlaceIce::Servidores s = PorTurn(turnLocal.localPort(), "x");
    s.stun = {{QStringLiteral("192.0.2.1"), 3478}};
    Lado a(true, kLocal4, s);
    ASSERT_TRUE(Esperar([&] { return a.fallo.has_value(); }, 2000));
    EXPECT_EQ(a.fallo, Fallo::ServidorNoPermitido);
    QTest::qWait(300);
    EXPECT_FALSE(turnLocal.hasPendingDatagrams());
}

TEST(EnlaceIce, BorrarUnEnlaceDesdeSuPropioDatosOFallidoNoRompeNada) {
    Barrido barrido;
    Lado a(true, kLocal4), b(false, kLocal4);
    ASSERT_GE(Cruzar(a, b), 0);
    bool borradoEnDatos = false, borradoEnFallido = false;
    QObject::connect(b.enlace.get(), &EnlaceIce::datos, [&] {
        b.enlace.reset();
        borradoEnDatos = true;
    });
    QObject::connect(a.enlace.get(), &EnlaceIce::fallido, [&] {
        a.enlace.reset();
        borradoEnFallido = true;
    });
    ASSERT_TRUE(a.enlace->blnEnviar(Patron(200000, 3)));
    // b goes inside libnice's receive callback, with more data behind; its close reaches a.
    EXPECT_TRUE(Esperar([&] { return borradoEnDatos && borradoEnFallido; }, 5000));
    Esperar([] { return false; }, 200); // anything libnice had queued for either runs now
}
