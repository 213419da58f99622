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

namespace {

// The computer's rules, written out: what it knows of the player's board,
// and the ship it is finishing off.
struct Referencia {
    Panel vista{};
    bool blnPersiguiendo = false;
    int hf = 0, hc = 0;

    Referencia() { prueba::Llenar(vista, CASILLA_OCULTA); }
    std::int16_t En(int f, int c) const { return blnCasillaValida(f, c) ? vista[f][c] : CASILLA_FUERA; }
    bool Oculta(int f, int c) const { return En(f, c) == CASILLA_OCULTA; }
    bool Pieza(int f, int c) const { return En(f, c) == CASILLA_BARCO; }
    // Searching: hidden, and no uncovered piece among its eight neighbours.
    bool Permitida(int f, int c) const {
        for (int df = -1; df <= 1; ++df)
            for (int dc = -1; dc <= 1; ++dc)
                if (Pieza(f + df, c + dc)) return false;
        return Oculta(f, c);
    }
    // Pursuing: above, left, below, else right of the latest hit; once two
    // pieces line up, the square before it, else past the far end.
    Casilla Siguiente() const {
        const bool blnH = Pieza(hf, hc - 1) || Pieza(hf, hc + 1);
        if (!blnH && !Pieza(hf - 1, hc) && !Pieza(hf + 1, hc)) {
            for (Casilla s : {Casilla{hf - 1, hc}, {hf, hc - 1}, {hf + 1, hc}})
                if (Oculta(s.first, s.second)) return s;
            return {hf, hc + 1};
        }
        const int df = blnH ? 0 : 1, dc = blnH ? 1 : 0;
        if (Oculta(hf - df, hc - dc)) return {hf - df, hc - dc};
        int f = hf + df, c = hc + dc;
        while (Pieza(f, c))
            f += df, c += dc;
        return {f, c};
    }
};

// Every piece of the ship through (f, c) uncovered: the player answers "Hundido".
bool blnHundido(const Panel& flota, const Panel& vista, int f, int c) {
    for (auto [df, dc] : {Casilla{-1, 0}, {1, 0}, {0, -1}, {0, 1}})
        for (int i = f, j = c; blnCasillaValida(i, j) && flota[i][j] == CASILLA_BARCO; i += df, j += dc)
            if (vista[i][j] != CASILLA_BARCO) return false;
    return true;
}

} // namespace

// 300 seeded matches, shot by shot against the rules: a search square it
// may choose, the pursuit's exact square, its view of the board.
TEST(AtaqueOrdenador, CadaDisparoDeTrescientasPartidasSigueLasReglas) {
    for (std::uint64_t s = 1; s <= 300; ++s) {
        Semilla semilla(s);
        ModPrincipal m;
        m.PrepararBarcos(0);
        m.PrepararBarcos(1);
        Referencia r;
        int intPiezas = 0;
        for (int i = 0; i < 100 && intPiezas < 20; ++i) {
            const std::optional<Casilla> esperada =
                r.blnPersiguiendo ? std::optional(r.Siguiente()) : std::nullopt;
            const auto [f, c] = Disparar(m);
            if (esperada) ASSERT_EQ(Casilla(f, c), *esperada) << "partida " << s << ", disparo " << i;
            else ASSERT_TRUE(r.Permitida(f, c)) << "partida " << s << ", disparo " << i;
            r.vista[f][c] = m.intBarcosJugador[f][c];
            ASSERT_EQ(m.intDescubiertoJugador, r.vista) << "partida " << s << ", disparo " << i;
            if (r.vista[f][c] != CASILLA_BARCO) continue;
            ++intPiezas;
            r.blnPersiguiendo = true, r.hf = f, r.hc = c;
            if (blnHundido(m.intBarcosJugador, r.vista, f, c)) {
                m.OlvidarTocado();
                r.blnPersiguiendo = false;
            }
        }
        EXPECT_EQ(intPiezas, 20) << "partida " << s;
    }
}
