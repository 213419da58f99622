#include "entradas_config.h"

#include "options/opciones.h"
#include "platform/rutas.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>

namespace brumaria::fuzz {
namespace {

QByteArray Leer(const QString& ruta) {
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

int EntradaConfig(const std::uint8_t* datos, std::size_t tamano) {
    const QByteArray bytes(reinterpret_cast<const char*>(datos), qsizetype(tamano));
    RegistroOpciones o;
    DecodificarOpciones(bytes, o);
    // Whatever was read writes back as a valid record that reads the same.
    RegistroOpciones otra;
    if (!DecodificarOpciones(CodificarOpciones(o), otra) || !(otra == o)) std::abort();
    // Nothing changed: a whole record keeps every byte, field by field.
    if (bytes.size() >= kTamañoConfig && CodificarOpciones(o, o, bytes) != bytes.first(kTamañoConfig))
        std::abort();

    static QTemporaryDir carpeta;
    FijarRutaPrograma(carpeta.path());
    const QString ruta = ModOpciones::strRutaConfig();
    QFile::remove(ruta);
    {
        QFile f(ruta);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) return 0;
    }
    ModOpciones m;
    m.blnCargarOpcionesDeArchivo();
    const RegistroOpciones cargado = m.Opciones;
    if (!m.blnGuardarOpcionesEnArchivo()) return 0;
    const QByteArray guardado = Leer(ruta);
    if (bytes.size() >= kTamañoConfig ? guardado != bytes : guardado.size() != kTamañoConfig)
        std::abort();
    ModOpciones leida;
    leida.blnCargarOpcionesDeArchivo();
    if (!(leida.Opciones == cargado)) std::abort();
    return 0;
}

} // namespace brumaria::fuzz
