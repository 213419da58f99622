// Random draws and the random fleets drawn with them.
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

std::uint64_t RelojParado() {
    return 123456789;
}

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

// Draws made within one tick of a stopped clock still differ, and every
// draw falls in range, evenly. (That a seed fixes the whole sequence is
// what every seeded test stands on.)
TEST(Azar, MismoTicDelRelojSigueDandoValoresDistintosYRepartidos) {
    Azar::Liberar();
    Azar::FijarReloj(RelojParado);
    std::set<double> vistos;
    for (int i = 0; i < 1000; ++i)
        vistos.insert(Azar::dblAleatorio());
    EXPECT_EQ(vistos.size(), 1000u) << "a frozen clock must not restart the sequence";
    Azar::FijarReloj(nullptr);

    Azar::FijarDeterminista(7);
    EXPECT_EQ(Azar::intAleatorio(0), 0);
    EXPECT_EQ(Azar::intAleatorio(-5), 0);
    int cubetas[10] = {};
    for (int i = 0; i < 20000; ++i) {
        const int v = Azar::intAleatorio(10);
        ASSERT_GE(v, 0);
        ASSERT_LT(v, 10);
        ++cubetas[v];
    }
    for (int c : cubetas) {
        EXPECT_GT(c, 1700);
        EXPECT_LT(c, 2300);
    }
    Azar::Liberar();
}
