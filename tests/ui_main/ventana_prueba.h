#pragma once
// The real game with its window shown, ready for a match against the
// computer under one input method: the computer shoots at once and no
// history file is written. The caller keeps its temporary program folder
// and its message recorder alive around it.
#include "ui/main/aplicacion.h"

#include <memory>

namespace brumaria::prueba {

inline std::unique_ptr<Aplicacion> VentanaLista(int intMetodo) {
    auto app = std::make_unique<Aplicacion>();
    app->ventana.Cargar();
    app->opciones.Opciones.blnTiempoRespuesta = false;
    app->opciones.Opciones.blnHistorialMovimientosActivar = false;
    app->opciones.Opciones.intMetodoAtaque = intMetodo;
    app->ventana.AplicarOpciones();
    app->ventana.show();
    return app;
}

} // namespace brumaria::prueba
