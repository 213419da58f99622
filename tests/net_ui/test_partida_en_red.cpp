// Network matches between two copies of the game in two processes, over
// 127.0.0.1, each copy the scripted driver acting through its window:
// three matches in one connection for every way the host can say who
// starts, and one over ::1.
#include "carpeta_temporal.h"
#include "platform/cp1252.h"
#include "platform/rutas.h"

#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace brumaria;

namespace {

QStringList LeerHistorial(const QString& carpeta) {
    QFile f(UnirRuta(carpeta, QStringLiteral("Historial.txt")));
    if (!f.open(QIODevice::ReadOnly)) return {};
    QString texto = DeCp1252(f.readAll());
    texto.remove(QLatin1Char('\r'));
    return texto.split(QLatin1Char('\n'));
}

// The lines of `esperadas` appear in `lineas` in this order (others may come between).
::testing::AssertionResult EnOrden(const QStringList& lineas, const QStringList& esperadas) {
    qsizetype desde = 0;
    for (const QString& e : esperadas) {
        const qsizetype i = lineas.indexOf(e, desde);
        if (i < 0)
            return ::testing::AssertionFailure()
                   << "falta, o fuera de orden: \"" << e.toStdString() << "\"\n"
                   << lineas.join(QLatin1Char('\n')).toStdString();
        desde = i + 1;
    }
    return ::testing::AssertionSuccess();
}

// Each match of a history: who it says starts, and who shot first.
struct Bloque {
    int intEmpiezo = 0;   // "Tú empiezas" lines
    int intEmpiezaEl = 0; // "Tu contrincante empieza" lines
    QString strPrimero;   // "Jugador" or "Contrincante"
};

QList<Bloque> Bloques(const QStringList& h) {
    QList<Bloque> r;
    for (const QString& l : h) {
        if (l == QStringLiteral("EMPIEZA UNA PARTIDA")) r.append(Bloque{});
        if (r.isEmpty()) continue;
        Bloque& b = r.back();
        b.intEmpiezo += l == QStringLiteral("Tú empiezas");
        b.intEmpiezaEl += l == QStringLiteral("Tu contrincante empieza");
        if (b.strPrimero.isEmpty() && (l.startsWith(QStringLiteral("Jugador\t")) ||
                                       l.startsWith(QStringLiteral("Contrincante\t"))))
            b.strPrimero = l.section(QLatin1Char('\t'), 0, 0);
    }
    return r;
}

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
    const QStringList elecciones = QString::fromLatin1(GetParam()).split(u',');
    Pareja par;
    par.Lanzar(QString::fromLatin1(GetParam()));
    Pareja::Acabar(par.host, 115000);
    Pareja::Acabar(par.invitado, 20000);

    const QStringList h = LeerHistorial(par.carpetaHost.ruta());
    const QStringList i = LeerHistorial(par.carpetaInvitado.ruta());
    const QList<Bloque> bh = Bloques(h), bi = Bloques(i);
    ASSERT_EQ(bh.size(), elecciones.size());
    ASSERT_EQ(bi.size(), elecciones.size());
    for (qsizetype k = 0; k < elecciones.size(); ++k) {
        const QString& e = elecciones[k];
        const bool blnEmpiezaHost = e == u"tu" || e == u"azar1";
        SCOPED_TRACE(QStringLiteral("partida %1: %2").arg(k + 1).arg(e).toStdString());
        // Each history says it once, the two agree, and the first shot
        // comes from the side that was told it starts.
        EXPECT_EQ(bh[k].intEmpiezo, blnEmpiezaHost ? 1 : 0);
        EXPECT_EQ(bh[k].intEmpiezaEl, blnEmpiezaHost ? 0 : 1);
        EXPECT_EQ(bi[k].intEmpiezo, blnEmpiezaHost ? 0 : 1);
        EXPECT_EQ(bi[k].intEmpiezaEl, blnEmpiezaHost ? 1 : 0);
        EXPECT_EQ(bh[k].strPrimero, blnEmpiezaHost ? u"Jugador" : u"Contrincante");
        EXPECT_EQ(bi[k].strPrimero, blnEmpiezaHost ? u"Contrincante" : u"Jugador");
    }
    // Every match ends with the other's fleet shown and checked, on both sides.
    const QString limpio = QStringLiteral(
        "Se han comprobado los barcos de tu contrincante: todas sus respuestas eran ciertas.");
    EXPECT_EQ(h.count(limpio), elecciones.size());
    EXPECT_EQ(i.count(limpio), elecciones.size());
    // The starter misses first, so the other side wins every match.
    EXPECT_EQ(h.count(QStringLiteral("¡El JUGADOR GANA la partida!")) +
                  h.count(QStringLiteral("¡Tu CONTRINCANTE GANA la partida!")),
              elecciones.size());

    // One session for the three: nobody joined or left again.
    EXPECT_EQ(h.count(QStringLiteral("Se ha agregado 'Bea' a la partida")), 1);
    EXPECT_EQ(i.count(QStringLiteral("Te has unido a la sesión.")), 1);
}

INSTANTIATE_TEST_SUITE_P(ElHostElige, QuienEmpieza,
                         ::testing::Values("tu,rival,azar1", "rival,azar0,tu",
                                           "azar0,tu,rival", "azar1,rival,azar0"));

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
    const QStringList h = LeerHistorial(par.carpetaHost.ruta());
    const QStringList i = LeerHistorial(par.carpetaInvitado.ruta());
    EXPECT_EQ(Bloques(h).size(), 1);
    EXPECT_TRUE(EnOrden(i, {QStringLiteral("Te has unido a la sesión."),
                            QStringLiteral("Tú empiezas"),
                            QStringLiteral("Se han comprobado los barcos de tu contrincante: "
                                           "todas sus respuestas eran ciertas.")}));
}
