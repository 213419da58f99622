// The boards and the rules of a shot: writing squares, ship pictures,
// fleet checks, water, hit and sunk, and the end of a match.
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

TEST(Tablero, NadaSeEscribeFueraDelTablero) {
    ModPrincipal m;
    EXPECT_EQ(m.intLeerCasilla(10, 5, 0), CASILLA_FUERA);
    const ModPrincipal antes = m;
    EXPECT_FALSE(m.blnEscribirCasilla(10, 0, 0, 1));
    EXPECT_FALSE(m.blnEscribirCasilla(0, -1, 1, 1));
    EXPECT_FALSE(m.blnEscribirCasilla(3, 3, 7, 1));
    EXPECT_EQ(m.intBarcosJugador, antes.intBarcosJugador);
    EXPECT_EQ(m.intDescubiertoJugador, antes.intDescubiertoJugador);
    EXPECT_TRUE(m.blnEscribirCasilla(3, 3, 2, 1));
    EXPECT_EQ(m.intBarcosOrdenador[3][3], 1);
}

TEST(Tablero, ImagenSegunLosVecinosInclusoEnLosBordes) {
    ModPrincipal m;
    PonerBarco(m.intBarcosJugador, 0, 0, 4, true);  // along the top, from column A
    PonerBarco(m.intBarcosJugador, 7, 9, 3, false); // down the last column to row 10
    PonerBarco(m.intBarcosJugador, 9, 0, 1, true);  // bottom-left corner
    using I = ImagenCasilla;
    const auto img = [&](int f, int c) { return m.CargarImagenCasilla(f, c, 0); };
    EXPECT_EQ(img(0, 0), I::BarcoH1);
    EXPECT_EQ(img(0, 1), I::BarcoH2);
    EXPECT_EQ(img(0, 3), I::BarcoH3);
    EXPECT_EQ(img(7, 9), I::BarcoV1);
    EXPECT_EQ(img(9, 9), I::BarcoV3);
    EXPECT_EQ(img(9, 0), I::BarcoH4);
    // The board of the opponent's squares shows a hit only.
    m.PrepararBarcos(3);
    m.intDescubiertoOrdenador[2][2] = CASILLA_BARCO;
    m.intDescubiertoOrdenador[2][3] = CASILLA_AGUA;
    EXPECT_EQ(m.CargarImagenCasilla(2, 2, 3), I::Ataque);
    EXPECT_EQ(m.CargarImagenCasilla(2, 3, 3), I::Ninguna);
    EXPECT_EQ(m.CargarImagenCasilla(2, 4, 3), I::Ninguna);
}

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
