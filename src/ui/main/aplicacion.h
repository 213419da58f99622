#pragma once
// The whole object graph of one game, in construction order: the boards,
// the options, the history/chat writers, the window, the turn cycle, the
// set-up of a match and the network side.
// main() makes one; tests make as many independent ones as they need.
#include "core/modprincipal.h"
#include "match/partida.h"
#include "match/preparacion_partida.h"
#include "net/moddplay.h"
#include "options/opciones.h"
#include "platform/pausa.h"
#include "logs/cuadros_de_texto.h"
#include "ui/main/frm_principal.h"

namespace brumaria {

struct Aplicacion {
    ModPrincipal principal;
    ModOpciones opciones;
    ModCuadrosDeTexto cuadros{opciones};
    FrmPrincipal ventana{principal, opciones, cuadros};
    Partida partida{principal, opciones, cuadros, ventana};
    PreparacionPartida preparacion{principal, opciones, cuadros, partida, ventana};
    ModDPlay dplay{partida, preparacion, opciones, cuadros, ventana};

    Aplicacion() {
        principal.cederEventos = [] { CederEventos(); };
        cuadros.FijarPaneles(&ventana);
        ventana.FijarPartida(partida, preparacion);
        partida.FijarRed(&dplay);
        preparacion.FijarRed(&dplay);
        ventana.FijarRed(&dplay);
    }
    Aplicacion(const Aplicacion&) = delete;
    Aplicacion& operator=(const Aplicacion&) = delete;
};

} // namespace brumaria
