#include "core/azar.h"

#include <QRandomGenerator>

#include <chrono>
#include <ctime>

namespace brumaria {
namespace {

// SplitMix64 finaliser: a cheap bijective mixer with good avalanche.
constexpr std::uint64_t Mezclar(std::uint64_t z) {
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

constexpr std::uint64_t kPaso = 0x9e3779b97f4a7c15ULL;

struct Estado {
    std::uint64_t s = 0x853c49e6748fea9bULL;
    bool determinista = false;
    Azar::Reloj reloj = nullptr;
};

Estado& estado() {
    static Estado e;
    return e;
}

std::uint64_t RelojSistema() {
#ifdef CLOCK_MONOTONIC_COARSE
    // The coarse clock is read without a system call; its millisecond ticks
    // are enough because draws within one tick still differ (see Siguiente).
    timespec ts{};
    if (clock_gettime(CLOCK_MONOTONIC_COARSE, &ts) == 0)
        return static_cast<std::uint64_t>(ts.tv_sec) * 1000000000ULL +
               static_cast<std::uint64_t>(ts.tv_nsec);
#endif
    return static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
}

std::uint64_t Siguiente() {
    Estado& e = estado();
    e.s += kPaso;
    if (!e.determinista) {
        // The clock is mixed into the running state rather than replacing it,
        // so two draws in the same tick still move along the sequence.
        const std::uint64_t t = e.reloj ? e.reloj() : RelojSistema();
        e.s = Mezclar(e.s ^ Mezclar(t));
    }
    return Mezclar(e.s);
}

} // namespace

double Azar::dblAleatorio() {
    // 53 high bits give a double uniform in [0, 1); 1.0 itself is never reached.
    return static_cast<double>(Siguiente() >> 11) * 0x1.0p-53;
}

int Azar::intAleatorio(int n) {
    if (n <= 0) return 0;
    const int v = static_cast<int>(dblAleatorio() * n);
    return v < n ? v : n - 1;
}

void Azar::FijarDeterminista(std::uint64_t semilla) {
    Estado& e = estado();
    e.determinista = true;
    e.s = Mezclar(semilla ^ 0x6a09e667f3bcc909ULL);
}

void Azar::Liberar() {
    estado().determinista = false;
}

void Azar::FijarReloj(Reloj reloj) {
    estado().reloj = reloj;
}

QByteArray Azar::SalSecreta(int intBytes) {
    QByteArray sal(qMax(0, intBytes), Qt::Uninitialized);
    for (char& b : sal)
        b = static_cast<char>(QRandomGenerator::system()->bounded(256));
    return sal;
}

} // namespace brumaria
