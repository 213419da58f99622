#include "core/compromiso.h"

#include <QCryptographicHash>

namespace brumaria {

QByteArray CompromisoFlota(const Panel& flota, QByteArrayView sal) {
    QByteArray bytes;
    bytes.reserve(kLado * kLado * 2 + sal.size());
    for (int f = 0; f < kLado; ++f)
        for (int c = 0; c < kLado; ++c)
            if (flota[f][c] == CASILLA_BARCO) {
                bytes.append(static_cast<char>(f));
                bytes.append(static_cast<char>(c));
            }
    bytes.append(sal);
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

namespace {

bool blnBarco(const Panel& p, int f, int c) {
    return blnCasillaValida(f, c) && p[f][c] == CASILLA_BARCO;
}

// Whether every square of the straight run of pieces through (f, c) is
// uncovered. Ships never touch in a fleet that was found legal, so the run
// is the ship.
bool blnHundido(const Panel& flota, const Panel& visto, int f, int c) {
    for (const auto& [df, dc] : {std::pair{0, 1}, {0, -1}, {1, 0}, {-1, 0}})
        for (int i = f + df, j = c + dc; blnBarco(flota, i, j); i += df, j += dc)
            if (!visto[i][j]) return false;
    return true;
}

} // namespace

QList<Mentira> Mentiras(const Panel& flota, const QList<RespuestaDada>& respuestas) {
    QList<Mentira> r;
    Panel visto{};
    for (const RespuestaDada& d : respuestas) {
        const int f = d.intFila, c = d.intColumna;
        if (!blnCasillaValida(f, c)) continue;
        int verdad = 3;
        if (!visto[f][c]) {
            visto[f][c] = 1;
            verdad = !blnBarco(flota, f, c) ? 0 : blnHundido(flota, visto, f, c) ? 2 : 1;
        }
        // An answer 3 does not uncover: the square stays as it was.
        if (d.intResultado == 3 && verdad != 3) visto[f][c] = 0;
        if (verdad != d.intResultado) r.append({f, c, verdad, d.intResultado});
    }
    return r;
}

} // namespace brumaria
