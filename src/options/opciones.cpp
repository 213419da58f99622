#include "options/opciones.h"

#include "platform/cp1252.h"
#include "platform/rutas.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <algorithm>
#include <cstdio>
#include <variant>

namespace brumaria {
namespace {

constexpr int kAnchoRuta = 256;
constexpr int kAnchoMensaje = 1024;
constexpr std::int32_t kTiempoMaximo = 65535;
constexpr std::int32_t kColorMaximo = 0xFFFFFF;

const QString kMensajeAlertaPorDefecto = QStringLiteral("Los he visto más rápidos...");

// What a field of the file holds and how it reads back.
enum class Tipo { Metodo, Booleano, Tiempo, Color, Texto, NombreJugador, NombrePartida };

using Destino = std::variant<std::int16_t RegistroOpciones::*, bool RegistroOpciones::*,
                             std::int32_t RegistroOpciones::*, QString RegistroOpciones::*>;

struct Campo {
    Tipo tipo;
    int ancho;
    Destino miembro;
};

using R = RegistroOpciones;

// The fields in file order; each starts where the previous one ends.
constexpr Campo kCampos[] = {
    {Tipo::Metodo, 1, &R::intMetodoAtaque},
    {Tipo::Booleano, 1, &R::blnHistorialMovimientosActivar},
    {Tipo::Texto, kAnchoRuta, &R::strRutaArchivoHistorial},
    {Tipo::Booleano, 1, &R::blnTiempoRespuesta},
    {Tipo::Tiempo, 5, &R::intTiempoRespuesta},
    {Tipo::Color, 8, &R::lngColorAgua},
    {Tipo::Color, 8, &R::lngColorNoDescubiertas},
    {Tipo::Color, 8, &R::lngColorIndicadorAtaque},
    {Tipo::Color, 8, &R::lngColorMarcadoresExterior},
    {Tipo::Color, 8, &R::lngColorMarcadoresInterior},
    {Tipo::Color, 8, &R::lngColorRejilla},
    {Tipo::Booleano, 1, &R::blnImagenAgua},
    {Tipo::Texto, kAnchoRuta, &R::strRutaAgua},
    {Tipo::Booleano, 1, &R::blnImagenNoDescubierto},
    {Tipo::Texto, kAnchoRuta, &R::strRutaNoDescubierto},
    {Tipo::Booleano, 1, &R::blnSonidosAgua},
    {Tipo::Texto, kAnchoRuta, &R::strSonidoAgua},
    {Tipo::Booleano, 1, &R::blnSonidosBarco},
    {Tipo::Texto, kAnchoRuta, &R::strSonidoBarco},
    {Tipo::Booleano, 1, &R::blnSonidosHundido},
    {Tipo::Texto, kAnchoRuta, &R::strSonidoHundido},
    {Tipo::Booleano, 1, &R::blnAlertaSonido},
    {Tipo::Texto, kAnchoRuta, &R::strAlertaSonido},
    {Tipo::Booleano, 1, &R::blnAlertaMsgBox},
    {Tipo::Texto, kAnchoMensaje, &R::strAlertaMensajeMsgBox},
    {Tipo::Booleano, 1, &R::blnAlertaHistorial},
    {Tipo::Texto, kAnchoMensaje, &R::strAlertaMensajeHistorial},
    {Tipo::Booleano, 1, &R::blnVerBarraDeEstado},
    {Tipo::Booleano, 1, &R::blnVerHistorial},
    {Tipo::Booleano, 1, &R::blnVerChat},
    {Tipo::NombreJugador, kAnchoRuta, &R::strNombreJugador},
    {Tipo::NombrePartida, kAnchoRuta, &R::strNombrePartida},
};

constexpr int SumaAnchos() {
    int total = 0;
    for (const auto& c : kCampos)
        total += c.ancho;
    return total;
}
static_assert(sizeof(kCampos) / sizeof(kCampos[0]) == 32);

// The text of one field, cut or padded with blanks to its width.
QByteArray Ajustar(QByteArray texto, int ancho) {
    if (texto.size() > ancho)
        texto.truncate(ancho);
    else if (texto.size() < ancho)
        texto.append(ancho - texto.size(), ' ');
    return texto;
}

QByteArray TextoDeCampo(const Campo& c, const RegistroOpciones& o) {
    switch (c.tipo) {
    case Tipo::Metodo: {
        // A value the loader would not accept is written as the first method.
        const int v = o.*std::get<std::int16_t R::*>(c.miembro);
        return QByteArray::number(v >= 1 && v <= 3 ? v : 1);
    }
    case Tipo::Booleano:
        return o.*std::get<bool R::*>(c.miembro) ? "T" : "F";
    case Tipo::Tiempo: {
        const std::int32_t v = o.*std::get<std::int32_t R::*>(c.miembro);
        return QByteArray::number(std::clamp(v, 0, kTiempoMaximo));
    }
    case Tipo::Color:
        // Only the three colour bytes are meaningful; a stray top byte would
        // not fit the field.
        return QByteArray::number(o.*std::get<std::int32_t R::*>(c.miembro) & kColorMaximo);
    case Tipo::Texto:
    case Tipo::NombreJugador:
    case Tipo::NombrePartida:
        return ACp1252(o.*std::get<QString R::*>(c.miembro));
    }
    return {};
}

// A decimal number with optional surrounding blanks and nothing else.
bool LeerNumero(QByteArrayView texto, qint64& valor) {
    const QByteArrayView limpio = texto.trimmed();
    if (limpio.isEmpty() || limpio.size() > 9) return false;
    qint64 v = 0;
    for (const char ch : limpio) {
        if (ch < '0' || ch > '9') return false;
        v = v * 10 + (ch - '0');
    }
    valor = v;
    return true;
}

QString SinBlancosFinales(QByteArrayView bytes) {
    qsizetype n = bytes.size();
    while (n > 0 && bytes[n - 1] == ' ')
        --n;
    return DeCp1252(bytes.first(n).toByteArray());
}

// Converts one field into the record; false when it holds no valid value.
bool LeerCampo(const Campo& c, QByteArrayView bytes, RegistroOpciones& o) {
    qint64 n = 0;
    switch (c.tipo) {
    case Tipo::Metodo:
        if (!LeerNumero(bytes, n)) return false;
        // Any other method would leave the player no way to attack.
        o.*std::get<std::int16_t R::*>(c.miembro) =
            static_cast<std::int16_t>(n >= 1 && n <= 3 ? n : 1);
        return true;
    case Tipo::Booleano:
        o.*std::get<bool R::*>(c.miembro) = bytes[0] != 'F';
        return true;
    case Tipo::Tiempo:
        if (!LeerNumero(bytes, n)) return false;
        o.*std::get<std::int32_t R::*>(c.miembro) =
            static_cast<std::int32_t>(std::min<qint64>(n, kTiempoMaximo));
        return true;
    case Tipo::Color:
        if (!LeerNumero(bytes, n) || n > kColorMaximo) return false;
        o.*std::get<std::int32_t R::*>(c.miembro) = static_cast<std::int32_t>(n);
        return true;
    case Tipo::Texto:
        o.*std::get<QString R::*>(c.miembro) = SinBlancosFinales(bytes);
        return true;
    case Tipo::NombreJugador:
    case Tipo::NombrePartida: {
        QString s = SinBlancosFinales(bytes);
        if (s.isEmpty())
            s = c.tipo == Tipo::NombreJugador ? QStringLiteral("Jugador")
                                              : QStringLiteral("Partida de Brumaria");
        o.*std::get<QString R::*>(c.miembro) = s;
        return true;
    }
    }
    return false;
}

} // namespace

static_assert(SumaAnchos() == kTamañoConfig);

RegistroOpciones RegistroOpciones::PorDefecto() {
    RegistroOpciones o;
    o.intMetodoAtaque = 1;
    o.blnHistorialMovimientosActivar = true;
    o.strRutaArchivoHistorial = UnirRuta(strRutaDatos(), QStringLiteral("Historial.txt"));
    o.blnTiempoRespuesta = true;
    o.intTiempoRespuesta = 1000;
    o.lngColorAgua = RGB(192, 255, 255);
    o.lngColorNoDescubiertas = RGB(255, 255, 255);
    o.lngColorIndicadorAtaque = RGB(255, 0, 0);
    o.lngColorMarcadoresExterior = RGB(0, 0, 255);
    o.lngColorMarcadoresInterior = RGB(0, 0, 192);
    o.lngColorRejilla = RGB(0, 0, 0);
    o.blnImagenAgua = true;
    o.strRutaAgua = UnirRuta(strRutaPrograma(), QStringLiteral("imagenes/agua.jpg"));
    o.blnImagenNoDescubierto = false;
    o.blnSonidosAgua = false;
    o.blnSonidosBarco = false;
    o.blnSonidosHundido = false;
    o.blnAlertaSonido = true;
    o.strAlertaSonido = UnirRuta(strRutaPrograma(), QStringLiteral("alerta.wav"));
    o.blnAlertaMsgBox = true;
    o.strAlertaMensajeMsgBox = kMensajeAlertaPorDefecto;
    o.blnAlertaHistorial = true;
    o.strAlertaMensajeHistorial = kMensajeAlertaPorDefecto;
    o.blnVerBarraDeEstado = true;
    o.blnVerHistorial = false;
    o.blnVerChat = false;
    o.strNombreJugador = QStringLiteral("Jugador");
    o.strNombrePartida = QStringLiteral("Partida de Jugador");
    return o;
}

QByteArray CodificarOpciones(const RegistroOpciones& o) {
    QByteArray datos;
    datos.reserve(kTamañoConfig);
    for (const auto& c : kCampos)
        datos.append(Ajustar(TextoDeCampo(c, o), c.ancho));
    return datos;
}

bool DecodificarOpciones(const QByteArray& datos, RegistroOpciones& o) {
    // A short file is read only as far as it goes: the first field that runs
    // past its end fails the load like an unreadable one.
    qsizetype posicion = 0;
    for (const auto& c : kCampos) {
        if (posicion + c.ancho > datos.size()) return false;
        if (!LeerCampo(c, QByteArrayView(datos).sliced(posicion, c.ancho), o)) return false;
        posicion += c.ancho;
    }
    return true;
}

QString ModOpciones::strRutaConfig() {
    return UnirRuta(strRutaDatos(), QStringLiteral("Config.dat"));
}

bool ModOpciones::blnCargarOpcionesDeArchivo() {
    const QString ruta = strRutaConfig();
    QFile archivo(ruta);
    if (!QFileInfo::exists(ruta)) {
        // A first run: leave an empty file that the next save fills. A folder
        // where it cannot even be created still gets the defaults, not zeros.
        const bool creado = archivo.open(QIODevice::WriteOnly);
        archivo.close();
        Opciones = RegistroOpciones::PorDefecto();
        return creado;
    }
    if (!archivo.open(QIODevice::ReadOnly)) return false;
    const QByteArray datos = archivo.read(kTamañoConfig);
    const bool vacio = archivo.size() == 0;
    archivo.close();
    if (vacio) {
        Opciones = RegistroOpciones::PorDefecto();
        return true;
    }
    return DecodificarOpciones(datos, Opciones);
}

bool ModOpciones::blnGuardarOpcionesEnArchivo() {
    const QString ruta = strRutaConfig();
    // Bytes beyond the record belong to whoever put them there: keep them.
    QByteArray contenido;
    const bool contenidoPrevio = QFileInfo::exists(ruta);
    if (contenidoPrevio) {
        // A read-only Config.dat stays as it is, like any file we may not write.
        if (!QFileInfo(ruta).isWritable()) return false;
        QFile previo(ruta);
        if (!previo.open(QIODevice::ReadOnly)) return false;
        contenido = previo.readAll();
        if (previo.error() != QFileDevice::NoError) return false;
    }
    const QByteArray registro = CodificarOpciones(Opciones);
    if (contenido.size() < registro.size()) contenido.resize(registro.size());
    contenido.replace(0, registro.size(), registro);

    // Written beside the old file and renamed over it, so a full disk or a
    // crash never leaves half a record behind. No fsync: options are saved
    // at every close and the rename already keeps the old record whole.
    QTemporaryFile temporal(ruta + QStringLiteral(".XXXXXX"));
    if (temporal.open()) {
        if (temporal.write(contenido) != contenido.size() || !temporal.flush()) return false;
        temporal.setPermissions(contenidoPrevio ? QFile::permissions(ruta)
                                                : QFile::ReadOwner | QFile::WriteOwner |
                                                      QFile::ReadGroup | QFile::ReadOther);
        temporal.close();
        if (std::rename(QFile::encodeName(temporal.fileName()).constData(),
                        QFile::encodeName(ruta).constData()) == 0) {
            temporal.setAutoRemove(false);
            return true;
        }
        return false;
    }
    // A folder that forbids new files may still let the record be rewritten in place.
    QFile archivo(ruta);
    if (!archivo.open(QIODevice::ReadWrite)) return false;
    return archivo.write(contenido) == contenido.size() && archivo.flush();
}

} // namespace brumaria
