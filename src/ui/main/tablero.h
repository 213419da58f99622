#pragma once
// One board of 10 x 10 squares painted by a single widget: outlines, fills,
// pictures, the opponent's-shot markers and the aiming cross. Every square
// stays addressable: by coordinate for clicks and through the accessibility
// tree, one child per square with its coordinate and content. The board
// fills whatever square it is given: the window scales it with its frame.
#include "ui/escala/imagen_nitida.h"

#include <QColor>
#include <QLine>
#include <QWidget>
#include <array>
#include <functional>

namespace brumaria {

class Tablero : public QWidget {
    Q_OBJECT
public:
    // Geometry in twips, the window's unit (1 px = 15 twips).
    static constexpr int kPaso = 240;    // from one square to the next
    static constexpr int kCasilla = 255; // a square's outline
    static constexpr int kOrigen = 600;  // first square, inside the frame
    static constexpr int kTwipsPorPixel = 15;

    // `intInsetImagen` and `intLadoImagen`: where a square's picture sits
    // inside its outline (twips); `blnConMarcas` adds the shot markers.
    Tablero(int intInsetImagen, int intLadoImagen, bool blnConMarcas, QWidget* parent = nullptr);

    struct Casilla {
        QColor relleno = Qt::white;
        bool opaca = false;
        ImagenNitida imagen; // stretched over the square; null for none
        QString contenido; // what the square shows, in words
        // Marker of an opponent's shot (player's board only).
        bool marcaVisible = false;
        bool marcaOpaca = false;
        QColor marcaBorde;
        QColor marcaRelleno;
    };

    Casilla& casilla(int intFila, int intColumna) { return casillas_[intFila * 10 + intColumna]; }
    const Casilla& casilla(int intFila, int intColumna) const {
        return casillas_[intFila * 10 + intColumna];
    }
    // Call after changing squares through casilla().
    void Repintar() { update(); }

    void FijarColorRejilla(const QColor& c);
    QColor colorRejilla() const { return rejilla_; }
    void FijarFondo(const ImagenNitida& fondo); // null: no background picture
    bool tieneFondo() const { return !fondo_.isNull(); }

    // The aiming cross, two lines in twips of the panel's frame.
    void MostrarDisparo(const QLine& linea0, const QLine& linea1);
    void OcultarDisparo();
    bool disparoVisible() const { return disparoVisible_; }
    QLine lineaDisparo(int i) const { return lineas_[i & 1]; }

    // "C5: agua" style text of a square, for the accessibility tree and tests.
    QString textoAccesible(int intFila, int intColumna) const;
    // Where a square's outline and centre are, in this widget's coordinates.
    QRect rectCasilla(int intFila, int intColumna) const;
    QPoint centroCasilla(int intFila, int intColumna) const;
    // The square under a point, or false.
    bool casillaEn(const QPoint& p, int& intFila, int& intColumna) const;

    // Decides the pointer over the squares (cross-hair when aiming).
    std::function<bool()> permitirPunteria;

    // A square cursor moved by the arrow keys; Enter or Space chooses the
    // square under it. Off by default: only the board the player aims at.
    void FijarCursorTeclado(bool blnActivo);
    int filaCursor() const { return cursor_ / 10; }
    int columnaCursor() const { return cursor_ % 10; }
    bool cursorTeclado() const { return conCursor_; }

signals:
    void casillaPulsada(int intFila, int intColumna);
    void casillaTecleada(int intFila, int intColumna);

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    // Pixels from one square to the next at this size (16 at the design size).
    int Paso() const;
    // Pixels across one line of the grid.
    int Grosor() const;
    // A length in twips at this size, in pixels.
    int Escalar(int twips) const;
    std::array<Casilla, 100> casillas_;
    QColor rejilla_ = Qt::black;
    ImagenNitida fondo_;
    int inset_;
    int ladoImagen_;
    bool conMarcas_;
    bool disparoVisible_ = false;
    std::array<QLine, 2> lineas_;
    int pulsada_ = -1;
    bool conCursor_ = false;
    int cursor_ = 0;
    void AnunciarCursor();
};

// Twips to pixels, rounding to the nearest pixel.
constexpr int Px(int twips) {
    return (twips + Tablero::kTwipsPorPixel / 2) / Tablero::kTwipsPorPixel;
}

} // namespace brumaria
