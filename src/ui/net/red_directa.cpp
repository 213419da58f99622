// The network side linked into the program that uses it (tests, tools).
#include "ui/net/modulo_red.h"

namespace brumaria {

std::unique_ptr<RedDelJuego> CrearRedDelJuego(const ContextoRed& contexto) {
    return std::make_unique<ModuloRed>(contexto);
}

} // namespace brumaria
