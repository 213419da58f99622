#pragma once
// Checks a whole fleet grid: the placement editor's result and a fleet
// announced by a network peer are only trusted after this.
#include "core/modprincipal.h"

#include <array>

namespace brumaria {

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
