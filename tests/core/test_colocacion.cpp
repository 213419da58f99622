#include "ayudas.h"
#include "core/azar.h"
#include "core/modprincipal.h"

#include <gtest/gtest.h>
#include <map>
#include <set>

using namespace brumaria;
using prueba::Contar;
using prueba::Semilla;

namespace {

struct BarcoVisto {
    int fila, columna, longitud;
    bool horizontal;
};

// Reads the ships back from a grid on its own terms: pieces touching at a
// corner are illegal outright, and side-touching runs must be straight.
std::vector<BarcoVisto> LeerBarcos(const Panel& p, std::string& error) {
    const auto pieza = [&](int f, int c) {
        return f >= 0 && f < 10 && c >= 0 && c < 10 && p[f][c] == CASILLA_BARCO;
    };
    std::vector<BarcoVisto> barcos;
    for (int f = 0; f < 10; ++f) {
        for (int c = 0; c < 10; ++c) {
            if (p[f][c] != CASILLA_AGUA && p[f][c] != CASILLA_BARCO) error = "bad code";
            if (!pieza(f, c)) continue;
            for (int df : {-1, 1})
                for (int dc : {-1, 1})
                    if (pieza(f + df, c + dc)) error = "pieces touch at a corner";
            if (pieza(f, c - 1) || pieza(f - 1, c)) continue; // not the first square of its ship
            int h = 1, v = 1;
            while (pieza(f, c + h))
                ++h;
            while (pieza(f + v, c))
                ++v;
            if (h > 1 && v > 1) error = "bent ship";
            barcos.push_back({f, c, std::max(h, v), h > 1});
        }
    }
    return barcos;
}

} // namespace

TEST(Colocacion, FlotasSiempreLegalesYQueLleganATodosLosBordes) {
    ModPrincipal m;
    std::set<std::tuple<int, bool, char>> bordes; // length, horizontal, which edge
    Panel alcanzadas{};
    for (std::uint64_t s = 1; s <= 3000; ++s) {
        Semilla semilla(s);
        m.PrepararBarcos(s % 2 ? 2 : 0);
        const Panel& p = s % 2 ? m.intBarcosOrdenador : m.intBarcosJugador;
        std::string error;
        const auto barcos = LeerBarcos(p, error);
        ASSERT_EQ(error, "") << "seed " << s;
        ASSERT_EQ(Contar(p, CASILLA_BARCO), 20) << "seed " << s;
        std::map<int, int> porLongitud;
        for (const auto& b : barcos) {
            ++porLongitud[b.longitud];
            const int ff = b.fila + (b.horizontal ? 0 : b.longitud - 1);
            const int fc = b.columna + (b.horizontal ? b.longitud - 1 : 0);
            if (b.fila == 0) bordes.insert({b.longitud, b.horizontal, 'T'});
            if (b.columna == 0) bordes.insert({b.longitud, b.horizontal, 'L'});
            if (ff == 9) bordes.insert({b.longitud, b.horizontal, 'B'});
            if (fc == 9) bordes.insert({b.longitud, b.horizontal, 'R'});
        }
        ASSERT_EQ(porLongitud, (std::map<int, int>{{1, 4}, {2, 3}, {3, 2}, {4, 1}})) << s;
        for (int f = 0; f < 10; ++f)
            for (int c = 0; c < 10; ++c)
                alcanzadas[f][c] |= p[f][c];
    }
    // Every length and orientation reaches all four edges, last row and column included.
    for (int l = 1; l <= 4; ++l)
        for (bool h : {true, false})
            for (char borde : {'T', 'L', 'B', 'R'})
                if (l > 1 || !h) { // a ship of 1 is read as vertical
                    EXPECT_TRUE(bordes.count({l, h, borde})) << l << h << borde;
                }
    EXPECT_EQ(Contar(alcanzadas, CASILLA_AGUA), 0) << "some square never held a piece";
}

TEST(Colocacion, PanelesDescubiertosYRepeticion) {
    ModPrincipal m;
    m.intBarcosJugador = prueba::FlotaFija();
    m.intBarcosOrdenador = prueba::FlotaFija();
    prueba::Llenar(m.intDescubiertoJugador, CASILLA_AGUA);
    prueba::Llenar(m.intDescubiertoOrdenador, CASILLA_BARCO);
    m.blnPersiguiendo = true;

    m.PrepararBarcos(1);
    EXPECT_EQ(Contar(m.intDescubiertoJugador, CASILLA_OCULTA), 100);
    EXPECT_FALSE(m.blnPersiguiendo);
    EXPECT_EQ(Contar(m.intDescubiertoOrdenador, CASILLA_BARCO), 100);
    m.PrepararBarcos(3);
    EXPECT_EQ(Contar(m.intDescubiertoOrdenador, CASILLA_OCULTA), 100);
    EXPECT_EQ(m.intBarcosJugador, prueba::FlotaFija());
    EXPECT_EQ(m.intBarcosOrdenador, prueba::FlotaFija());

    const ModPrincipal antes = m;
    m.PrepararBarcos(4);
    m.PrepararBarcos(-1);
    EXPECT_EQ(m.intBarcosOrdenador, antes.intBarcosOrdenador);

    // A new fleet replaces every square of the previous one.
    prueba::Llenar(m.intBarcosOrdenador, CASILLA_BARCO);
    Semilla semilla(5);
    m.PrepararBarcos(2);
    EXPECT_EQ(Contar(m.intBarcosOrdenador, CASILLA_BARCO), 20);
    EXPECT_EQ(m.intBarcosJugador, prueba::FlotaFija());
}

TEST(Colocacion, CedeTrasCadaIntentoYParaAlCerrar) {
    Semilla semilla(11);
    ModPrincipal m;
    int llamadas = 0;
    m.cederEventos = [&] { ++llamadas; };
    m.PrepararBarcos(2);
    EXPECT_GE(llamadas, 9); // at least one attempt for each ship after the first

    llamadas = 0;
    m.cederEventos = [&] {
        if (++llamadas == 3) m.blnCerrando = true;
    };
    m.PrepararBarcos(2);
    EXPECT_EQ(llamadas, 3) << "no attempt after the window started closing";
    EXPECT_LT(Contar(m.intBarcosOrdenador, CASILLA_BARCO), 20);

    llamadas = 0;
    m.PrepararBarcos(0); // already closing: only the first ship, no attempts
    EXPECT_EQ(llamadas, 0);
    EXPECT_EQ(Contar(m.intBarcosJugador, CASILLA_BARCO), 4);
}

TEST(Colocacion, TableroSinSitioEmpiezaDeNuevoEnVezDeColgarse) {
    Semilla semilla(3);
    ModPrincipal m;
    bool saboteado = false;
    int llamadas = 0;
    // Something running during the yield fills the board: the ship in hand
    // can no longer go anywhere, and the placement must start over.
    m.cederEventos = [&] {
        if (++llamadas > 100000) m.blnCerrando = true; // safety net for a broken guard
        if (!saboteado) {
            saboteado = true;
            prueba::Llenar(m.intBarcosOrdenador, CASILLA_BARCO);
        }
    };
    m.PrepararBarcos(2);
    EXPECT_FALSE(m.blnCerrando);
    EXPECT_EQ(m.intReiniciosColocacion, 1);
    std::string error;
    EXPECT_EQ(LeerBarcos(m.intBarcosOrdenador, error).size(), 10u);
    EXPECT_EQ(error, "");
}

