#pragma once
// Small board builders shared by the rules tests.
#include "core/azar.h"
#include "core/modprincipal.h"

namespace brumaria::prueba {

// Deterministic random draws for the life of one test.
struct Semilla {
    explicit Semilla(std::uint64_t s) { Azar::FijarDeterminista(s); }
    ~Semilla() { Azar::Liberar(); }
    Semilla(const Semilla&) = delete;
    Semilla& operator=(const Semilla&) = delete;
};

inline void PonerBarco(Panel& p, int fila, int columna, int longitud, bool horizontal) {
    for (int i = 0; i < longitud; ++i)
        p[fila + (horizontal ? 0 : i)][columna + (horizontal ? i : 0)] = CASILLA_BARCO;
}

inline void Llenar(Panel& p, std::int16_t v) {
    for (auto& f : p)
        f.fill(v);
}

inline int Contar(const Panel& p, std::int16_t v) {
    int n = 0;
    for (const auto& f : p)
        for (auto x : f)
            n += x == v;
    return n;
}

// A legal fleet laid by hand, touching the edges and corners.
inline Panel FlotaFija() {
    Panel p{};
    PonerBarco(p, 0, 0, 4, true);
    PonerBarco(p, 2, 0, 3, false);
    PonerBarco(p, 9, 7, 3, true);
    PonerBarco(p, 0, 9, 2, false);
    PonerBarco(p, 4, 4, 2, true);
    PonerBarco(p, 6, 2, 2, false);
    PonerBarco(p, 9, 0, 1, true);
    PonerBarco(p, 2, 5, 1, true);
    PonerBarco(p, 6, 9, 1, true);
    PonerBarco(p, 7, 5, 1, true);
    return p;
}

} // namespace brumaria::prueba
