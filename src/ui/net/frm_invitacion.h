#pragma once
// The host's invitation window: the code to read out or paste to the
// friend, each step as it happens, and Cancelar. It stays open beside the
// main window (the player can still chat or look at the menus) until the
// friend's game has joined, the invitation fails, or the player cancels;
// failing or cancelling ends the session.
#include <QDialog>

class QLabel;
class QPushButton;

namespace brumaria {

class ModDPlay;
class ModCuadrosDeTexto;
namespace red::invitacion {
class Invitacion;
}

class FrmInvitacion : public QDialog {
    Q_OBJECT
public:
    FrmInvitacion(red::invitacion::Invitacion& invitacion, ModDPlay& dplay,
                  ModCuadrosDeTexto& cuadros, QWidget* parent = nullptr);

    void reject() override; // Cancelar, Escape or the window's close button

private:
    void Codigo(const QString& codigo);
    void Fallida(const QString& texto);

    red::invitacion::Invitacion& invitacion_;
    ModDPlay& dplay_;
    ModCuadrosDeTexto& cuadros_;
    QLabel* lblCodigo = nullptr;
    QLabel* lblPaso = nullptr;
    QPushButton* cmdCopiar = nullptr;
    QPushButton* cmdCancelar = nullptr;
};

} // namespace brumaria
