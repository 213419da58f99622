// The rules as tables: legal and illegal fleets drawn side by side, and a
// ship of 4 shot on every edge of both boards.
#include "ayudas.h"
#include "core/flota.h"
#include "grabador_mensajes.h"

#include <gtest/gtest.h>

#include <array>

using namespace brumaria;
using prueba::PonerBarco;

namespace {

// Boards side by side, ten squares and a space each: '#' a ship piece,
// '.' water, 'o' a code no fleet holds.
Panel Tablero(const std::array<const char*, 10>& filas, int intCual) {
    Panel p{};
    for (int f = 0; f < kLado; ++f)
        for (int c = 0; c < kLado; ++c) {
            const char x = filas[f][intCual * (kLado + 1) + c];
            p[f][c] = x == '#' ? CASILLA_BARCO : x == 'o' ? CASILLA_OCULTA : CASILLA_AGUA;
        }
    return p;
}

} // namespace

TEST(TablaReglas, FlotasLegalesEIlegalesLadoALado) {
    // legal: every edge and corner | a 1 against the 4's side | a 1 at the
    // corner of another 1 | a bent 3 | a 3 too many, a 1 too few
    const std::array<const char*, 10> a = {
        "####.###.# ####.###.# ####.###.# ####.###.# ####.###.#",
        ".......... .#........ .......... .......... ..........",
        "#........# #........# #........# #........# #........#",
        "#........# #........# #........# ##.......# #........#",
        "#......... #......... #......... .......... #.........",
        ".......... .......... .......... .......... ..........",
        "#...##.... #...##.... #...##.... #...##.... #...###...",
        ".......... .......... .#........ .......... ..........",
        ".........# .........# .........# .........# .........#",
        "#.#......# #........# #........# #.#......# #........#",
    };
    // 19 squares | 21 squares | a square that is no code of a fleet
    const std::array<const char*, 10> b = {
        "####.###.# ####.###.# ####.###.#",
        ".......... .......... ..........",
        "#........# #........# #........#",
        "#........# #........# #........#",
        "#......... #....#.... #....o....",
        ".......... .......... ..........",
        "#...##.... #...##.... #...##....",
        ".......... .......... ..........",
        ".........# .........# .........#",
        "#........# #.#......# #.#......#",
    };
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(blnFlotaValida(Tablero(a, i)), i == 0) << "primera fila, tablero " << i + 1;
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(blnFlotaValida(Tablero(b, i))) << "segunda fila, tablero " << i + 1;
    EXPECT_EQ(ComponerFlota(Tablero(a, 0)), (ComposicionFlota{0, 4, 3, 2, 1}));
    EXPECT_EQ(ComponerFlota(Tablero(a, 4)), (ComposicionFlota{0, 3, 2, 3, 1}));
    EXPECT_EQ(ComponerFlota(Tablero(a, 3))[0], 3) << "a bent ship is no ship";
}

namespace {

struct Barco {
    const char* donde;
    int intFila, intColumna;
    bool blnHorizontal;
};

// A ship of 4 along and across each edge, reaching each corner.
constexpr Barco kBarcos[] = {
    {"fila 1 desde A", 0, 0, true},      {"fila 1 hasta J", 0, 6, true},
    {"fila 10 desde A", 9, 0, true},     {"fila 10 hasta J", 9, 6, true},
    {"columna A desde 1", 0, 0, false},  {"columna A hasta 10", 6, 0, false},
    {"columna J desde 1", 0, 9, false},  {"columna J hasta 10", 6, 9, false},
    {"de la fila 1 hacia abajo", 0, 4, false}, {"de la fila 10 hacia arriba", 6, 4, false},
    {"de la columna A a la derecha", 4, 0, true}, {"de la columna J a la izquierda", 4, 6, true},
};

} // namespace

// Each side's only ship (the other side has the same one, still hidden):
// three hits, then the shot that sinks it ends the match, in any order.
TEST(TablaReglas, UnBarcoEnCadaBordeSeHundeYTerminaLaPartida) {
    prueba::GrabadorMensajes cajas;
    for (const Barco& b : kBarcos)
        for (const auto& orden : {std::array{0, 1, 2, 3}, {3, 2, 1, 0}, {1, 3, 0, 2}})
            for (bool blnJugador : {false, true}) {
                ModPrincipal m;
                PonerBarco(m.intBarcosJugador, b.intFila, b.intColumna, 4, b.blnHorizontal);
                PonerBarco(m.intBarcosOrdenador, b.intFila, b.intColumna, 4, b.blnHorizontal);
                m.PrepararBarcos(1);
                m.PrepararBarcos(3);
                std::string visto;
                for (int i : orden) {
                    const int f = b.intFila + (b.blnHorizontal ? 0 : i);
                    const int c = b.intColumna + (b.blnHorizontal ? i : 0);
                    int r = 0;
                    if (blnJugador) { // the computer's shot on the player's board
                        m.blnEscribirCasilla(f, c, 1, m.intLeerCasilla(f, c, 0));
                        r = m.blnHundido(f, c, 0) ? 2 : 1;
                    } else {
                        r = m.intComprobarAtaque(f, c);
                    }
                    visto += std::to_string(r) + std::to_string(m.intTerminarPartida()) + ' ';
                }
                EXPECT_EQ(visto, blnJugador ? "10 10 10 22 " : "10 10 10 21 ")
                    << b.donde << (blnJugador ? ", tablero del jugador" : ", del ordenador")
                    << ", primero " << orden[0];
            }
    EXPECT_TRUE(cajas.mensajes().isEmpty());
    ModPrincipal m;
    m.intBarcosJugador = m.intBarcosOrdenador = m.intDescubiertoJugador =
        m.intDescubiertoOrdenador = prueba::FlotaFija();
    EXPECT_EQ(m.intTerminarPartida(), 1) << "both fleets uncovered: the player's win is seen first";
}

// A lone uncovered piece: undecided while a neighbour is hidden, a ship of
// one once all four are water or off the board, as in the corner.
TEST(TablaReglas, OrientacionDeUnaPiezaSola) {
    ModPrincipal m;
    m.PrepararBarcos(1);
    for (auto [f, c] : {std::pair{4, 4}, {0, 0}}) {
        m.intDescubiertoJugador[f][c] = CASILLA_BARCO;
        EXPECT_EQ(m.intHor_Ver_Long1(f, c, 1), 3);
        for (auto [df, dc] : {std::pair{-1, 0}, {1, 0}, {0, -1}, {0, 1}})
            m.blnEscribirCasilla(f + df, c + dc, 1, CASILLA_AGUA);
        EXPECT_EQ(m.intHor_Ver_Long1(f, c, 1), 2) << f << "," << c;
    }
    // A piece found beside it tells the ship's direction, whichever side.
    for (auto [df, dc, intLado] : {std::array{-1, 0, 1}, {1, 0, 1}, {0, -1, 0}, {0, 1, 0}}) {
        m.PrepararBarcos(1);
        m.intDescubiertoJugador[4][4] = CASILLA_BARCO;
        m.blnEscribirCasilla(4 + df, 4 + dc, 1, CASILLA_BARCO);
        EXPECT_EQ(m.intHor_Ver_Long1(4, 4, 1), intLado) << df << "," << dc;
    }
}
