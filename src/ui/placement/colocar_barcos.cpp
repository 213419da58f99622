#include "ui/placement/colocar_barcos.h"

#include <QCloseEvent>

namespace brumaria {

FrmColocarBarcos::FrmColocarBarcos(ModPrincipal& principal, const RegistroOpciones& opciones,
                                   bool& blnBarcosColocados, QWidget* parent)
    : QDialog(parent), principal_(principal), opciones_(opciones),
      blnBarcosColocados_(blnBarcosColocados) {
    setWindowTitle(QStringLiteral("Colocar barcos"));
}

FrmColocarBarcos::~FrmColocarBarcos() = default;

void FrmColocarBarcos::Mostrar(int, int, int, bool) {}
bool FrmColocarBarcos::blnColocarBarco(int, int, int) {
    return false;
}
void FrmColocarBarcos::imgCelda_Click(int) {}
void FrmColocarBarcos::imgCelda_MouseMove(int) {}
void FrmColocarBarcos::cmdAceptar_Click() {}
void FrmColocarBarcos::cmdCancelar_Click() {
    blnTerminado_ = true;
    principal_.PrepararBarcos(0);
    blnBarcosColocados_ = true;
    close();
}
std::int32_t FrmColocarBarcos::lngColorCelda(int) const {
    return 0;
}
QString FrmColocarBarcos::strImagenCelda(int) const {
    return {};
}
bool FrmColocarBarcos::blnCeldaPrevia(int) const {
    return false;
}
QWidget* FrmColocarBarcos::celda(int) const {
    return nullptr;
}
void FrmColocarBarcos::reject() {
    cmdCancelar_Click();
}
void FrmColocarBarcos::closeEvent(QCloseEvent* event) {
    QDialog::closeEvent(event);
}
bool FrmColocarBarcos::eventFilter(QObject* watched, QEvent* event) {
    return QDialog::eventFilter(watched, event);
}
void FrmColocarBarcos::CerrarSinColocar() {}

} // namespace brumaria
