#include "ayudas.h"
#include "core/modprincipal.h"
#include "grabador_mensajes.h"

#include <gtest/gtest.h>

using namespace brumaria;
using prueba::PonerBarco;

namespace {
const QString kFuera = QStringLiteral("La casilla elegida está fuera del panel");
const QString kYaDescubierta = QStringLiteral("La casilla elegida ya está descubierta");

ModPrincipal PartidaNueva() {
    ModPrincipal m;
    m.intBarcosJugador = prueba::FlotaFija();
    m.intBarcosOrdenador = prueba::FlotaFija();
    prueba::Llenar(m.intDescubiertoJugador, CASILLA_OCULTA);
    prueba::Llenar(m.intDescubiertoOrdenador, CASILLA_OCULTA);
    return m;
}
} // namespace

TEST(Disparo, AguaTocadoHundido) {
    prueba::GrabadorMensajes grabador;
    ModPrincipal m = PartidaNueva();
    EXPECT_EQ(m.intComprobarAtaque(5, 5), 0);
    EXPECT_EQ(m.intDescubiertoOrdenador[5][5], CASILLA_AGUA);
    EXPECT_EQ(m.intComprobarAtaque(2, 5), 2) << "a ship of 1 sinks at once";
    // Ship of 3 along the bottom row, columns H..J.
    EXPECT_EQ(m.intComprobarAtaque(9, 9), 1) << "an end with the rest hidden";
    EXPECT_EQ(m.intComprobarAtaque(9, 7), 1);
    EXPECT_EQ(m.intComprobarAtaque(9, 8), 2) << "the middle, both ends uncovered";
    // Ship of 3 down column A: the left walk stops at the board's edge.
    EXPECT_EQ(m.intComprobarAtaque(4, 0), 1);
    EXPECT_EQ(m.intComprobarAtaque(2, 0), 1);
    EXPECT_EQ(m.intComprobarAtaque(3, 0), 2);
    // Ship of 4 along row 1 from column A.
    for (int c : {3, 0, 2})
        EXPECT_EQ(m.intComprobarAtaque(0, c), 1);
    EXPECT_EQ(m.intComprobarAtaque(0, 1), 2);
    EXPECT_TRUE(grabador.mensajes().isEmpty());
}

TEST(Disparo, CasillasNoValidasNoCambianNada) {
    prueba::GrabadorMensajes grabador;
    ModPrincipal m = PartidaNueva();
    m.intComprobarAtaque(5, 5);
    const Panel antes = m.intDescubiertoOrdenador;

    EXPECT_EQ(m.intComprobarAtaque(5, 5), 3);
    for (auto [f, c] : {std::pair{10, 0}, {0, 10}, {-1, 3}, {3, -1}})
        EXPECT_EQ(m.intComprobarAtaque(f, c), 3);
    EXPECT_EQ(m.intDescubiertoOrdenador, antes);
    ASSERT_EQ(grabador.mensajes().size(), 5);
    EXPECT_EQ(grabador.mensajes()[0].texto, kYaDescubierta);
    EXPECT_EQ(grabador.Contar(kFuera), 4);
    for (const Mensaje& msg : grabador.mensajes()) {
        EXPECT_EQ(msg.titulo, QStringLiteral("Error"));
        EXPECT_EQ(msg.icono, Icono::Critico);
    }
}

TEST(Disparo, HundidoDelJugadorEnBordesYEsquinas) {
    ModPrincipal m = PartidaNueva();
    // Ship of 2 down column J from the top-right corner.
    EXPECT_FALSE(m.blnHundido(0, 9, 0));
    m.intDescubiertoJugador[1][9] = CASILLA_BARCO;
    EXPECT_FALSE(m.blnHundido(1, 9, 0));
    m.intDescubiertoJugador[0][9] = CASILLA_BARCO;
    EXPECT_TRUE(m.blnHundido(1, 9, 0));
    EXPECT_TRUE(m.blnHundido(0, 9, 0));
    // Ship of 1 in the bottom-left corner.
    EXPECT_FALSE(m.blnHundido(9, 0, 0));
    m.intDescubiertoJugador[9][0] = CASILLA_BARCO;
    EXPECT_TRUE(m.blnHundido(9, 0, 0));
    // No piece, no ship; off the board, nothing to read.
    m.intDescubiertoJugador[5][5] = CASILLA_AGUA;
    EXPECT_FALSE(m.blnHundido(5, 5, 0));
    EXPECT_FALSE(m.blnHundido(10, 9, 0));
    EXPECT_FALSE(m.blnHundido(-1, -1, 1));
}

TEST(Disparo, FinDePartida) {
    ModPrincipal m = PartidaNueva();
    m.intBarcosJugador = prueba::FlotaFija(); // a ship on row 10
    EXPECT_EQ(m.intTerminarPartida(), 0);
    // Uncovers from the bottom row up, leaving `dejar` pieces hidden there.
    const auto descubrir = [](Panel& vista, const Panel& flota, int dejar) {
        for (int f = 9; f >= 0; --f)
            for (int c = 0; c < 10; ++c)
                if (flota[f][c] == CASILLA_BARCO && dejar-- <= 0) vista[f][c] = CASILLA_BARCO;
    };
    descubrir(m.intDescubiertoJugador, m.intBarcosJugador, 1);
    EXPECT_EQ(m.intTerminarPartida(), 0) << "one piece on row 10 still hidden";
    descubrir(m.intDescubiertoJugador, m.intBarcosJugador, 0);
    EXPECT_EQ(m.intTerminarPartida(), 2);
    descubrir(m.intDescubiertoOrdenador, m.intBarcosOrdenador, 0);
    EXPECT_EQ(m.intTerminarPartida(), 1) << "the player's win is tested first";
    prueba::Llenar(m.intDescubiertoJugador, CASILLA_OCULTA);
    EXPECT_EQ(m.intTerminarPartida(), 1);
}
