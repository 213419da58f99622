// Network matches between two copies of the game in two processes, over
// 127.0.0.1, each copy the scripted driver acting through its window:
// three matches in one connection for every way the host can say who
// starts, and one over ::1.
#include "carpeta_temporal.h"
#include "red_de_encuentro.h"

#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace brumaria;

namespace {

// Two drivers sharing a meeting folder; both inherit the test environment
// (offscreen, loopback only).
struct Pareja {
    prueba::CarpetaTemporal carpetaHost, carpetaInvitado;
    QTemporaryDir encuentros;
    QProcess host, invitado;

    Pareja() {
        carpetaHost.CopiarRecursos();
        carpetaInvitado.CopiarRecursos();
        for (QProcess* p : {&host, &invitado})
            p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    }
    ~Pareja() {
        for (QProcess* p : {&host, &invitado})
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(5000);
            }
    }
    void Lanzar(const QString& guion) {
        for (QProcess* p : {&host, &invitado}) {
            const bool blnHost = p == &host;
            p->start(QStringLiteral(BRUMARIA_CONDUCTOR),
                     {blnHost ? QStringLiteral("host") : QStringLiteral("invitado"),
                      (blnHost ? carpetaHost : carpetaInvitado).ruta(), encuentros.path(), guion});
            ASSERT_TRUE(p->waitForStarted(10000));
        }
    }
    static void Acabar(QProcess& p, int ms) {
        const bool fin = p.waitForFinished(ms);
        if (!fin) p.kill();
        ASSERT_TRUE(fin);
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), 0);
    }
};

class QuienEmpieza : public ::testing::TestWithParam<const char*> {};

} // namespace

TEST_P(QuienEmpieza, TresPartidasSeguidasEnLaMismaConexion) {
    Pareja par;
    par.Lanzar(QString::fromLatin1(GetParam()));
    Pareja::Acabar(par.host, 115000);
    Pareja::Acabar(par.invitado, 20000);

    // Each side checked, on its own history, who started each match, that
    // the other's fleet was shown and checked, and that it was one session.
}

INSTANTIATE_TEST_SUITE_P(ElHostElige, QuienEmpieza,
                         ::testing::Values("tu,rival,azar1", "rival,azar0,tu",
                                           "azar0,tu,rival", "azar1,rival,azar0",
                                           // the session's choice holds until changed
                                           "rival,tu,=", "azar1,=,="));

// A TCP/IP game its guest joins by typing the host's address, "[::1]:port",
// where this computer has IPv6.
TEST(PartidaIPv6, SeJuegaEnteraPorLaDireccionTecleada) {
    QTcpServer prueba;
    if (!prueba.listen(QHostAddress::LocalHostIPv6)) GTEST_SKIP() << "sin IPv6 en este equipo";
    prueba.close();
    Pareja par;
    par.Lanzar(QStringLiteral("ipv6:azar0"));
    Pareja::Acabar(par.host, 60000);
    Pareja::Acabar(par.invitado, 20000);
}

namespace {

class ConCodigo : public ::testing::TestWithParam<const char*> {};

} // namespace

// Through an invitation code on this computer: the host's window shows the
// code, the guest types it as it would be read out (capitals, spaces), and
// two matches are played with a greeting each way.
TEST_P(ConCodigo, DosPartidasConElCodigoQueLeeElAnfitrion) {
    prueba::RedDeEncuentro dht(QStringLiteral(BRUMARIA_NODO_DHT));
    ASSERT_TRUE(dht.blnLista()) << "la red de encuentro no arranca";
    Pareja par;
    ASSERT_TRUE(dht.EscribirAjustes(par.carpetaHost.ruta()));
    ASSERT_TRUE(dht.EscribirAjustes(par.carpetaInvitado.ruta()));
    par.Lanzar(QStringLiteral("codigo:") + QString::fromLatin1(GetParam()));
    Pareja::Acabar(par.host, 100000);
    Pareja::Acabar(par.invitado, 20000);
}

INSTANTIATE_TEST_SUITE_P(ElHostElige, ConCodigo,
                         ::testing::Values("tu,rival", "azar0,=", "azar1,tu"));
