#pragma once
// "Avanzado…": the servers an invitation-code game uses (STUN, an
// optional TURN relay and its account, the DHT's bootstrap nodes), kept in
// red.ini. Setters in, one result out: the dialog writes the file itself
// only when the player accepts.
#include "options/ajustes_internet.h"

#include <QDialog>

class QLineEdit;
class QPlainTextEdit;

namespace brumaria {

class FrmAvanzado : public QDialog {
    Q_OBJECT
public:
    explicit FrmAvanzado(QWidget* parent = nullptr);

    void Mostrar(const AjustesInternet& a);
    AjustesInternet Leidos() const;

    // Aceptar: red.ini is written; a failure is told and the dialog stays.
    void accept() override;

private:
    QPlainTextEdit* txtStun = nullptr;
    QLineEdit* txtTurn = nullptr;
    QLineEdit* txtTurnUsuario = nullptr;
    QLineEdit* txtTurnClave = nullptr;
    QPlainTextEdit* txtNodosDht = nullptr;
    AjustesInternet leidos_; // red.ini as it was when the dialog opened
};

} // namespace brumaria
