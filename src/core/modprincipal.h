#pragma once
// The four boards, their square codes and the rules that read them.
#include <QString>
#include <array>
#include <cstdint>
#include <functional>

namespace brumaria {

inline constexpr std::int16_t CASILLA_AGUA = 0;
inline constexpr std::int16_t CASILLA_BARCO = 1;
inline constexpr std::int16_t CASILLA_OCULTA = 2;
inline constexpr std::int16_t CASILLA_FUERA = 3;

inline constexpr int kLado = 10;
using Panel = std::array<std::array<std::int16_t, kLado>, kLado>;

// Picture of a ship or hit square (what CargarImagenCasilla loads).
enum class ImagenCasilla {
    Ninguna,
    Ataque,
    BarcoH1,
    BarcoH2,
    BarcoH3,
    BarcoH4,
    BarcoV1,
    BarcoV2,
    BarcoV3
};

// The boards and the state of the opponent's attack and the computer's pursuit.
// One object for the whole run; the window owns it and passes it by reference.
class ModPrincipal {
public:
    // Panel 0: the player's fleet; 1: what the opponent has uncovered of it;
    // 2: the opponent's fleet; 3: what the player has uncovered of it.
    Panel intBarcosJugador{};
    Panel intDescubiertoJugador{};
    Panel intBarcosOrdenador{};
    Panel intDescubiertoOrdenador{};

    std::int16_t intFilaAtaque = 0;
    std::int16_t intColumnaAtaque = 0;
    std::int16_t intFilaTocado = 0;
    std::int16_t intColumnaTocado = 0;
    bool blnPersiguiendo = false;
    bool blnCerrando = false;

    // Called after every placement attempt so the window stays responsive.
    // The application installs the event pump; empty means no yield.
    std::function<void()> cederEventos;

    // Panel by number; nullptr outside 0..3.
    Panel* panel(int intPanel);
    const Panel* panel(int intPanel) const;

    // The code at a square, CASILLA_FUERA outside the board, 0 for a bad panel.
    std::int16_t intLeerCasilla(int intFila, int intColumna, int intPanel) const;

    // Writes a square; false (and nothing written) for a square outside the
    // board or a bad panel. Indices from the network go through here.
    bool blnEscribirCasilla(int intFila, int intColumna, int intPanel, std::int16_t intValor);

    // Sets every square of a panel; nothing for a bad panel.
    void LlenarPanel(int intPanel, std::int16_t intValor);

    // Times the last random fleet placement started over because the ship
    // in hand had no legal square left (0 on all but freak boards).
    int intReiniciosColocacion = 0;

    // Fleet panels 0/2: clear and place a random fleet; 1/3: all hidden
    // (1 also forgets the pursuit). Stops early once blnCerrando is set.
    void PrepararBarcos(int intPanel);

    // The player's shot on the opponent's board: 0 Agua, 1 Tocado, 2 Hundido,
    // 3 invalid (with its error box).
    int intComprobarAtaque(int intFila, int intColumna);

    // intLado 0: a ship of the player's fleet (panels 0/1); 1: the opponent's (2/3).
    bool blnHundido(int intFila, int intColumna, int intLado) const;
    // 0 horizontal, 1 vertical, 2 a one-square ship, 3 undecided.
    int intHor_Ver_Long1(int intFila, int intColumna, int intPanel) const;
    // Pieces in the straight run through the square, the square included.
    int intCuantoDescubierto(int intFila, int intColumna, int intPanel) const;
    // 0 the match goes on, 1 the player won, 2 the opponent won.
    int intTerminarPartida() const;
    // Every piece of fleet panel 0 or 2 is uncovered (in panel 1 or 3).
    bool blnFlotaDescubierta(int intPanelFlota) const;

    // Length of the sunk ship through the square (panel 0 for the player's
    // ships, else what panel 3 shows of the opponent's, which is all a
    // network match knows): the counter ContabilizarBarcoHundido increments.
    int intLongitudHundido(int intFila, int intColumna, bool blnBarcoDeJugador) const;

    // The computer's shot: chooses, uncovers it in panel 1, updates the pursuit.
    // On a board with no hidden square left it changes nothing.
    void AtaqueOrdenador();
    void OlvidarTocado();

    // Which picture a square of panel 0, 2 (ship squares) or 3 gets.
    ImagenCasilla CargarImagenCasilla(int intFila, int intColumna, int intPanel) const;
};

// True for a square of the board (both indices 0..9).
constexpr bool blnCasillaValida(int intFila, int intColumna) {
    return intFila >= 0 && intFila < kLado && intColumna >= 0 && intColumna < kLado;
}

// "A".."J" for 0..9; empty for any other column.
QString strLetraColumna(int intColumna);
// "1".."10" for 0..9.
QString strNumeroFila(int intFila);
// "C5" style text of a square.
QString strCasilla(int intFila, int intColumna);

// Relative path of a picture, e.g. "imagenes/barcoh1.gif"; with
// `blnPrevia` the placement editor's preview variant "imagenes/barcoh12.gif".
// Empty for ImagenCasilla::Ninguna.
QString strArchivoImagen(ImagenCasilla imagen, bool blnPrevia = false);

} // namespace brumaria
