#pragma once
// The small RGB colour picker used by the colour buttons of the options.
#include <QDialog>
#include <cstdint>

class QFrame;
class QSlider;
class QLabel;

namespace brumaria {

// What the picker was opened with and how it was closed.
struct EstadoColor {
    std::int32_t lngColorElegido = 0; // red in the low byte, then green, then blue
    bool blnColorElegido = false;     // closed with "Aceptar"
};

class FrmColor : public QDialog {
    Q_OBJECT
public:
    // Starts from estado.lngColorElegido and clears estado.blnColorElegido.
    explicit FrmColor(EstadoColor& estado, QWidget* parent = nullptr);

    // Shows the picker modally; on "Aceptar" the state holds the new colour.
    int Mostrar() { return exec(); }

    // The colour the three sliders make now.
    std::int32_t lngColorActual() const;

private:
    // Reached from outside by their object names.
    QSlider* sldRojo = nullptr;
    QSlider* sldVerde = nullptr;
    QSlider* sldAzul = nullptr;
    QFrame* shpCuadro = nullptr;
    void ActualizarCuadro();
    void Aceptar();

    EstadoColor& estado_;
    QLabel* lblValores_ = nullptr;
};

// "#rrggbb" of a colour held red-low.
QString NombreColor(std::int32_t color);

} // namespace brumaria
