#include "ui/net/modulo_red.h"

#include "ui/net/frm_conexion_dplay.h"

#include <QPointer>
#include <QTimer>

namespace brumaria {

ModuloRed::ModuloRed(const ContextoRed& c)
    : dplay(c.partida, c.preparacion, c.opciones, c.cuadros, c.vista), opciones_(c.opciones),
      cuadros_(c.cuadros) {}

ResultadoConexion ModuloRed::AbrirConexion(QWidget* padre,
                                           const std::function<void(QDialog&)>& alAbrir) {
    FrmConexionDPlay dialogo(dplay, opciones_, cuadros_, padre);
    if (alAbrir) {
        QPointer<FrmConexionDPlay> d = &dialogo;
        QTimer::singleShot(0, &dialogo, [alAbrir, d] {
            if (d) alAbrir(*d);
        });
    }
    return dialogo.StartConnectWizard();
}

} // namespace brumaria
