// Fleet placement and a whole computer search game, on the real clock-mixed
// generator (not the deterministic one), as the game runs them.
#include "core/azar.h"
#include "core/modprincipal.h"

#include <benchmark/benchmark.h>
#include <vector>

using namespace brumaria;

static void BM_Sorteo(benchmark::State& state) {
    Azar::Liberar();
    for (auto _ : state)
        benchmark::DoNotOptimize(Azar::intAleatorio(10));
}
BENCHMARK(BM_Sorteo);

static void BM_ColocarFlota(benchmark::State& state) {
    Azar::Liberar();
    ModPrincipal m;
    for (auto _ : state) {
        m.PrepararBarcos(2);
        benchmark::DoNotOptimize(m.intBarcosOrdenador);
    }
}
BENCHMARK(BM_ColocarFlota);

static void BM_PartidaOrdenador(benchmark::State& state) {
    Azar::Liberar();
    ModPrincipal m;
    double disparos = 0;
    double partidas = 0;
    // Fleets are prepared outside the timed loop: pausing the timer per game
    // costs more than the placement itself.
    constexpr int kFlotas = 64;
    std::vector<Panel> flotas(kFlotas);
    for (Panel& p : flotas) {
        m.PrepararBarcos(0);
        p = m.intBarcosJugador;
    }
    std::size_t i = 0;
    for (auto _ : state) {
        m.intBarcosJugador = flotas[i++ % kFlotas];
        m.PrepararBarcos(1);
        // Until every piece is found, answering "Hundido" honestly.
        for (int quedan = 20; quedan > 0;) {
            m.AtaqueOrdenador();
            ++disparos;
            const int f = m.intFilaAtaque, c = m.intColumnaAtaque;
            if (m.intBarcosJugador[f][c] == CASILLA_BARCO) {
                --quedan;
                if (m.blnHundido(f, c, 0)) m.OlvidarTocado();
            }
        }
        ++partidas;
    }
    state.counters["disparos_por_partida"] = disparos / partidas;
}
BENCHMARK(BM_PartidaOrdenador);

BENCHMARK_MAIN();
