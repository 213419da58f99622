#pragma once
// Fair play over the network: each side keeps its fleet secret during the
// match behind a commitment (a hash of the fleet and a secret salt) and
// shows it at the end, when every answer it gave can be checked. Pure
// rules, no network and no window.
#include "core/modprincipal.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

namespace brumaria {

// Bytes of the salt: 128 bits, so that the 20 squares cannot be found by
// trying every fleet against the commitment.
inline constexpr int kBytesSal = 16;
// Bytes of the commitment (SHA-256).
inline constexpr int kBytesCompromiso = 32;

// The commitment to a fleet: SHA-256 over every ship square in ascending
// order of row, then column, two bytes each (row, column, both 0..9),
// followed by the salt.
QByteArray CompromisoFlota(const Panel& flota, QByteArrayView sal);

// One answer the peer gave to our shot: 0 Agua, 1 Tocado, 2 Hundido, or 3
// "already uncovered", for the square we shot.
struct RespuestaDada {
    int intFila = 0;
    int intColumna = 0;
    int intResultado = 0;
};

// An answer the fleet contradicts: what it was (0 Agua, 1 Tocado,
// 2 Hundido, 3 already uncovered) and what was said.
struct Mentira {
    int intFila = 0;
    int intColumna = 0;
    int intVerdad = 0;
    int intDicho = 0;
    bool operator==(const Mentira&) const = default;
};

// Replays the answers, in the order given, against the fleet that was
// shown: a square counts as uncovered from its first answer 0..2 on, and a
// ship is sunk once all its squares are. Returns every false answer.
QList<Mentira> Mentiras(const Panel& flota, const QList<RespuestaDada>& respuestas);

} // namespace brumaria
