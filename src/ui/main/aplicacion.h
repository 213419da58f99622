#pragma once
// The whole object graph of one game, in construction order: the boards,
// the options, the history/chat writers, the window and the turn cycle.
// main() makes one; tests make as many independent ones as they need.
#include "core/modprincipal.h"
#include "match/partida.h"
#include "net/frm_conexion_dplay.h"
#include "net/moddplay.h"
#include "net/red_principal.h"
#include "options/opciones.h"
#include "platform/pausa.h"
#include "ui/logs/cuadros_de_texto.h"
#include "ui/main/frm_principal.h"

namespace brumaria {

struct Aplicacion {
    ModPrincipal principal;
    ModOpciones opciones;
    ModCuadrosDeTexto cuadros{opciones};
    FrmPrincipal ventana{principal, opciones, cuadros};
    Partida partida{principal, opciones, cuadros, ventana};
    ModDPlay dplay{principal, partida, opciones, cuadros, ventana};
    RedPrincipal red{principal, opciones, cuadros, partida, dplay, ventana, ventana};

    Aplicacion() {
        principal.cederEventos = [] { CederEventos(); };
        cuadros.FijarPaneles(&ventana);
        ventana.FijarPartida(partida);
        partida.FijarEmisor(&dplay);
        ventana.FijarRed(&red);
    }
    Aplicacion(const Aplicacion&) = delete;
    Aplicacion& operator=(const Aplicacion&) = delete;
};

} // namespace brumaria
