#pragma once
// Small helpers the board windows share.
#include <QColor>
#include <QList>
#include <cstdint>

class QLabel;
class QWidget;

namespace brumaria {

// A stored colour (red in the low byte) as a QColor.
inline QColor ColorVB(std::int32_t c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

// The row labels "1".."10" (left of the board) and column labels "A".."J"
// (above it) of one panel frame, named `fila`_0.. and `columna`_0..
// Returns the row labels followed by the column labels.
QList<QLabel*> CrearEtiquetasTablero(QWidget* marco, const QString& fila, const QString& columna);

} // namespace brumaria
