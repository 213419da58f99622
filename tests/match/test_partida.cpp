// The turn cycle against the computer, through the recording window: the
// answer check, the end, the pause and the solution. (The window's trace
// test plays a whole match step by step.)
#include "fakes.h"

#include "core/azar.h"
#include "grabador_mensajes.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace brumaria;
using namespace brumaria::prueba;

namespace {

const QString kAtacar = QStringLiteral("Tu turno (tienes que atacar)");
const QString kPensando = QStringLiteral("Mi turno (pensando ataque...)");
const QString kResponder = QStringLiteral("Mi turno (tienes que responder)");

// A hidden square of the computer's board, chosen at random (or one of the
// wanted kind when `intQuiero` is 0 water / 1 ship, if any is left).
std::pair<int, int> CasillaOculta(const ModPrincipal& p, int intQuiero = -1) {
    QList<std::pair<int, int>> libres, deseadas;
    for (int f = 0; f < kLado; ++f)
        for (int c = 0; c < kLado; ++c)
            if (p.intLeerCasilla(f, c, 3) == CASILLA_OCULTA) {
                libres.append({f, c});
                if (p.intLeerCasilla(f, c, 2) == intQuiero) deseadas.append({f, c});
            }
    const auto& de = deseadas.isEmpty() ? libres : deseadas;
    return de[Azar::intAleatorio(static_cast<int>(de.size()))];
}

// Plays until the match ends. `blnTramposo` tries both false answers
// before the truth; `intQuiereJugador` makes the player aim at water (0) or
// ships (1) first. Returns the false answers tried.
int Jugar(Mesa& m, GrabadorMensajes& cajas, bool blnTramposo, int intQuiereJugador = -1) {
    int intTrampas = 0;
    for (int intVueltas = 0; m.partida.blnEnPartida(); ++intVueltas) {
        if (intVueltas >= 400) {
            ADD_FAILURE() << "the match does not end";
            break;
        }
        if (m.vista.blnRespuestas) {
            EXPECT_EQ(m.vista.estado[2], kResponder);
            const int intVerdad = intRespuestaVerdadera(m.principal);
            for (int intFalsa = 0; blnTramposo && intFalsa < 3; ++intFalsa) {
                if (intFalsa == intVerdad) continue;
                const auto historial = m.paneles.historial;
                const auto panel = m.principal.intDescubiertoJugador;
                cajas.Limpiar();
                Responder(m.partida, intFalsa);
                ++intTrampas;
                EXPECT_EQ(cajas.mensajes().size(), 1);
                EXPECT_EQ(cajas.mensajes().value(0).titulo, QStringLiteral("¡Tramposo!"));
                EXPECT_EQ(cajas.mensajes().value(0).texto,
                          QStringLiteral("Me parece que me quieres engañar..."));
                EXPECT_TRUE(m.vista.blnRespuestas);
                EXPECT_EQ(m.paneles.historial, historial);
                EXPECT_EQ(m.principal.intDescubiertoJugador, panel);
            }
            cajas.Limpiar();
            Responder(m.partida, intVerdad);
            if (m.partida.blnEnPartida()) {
                EXPECT_TRUE(cajas.mensajes().isEmpty());
            }
            // A sunk ship is done with: the computer hunts, at most, around the
            // shot it has just fired (a hit shoots again), not around that ship.
            const ModPrincipal& p = m.principal;
            if (intVerdad == 2 && p.blnPersiguiendo) {
                EXPECT_EQ(std::pair(p.intFilaTocado, p.intColumnaTocado),
                          std::pair(p.intFilaAtaque, p.intColumnaAtaque));
            }
        } else if (m.partida.blnTurnoJugadorAtaque()) {
            EXPECT_EQ(m.vista.estado[2], kAtacar);
            const auto [f, c] = CasillaOculta(m.principal, intQuiereJugador);
            m.partida.TurnoJugador2(f, c);
        } else if (m.partida.tmrReloj.isActive()) {
            EXPECT_EQ(m.vista.estado[2], kPensando);
            EXPECT_TRUE(QTest::qWaitFor([&] { return !m.partida.tmrReloj.isActive(); }, 5000));
        } else {
            ADD_FAILURE() << "stuck, status " << m.vista.estado[2].toStdString();
            break;
        }
    }
    return intTrampas;
}

struct ContraOrdenador : ::testing::Test {
    ~ContraOrdenador() override { Azar::Liberar(); }
    GrabadorMensajes cajas;
    Mesa m;
};

TEST_F(ContraOrdenador, CadaRespuestaFalsaSeRechazaYLaVerdaderaSeAcepta) {
    Azar::FijarDeterminista(11);
    m.Empezar(false);
    EXPECT_GT(Jugar(m, cajas, true), 0);
    EXPECT_FALSE(m.partida.blnEnPartida());
}

TEST_F(ContraOrdenador, ElJugadorGana) {
    Azar::FijarDeterminista(51);
    m.Empezar(true);
    Jugar(m, cajas, false, CASILLA_BARCO); // twenty hits in a row
    ASSERT_EQ(m.principal.intTerminarPartida(), 1);
    ASSERT_EQ(cajas.mensajes().size(), 1);
    EXPECT_EQ(cajas.mensajes()[0].texto, QStringLiteral("¡Tu ganas!"));
    EXPECT_EQ(m.vista.intSoluciones, 0);
    const QStringList& h = m.paneles.historial;
    // The opening block, twenty hits, the result and the end.
    ASSERT_EQ(h.size(), 28);
    EXPECT_EQ(h[24], QStringLiteral("¡El JUGADOR GANA la partida!"));
    EXPECT_EQ(m.vista.hundidos[0][4], 1);
    EXPECT_EQ(m.vista.hundidos[0][1], 4);
}

TEST_F(ContraOrdenador, VerBarcosNoDejaLaPartidaYSiLaTermina) {
    Azar::FijarDeterminista(61);
    m.Empezar(false);
    const auto estado = m.vista.estado;
    const auto historial = m.paneles.historial;

    cajas.Responder(Respuesta::No);
    m.preparacion.VerBarcos();
    ASSERT_EQ(cajas.mensajes().size(), 1);
    EXPECT_EQ(cajas.mensajes()[0].texto,
              QStringLiteral("Si ves los barcos del adversario se terminará la partida y "
                             "perderás. ¿Quieres continuar?"));
    EXPECT_EQ(cajas.mensajes()[0].titulo, QStringLiteral("Atención"));
    EXPECT_EQ(cajas.mensajes()[0].icono, Icono::Pregunta);
    EXPECT_EQ(cajas.mensajes()[0].botones, Botones::SiNo);
    EXPECT_TRUE(m.partida.blnEnPartida());
    EXPECT_TRUE(m.vista.blnRespuestas);
    EXPECT_EQ(m.vista.estado, estado);
    EXPECT_EQ(m.paneles.historial, historial);
    EXPECT_EQ(m.vista.intSoluciones, 0);

    cajas.Responder(Respuesta::Si);
    m.preparacion.VerBarcos();
    ASSERT_EQ(cajas.mensajes().size(), 3);
    EXPECT_EQ(cajas.mensajes()[2].texto, QStringLiteral("¡Yo gano!"));
    EXPECT_EQ(cajas.mensajes()[2].titulo, kTituloPrograma);
    EXPECT_EQ(cajas.mensajes()[2].icono, Icono::Informacion);
    EXPECT_EQ(m.vista.eventos.back(), QStringLiteral("MostrarSolucion"));
    EXPECT_FALSE(m.partida.blnEnPartida());
    EXPECT_FALSE(m.vista.blnRespuestas);
    EXPECT_TRUE(m.vista.estado[2].isEmpty());
    EXPECT_TRUE(m.vista.menus.blnEmpezar);
    const QStringList& h = m.paneles.historial;
    ASSERT_EQ(h.size(), historial.size() + 3);
    EXPECT_TRUE(h[h.size() - 3].startsWith(QStringLiteral("Fin ")));
}

// The computer's shots shown after a pause: nothing to answer until it is
// over, a blink of the status bar does not disarm it, and a match given up
// during it shows no shot and takes no answer.
TEST_F(ContraOrdenador, ElDisparoApareceTrasLaPausa) {
    Azar::FijarDeterminista(71);
    m.opciones.Opciones.blnTiempoRespuesta = true;
    m.opciones.Opciones.intTiempoRespuesta = 30;
    m.opciones.Opciones.blnVerChat = false;
    // The window blinks with its own timer and waits on the event loop.
    m.paneles.alParpadear = [](int, int intVeces) {
        for (int i = 0; i < intVeces; ++i)
            Pausa(15);
    };
    m.Empezar(false);
    EXPECT_TRUE(m.partida.tmrReloj.isActive());
    EXPECT_TRUE(m.partida.tmrReloj.isSingleShot());
    EXPECT_EQ(m.vista.estado[2], kPensando);
    EXPECT_FALSE(m.vista.blnRespuestas);
    EXPECT_TRUE(m.vista.marcas.isEmpty());
    m.cuadros.EscribirEnChat(QStringLiteral("hola"));
    ASSERT_EQ(m.paneles.parpadeos.size(), 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !m.vista.marcas.isEmpty(); }, 5000));
    EXPECT_EQ(m.vista.marcas.size(), 1);
    EXPECT_EQ(m.vista.estado[2], kResponder);
    EXPECT_TRUE(m.vista.blnRespuestas);
    m.partida.FinDePartida();

    m.Empezar(false);
    ASSERT_TRUE(m.partida.tmrReloj.isActive());
    m.partida.FinDePartida();
    EXPECT_FALSE(m.partida.tmrReloj.isActive());
    QTest::qWait(60);
    EXPECT_EQ(m.vista.marcas.size(), 1);
    EXPECT_FALSE(m.vista.blnRespuestas);
    const auto h = m.paneles.historial;
    const auto mensajes = cajas.mensajes().size();
    m.partida.cmdAgua_Click();
    m.partida.cmdTocado_Click();
    m.partida.cmdHundido_Click();
    EXPECT_EQ(m.paneles.historial, h);
    EXPECT_EQ(cajas.mensajes().size(), mensajes);
}

TEST_F(ContraOrdenador, FlotaColocadaPorElJugadorSeRespeta) {
    Azar::FijarDeterminista(81);
    m.principal.PrepararBarcos(0);
    const Panel flota = m.principal.intBarcosJugador;
    Azar::FijarDeterminista(82);
    m.Empezar(true, true);
    EXPECT_EQ(m.principal.intBarcosJugador, flota);
    for (int f = 0; f < kLado; ++f)
        for (int c = 0; c < kLado; ++c) {
            EXPECT_EQ(m.principal.intLeerCasilla(f, c, 1), CASILLA_OCULTA);
            EXPECT_EQ(m.principal.intLeerCasilla(f, c, 3), CASILLA_OCULTA);
        }
}

} // namespace
