#include "ui/net/modulo_red.h"

#include "ui/net/frm_conexion_dplay.h"
#include "ui/net/frm_invitacion.h"

#include <QTimer>

namespace brumaria {

ModuloRed::ModuloRed(const ContextoRed& c)
    : dplay(c.partida, c.preparacion, c.opciones, c.cuadros, c.vista), opciones_(c.opciones),
      cuadros_(c.cuadros) {
    // No connection, no invitation: whatever ended it (the menu, the
    // friend leaving, a new session), the tunnel and the host's window go.
    QObject::connect(&dplay, &ModDPlay::estadoCambiado, &dplay, [this] {
        if (dplay.Estado() != EstadoConexion::SinConexion) return;
        invitacion.Cancelar();
        if (ventanaInvitacion_) {
            ventanaInvitacion_->hide();
            ventanaInvitacion_->deleteLater();
        }
    });
}

ResultadoConexion ModuloRed::AbrirConexion(QWidget* padre,
                                           const std::function<void(QDialog&)>& alAbrir) {
    FrmConexionDPlay dialogo(dplay, opciones_, cuadros_, padre);
    dialogo.FijarInvitacion(&invitacion);
    if (alAbrir) {
        QPointer<FrmConexionDPlay> d = &dialogo;
        QTimer::singleShot(0, &dialogo, [alAbrir, d] {
            if (d) alAbrir(*d);
        });
    }
    ResultadoConexion r = dialogo.StartConnectWizard();
    if (r.blnConectado && dplay.blnEsHost() && dialogo.blnPorInvitacion())
        InvitarComoAnfitrion(padre, r.strNombreSesion);
    return r;
}

void ModuloRed::InvitarComoAnfitrion(QWidget* padre, const QString& strNombreSesion) {
    red::DirectPlay8Peer* p = dplay.oDPP();
    if (!p) return;
    invitacion.FijarEntorno(red::invitacion::EntornoDelEquipo());
    invitacion.Anfitrionar(p->PuertoTcp(), p->GetApplicationDesc().guidInstance, strNombreSesion);
    auto* v = new FrmInvitacion(invitacion, dplay, cuadros_, padre);
    ventanaInvitacion_ = v;
    v->show();
}

} // namespace brumaria
