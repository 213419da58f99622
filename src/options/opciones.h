#pragma once
// The options record and its fixed 4419-byte Config.dat file.
#include <QString>
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

    // Fills the record from Config.dat (defaults when the file is empty or new).
    bool blnCargarOpcionesDeArchivo();
    // Writes the record as the first 4419 bytes of Config.dat.
    bool blnGuardarOpcionesEnArchivo();

    // Full path of Config.dat.
    static QString strRutaConfig();
};

// The record as the 4419 bytes of the file, and back (exposed for tests,
// benchmarks and fuzzing). `Decodificar` stops at the first bad field,
// keeping the fields before it, and returns false.
QByteArray CodificarOpciones(const RegistroOpciones& o);
bool DecodificarOpciones(const QByteArray& datos, RegistroOpciones& o);

} // namespace brumaria
