// The computer's choice of square: random search, then pursuit of a hit ship.
#include "core/azar.h"
#include "core/modprincipal.h"

#include <vector>

namespace brumaria {
namespace {

// Random draws before the search falls back to listing the candidates. The
// fallback picks uniformly among the same squares, so the choice keeps its
// distribution; it only bounds the work on a nearly exhausted board.
constexpr int kIntentosBusqueda = 200;

bool blnOculta(const ModPrincipal& m, int f, int c) {
    return m.intLeerCasilla(f, c, 1) == CASILLA_OCULTA;
}

// Hidden, and no uncovered piece around it: outside a pursuit every
// uncovered piece belongs to a sunk ship, and ships never touch.
bool blnAceptable(const ModPrincipal& m, int f, int c) {
    if (!blnOculta(m, f, c)) return false;
    for (int df = -1; df <= 1; ++df)
        for (int dc = -1; dc <= 1; ++dc)
            if ((df != 0 || dc != 0) && m.intLeerCasilla(f + df, c + dc, 1) == CASILLA_BARCO)
                return false;
    return true;
}

bool blnElegirEntre(const ModPrincipal& m, bool (*criterio)(const ModPrincipal&, int, int), int& f,
                    int& c) {
    std::vector<int> candidatas;
    for (int i = 0; i < kLado * kLado; ++i)
        if (criterio(m, i / kLado, i % kLado)) candidatas.push_back(i);
    if (candidatas.empty()) return false;
    const int elegida = candidatas[Azar::intAleatorio(static_cast<int>(candidatas.size()))];
    f = elegida / kLado;
    c = elegida % kLado;
    return true;
}

bool blnBuscar(const ModPrincipal& m, int& f, int& c) {
    for (int i = 0; i < kIntentosBusqueda; ++i) {
        f = Azar::intAleatorio(kLado);
        c = Azar::intAleatorio(kLado);
        if (blnAceptable(m, f, c)) return true;
    }
    if (blnElegirEntre(m, blnAceptable, f, c)) return true;
    // Only a damaged board gets here (every hidden square touches a piece):
    // any hidden square is still a legal shot.
    return blnElegirEntre(m, blnOculta, f, c);
}

bool blnPerseguir(const ModPrincipal& m, int& f, int& c) {
    const int hf = m.intFilaTocado;
    const int hc = m.intColumnaTocado;
    const int n = m.intCuantoDescubierto(hf, hc, 1);
    if (n == 1) {
        if (blnOculta(m, hf - 1, hc)) {
            f = hf - 1, c = hc;
        } else if (blnOculta(m, hf, hc - 1)) {
            f = hf, c = hc - 1;
        } else if (blnOculta(m, hf + 1, hc)) {
            f = hf + 1, c = hc;
        } else {
            f = hf, c = hc + 1;
        }
    } else if (m.intHor_Ver_Long1(hf, hc, 1) == 0) {
        f = hf;
        if (blnOculta(m, hf, hc - 1)) {
            c = hc - 1;
        } else {
            for (c = hc + 1; m.intLeerCasilla(f, c, 1) == CASILLA_BARCO; ++c) {
            }
        }
    } else {
        c = hc;
        if (blnOculta(m, hf - 1, hc)) {
            f = hf - 1;
        } else {
            for (f = hf + 1; m.intLeerCasilla(f, c, 1) == CASILLA_BARCO; ++f) {
            }
        }
    }
    // In a consistent match the pursuit always lands on a hidden square; a
    // stale pursuit could point off the board or at a known square.
    return blnOculta(m, f, c);
}

} // namespace

void ModPrincipal::AtaqueOrdenador() {
    int f = 0;
    int c = 0;
    bool elegida = false;
    if (blnPersiguiendo) {
        elegida = blnPerseguir(*this, f, c);
        if (!elegida) OlvidarTocado();
    }
    if (!elegida && !blnBuscar(*this, f, c)) return;

    intFilaAtaque = static_cast<std::int16_t>(f);
    intColumnaAtaque = static_cast<std::int16_t>(c);
    const bool tocado = intLeerCasilla(f, c, 0) == CASILLA_BARCO;
    blnEscribirCasilla(f, c, 1, tocado ? CASILLA_BARCO : CASILLA_AGUA);
    if (tocado) {
        intFilaTocado = static_cast<std::int16_t>(f);
        intColumnaTocado = static_cast<std::int16_t>(c);
        blnPersiguiendo = true;
    }
}

void ModPrincipal::OlvidarTocado() {
    blnPersiguiendo = false;
}

} // namespace brumaria
