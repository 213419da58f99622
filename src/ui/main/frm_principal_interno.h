#pragma once
// What the main window's implementation files share: the layout's measures
// (in twips, 15 to a pixel) and the ships of a fleet. Only for ui/main.
#include "ui/main/tablero.h"

#include <QRect>
#include <array>

namespace brumaria::ventana {

constexpr int kAltoBarraEstado = 255;
constexpr int kAnchoLateral = 3390;
// The panes are as wide as a board frame, so they end inside the widened
// window with the same margin the boards keep.
constexpr int kAnchoPanelLateral = 3135;
// Lines each side pane keeps: a long evening of matches or a chatty peer
// would otherwise grow the window's memory without end. The history file,
// when the player keeps one, has every line.
constexpr int kMaxLineasPanel = 1000;
constexpr int kVerde = 0x00C000; // RGB(0, 192, 0)

// Ships of each length (index length - 1) in a complete fleet.
constexpr std::array<int, 4> kTotales{4, 3, 2, 1};

inline QRect Twips(int x, int y, int ancho, int alto) {
    return QRect(Px(x), Px(y), Px(ancho), Px(alto));
}

} // namespace brumaria::ventana
