#pragma once
// The options record and its fixed 4419-byte Config.dat file.
#include <QString>
#include <QStringList>
#include <cstdint>

namespace brumaria {

inline constexpr int kTamañoConfig = 4419;

// Colours hold red in the low byte, then green, then blue.
constexpr std::int32_t RGB(int r, int g, int b) {
    return r + 256 * g + 65536 * b;
}

struct RegistroOpciones {
    std::int16_t intMetodoAtaque = 0;
    bool blnHistorialMovimientosActivar = false;
    QString strRutaArchivoHistorial;
    bool blnTiempoRespuesta = false;
    std::int32_t intTiempoRespuesta = 0; // milliseconds, 0 .. 65535
    std::int32_t lngColorAgua = 0;
    std::int32_t lngColorNoDescubiertas = 0;
    std::int32_t lngColorIndicadorAtaque = 0;
    std::int32_t lngColorMarcadoresExterior = 0;
    std::int32_t lngColorMarcadoresInterior = 0;
    std::int32_t lngColorRejilla = 0;
    bool blnImagenAgua = false;
    QString strRutaAgua;
    bool blnImagenNoDescubierto = false;
    QString strRutaNoDescubierto;
    bool blnSonidosAgua = false;
    QString strSonidoAgua;
    bool blnSonidosBarco = false;
    QString strSonidoBarco;
    bool blnSonidosHundido = false;
    QString strSonidoHundido;
    bool blnAlertaSonido = false;
    QString strAlertaSonido;
    bool blnAlertaMsgBox = false;
    QString strAlertaMensajeMsgBox;
    bool blnAlertaHistorial = false;
    QString strAlertaMensajeHistorial;
    bool blnVerBarraDeEstado = false;
    bool blnVerHistorial = false;
    bool blnVerChat = false;
    QString strNombreJugador;
    QString strNombrePartida;

    // The defaults of a first run (paths under the data/program folders).
    static RegistroOpciones PorDefecto();
    bool operator==(const RegistroOpciones&) const = default;
};

// Holds the record for the whole run and keeps it in Config.dat.
class ModOpciones {
public:
    RegistroOpciones Opciones; // zero values until the first load

    // Fills the record from Config.dat (defaults when the file is empty or
    // new). Every field that cannot be read takes its default; false when
    // any did, or when the file could not be read at all.
    bool blnCargarOpcionesDeArchivo();
    // Writes the record as the first 4419 bytes of Config.dat (through a
    // link, to the file it names). A field the load could not read keeps its
    // bytes while the record still holds the default it was given, unless
    // the save is `TalCual`: the options dialog writes what it showed.
    enum class Guardado { ConservarIlegibles, TalCual };
    bool blnGuardarOpcionesEnArchivo(Guardado modo = Guardado::ConservarIlegibles);
    // The fields the last load could not read, by the names the player knows.
    const QStringList& strIlegibles() const { return ilegibles_; }

    // Full path of Config.dat.
    static QString strRutaConfig();

private:
    // The record as last loaded or saved, and the bytes it came from: a field
    // still holding that value is written back with its own bytes, so a
    // damaged field the player never touched is not overwritten.
    RegistroOpciones cargado_;
    QByteArray original_;
    QStringList ilegibles_;
};

// The record as the 4419 bytes of the file, and back (exposed for tests,
// benchmarks and fuzzing). `Decodificar` reads every field it can, gives the
// rest their defaults, and returns false when any field was unreadable.
QByteArray CodificarOpciones(const RegistroOpciones& o);
// `ilegibles`, when given, receives the name of every unreadable field.
bool DecodificarOpciones(const QByteArray& datos, RegistroOpciones& o,
                         QStringList* ilegibles = nullptr);
// The same record, but every field whose value is still the one in
// `cargado` keeps its bytes from `original` (when `original` holds them).
QByteArray CodificarOpciones(const RegistroOpciones& o, const RegistroOpciones& cargado,
                             const QByteArray& original);

} // namespace brumaria
