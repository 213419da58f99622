#include "core/flota.h"

#include <algorithm>

namespace brumaria {

ComposicionFlota ComponerFlota(const Panel& flota) {
    ComposicionFlota composicion{};
    std::array<std::array<bool, kLado>, kLado> visto{};
    for (int f0 = 0; f0 < kLado; ++f0) {
        for (int c0 = 0; c0 < kLado; ++c0) {
            if (flota[f0][c0] != CASILLA_BARCO || visto[f0][c0]) continue;
            // Flood the group through sides and corners, keeping its bounds.
            int piezas = 0, fMin = f0, fMax = f0, cMin = c0, cMax = c0;
            int pila[kLado * kLado];
            int cima = 0;
            pila[cima++] = f0 * kLado + c0;
            visto[f0][c0] = true;
            while (cima > 0) {
                const int i = pila[--cima];
                const int f = i / kLado, c = i % kLado;
                ++piezas;
                fMin = std::min(fMin, f), fMax = std::max(fMax, f);
                cMin = std::min(cMin, c), cMax = std::max(cMax, c);
                for (int df = -1; df <= 1; ++df) {
                    for (int dc = -1; dc <= 1; ++dc) {
                        const int nf = f + df, nc = c + dc;
                        if (blnCasillaValida(nf, nc) && !visto[nf][nc] &&
                            flota[nf][nc] == CASILLA_BARCO) {
                            visto[nf][nc] = true;
                            pila[cima++] = nf * kLado + nc;
                        }
                    }
                }
            }
            const bool recto =
                (fMin == fMax || cMin == cMax) && piezas == (fMax - fMin + 1) * (cMax - cMin + 1);
            if (recto && piezas <= 4)
                ++composicion[piezas];
            else
                composicion[0] += piezas;
        }
    }
    return composicion;
}

int intContarCasillas(const Panel& panel, std::int16_t codigo) {
    int n = 0;
    for (const auto& fila : panel)
        n += static_cast<int>(std::count(fila.begin(), fila.end(), codigo));
    return n;
}

bool blnFlotaValida(const Panel& flota) {
    for (const auto& fila : flota)
        for (const std::int16_t v : fila)
            if (v != CASILLA_AGUA && v != CASILLA_BARCO) return false;
    return ComponerFlota(flota) == ComposicionFlota{0, 4, 3, 2, 1};
}

} // namespace brumaria
