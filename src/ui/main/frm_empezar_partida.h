#pragma once
// The new-game dialog: who starts, who places the player's fleet, and
// whether the match is played over the network.
#include "match/vista_partida.h"

#include <QDialog>
#include <memory>
#include <optional>

class QCheckBox;
class QGroupBox;
class QPushButton;
class QRadioButton;

namespace brumaria {

class AyudaDeDialogo;

class FrmEmpezarPartida : public QDialog {
    Q_OBJECT
public:
    explicit FrmEmpezarPartida(QWidget* parent = nullptr);
    ~FrmEmpezarPartida() override;

    // Shows the dialog modally. True when "&Empezar" was pressed; only then
    // is `eleccion` written. `quienEnRed`: the host's session's choice of
    // who starts, shown, and open to change with "Partida multijugador en
    // red" ticked.
    bool blnEmpezarPartida(EleccionPartida& eleccion,
                           std::optional<QuienEmpieza> quienEnRed = std::nullopt);

private:
    // The controls, reached from outside by their object names.
    QGroupBox* fraQuienEmpieza;
    QRadioButton* optAlAzar;
    QRadioButton* optJugador;
    QRadioButton* optOrdenador;
    QGroupBox* fraColocarBarcos;
    QCheckBox* chkJugadorColocaSusBarcos;
    QGroupBox* fraJugarEnRed;
    QCheckBox* chkJugarEnRed;
    QPushButton* cmdEmpezar;
    QPushButton* cmdCancelar;

    bool blnAceptado = false;
    bool blnQuienEmpiezaEnRed_ = false;
    std::unique_ptr<AyudaDeDialogo> ayuda_;
};

} // namespace brumaria
