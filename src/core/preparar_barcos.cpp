// Random fleet placement.
#include "core/azar.h"
#include "core/modprincipal.h"

namespace brumaria {
namespace {

// The fleet in placement order.
constexpr int kLongitudes[] = {4, 3, 3, 2, 2, 2, 1, 1, 1, 1};

// Failed attempts between two exhaustive "is there still room?" checks. The
// check draws nothing, so on every board where the ship still fits the
// sequence of draws, and so the fleet, is the same as without it.
constexpr int kIntentosEntreComprobaciones = 64;

struct Barco {
    int longitud;
    bool horizontal;
    int fila;
    int columna;
};

// All squares free and no piece in the margin (off-board reads 3 and never blocks).
bool blnCabe(const ModPrincipal& m, int intPanel, const Barco& b) {
    const int filas = b.horizontal ? 1 : b.longitud;
    const int columnas = b.horizontal ? b.longitud : 1;
    for (int f = b.fila - 1; f <= b.fila + filas; ++f) {
        for (int c = b.columna - 1; c <= b.columna + columnas; ++c) {
            const bool dentro =
                f >= b.fila && f < b.fila + filas && c >= b.columna && c < b.columna + columnas;
            const std::int16_t v = m.intLeerCasilla(f, c, intPanel);
            if (dentro ? v != CASILLA_AGUA : v == CASILLA_BARCO) return false;
        }
    }
    return true;
}

void Escribir(ModPrincipal& m, int intPanel, const Barco& b) {
    for (int i = 0; i < b.longitud; ++i)
        m.blnEscribirCasilla(b.fila + (b.horizontal ? 0 : i), b.columna + (b.horizontal ? i : 0),
                             intPanel, CASILLA_BARCO);
}

// First squares are drawn so that the whole ship lies on the board.
void SortearPrimeraCasilla(Barco& b) {
    const int resto = kLado + 1 - b.longitud;
    b.fila = Azar::intAleatorio(b.horizontal ? kLado : resto);
    b.columna = Azar::intAleatorio(b.horizontal ? resto : kLado);
}

bool blnQuedaSitio(const ModPrincipal& m, int intPanel, Barco b) {
    const int resto = kLado + 1 - b.longitud;
    for (b.fila = 0; b.fila < (b.horizontal ? kLado : resto); ++b.fila)
        for (b.columna = 0; b.columna < (b.horizontal ? resto : kLado); ++b.columna)
            if (blnCabe(m, intPanel, b)) return true;
    return false;
}

enum class Resultado { Completa, Cerrando, SinSitio };

Resultado ColocarFlota(ModPrincipal& m, int intPanel) {
    m.LlenarPanel(intPanel, CASILLA_AGUA);
    bool primero = true;
    for (const int longitud : kLongitudes) {
        Barco b{longitud, true, 0, 0};
        if (longitud > 1) b.horizontal = Azar::intAleatorio(2) == 1;
        if (primero) {
            primero = false;
            // The board is empty: the first ship fits wherever it is drawn.
            SortearPrimeraCasilla(b);
            Escribir(m, intPanel, b);
            continue;
        }
        bool colocado = false;
        int fallos = 0;
        while (!colocado && !m.blnCerrando) {
            SortearPrimeraCasilla(b);
            colocado = blnCabe(m, intPanel, b);
            if (colocado) Escribir(m, intPanel, b);
            if (m.cederEventos) m.cederEventos();
            // Ships already placed are never moved, so a crowded board can
            // leave no room at all; retrying then would never end.
            if (!colocado && ++fallos % kIntentosEntreComprobaciones == 0 &&
                !blnQuedaSitio(m, intPanel, b))
                return Resultado::SinSitio;
        }
        if (!colocado) return Resultado::Cerrando;
    }
    return Resultado::Completa;
}

} // namespace

void ModPrincipal::PrepararBarcos(int intPanel) {
    switch (intPanel) {
    case 0:
    case 2:
        intReiniciosColocacion = 0;
        while (ColocarFlota(*this, intPanel) == Resultado::SinSitio && !blnCerrando)
            ++intReiniciosColocacion;
        break;
    case 1:
        LlenarPanel(1, CASILLA_OCULTA);
        OlvidarTocado();
        break;
    case 3:
        LlenarPanel(3, CASILLA_OCULTA);
        break;
    default:
        break;
    }
}

} // namespace brumaria
