#pragma once
// The new-game dialog: who starts, who places the player's fleet, and
// whether the match is played over the network.
#include <QDialog>
#include <memory>

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
    // are the three outputs written.
    bool blnEmpezarPartida(bool& blnEmpiezaJugador, bool& blnColocaJugador, bool& blnJugarEnRed);

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

private:
    bool blnAceptado = false;
    std::unique_ptr<AyudaDeDialogo> ayuda_;
};

} // namespace brumaria
