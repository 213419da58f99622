#include "options/frm_color.h"

namespace brumaria {
FrmColor::FrmColor(EstadoColor& estado, QWidget* parent) : QDialog(parent), estado_(estado) {
    estado_.blnColorElegido = false;
}
std::int32_t FrmColor::lngColorActual() const {
    return estado_.lngColorElegido;
}
void FrmColor::ActualizarCuadro() {}
void FrmColor::Aceptar() {}
QString NombreColor(std::int32_t) {
    return {};
}
} // namespace brumaria
