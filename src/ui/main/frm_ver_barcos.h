#pragma once
// The solution window: the opponent's fleet as it was placed.
#include <QDialog>

class QGroupBox;

namespace brumaria {

class ModPrincipal;
class ImagenesTablero;
struct RegistroOpciones;
class Tablero;

class FrmVerBarcos : public QDialog {
    Q_OBJECT
public:
    FrmVerBarcos(const ModPrincipal& principal, const RegistroOpciones& opciones,
                 ImagenesTablero& imagenes, QWidget* parent = nullptr);

    // Draws the opponent's fleet (called once when the window opens).
    void Actualizar();

protected:
    void done(int resultado) override; // keeps the window's size

private:
    // Reached from outside by their object names ("fraPanelOrdenador", "imgCelda").
    QGroupBox* fraPanelOrdenador;
    Tablero* tablero;

    const ModPrincipal& principal_;
    const RegistroOpciones& opciones_;
    ImagenesTablero& imagenes_;
};

} // namespace brumaria
