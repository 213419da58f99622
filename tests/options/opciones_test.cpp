// Config.dat: the byte layout, the odd corners of loading, and saves that
// must never damage the file.
#include "platform/cp1252.h"
#include "options/opciones.h"

#include "carpeta_temporal.h"
#include "grabador_mensajes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace brumaria;

namespace {

QByteArray Leer(const QString& ruta) {
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void Escribir(const QString& ruta, const QByteArray& datos) {
    QFile f(ruta);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(datos);
}

// Overwrites one field of an encoded record, blank padded.
void Poner(QByteArray& datos, int posicion, int ancho, const QByteArray& texto) {
    datos.replace(posicion, ancho, texto.leftJustified(ancho, ' ', true));
}

RegistroOpciones Distinto() {
    RegistroOpciones o = RegistroOpciones::PorDefecto();
    o.intMetodoAtaque = 3;
    o.blnHistorialMovimientosActivar = false;
    o.strRutaArchivoHistorial = QStringLiteral("/tmp/historia de ñandú.txt");
    o.blnTiempoRespuesta = false;
    o.intTiempoRespuesta = 65535;
    o.lngColorAgua = RGB(1, 2, 3);
    o.lngColorRejilla = RGB(255, 255, 255);
    o.blnImagenNoDescubierto = true;
    o.strRutaNoDescubierto = QStringLiteral("/x/nube.gif");
    o.blnSonidosHundido = true;
    o.strSonidoHundido = QStringLiteral("/x/bum.wav");
    o.strAlertaMensajeMsgBox = QStringLiteral("¡Despierta, capitán! €");
    o.blnVerHistorial = true;
    o.blnVerChat = true;
    o.strNombreJugador = QStringLiteral("Íñigo");
    o.strNombrePartida = QStringLiteral("Batalla");
    return o;
}

} // namespace

TEST(Config, PrimeraEjecucionCreaArchivoVacioYTomaLosValoresPorDefecto) {
    prueba::CarpetaTemporal carpeta;
    ModOpciones m;
    ASSERT_FALSE(QFile::exists(ModOpciones::strRutaConfig()));
    EXPECT_TRUE(m.blnCargarOpcionesDeArchivo());
    EXPECT_TRUE(QFile::exists(carpeta.archivo("Config.dat")));
    EXPECT_EQ(QFileInfo(carpeta.archivo("Config.dat")).size(), 0);
    EXPECT_EQ(m.Opciones, RegistroOpciones::PorDefecto());
    EXPECT_EQ(m.Opciones.strNombreJugador, "Jugador");
    EXPECT_EQ(m.Opciones.strNombrePartida, "Partida de Jugador");
    EXPECT_EQ(m.Opciones.strRutaArchivoHistorial, carpeta.archivo("Historial.txt"));
    EXPECT_EQ(m.Opciones.strRutaAgua, carpeta.archivo("imagenes/agua.jpg"));
    EXPECT_EQ(m.Opciones.strAlertaSonido, carpeta.archivo("alerta.wav"));

    // Still empty (defaults are not written) until the first save.
    ModOpciones otra;
    EXPECT_TRUE(otra.blnCargarOpcionesDeArchivo());
    EXPECT_EQ(otra.Opciones, RegistroOpciones::PorDefecto());
    EXPECT_TRUE(m.blnGuardarOpcionesEnArchivo());
    EXPECT_EQ(QFileInfo(carpeta.archivo("Config.dat")).size(), kTamañoConfig);
}

TEST(Config, ArchivoPorDefectoByteAByte) {
    prueba::CarpetaTemporal carpeta;
    const QByteArray d = CodificarOpciones(RegistroOpciones::PorDefecto());
    ASSERT_EQ(d.size(), 4419);
    const QByteArray historial = carpeta.archivo("Historial.txt").toUtf8();
    EXPECT_TRUE(d.startsWith("1T" + historial + ' '));
    EXPECT_EQ(d.mid(258, 1), "T");
    EXPECT_EQ(d.mid(259, 5), "1000 ");
    EXPECT_EQ(d.mid(264, 8), "16777152");
    EXPECT_EQ(d.mid(272, 8), "16777215");
    EXPECT_EQ(d.mid(280, 8), "255     ");
    EXPECT_EQ(d.mid(288, 8), "16711680");
    EXPECT_EQ(d.mid(296, 8), "12582912");
    EXPECT_EQ(d.mid(304, 8), "0       ");
    EXPECT_EQ(d.mid(1855, 28), ACp1252(QStringLiteral("Los he visto más rápidos... ")));
    EXPECT_EQ(d.mid(3904, 3), "TFF");
    EXPECT_EQ(d.mid(3907, 8), "Jugador ");
    EXPECT_EQ(d.mid(4163, 19), "Partida de Jugador ");
    EXPECT_EQ(d.right(1), " ");
}

TEST(Config, IdaYVueltaPorElArchivo) {
    prueba::CarpetaTemporal carpeta;
    ModOpciones m;
    m.Opciones = Distinto();
    ASSERT_TRUE(m.blnGuardarOpcionesEnArchivo());
    const QByteArray d = Leer(ModOpciones::strRutaConfig());
    EXPECT_EQ(d, CodificarOpciones(Distinto()));
    EXPECT_EQ(d.mid(259, 5), "65535");
    EXPECT_EQ(d.mid(264, 8), "197121  ");
    // Accented text is one Windows-1252 byte per character.
    EXPECT_EQ(d.mid(3907, 6), QByteArray("\xCD\xF1igo ", 6));
    EXPECT_EQ(d.mid(1855 + 21, 2), QByteArray("\x80 ", 2));

    ModOpciones leida;
    EXPECT_TRUE(leida.blnCargarOpcionesDeArchivo());
    EXPECT_EQ(leida.Opciones, Distinto());
}

TEST(Config, BooleanosSoloFalsoConF) {
    QByteArray d = CodificarOpciones(RegistroOpciones::PorDefecto());
    for (const char c : {' ', 'T', 'V', '7', 'f'}) {
        d[1] = c;
        RegistroOpciones o;
        ASSERT_TRUE(DecodificarOpciones(d, o));
        EXPECT_TRUE(o.blnHistorialMovimientosActivar) << c;
    }
    d[1] = 'F';
    RegistroOpciones o;
    ASSERT_TRUE(DecodificarOpciones(d, o));
    EXPECT_FALSE(o.blnHistorialMovimientosActivar);
}

TEST(Config, TextosCortadosRellenadosYRecortados) {
    RegistroOpciones o = RegistroOpciones::PorDefecto();
    o.strNombreJugador = QString(300, QLatin1Char('x'));
    o.strRutaAgua = QString(256, QLatin1Char('y'));
    o.strRutaArchivoHistorial = QStringLiteral("  con blancos  ");
    RegistroOpciones leido;
    ASSERT_TRUE(DecodificarOpciones(CodificarOpciones(o), leido));
    EXPECT_EQ(leido.strNombreJugador, QString(256, QLatin1Char('x')));
    EXPECT_EQ(leido.strRutaAgua, o.strRutaAgua);
    EXPECT_EQ(leido.strRutaArchivoHistorial, "  con blancos");

    // Blank fields: empty paths, but the two names have their own fallbacks.
    QByteArray d = CodificarOpciones(RegistroOpciones::PorDefecto());
    Poner(d, 2, 256, "");
    Poner(d, 3907, 256, "");
    Poner(d, 4163, 256, "");
    ASSERT_TRUE(DecodificarOpciones(d, leido));
    EXPECT_EQ(leido.strRutaArchivoHistorial, QString());
    EXPECT_EQ(leido.strNombreJugador, "Jugador");
    EXPECT_EQ(leido.strNombrePartida, "Partida de Brumaria");
    Poner(d, 3907, 256, "A");
    ASSERT_TRUE(DecodificarOpciones(d, leido));
    EXPECT_EQ(leido.strNombreJugador, "A");
}

TEST(Config, Cp1252) {
    const QString todo = QStringLiteral("áéíóúñÑüÜ¿¡€‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸ ÿ");
    EXPECT_EQ(ACp1252(todo).size(), todo.size());
    EXPECT_EQ(DeCp1252(ACp1252(todo)), todo);
    // Characters outside the code page, including one beyond the basic plane.
    EXPECT_EQ(ACp1252(QStringLiteral("a中b\U0001F6A2c")), "a?b?c");
    // Every byte decodes to something that encodes back to the same byte.
    QByteArray bytes;
    for (int i = 0; i < 256; ++i)
        bytes.append(static_cast<char>(i));
    EXPECT_EQ(ACp1252(DeCp1252(bytes)), bytes);
}

TEST(Config, NumeroInvalidoConservaLosCamposAnteriores) {
    RegistroOpciones escrito = Distinto();
    QByteArray d = CodificarOpciones(escrito);
    Poner(d, 280, 8, "abc"); // lngColorIndicadorAtaque
    RegistroOpciones o;
    EXPECT_FALSE(DecodificarOpciones(d, o));
    EXPECT_EQ(o.intMetodoAtaque, 3);
    EXPECT_EQ(o.strRutaArchivoHistorial, escrito.strRutaArchivoHistorial);
    EXPECT_EQ(o.intTiempoRespuesta, 65535);
    EXPECT_EQ(o.lngColorNoDescubiertas, escrito.lngColorNoDescubiertas);
    EXPECT_EQ(o.lngColorIndicadorAtaque, 0);
    EXPECT_EQ(o.strNombreJugador, QString());

    // Through the file: the same partial load, and no defaults.
    prueba::CarpetaTemporal carpeta;
    Escribir(ModOpciones::strRutaConfig(), d);
    ModOpciones m;
    EXPECT_FALSE(m.blnCargarOpcionesDeArchivo());
    EXPECT_EQ(m.Opciones.lngColorAgua, escrito.lngColorAgua);
    EXPECT_EQ(m.Opciones.lngColorMarcadoresExterior, 0);
    EXPECT_FALSE(m.Opciones.blnAlertaSonido);
}

TEST(Config, ValoresQueCabenEnElArchivoPeroNoEnElPrograma) {
    const QByteArray base = CodificarOpciones(RegistroOpciones::PorDefecto());
    RegistroOpciones o;
    for (const char* metodo : {"0", "4", "9"}) {
        QByteArray d = base;
        Poner(d, 0, 1, metodo);
        ASSERT_TRUE(DecodificarOpciones(d, o));
        EXPECT_EQ(o.intMetodoAtaque, 1) << metodo;
    }
    QByteArray d = base;
    Poner(d, 0, 1, "2");
    Poner(d, 259, 5, "99999");
    ASSERT_TRUE(DecodificarOpciones(d, o));
    EXPECT_EQ(o.intMetodoAtaque, 2);
    EXPECT_EQ(o.intTiempoRespuesta, 65535);
    Poner(d, 259, 5, "0");
    ASSERT_TRUE(DecodificarOpciones(d, o));
    EXPECT_EQ(o.intTiempoRespuesta, 0);
    for (const char* malo : {"-5", "", "1 0", "+5"}) {
        Poner(d, 259, 5, malo);
        EXPECT_FALSE(DecodificarOpciones(d, o)) << malo;
    }
    d = base;
    Poner(d, 264, 8, "16777216");
    EXPECT_FALSE(DecodificarOpciones(d, o));
    Poner(d, 264, 8, "-1");
    EXPECT_FALSE(DecodificarOpciones(d, o));

    // Values the program should never hold are written so they read back sanely.
    RegistroOpciones raro = RegistroOpciones::PorDefecto();
    raro.intMetodoAtaque = -7;
    raro.intTiempoRespuesta = 100000;
    raro.lngColorAgua = -1;
    const QByteArray escrito = CodificarOpciones(raro);
    ASSERT_EQ(escrito.size(), kTamañoConfig);
    ASSERT_TRUE(DecodificarOpciones(escrito, o));
    EXPECT_EQ(o.intMetodoAtaque, 1);
    EXPECT_EQ(o.intTiempoRespuesta, 65535);
    EXPECT_EQ(o.lngColorAgua, 0xFFFFFF);
}

TEST(Config, ArchivoCortoNoSeLeeMasAllaDelFinal) {
    const RegistroOpciones escrito = Distinto();
    const QByteArray completo = CodificarOpciones(escrito);
    RegistroOpciones o;
    // Cut inside the colour of water: the fields before it are read.
    EXPECT_FALSE(DecodificarOpciones(completo.left(268), o));
    EXPECT_EQ(o.intTiempoRespuesta, 65535);
    EXPECT_EQ(o.lngColorAgua, 0);
    // One byte short of the whole record: everything but the last field.
    RegistroOpciones o2;
    EXPECT_FALSE(DecodificarOpciones(completo.left(kTamañoConfig - 1), o2));
    EXPECT_EQ(o2.strNombreJugador, escrito.strNombreJugador);
    EXPECT_EQ(o2.strNombrePartida, QString());

    prueba::CarpetaTemporal carpeta;
    Escribir(ModOpciones::strRutaConfig(), "2");
    ModOpciones m;
    EXPECT_FALSE(m.blnCargarOpcionesDeArchivo());
    EXPECT_EQ(m.Opciones.intMetodoAtaque, 2);
    EXPECT_FALSE(m.Opciones.blnHistorialMovimientosActivar);
}

TEST(Config, GuardarConservaLoQueHayDetrasDelRegistro) {
    prueba::CarpetaTemporal carpeta;
    const QByteArray cola = "cola que no es nuestra";
    Escribir(ModOpciones::strRutaConfig(), QByteArray(kTamañoConfig, 'z') + cola);
    ModOpciones m;
    m.Opciones = Distinto();
    ASSERT_TRUE(m.blnGuardarOpcionesEnArchivo());
    EXPECT_EQ(Leer(ModOpciones::strRutaConfig()), CodificarOpciones(Distinto()) + cola);
    ModOpciones leida;
    EXPECT_TRUE(leida.blnCargarOpcionesDeArchivo());
    EXPECT_EQ(leida.Opciones, Distinto());
}

TEST(Config, GuardarDondeNoSePuedeDevuelveFalsoSinTocarNada) {
    prueba::CarpetaTemporal carpeta;
    prueba::GrabadorMensajes mensajes;
    // The folder is a plain file: nothing can be created inside it, even by root.
    const QString falsaCarpeta = carpeta.archivo("no-es-carpeta");
    Escribir(falsaCarpeta, "x");
    FijarRutaPrograma(falsaCarpeta);
    ModOpciones m;
    m.Opciones = Distinto();
    EXPECT_FALSE(m.blnGuardarOpcionesEnArchivo());
    EXPECT_EQ(m.Opciones, Distinto());
    // Loading there cannot create the file, but still gives usable defaults.
    EXPECT_FALSE(m.blnCargarOpcionesDeArchivo());
    EXPECT_EQ(m.Opciones.intMetodoAtaque, 1);

    // Config.dat that cannot be opened as a file: load fails, record kept.
    FijarRutaPrograma(carpeta.ruta());
    ASSERT_TRUE(QDir(carpeta.ruta()).mkdir("Config.dat"));
    m.Opciones = Distinto();
    EXPECT_FALSE(m.blnCargarOpcionesDeArchivo());
    EXPECT_FALSE(m.blnGuardarOpcionesEnArchivo());
    EXPECT_EQ(m.Opciones, Distinto());
    EXPECT_TRUE(mensajes.mensajes().isEmpty());
}
