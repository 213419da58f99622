#pragma once
// Checks a whole fleet grid: the placement editor's result and the fleet a
// network peer shows at the end of a match are only trusted after this.
#include "core/modprincipal.h"

#include <array>

namespace brumaria {

// Ship squares of a whole fleet: 4 + 3 + 3 + 2 + 2 + 2 + 1 + 1 + 1 + 1.
inline constexpr int kPiezasFlota = 20;

// Squares of the grid that hold `codigo`.
int intContarCasillas(const Panel& panel, std::int16_t codigo);

// Ships per length (index 1..4) found in a fleet grid; index 0 counts
// pieces that belong to no straight ship of 1..4 squares.
using ComposicionFlota = std::array<int, 5>;

// Every maximal group of touching pieces (sides and corners) taken as one
// ship; a group that is not a straight line of 1..4 squares counts in [0].
ComposicionFlota ComponerFlota(const Panel& flota);

// True when the grid holds only codes 0 and 1 and exactly the fleet:
// one ship of 4, two of 3, three of 2, four of 1, straight and not touching.
bool blnFlotaValida(const Panel& flota);

} // namespace brumaria
