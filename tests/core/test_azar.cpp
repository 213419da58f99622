// Random draws.
#include "ayudas.h"
#include "core/azar.h"

#include <gtest/gtest.h>
#include <set>

using namespace brumaria;
using prueba::Semilla;

namespace {

std::uint64_t RelojParado() {
    return 123456789;
}

} // namespace

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
