#include "ayudas.h"
#include "core/azar.h"
#include "core/modprincipal.h"

#include <gtest/gtest.h>

using namespace brumaria;
using prueba::PonerBarco;
using prueba::Semilla;

namespace {

std::pair<int, int> Disparar(ModPrincipal& m) {
    m.AtaqueOrdenador();
    return {m.intFilaAtaque, m.intColumnaAtaque};
}

using Casilla = std::pair<int, int>;

} // namespace

TEST(AtaqueOrdenador, NuncaJuntoAUnBarcoHundidoYSinBucleSinFin) {
    Semilla semilla(17);
    Panel flota{};
    PonerBarco(flota, 4, 4, 1, true);
    ModPrincipal m;
    m.intBarcosJugador = flota;
    m.PrepararBarcos(1);
    m.intDescubiertoJugador[4][4] = CASILLA_BARCO; // sunk, pursuit forgotten
    const auto vecina = [](int f, int c) { return std::abs(f - 4) <= 1 && std::abs(c - 4) <= 1; };
    for (int i = 0; i < 91; ++i) {
        const auto [f, c] = Disparar(m);
        ASSERT_FALSE(vecina(f, c)) << "shot " << i << " at " << f << "," << c;
    }
    EXPECT_EQ(prueba::Contar(m.intDescubiertoJugador, CASILLA_OCULTA), 8);
    EXPECT_FALSE(m.blnPersiguiendo);
    // Only the squares around the sunk ship are left (a board no honest
    // match reaches): the search still ends, on one of them.
    for (int i = 0; i < 8; ++i) {
        const auto [f, c] = Disparar(m);
        EXPECT_TRUE(vecina(f, c));
    }
    EXPECT_EQ(prueba::Contar(m.intDescubiertoJugador, CASILLA_OCULTA), 0);
    const ModPrincipal antes = m;
    m.AtaqueOrdenador(); // nothing left to shoot at
    EXPECT_EQ(m.intDescubiertoJugador, antes.intDescubiertoJugador);
    EXPECT_EQ(Casilla(m.intFilaAtaque, m.intColumnaAtaque),
              Casilla(antes.intFilaAtaque, antes.intColumnaAtaque));
}
