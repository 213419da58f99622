// Network matches between two copies of the game in two processes, over
// 127.0.0.1, each copy the scripted driver acting through its window:
// three matches in one connection for every way the host can say who
// starts, and one copy killed in the middle of the set-up.
#include "carpeta_temporal.h"
#include "platform/cp1252.h"
#include "options/opciones.h"
#include "platform/rutas.h"

#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
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

QString NombreGuardado(const QString& carpeta) {
    FijarRutaPrograma(carpeta);
    ModOpciones o;
    o.blnCargarOpcionesDeArchivo();
    FijarRutaPrograma(QString());
    return o.Opciones.strNombreJugador;
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
    void Lanzar(const QString& guionHost, const QString& guionInvitado) {
        host.start(QStringLiteral(BRUMARIA_CONDUCTOR),
                   {QStringLiteral("host"), carpetaHost.ruta(), encuentros.path(), guionHost});
        invitado.start(QStringLiteral(BRUMARIA_CONDUCTOR), {QStringLiteral("invitado"),
                                                            carpetaInvitado.ruta(),
                                                            encuentros.path(), guionInvitado});
        ASSERT_TRUE(host.waitForStarted(10000));
        ASSERT_TRUE(invitado.waitForStarted(10000));
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
    par.Lanzar(QString::fromLatin1(GetParam()), QString::fromLatin1(GetParam()));
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

    // The first match's set-up, chat and alerts, in order on both sides.
    EXPECT_TRUE(EnOrden(
        h, {QStringLiteral("EMPIEZA UNA PARTIDA"), QStringLiteral("Partida multijugador"),
            QStringLiteral("Sesión 'Mesa de Ana' creada con éxito."),
            QStringLiteral("Se ha agregado 'Bea' a la partida"),
            QStringLiteral("Bea ha terminado de colocar sus barcos"),
            QStringLiteral("Bea no tiene activadas las alertas con sonido"),
            QStringLiteral("Bea no tiene activadas las alertas con cuadro de texto"),
            QStringLiteral("Bea no tiene activadas las alertas en el historial")}));
    const auto ana = h.indexOf(QStringLiteral("Se ha agregado 'Ana' a la partida"));
    EXPECT_GE(ana, 0);
    EXPECT_LT(ana, h.indexOf(QStringLiteral("Se ha agregado 'Bea' a la partida")));
    EXPECT_FALSE(h.contains(QStringLiteral("Partida multijugador cancelada")));
    EXPECT_TRUE(EnOrden(
        i, {QStringLiteral("EMPIEZA UNA PARTIDA"), QStringLiteral("Partida multijugador"),
            QStringLiteral("Se ha agregado 'Bea' a la partida"),
            QStringLiteral("Se ha agregado 'Ana' a la partida"),
            QStringLiteral("Te has unido a la sesión."),
            QStringLiteral("Ana ha terminado de colocar sus barcos"),
            QStringLiteral("ALERTA DE TU ADVERSARIO: Mira el historial: 2;3"),
            QStringLiteral("Ay ay ay, tu adversario te quería engañar...")}));
    EXPECT_EQ(i.count(QStringLiteral("ALERTA DE TU ADVERSARIO: Mira el historial: 2;3")), 1);
    // One session for the three: nobody joined or left again.
    EXPECT_EQ(h.count(QStringLiteral("Se ha agregado 'Bea' a la partida")), 1);
    EXPECT_EQ(i.count(QStringLiteral("Te has unido a la sesión.")), 1);

    // The names typed in the session dialog were kept.
    EXPECT_EQ(NombreGuardado(par.carpetaHost.ruta()), QStringLiteral("Ana"));
    EXPECT_EQ(NombreGuardado(par.carpetaInvitado.ruta()), QStringLiteral("Bea"));
}

INSTANTIATE_TEST_SUITE_P(ElHostElige, QuienEmpieza,
                         ::testing::Values("tu,rival,azar1", "rival,azar0,tu",
                                           "azar0,tu,rival", "azar1,rival,azar0"));

// One side waits for the other's fleet; the other, still placing, is killed.
class Muerte : public ::testing::TestWithParam<bool> {};

TEST_P(Muerte, ElOtroLoSabeEnSeguidaYPuedeJugarOtra) {
    const bool blnMuereElHost = GetParam();
    Pareja par;
    par.Lanzar(blnMuereElHost ? QStringLiteral("colgado") : QStringLiteral("superviviente"),
               blnMuereElHost ? QStringLiteral("superviviente") : QStringLiteral("colgado"));
    QProcess& muere = blnMuereElHost ? par.host : par.invitado;
    QProcess& queda = blnMuereElHost ? par.invitado : par.host;
    const QString carpetaMuere = blnMuereElHost ? par.carpetaHost.ruta() : par.carpetaInvitado.ruta();
    const QString quedaListo = blnMuereElHost ? QStringLiteral("Bea ha terminado de colocar sus barcos")
                                              : QStringLiteral("Ana ha terminado de colocar sus barcos");
    // The dying side has heard that the other's fleet is sent: it places, the other waits.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return LeerHistorial(carpetaMuere).contains(quedaListo); }, 30000));
    QTest::qWait(200);
    muere.kill();
    ASSERT_TRUE(muere.waitForFinished(5000));
    // Told, idle, and through a match against the computer: the survivor
    // ends by itself once it has, well inside the wait.
    Pareja::Acabar(queda, 10000);
}

INSTANTIATE_TEST_SUITE_P(UnoDeLosDos, Muerte, ::testing::Values(true, false));

// A TCP/IP game its guest joins by typing the host's address, "[::1]:port",
// where this computer has IPv6.
TEST(PartidaIPv6, SeJuegaEnteraPorLaDireccionTecleada) {
    QTcpServer prueba;
    if (!prueba.listen(QHostAddress::LocalHostIPv6)) GTEST_SKIP() << "sin IPv6 en este equipo";
    prueba.close();
    Pareja par;
    par.Lanzar(QStringLiteral("ipv6:azar0"), QStringLiteral("ipv6:azar0"));
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
