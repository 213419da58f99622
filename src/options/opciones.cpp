#include "options/opciones.h"

#include "platform/cp1252.h"
#include "platform/rutas.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
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

// A decimal number, "-" first when negative, with optional surrounding
// blanks and nothing else.
bool LeerNumero(QByteArrayView texto, qint64& valor) {
    QByteArrayView limpio = texto.trimmed();
    const bool negativo = limpio.startsWith('-');
    if (negativo) limpio = limpio.sliced(1);
    if (limpio.isEmpty() || limpio.size() > 9) return false;
    qint64 v = 0;
    for (const char ch : limpio) {
        if (ch < '0' || ch > '9') return false;
        v = v * 10 + (ch - '0');
    }
    valor = negativo ? -v : v;
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
            static_cast<std::int32_t>(std::clamp<qint64>(n, 0, kTiempoMaximo));
        return true;
    case Tipo::Color:
        if (!LeerNumero(bytes, n) || n < 0 || n > kColorMaximo) return false;
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

bool MismoValor(const Campo& c, const RegistroOpciones& a, const RegistroOpciones& b) {
    return std::visit([&](auto miembro) { return a.*miembro == b.*miembro; }, c.miembro);
}

// Where a save really goes: a symbolic link is followed to the file it
// names, so that the link stays a link (bounded like the system's own lookups).
QString DestinoReal(QString ruta) {
    for (int saltos = 0; saltos < 40 && QFileInfo(ruta).isSymLink(); ++saltos)
        ruta = QFileInfo(ruta).symLinkTarget();
    return ruta;
}

bool blnTieneOtrosNombres(const QString& ruta) {
    struct stat info {};
    return ::stat(QFile::encodeName(ruta).constData(), &info) == 0 && info.st_nlink > 1;
}

// Rewrites an existing file where it is, for a file whose other hard links
// must see the new record, or a folder that forbids new files. The space is
// reserved first, so a full disk fails before a byte changes; a write that
// still falls short puts the old bytes back.
bool blnReescribir(const QString& ruta, const QByteArray& nuevo, const QByteArray& anterior) {
    const int fd = ::open(QFile::encodeName(ruta).constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = nuevo.size() <= anterior.size() || ::posix_fallocate(fd, 0, nuevo.size()) == 0;
    if (ok) {
        ssize_t n;
        do {
            n = ::pwrite(fd, nuevo.constData(), size_t(nuevo.size()), 0);
        } while (n < 0 && errno == EINTR);
        ok = n == nuevo.size();
        if (!ok && n > 0) (void)!::pwrite(fd, anterior.constData(), size_t(anterior.size()), 0);
    }
    return ::close(fd) == 0 && ok;
}

// Written beside the old file and renamed over it, so a full disk or a crash
// never leaves half a record behind. No fsync: options are saved at every
// close and the rename already keeps the old record whole. Refused (false,
// `blnSinTemporal` set) when the folder forbids new files.
bool blnEscribirYRenombrar(const QString& ruta, const QByteArray& contenido, bool blnPrevio,
                           bool& blnSinTemporal) {
    QTemporaryFile temporal(ruta + QStringLiteral(".XXXXXX"));
    blnSinTemporal = !temporal.open();
    if (blnSinTemporal) return false;
    if (temporal.write(contenido) != contenido.size() || !temporal.flush()) return false;
    temporal.setPermissions(blnPrevio ? QFile::permissions(ruta)
                                      : QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                            QFile::ReadOther);
    temporal.close();
    if (std::rename(QFile::encodeName(temporal.fileName()).constData(),
                    QFile::encodeName(ruta).constData()) != 0)
        return false;
    temporal.setAutoRemove(false);
    return true;
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
    return CodificarOpciones(o, o, {});
}

QByteArray CodificarOpciones(const RegistroOpciones& o, const RegistroOpciones& cargado,
                             const QByteArray& original) {
    QByteArray datos;
    datos.reserve(kTamañoConfig);
    for (const auto& c : kCampos) {
        const qsizetype posicion = datos.size();
        if (posicion + c.ancho <= original.size() && MismoValor(c, o, cargado))
            datos.append(QByteArrayView(original).sliced(posicion, c.ancho));
        else
            datos.append(Ajustar(TextoDeCampo(c, o), c.ancho));
    }
    return datos;
}

bool DecodificarOpciones(const QByteArray& datos, RegistroOpciones& o) {
    o = RegistroOpciones::PorDefecto();
    bool todos = true;
    qsizetype posicion = 0;
    for (const auto& c : kCampos) {
        const QByteArrayView campo =
            QByteArrayView(datos)
                .sliced(std::min(posicion, datos.size()))
                .first(std::clamp<qsizetype>(datos.size() - posicion, 0, c.ancho));
        // A field cut by the end of a short file is whole only if its blank
        // padding has begun.
        const bool entero = campo.size() == c.ancho || campo.endsWith(' ');
        if (!entero || !LeerCampo(c, campo, o)) todos = false;
        posicion += c.ancho;
    }
    return todos;
}

QString ModOpciones::strRutaConfig() {
    return UnirRuta(strRutaDatos(), QStringLiteral("Config.dat"));
}

bool ModOpciones::blnCargarOpcionesDeArchivo() {
    // Whatever cannot be read plays with the defaults, never with zeros.
    Opciones = cargado_ = RegistroOpciones::PorDefecto();
    original_.clear();
    const QString ruta = strRutaConfig();
    QFile archivo(ruta);
    if (!QFileInfo::exists(ruta)) {
        // A first run: leave an empty file that the next save fills.
        const bool creado = archivo.open(QIODevice::WriteOnly);
        archivo.close();
        return creado;
    }
    if (!archivo.open(QIODevice::ReadOnly)) return false;
    const QByteArray datos = archivo.read(kTamañoConfig);
    if (archivo.error() != QFileDevice::NoError) return false;
    archivo.close();
    if (datos.isEmpty()) return true;
    const bool todos = DecodificarOpciones(datos, Opciones);
    cargado_ = Opciones;
    original_ = datos;
    return todos;
}

bool ModOpciones::blnGuardarOpcionesEnArchivo() {
    const QString ruta = DestinoReal(strRutaConfig());
    // Bytes beyond the record belong to whoever put them there: keep them.
    QByteArray anterior;
    const QFileInfo info(ruta);
    const bool blnPrevio = info.exists();
    if (blnPrevio) {
        // A read-only Config.dat stays as it is, like any file we may not
        // write; its owner's bit says so even to root, whom nothing stops.
        const bool blnSoloLectura = !(info.permissions() & QFileDevice::WriteOwner);
        if (!info.isFile() || !info.isWritable() || blnSoloLectura) return false;
        QFile previo(ruta);
        if (!previo.open(QIODevice::ReadOnly)) return false;
        anterior = previo.readAll();
        if (previo.error() != QFileDevice::NoError) return false;
    }
    const QByteArray registro = CodificarOpciones(Opciones, cargado_, original_);
    QByteArray contenido = anterior;
    if (contenido.size() < registro.size()) contenido.resize(registro.size());
    contenido.replace(0, registro.size(), registro);

    bool blnSinTemporal = false;
    auto escribir = [&] {
        if (blnPrevio && blnTieneOtrosNombres(ruta))
            return blnReescribir(ruta, contenido, anterior);
        return blnEscribirYRenombrar(ruta, contenido, blnPrevio, blnSinTemporal) ||
               (blnSinTemporal && blnPrevio && blnReescribir(ruta, contenido, anterior));
    };
    // A file that already says it all is not written again.
    const bool ok = (blnPrevio && contenido == anterior) || escribir();
    if (ok) {
        cargado_ = Opciones;
        original_ = registro;
    }
    return ok;
}

} // namespace brumaria
