#pragma once
// The fleet placement editor: the player lays out his own ten ships, one
// after another in a fixed order, before a match.
#include "core/modprincipal.h"
#include "options/opciones.h"
#include "ui/escala/imagen_nitida.h"

#include <QDialog>
#include <QHash>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <array>
#include <bitset>
#include <cstdint>
#include <memory>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QCloseEvent;

namespace brumaria {

class TableroColocacion;
class CeldaColocacion;

// Controls carry their names as objectName: lblBarcoDe4, lblBarcosDe3..1,
// chkBarcoDe4, chkBarcosDe3_1..2, chkBarcosDe2_1..3, chkBarcosDe1_1..4,
// optHorizontal, optVertical, cmdAceptar, cmdCancelar, fraPanelOrdenador,
// imgFondoPanel, lblFila_0..9, lblColumna_0..9 and one widget per square,
// imgCelda_0..99 (shape and picture in one; accessible name "C5: agua",
// "C5: barco" or "C5: vista previa").
//
// The caller shows it without blocking (WA_DeleteOnClose) and goes on when
// it reports flotaColocada(). The editor closes itself, placing nothing,
// once principal.blnCerrando is set or its owner window closes.
class FrmColocarBarcos : public QDialog {
    Q_OBJECT
public:
    // Writes only CASILLA_BARCO squares into principal.intBarcosJugador.
    FrmColocarBarcos(ModPrincipal& principal, const RegistroOpciones& opciones,
                     QWidget* parent = nullptr);
    ~FrmColocarBarcos() override;

    // Draws the ship of length intTamaño beginning at the square in the
    // current orientation: a preview (blnPrueba) or placed pieces. Clears the
    // earlier preview first; never touches the board.
    void Mostrar(int intTamaño, int intFila, int intColumna, bool blnPrueba);

    // True when the ship fits, touches no other ship and has been written
    // into the player's board; false with the board unchanged.
    bool blnColocarBarco(int intFila, int intColumna, int intTamaño);

    // Handlers, also callable directly (square index k = 10 * fila + columna).
    void imgCelda_Click(int k);
    void imgCelda_MouseMove(int k);
    void cmdAceptar_Click();
    void cmdCancelar_Click();

    // Length being placed (4..1, 0 when complete) and which ship of it (from 1).
    int intTamañoActual() const { return intTamañoActual_; }
    int intNumeroBarco() const { return intNumeroBarco_; }

    // What square k shows: its shape colour, its picture ("imagenes/..."
    // relative to the program's folder, empty for none), whether it belongs
    // to the current preview, and whether the shapes are see-through (water
    // picture under the board).
    std::int32_t lngColorCelda(int k) const;
    QString strImagenCelda(int k) const;
    bool blnCeldaPrevia(int k) const;
    bool blnFormasTransparentes() const { return blnTransparente_; }

    // The widget of square k (objectName "imgCelda_<k>"), nullptr outside 0..99.
    QWidget* celda(int k) const;

    void reject() override; // Escape: the same as "&Cancelar"

    // Closes without placing anything (the match was given up).
    void CerrarSinColocar();

signals:
    // The fleet is final: placed by hand ("&Aceptar"), or at random
    // ("&Cancelar", Escape, the close box). Sent once.
    void flotaColocada();

protected:
    void closeEvent(QCloseEvent* event) override;
    void done(int resultado) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ModPrincipal& principal_;
    RegistroOpciones opciones_;

    int intTamañoActual_ = 4;
    int intNumeroBarco_ = 1;
    bool blnTransparente_ = false;
    bool blnTerminado_ = false; // the fleet is final or the editor gave up

    std::array<std::int32_t, 100> lngColor_{};
    std::array<QString, 100> strImagen_{};
    std::bitset<100> previa_;

    TableroColocacion* tablero_ = nullptr;
    std::array<CeldaColocacion*, 100> celdas_{};
    QGroupBox* fraPanelOrdenador = nullptr;
    QLabel* lblBarcoDe4 = nullptr;
    QLabel* lblBarcosDe3 = nullptr;
    QLabel* lblBarcosDe2 = nullptr;
    QLabel* lblBarcosDe1 = nullptr;
    QCheckBox* chkBarcoDe4 = nullptr;
    std::array<QCheckBox*, 2> chkBarcosDe3{};
    std::array<QCheckBox*, 3> chkBarcosDe2{};
    std::array<QCheckBox*, 4> chkBarcosDe1{};
    QRadioButton* optHorizontal = nullptr;
    QRadioButton* optVertical = nullptr;
    QPushButton* cmdAceptar = nullptr;
    QPushButton* cmdCancelar = nullptr;
    QTimer tmrCierre_; // watches for the program ending
    QPointer<QWidget> ventanaPadre_;
    bool tenidoPadre_ = false;
    QHash<QString, ImagenNitida> imagenes_; // pictures read once per editor
    std::shared_ptr<void> ayuda_;      // What's This popups, when built with help

    bool blnHorizontal() const;
    bool blnCabe(int n, int intFila, int intColumna) const;
    bool blnBloqueLibre(int n, int intFila, int intColumna) const;
    void Redibujar(int k);
    ImagenNitida Imagen(const QString& relativa);
    void ColocarAlAzar();
};

} // namespace brumaria
