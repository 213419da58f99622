#pragma once
// The one source of random numbers. Every draw re-seeds from the clock
// (mixing, not restarting the sequence) and returns the whole part of r * n.
#include <QByteArray>
#include <cstdint>

namespace brumaria {

class Azar {
public:
    // A value in 0 .. n - 1 (0 when n <= 0).
    static int intAleatorio(int n);

    // A value r in [0, 1), after the clock re-seed.
    static double dblAleatorio();

    // Tests: draws become a pure function of `semilla` (the clock is ignored).
    static void FijarDeterminista(std::uint64_t semilla);
    // Back to clock re-seeding.
    static void Liberar();

    // Tests: replaces the clock read before every draw (nullptr: the real
    // clock), e.g. to freeze it and check that draws still move on.
    using Reloj = std::uint64_t (*)();
    static void FijarReloj(Reloj reloj);

    // Secret bytes (a commitment's salt) from the system's cryptographic
    // source. Never from the draws above: those follow the clock and, in
    // tests, a fixed seed, so a peer could guess them; a salt it can guess
    // would let it find the fleet behind the commitment.
    static QByteArray SalSecreta(int intBytes);
};

} // namespace brumaria
