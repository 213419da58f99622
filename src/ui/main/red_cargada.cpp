// The game's network side, loaded from its module beside the program on
// the first network game (or from where the build put it).
#include "ui/main/red_del_juego.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibrary>

namespace brumaria {

std::unique_ptr<RedDelJuego> CrearRedDelJuego(const ContextoRed& contexto) {
    using FnCrear = RedDelJuego* (*)(const ContextoRed*);
    const QString junto =
        QCoreApplication::applicationDirPath() + QStringLiteral("/" BRUMARIA_NOMBRE_MODULO_RED);
    for (const QString& ruta : {junto, QStringLiteral(BRUMARIA_MODULO_RED)}) {
        if (!QFileInfo::exists(ruta)) continue;
        QLibrary modulo(ruta);
        if (auto crear = reinterpret_cast<FnCrear>(modulo.resolve("BrumariaCrearRed")))
            return std::unique_ptr<RedDelJuego>(crear(&contexto));
    }
    return nullptr;
}

} // namespace brumaria
