#include "core/azar.h"

#include <gtest/gtest.h>
#include <set>
#include <vector>

using brumaria::Azar;

namespace {
std::uint64_t RelojParado() {
    return 123456789;
}
std::uint64_t RelojQueCorre() {
    static std::uint64_t t = 0;
    return t += 1000;
}

std::vector<int> Serie(int n) {
    std::vector<int> v;
    for (int i = 0; i < n; ++i)
        v.push_back(Azar::intAleatorio(1000000));
    return v;
}

struct RestaurarAzar {
    ~RestaurarAzar() {
        Azar::FijarReloj(nullptr);
        Azar::Liberar();
    }
};
} // namespace

TEST(Azar, DeterministaEsFuncionDeLaSemillaYNoDelReloj) {
    RestaurarAzar r;
    Azar::FijarDeterminista(42);
    const auto a = Serie(50);
    Azar::FijarReloj(RelojQueCorre);
    Azar::FijarDeterminista(42);
    EXPECT_EQ(Serie(50), a);
    Azar::FijarDeterminista(43);
    EXPECT_NE(Serie(50), a);
}

TEST(Azar, MismoTicDelRelojSigueDandoValoresDistintos) {
    RestaurarAzar r;
    Azar::Liberar();
    Azar::FijarReloj(RelojParado);
    std::set<double> vistos;
    for (int i = 0; i < 1000; ++i)
        vistos.insert(Azar::dblAleatorio());
    EXPECT_EQ(vistos.size(), 1000u) << "a frozen clock must not restart the sequence";
}

TEST(Azar, RangoYReparto) {
    RestaurarAzar r;
    Azar::FijarDeterminista(7);
    EXPECT_EQ(Azar::intAleatorio(0), 0);
    EXPECT_EQ(Azar::intAleatorio(-5), 0);
    int cubetas[10] = {};
    for (int i = 0; i < 20000; ++i) {
        const int v = Azar::intAleatorio(10);
        ASSERT_GE(v, 0);
        ASSERT_LT(v, 10);
        ++cubetas[v];
        const double d = Azar::dblAleatorio();
        ASSERT_GE(d, 0.0);
        ASSERT_LT(d, 1.0);
    }
    for (int c : cubetas) {
        EXPECT_GT(c, 1700);
        EXPECT_LT(c, 2300);
    }
}
