// Fleet placement and a whole computer search game, on the real clock-mixed
// generator (not the deterministic one), as the game runs them.
#include "core/azar.h"
#include "core/modprincipal.h"

#include <benchmark/benchmark.h>

using namespace brumaria;

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
    for (auto _ : state) {
        state.PauseTiming();
        m.PrepararBarcos(0);
        m.PrepararBarcos(1);
        state.ResumeTiming();
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
