#pragma once
// The whole object graph of one game, in construction order: the boards,
// the options, the history/chat writers, the window, the turn cycle, the
// set-up of a match and the network side.
// main() makes one; tests make as many independent ones as they need.
#include "core/modprincipal.h"
#include "match/partida.h"
#include "match/preparacion_partida.h"
#include "options/opciones.h"
#include "platform/pausa.h"
#include "logs/cuadros_de_texto.h"
#include "ui/main/frm_principal.h"
#include "ui/main/red_del_juego.h"

#include <QObject>

namespace brumaria {

struct Aplicacion {
    ModPrincipal principal;
    ModOpciones opciones;
    ModCuadrosDeTexto cuadros{opciones};
    FrmPrincipal ventana{principal, opciones, cuadros};
    Partida partida{principal, opciones, cuadros, ventana};
    PreparacionPartida preparacion{principal, opciones, cuadros, partida, ventana};
    RedPerezosa dplay{ContextoRed{partida, preparacion, opciones, cuadros, ventana}};

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

// The ends of a run that do not pass through the window's close: the
// desktop's logout saves the options (the session may still be cancelled),
// and SIGTERM, SIGHUP or SIGINT close the window as the player would. One per
// process, made after the application object and gone before the game.
class FinDeSesion : public QObject {
public:
    explicit FinDeSesion(Aplicacion& juego);
    ~FinDeSesion() override;
};

} // namespace brumaria
