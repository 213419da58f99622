#include "ui/main/frm_ver_barcos.h"

#include "core/modprincipal.h"
#include "options/opciones.h"
#include "ui/escala/escala_twips.h"
#include "ui/main/colores.h"
#include "ui/main/imagenes.h"
#include "ui/main/tablero.h"

#include <QGroupBox>
#include <QLabel>

namespace brumaria {

namespace {
const QString kClaveTamaño = QStringLiteral("solucion");
} // namespace

FrmVerBarcos::FrmVerBarcos(const ModPrincipal& principal, const RegistroOpciones& opciones,
                           ImagenesTablero& imagenes, QWidget* parent)
    : QDialog(parent), principal_(principal), opciones_(opciones), imagenes_(imagenes) {
    setObjectName(QStringLiteral("frmVerBarcos"));
    setWindowTitle(QStringLiteral("Ver barcos"));
    setModal(true);
    fraPanelOrdenador = new QGroupBox(QStringLiteral("Barcos del contrincante - Solución"), this);
    fraPanelOrdenador->setObjectName(QStringLiteral("fraPanelOrdenador"));
    fraPanelOrdenador->setGeometry(Px(240), Px(120), Px(3135), Px(3135));
    tablero = new Tablero(0, Tablero::kCasilla, false, fraPanelOrdenador);
    tablero->setObjectName(QStringLiteral("imgCelda"));
    tablero->setAccessibleName(QStringLiteral("Barcos del contrincante - Solución"));
    tablero->move(Px(Tablero::kOrigen), Px(Tablero::kOrigen));
    CrearEtiquetasTablero(fraPanelOrdenador, QStringLiteral("lblFila"),
                          QStringLiteral("lblColumna"));
    // The board grows with the window, which remembers its size.
    const QSize diseño(Px(240 + 3135 + 240), Px(120 + 3135 + 240));
    setMinimumSize(diseño);
    resize(diseño);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    (new EscalaTwips(this, [diseño] { return diseño; }))->Registrar();
    RestaurarTamaño(*this, kClaveTamaño);
    Actualizar();
}

void FrmVerBarcos::done(int resultado) {
    GuardarTamaño(*this, kClaveTamaño);
    QDialog::done(resultado);
}

void FrmVerBarcos::Actualizar() {
    tablero->FijarColorRejilla(ColorVB(opciones_.lngColorRejilla));
    tablero->FijarFondo(opciones_.blnImagenAgua ? imagenes_.Archivo(opciones_.strRutaAgua)
                                                : ImagenNitida());
    for (int f = 0; f < 10; ++f) {
        for (int c = 0; c < 10; ++c) {
            Tablero::Casilla& k = tablero->casilla(f, c);
            k.imagen = {};
            if (principal_.intBarcosOrdenador[f][c] == CASILLA_BARCO) {
                k.opaca = false;
                k.imagen = imagenes_.Pieza(principal_.CargarImagenCasilla(f, c, 2));
                k.contenido = QStringLiteral("barco");
            } else {
                k.opaca = !opciones_.blnImagenAgua || !tablero->tieneFondo();
                k.relleno = ColorVB(opciones_.lngColorAgua);
                k.contenido = QStringLiteral("agua");
            }
        }
    }
    tablero->Repintar();
}

} // namespace brumaria
