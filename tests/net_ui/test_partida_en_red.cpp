// A whole network match between two copies of the game in two processes,
// over 127.0.0.1: from the new-game dialog to the winner's and the loser's
// box, with chat, alerts and a false answer on the way. Each copy is the
// scripted driver; this test starts both and reads what they left behind.
#include "carpeta_temporal.h"
#include "options/cp1252.h"
#include "options/opciones.h"
#include "platform/rutas.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
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

QString NombreGuardado(const QString& carpeta) {
    FijarRutaPrograma(carpeta);
    ModOpciones o;
    o.blnCargarOpcionesDeArchivo();
    FijarRutaPrograma(QString());
    return o.Opciones.strNombreJugador;
}

} // namespace

TEST(PartidaEnRed, DosProcesosJueganUnaPartidaEntera) {
    prueba::CarpetaTemporal carpetaHost;
    carpetaHost.CopiarRecursos();
    prueba::CarpetaTemporal carpetaInvitado;
    carpetaInvitado.CopiarRecursos();
    QTemporaryDir encuentros;
    ASSERT_TRUE(encuentros.isValid());

    // Both inherit the test environment: offscreen, and loopback only.
    ASSERT_EQ(qgetenv("BRUMARIA_TEST"), QByteArray("1"));
    QProcess host, invitado;
    for (QProcess* p : {&host, &invitado})
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    host.start(QStringLiteral(BRUMARIA_CONDUCTOR),
               {QStringLiteral("host"), carpetaHost.ruta(), encuentros.path()});
    invitado.start(QStringLiteral(BRUMARIA_CONDUCTOR),
                   {QStringLiteral("invitado"), carpetaInvitado.ruta(), encuentros.path()});
    ASSERT_TRUE(host.waitForStarted(10000));
    ASSERT_TRUE(invitado.waitForStarted(10000));
    const bool finHost = host.waitForFinished(110000);
    const bool finInvitado = invitado.waitForFinished(20000);
    if (!finHost) host.kill();
    if (!finInvitado) invitado.kill();
    ASSERT_TRUE(finHost);
    ASSERT_TRUE(finInvitado);
    EXPECT_EQ(host.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(host.exitCode(), 0);
    EXPECT_EQ(invitado.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(invitado.exitCode(), 0);

    const QStringList h = LeerHistorial(carpetaHost.ruta());
    EXPECT_TRUE(EnOrden(
        h, {QStringLiteral("EMPIEZA UNA PARTIDA"), QStringLiteral("Partida multijugador"),
            QStringLiteral("Sesión 'Mesa de Ana' creada con éxito."),
            QStringLiteral("Se ha agregado 'Bea' a la partida"), QStringLiteral("Tú empiezas"),
            QStringLiteral("Bea ha terminado de colocar sus barcos"),
            QStringLiteral("Bea no tiene activadas las alertas con sonido"),
            QStringLiteral("Bea no tiene activadas las alertas con cuadro de texto"),
            QStringLiteral("Bea no tiene activadas las alertas en el historial"),
            QStringLiteral("¡El JUGADOR GANA la partida!")}));
    // Twenty hits and the one miss that gave the guest her turn.
    EXPECT_GE(
        std::count_if(h.begin(), h.end(),
                      [](const QString& l) { return l.startsWith(QStringLiteral("Jugador\t")); }),
        21);
    EXPECT_GE(std::count_if(
                  h.begin(), h.end(),
                  [](const QString& l) { return l.startsWith(QStringLiteral("Contrincante\t")); }),
              1);
    EXPECT_TRUE(h.contains(QStringLiteral("Bea está colocando sus barcos")));
    // The host's own arrival may be told before or after it starts waiting.
    const auto ana = h.indexOf(QStringLiteral("Se ha agregado 'Ana' a la partida"));
    EXPECT_GE(ana, 0);
    EXPECT_LT(ana, h.indexOf(QStringLiteral("Se ha agregado 'Bea' a la partida")));
    EXPECT_FALSE(h.contains(QStringLiteral("Partida multijugador cancelada")));

    const QStringList i = LeerHistorial(carpetaInvitado.ruta());
    EXPECT_TRUE(EnOrden(
        i, {QStringLiteral("EMPIEZA UNA PARTIDA"), QStringLiteral("Partida multijugador"),
            QStringLiteral("Se ha agregado 'Bea' a la partida"),
            QStringLiteral("Se ha agregado 'Ana' a la partida"),
            QStringLiteral("Te has unido a la sesión."), QStringLiteral("Tu contrincante empieza"),
            QStringLiteral("Ana está colocando sus barcos"),
            QStringLiteral("Ana ha terminado de colocar sus barcos"),
            QStringLiteral("ALERTA DE TU ADVERSARIO: Mira el historial: 2;3"),
            QStringLiteral("Ay ay ay, tu adversario te quería engañar..."),
            QStringLiteral("¡Tu CONTRINCANTE GANA la partida!")}));
    EXPECT_EQ(i.count(QStringLiteral("ALERTA DE TU ADVERSARIO: Mira el historial: 2;3")), 1);

    // The names typed in the session dialog were kept.
    EXPECT_EQ(NombreGuardado(carpetaHost.ruta()), QStringLiteral("Ana"));
    EXPECT_EQ(NombreGuardado(carpetaInvitado.ruta()), QStringLiteral("Bea"));
}
