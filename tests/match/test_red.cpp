// The turn cycle in a network match: what goes to the peer and what the
// player reads, with a recording sender.
#include "fakes.h"

#include "grabador_mensajes.h"

#include <gtest/gtest.h>

using namespace brumaria;
using namespace brumaria::prueba;

namespace {

// A network side whose own fleet has a ship of two across C5-D5 and whose
// opponent's fleet (announced by the peer) is a single ship at A1.
void PrepararLado(Mesa& m) {
    m.partida.blnJugarEnRed = true;
    m.partida.blnEnPartida = true;
    m.partida.FijarEmisor(&m.emisor);
    m.principal.LlenarPanel(0, CASILLA_AGUA);
    m.principal.LlenarPanel(1, CASILLA_OCULTA);
    m.principal.LlenarPanel(2, CASILLA_AGUA);
    m.principal.LlenarPanel(3, CASILLA_OCULTA);
    m.principal.blnEscribirCasilla(4, 2, 0, CASILLA_BARCO);
    m.principal.blnEscribirCasilla(4, 3, 0, CASILLA_BARCO);
    m.principal.blnEscribirCasilla(0, 0, 2, CASILLA_BARCO);
}

// What the peer's attack message does before handing over to the cycle.
void AtaqueDelPeer(Mesa& m, int f, int c) {
    m.principal.intFilaAtaque = static_cast<std::int16_t>(f);
    m.principal.intColumnaAtaque = static_cast<std::int16_t>(c);
    m.principal.blnEscribirCasilla(f, c, 1, m.principal.intLeerCasilla(f, c, 0));
    m.partida.TurnoOrdenador2();
}

TEST(PartidaEnRed, ElDisparoDelJugadorSeEnviaYSuRespuestaSeAplica) {
    GrabadorMensajes cajas;
    Mesa m;
    PrepararLado(m);
    m.partida.MostrarTurnoJugador(0);
    m.partida.TurnoJugador();
    EXPECT_EQ(m.vista.estado[2], QStringLiteral("Tu turno (tienes que atacar)"));

    // Row 5, column C: indices 4 and 2, not validated locally.
    m.partida.TurnoJugador2(4, 2);
    EXPECT_EQ(m.emisor.enviados, QStringList{QStringLiteral("0;2;4;2")});
    EXPECT_EQ(m.vista.estado[2], QStringLiteral("Tu turno (esperas respuesta)"));
    EXPECT_FALSE(m.partida.blnTurnoJugadorAtaque);
    EXPECT_TRUE(m.paneles.historial.isEmpty());

    // The peer answers Agua: the turn passes and nothing is chosen locally.
    const Panel panel1 = m.principal.intDescubiertoJugador;
    m.principal.blnEscribirCasilla(4, 2, 3, CASILLA_AGUA);
    m.partida.TurnoJugador3(0, 4, 2);
    EXPECT_EQ(m.vista.estado[1], QStringLiteral("Su respuesta: Agua"));
    EXPECT_EQ(m.paneles.historial.back(), QStringLiteral("Jugador\t\tC5\tAgua"));
    EXPECT_EQ(m.vista.estado[2], QStringLiteral("Su turno (tiene que atacar)"));
    EXPECT_EQ(m.principal.intDescubiertoJugador, panel1);
    EXPECT_TRUE(m.vista.marcas.isEmpty());
    EXPECT_FALSE(m.partida.tmrReloj.isActive());
    EXPECT_EQ(m.emisor.enviados.size(), 1);

    // A second, stray answer is ignored: the opponent keeps his turn.
    const auto historial = m.paneles.historial;
    m.partida.TurnoJugador3(1, 4, 2);
    EXPECT_EQ(m.paneles.historial, historial);
    EXPECT_EQ(m.vista.estado[2], QStringLiteral("Su turno (tiene que atacar)"));
    EXPECT_FALSE(m.partida.blnTurnoJugadorAtaque);

    // An answer 3 from the peer: choose again with the boxes emptied.
    m.partida.MostrarTurnoJugador(0);
    m.partida.TurnoJugador2(4, 2);
    const int intVaciados = m.vista.intVaciados;
    m.partida.TurnoJugador3(3, 4, 2);
    EXPECT_EQ(m.vista.estado[2], QStringLiteral("Tu turno (tienes que atacar)"));
    EXPECT_GT(m.vista.intVaciados, intVaciados);

    // The last piece of the peer's fleet: the player wins.
    m.partida.TurnoJugador2(0, 0);
    m.principal.blnEscribirCasilla(0, 0, 3, CASILLA_BARCO);
    cajas.Limpiar();
    m.partida.TurnoJugador3(2, 0, 0);
    EXPECT_EQ(m.vista.estado[2], QString());
    EXPECT_EQ(m.vista.hundidos[0][1], 1);
    EXPECT_EQ(cajas.Contar(QStringLiteral("¡Tu ganas!")), 1);
    EXPECT_EQ(m.emisor.enviados.back(), QStringLiteral("0;0;FinDePartida:Sí"));
    EXPECT_EQ(m.vista.menus.count(MenuJuego::Empezar), 0u); // only against the computer
    EXPECT_FALSE(m.partida.blnEnPartida);
    EXPECT_EQ(m.paneles.historial.value(m.paneles.historial.size() - 4),
              QStringLiteral("¡El JUGADOR GANA la partida!"));
}

TEST(PartidaEnRed, LasRespuestasDelJugadorSeEnvian) {
    GrabadorMensajes cajas;
    Mesa m;
    PrepararLado(m);
    m.partida.MostrarTurnoContrincante(0);
    m.partida.TurnoOrdenador(); // waits for the peer: nothing happens
    EXPECT_EQ(m.vista.estado[2], QStringLiteral("Su turno (tiene que atacar)"));
    EXPECT_TRUE(m.vista.marcas.isEmpty());

    AtaqueDelPeer(m, 4, 2);
    EXPECT_EQ(m.vista.estado[2], QStringLiteral("Su turno (tienes que responder)"));
    EXPECT_TRUE(m.vista.blnRespuestas);

    // A false answer: warned, the peer is told, nothing else.
    m.partida.cmdAgua_Click();
    ASSERT_EQ(cajas.mensajes().size(), 1);
    EXPECT_EQ(cajas.mensajes()[0].texto, QStringLiteral("Me parece que le quieres engañar..."));
    EXPECT_EQ(cajas.mensajes()[0].titulo, QStringLiteral("¡Tramposo!"));
    EXPECT_EQ(m.emisor.enviados,
              QStringList{QStringLiteral("2;Ay ay ay, tu adversario te quería engañar...")});
    EXPECT_TRUE(m.paneles.historial.isEmpty());

    m.emisor.enviados.clear();
    m.partida.cmdTocado_Click();
    EXPECT_EQ(m.emisor.enviados, QStringList{QStringLiteral("0;3;4;2;1")});
    EXPECT_EQ(m.vista.estado[1], QStringLiteral("Su respuesta: Tocado"));
    EXPECT_EQ(m.paneles.historial.back(), QStringLiteral("Contrincante\tC5\tTocado"));
    // A hit: the peer shoots again.
    EXPECT_EQ(m.vista.estado[2], QStringLiteral("Su turno (tiene que atacar)"));
    EXPECT_FALSE(m.vista.blnRespuestas);

    // The last piece: the opponent wins and the player may see its fleet.
    m.emisor.enviados.clear();
    cajas.Limpiar();
    cajas.Responder(Respuesta::Si);
    AtaqueDelPeer(m, 4, 3);
    m.partida.cmdHundido_Click();
    EXPECT_EQ(m.emisor.enviados.value(0), QStringLiteral("0;3;4;3;2"));
    EXPECT_EQ(m.emisor.enviados.value(1), QStringLiteral("0;0;FinDePartida:Sí"));
    EXPECT_EQ(m.vista.hundidos[1][2], 1);
    ASSERT_EQ(cajas.mensajes().size(), 2);
    EXPECT_EQ(cajas.mensajes()[0].texto, QStringLiteral("¡Él gana!"));
    EXPECT_EQ(cajas.mensajes()[1].texto, QStringLiteral("¿Quieres ver dónde estaban sus barcos?"));
    EXPECT_EQ(m.vista.intSoluciones, 1);
    const QStringList& h = m.paneles.historial;
    EXPECT_EQ(h.value(h.size() - 5), QStringLiteral("Contrincante\tD5\tHundido"));
    EXPECT_EQ(h.value(h.size() - 4), QStringLiteral("¡Tu CONTRINCANTE GANA la partida!"));
}

TEST(PartidaEnRed, VerBarcosDiceQueElGana) {
    GrabadorMensajes cajas;
    Mesa m;
    PrepararLado(m);
    cajas.Responder(Respuesta::Si);
    m.partida.VerBarcos();
    EXPECT_EQ(cajas.Contar(QStringLiteral("¡Él gana!")), 1);
    EXPECT_EQ(m.emisor.enviados, QStringList{QStringLiteral("0;0;FinDePartida:Sí")});
    EXPECT_EQ(m.vista.intSoluciones, 1);
}

} // namespace
