#include "options/frm_opciones.h"

#include <QPushButton>

namespace brumaria {
struct FrmOpciones::Ayuda {};
FrmOpciones::FrmOpciones(ModOpciones& opciones, DestinoOpciones* destino, QWidget* parent)
    : QDialog(parent), opciones_(opciones), destino_(destino) {}
FrmOpciones::~FrmOpciones() = default;
int FrmOpciones::Mostrar() {
    return exec();
}
int FrmOpciones::Abrir(const QString&) {
    return exec();
}
void FrmOpciones::CargarOpciones() {}
bool FrmOpciones::blnGuardarOpciones() {
    return false;
}
void FrmOpciones::Enfocar(const QString&) {}
bool FrmOpciones::blnExisteArchivo(const QString&) {
    return false;
}
int FrmOpciones::intPagina() const {
    return 1;
}
std::int32_t FrmOpciones::lngColorDeBoton(const QPushButton*) {
    return 0;
}
bool FrmOpciones::blnLeerSegundos(const QString&, std::int32_t&) {
    return false;
}
QString FrmOpciones::TextoSegundos(std::int32_t) {
    return {};
}
bool FrmOpciones::eventFilter(QObject* o, QEvent* e) {
    return QDialog::eventFilter(o, e);
}
} // namespace brumaria
