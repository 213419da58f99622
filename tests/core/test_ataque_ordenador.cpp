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

TEST(AtaqueOrdenador, PartidasCompletasContraFlotasAleatorias) {
    for (std::uint64_t s = 1; s <= 300; ++s) {
        Semilla semilla(s);
        ModPrincipal m;
        m.PrepararBarcos(0);
        m.PrepararBarcos(1);
        m.PrepararBarcos(2);
        m.PrepararBarcos(3);
        Panel hundidas{}; // squares next to a ship the computer was told is sunk
        int disparos = 0;
        while (m.intTerminarPartida() == 0) {
            ASSERT_LT(disparos, 100) << "seed " << s;
            const bool buscando = !m.blnPersiguiendo;
            const Panel antes = m.intDescubiertoJugador;
            const auto [f, c] = Disparar(m);
            ++disparos;
            ASSERT_EQ(antes[f][c], CASILLA_OCULTA) << "seed " << s << " shot twice at " << f << c;
            if (buscando) {
                ASSERT_EQ(hundidas[f][c], 0) << "seed " << s << " shot next to a sunk ship";
            }
            if (m.intBarcosJugador[f][c] == CASILLA_BARCO && m.blnHundido(f, c, 0)) {
                // The honest "Hundido" answer.
                m.OlvidarTocado();
                for (int ff = 0; ff < 10; ++ff)
                    for (int cc = 0; cc < 10; ++cc)
                        if (m.intDescubiertoJugador[ff][cc] == CASILLA_BARCO)
                            for (int df = -1; df <= 1; ++df)
                                for (int dc = -1; dc <= 1; ++dc)
                                    if (blnCasillaValida(ff + df, cc + dc))
                                        hundidas[ff + df][cc + dc] = 1;
            }
        }
        EXPECT_EQ(m.intTerminarPartida(), 2);
        EXPECT_LE(disparos, 100);
    }
}
