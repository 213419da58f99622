#pragma once
// One copy of the game without its window over its real network side: the
// recording window and panes of fakes.h, the default options, no history
// file. The network tests build their sides on it.
#include "../core/ayudas.h"
#include "../match/fakes.h"
#include "carpeta_temporal.h"
#include "grabador_mensajes.h"
#include "net/moddplay.h"
#include "red_prueba.h"

namespace brumaria::prueba {

struct MesaEnRed {
    Mesa m;
    ModDPlay dp{m.partida, m.preparacion, m.opciones, m.cuadros, m.vista};

    MesaEnRed() {
        m.opciones.Opciones = RegistroOpciones::PorDefecto();
        m.opciones.Opciones.blnHistorialMovimientosActivar = false;
        m.partida.FijarRed(&dp);
        m.preparacion.FijarRed(&dp);
    }
};

} // namespace brumaria::prueba
