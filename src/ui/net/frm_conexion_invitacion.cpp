// The session dialog's invitation-code way: the guest types the code and
// follows each step in the dialog itself; Cancelar works throughout.
#include "ui/net/frm_conexion_dplay.h"

#include "logs/cuadros_de_texto.h"
#include "net/invitacion/codigo.h"
#include "net/invitacion/invitacion.h"
#include "net/moddplay.h"
#include "platform/mensajes.h"
#include "ui/net/frm_avanzado.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

namespace brumaria {

using red::invitacion::Invitacion;
using red::invitacion::kGuidProveedorInvitacion;

bool FrmConexionDPlay::blnPorInvitacion() const {
    return invitacion_ && strGuidProveedor() == kGuidProveedorInvitacion;
}

// The address box means something to TCP/IP only; with an invitation it
// takes the code instead, and the search has nothing to look for.
void FrmConexionDPlay::ProveedorElegido() {
    const bool blnCodigo = blnPorInvitacion();
    const bool blnTcp = strGuidProveedor() == red::kGuidProveedorTcp;
    const bool blnUnirse = optDevice->isChecked();
    lblDireccion->setText(blnCodigo ? QStringLiteral("Código de invitación:")
                                    : QStringLiteral("Dirección del equipo (vacío: red local):"));
    txtDireccion->setPlaceholderText(blnCodigo ? QStringLiteral("por ejemplo 7-ballena-faro-nube-rosa")
                                               : QString());
    lblDireccion->setEnabled(blnUnirse && (blnTcp || blnCodigo));
    txtDireccion->setEnabled(blnUnirse && (blnTcp || blnCodigo));
    for (QWidget* w : std::initializer_list<QWidget*>{Label3, lstPartidas, cmdRefresh})
        w->setEnabled(blnUnirse && !blnCodigo);
    cmdAvanzado->setVisible(invitacion_ != nullptr);
    cmdAvanzado->setEnabled(blnCodigo);
    if (blnCodigo) DetenerBusqueda();
}

void FrmConexionDPlay::UnirseConInvitacion() {
    const std::optional<QString> codigo = red::invitacion::NormalizarCodigo(txtDireccion->text());
    if (!codigo) {
        MsgBox(QStringLiteral("Ese código no está bien escrito. Un código es un número y cuatro "
                              "palabras, por ejemplo 7-ballena-faro-nube-rosa."),
               QStringLiteral("Código de invitación"), Icono::Informacion);
        txtDireccion->setFocus();
        return;
    }
    DetenerBusqueda();
    estadoUnion_ = EstadoUnion::BuscandoCodigo;
    cmdAceptar->setEnabled(false);
    lblProgreso->show();
    // The flow is the application's; the dialog only listens while open.
    connect(invitacion_, &Invitacion::paso, this,
            [this](red::invitacion::EstadoInvitacion, const QString& t) { lblProgreso->setText(t); });
    connect(invitacion_, &Invitacion::conectada, this,
            [this](bool blnRetransmitido) {
                const QString t = Invitacion::TextoConectados(blnRetransmitido);
                lblProgreso->setText(t);
                cuadros_.EscribirEnHistorial(t + QLatin1Char('.'));
            });
    connect(invitacion_, &Invitacion::listaParaUnirse, this, &FrmConexionDPlay::InvitacionLista);
    connect(invitacion_, &Invitacion::fallida, this,
            [this](Invitacion::Fallo, const QString& t) { InvitacionFallida(t); });
    invitacion_->FijarEntorno(red::invitacion::EntornoDelEquipo());
    invitacion_->Unirse(*codigo);
}

void FrmConexionDPlay::InvitacionLista(quint16 puerto, const QString& strGuid,
                                       const QString& strNombre) {
    red::DPN_APPLICATION_DESC desc;
    desc.guidInstance = strGuid;
    desc.guidApplication = ModDPlay::sGuid;
    desc.lMaxPlayers = ModDPlay::lngUsuariosMax;
    desc.SessionName = strNombre;
    lngNumPlayers_ = desc.lMaxPlayers;
    strNombreSesion_ = strNombre;
    lngHandleConexion_ =
        dplay_.UnirseASesion(strNombreUsuario_, desc,
                             QStringLiteral("127.0.0.1:") + QString::number(puerto),
                             red::kGuidProveedorLocal);
    if (lngHandleConexion_ == 0) {
        InvitacionFallida(Invitacion::TextoFallo(Invitacion::Fallo::Interno));
        return;
    }
    estadoUnion_ = EstadoUnion::PorTunel;
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void FrmConexionDPlay::InvitacionFallida(const QString& texto) {
    TerminarInvitacion();
    MsgBox(texto, QStringLiteral("Código de invitación"), Icono::Exclamacion);
}

// Stops listening to the flow and, unless the game has joined through
// it, stops the flow too.
void FrmConexionDPlay::TerminarInvitacion() {
    if (!invitacion_) return;
    invitacion_->disconnect(this);
    if (blnUnionPorCodigo()) {
        invitacion_->Cancelar();
        estadoUnion_ = EstadoUnion::Libre;
    }
    lblProgreso->hide();
    cmdAceptar->setEnabled(true);
}

void FrmConexionDPlay::cmdAvanzado_Click() {
    FrmAvanzado avanzado(this);
    avanzado.exec();
}

} // namespace brumaria
