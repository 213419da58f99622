// The network module's one entry point, looked up by name by the game.
#include "ui/net/modulo_red.h"

#include <QtGlobal>

extern "C" Q_DECL_EXPORT brumaria::RedDelJuego* BrumariaCrearRed(const brumaria::ContextoRed* c) {
    return c ? new brumaria::ModuloRed(*c) : nullptr;
}
