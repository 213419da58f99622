// Config.dat: how each kind of field reads back, saves that must never
// damage the file, and the Windows-1252 text.
#include "options/opciones.h"
#include "platform/cp1252.h"

#include "carpeta_temporal.h"

#include <QFile>
#include <QFileInfo>
#include <QVariant>
#include <cerrno>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

using namespace brumaria;

namespace {

using prueba::EscribirArchivo;

QByteArray Leer() {
    return prueba::LeerArchivo(ModOpciones::strRutaConfig());
}

// Overwrites one field of an encoded record, blank padded.
void Poner(QByteArray& datos, int posicion, int ancho, const QByteArray& texto) {
    datos.replace(posicion, ancho, texto.leftJustified(ancho, ' ', true));
}

RegistroOpciones Distinto() {
    RegistroOpciones o = RegistroOpciones::PorDefecto();
    o.intMetodoAtaque = 3;
    o.strRutaArchivoHistorial = QStringLiteral("/tmp/historia de ñandú.txt");
    o.intTiempoRespuesta = 65535;
    o.lngColorAgua = RGB(1, 2, 3);
    o.blnSonidosHundido = true;
    o.strAlertaMensajeMsgBox = QStringLiteral("¡Despierta, capitán! €");
    o.strNombreJugador = QStringLiteral("Íñigo");
    return o;
}

} // namespace

// Each kind of field as it reads back from what another program may have
// written.
TEST(Config, CadaCampoSeLeeComoDebe) {
    const auto campo = [](const RegistroOpciones& o, int posicion) -> QVariant {
        switch (posicion) {
        case 0:
            return o.intMetodoAtaque;
        case 1:
            return o.blnHistorialMovimientosActivar;
        case 2:
            return o.strRutaArchivoHistorial;
        case 259:
            return o.intTiempoRespuesta;
        case 264:
            return o.lngColorAgua;
        case 3907:
            return o.strNombreJugador;
        default:
            return o.strNombrePartida;
        }
    };
    const std::tuple<int, int, const char*, QVariant> filas[] = {
        // no value: refused
        {1, 1, "F", false},
        {1, 1, "f", true},
        {0, 1, "2", 2},
        {0, 1, "4", 1},
        {259, 5, "99999", 65535},
        {259, 5, " 42", 42},
        {259, 5, "-5", 0},
        {259, 5, "+5", {}},
        {259, 5, "", {}},
        {259, 5, "1 0", {}},
        {264, 8, "16777215", 0xFFFFFF},
        {264, 8, "16777216", {}},
        {264, 8, "-1", {}},
        {2, 256, " a b ", " a b"},
        {2, 256, "", ""},
        {3907, 256, "", "Jugador"},
        {4163, 256, "", "Partida de Brumaria"}};
    for (const auto& [posicion, ancho, texto, esperado] : filas) {
        QByteArray d = CodificarOpciones(RegistroOpciones::PorDefecto());
        Poner(d, posicion, ancho, texto);
        RegistroOpciones o;
        EXPECT_EQ(DecodificarOpciones(d, o), esperado.isValid())
            << posicion << " '" << texto << "'";
        if (esperado.isValid()) {
            EXPECT_EQ(campo(o, posicion), esperado) << posicion << " '" << texto;
        }
    }
    // A file cut inside a field: that field is not read.
    RegistroOpciones o;
    EXPECT_FALSE(DecodificarOpciones(CodificarOpciones(Distinto()).left(262), o));
    EXPECT_EQ(o.intTiempoRespuesta, RegistroOpciones::PorDefecto().intTiempoRespuesta);
}

TEST(Config, UnConfigDeSoloLecturaQuedaIntacto) {
    prueba::CarpetaTemporal carpeta;
    const QByteArray antes = CodificarOpciones(RegistroOpciones::PorDefecto());
    ASSERT_TRUE(EscribirArchivo(ModOpciones::strRutaConfig(), antes));
    ASSERT_TRUE(QFile::setPermissions(ModOpciones::strRutaConfig(), QFile::ReadOwner));
    const auto permisos = QFile::permissions(ModOpciones::strRutaConfig());
    ModOpciones m;
    m.Opciones = Distinto();
    EXPECT_FALSE(m.blnGuardarOpcionesEnArchivo());
    EXPECT_EQ(Leer(), antes);
    EXPECT_EQ(QFile::permissions(ModOpciones::strRutaConfig()), permisos);
}

// Writes in place that a signal interrupts, or that a full disk cuts to
// half, as many as asked for.
static int intEscriturasInterrumpidas = 0;
static int intEscriturasCortas = 0;

extern "C" ssize_t pwrite(int fd, const void* datos, size_t n, off_t desde) {
    if (intEscriturasInterrumpidas > 0) {
        --intEscriturasInterrumpidas;
        errno = EINTR;
        return -1;
    }
    if (intEscriturasCortas > 0) {
        --intEscriturasCortas;
        n /= 2;
    }
    return ::syscall(SYS_pwrite64, fd, datos, n, desde);
}

// A Config.dat with a second name is rewritten in place, so both names
// see the new options, even when a signal interrupts the write.
TEST(Config, UnConfigConOtroNombreSeReescribeDondeEsta) {
    prueba::CarpetaTemporal carpeta;
    const QString otro = carpeta.archivo(QStringLiteral("otro.dat"));
    ASSERT_TRUE(EscribirArchivo(otro, CodificarOpciones(RegistroOpciones::PorDefecto())));
    ASSERT_EQ(::link(qPrintable(otro), qPrintable(ModOpciones::strRutaConfig())), 0);
    ModOpciones m;
    m.Opciones = Distinto();
    intEscriturasInterrumpidas = 2;
    EXPECT_TRUE(m.blnGuardarOpcionesEnArchivo());
    EXPECT_EQ(intEscriturasInterrumpidas, 0);
    EXPECT_EQ(prueba::LeerArchivo(otro), CodificarOpciones(Distinto()));
    // A write cut short is a failed save, and the old record is put back.
    m.Opciones = RegistroOpciones::PorDefecto();
    intEscriturasCortas = 1;
    EXPECT_FALSE(m.blnGuardarOpcionesEnArchivo());
    EXPECT_EQ(prueba::LeerArchivo(otro), CodificarOpciones(Distinto()));
}

// An ordinary Config.dat is written beside itself and renamed over (a crash
// never leaves half a record), with the permissions it had; a new one is
// readable by all and writable by its owner.
TEST(Config, UnConfigCorrienteSeReemplazaEnteroConSusPermisos) {
    prueba::CarpetaTemporal carpeta;
    const QByteArray ruta = QFile::encodeName(ModOpciones::strRutaConfig());
    auto datos = [&ruta] {
        struct stat info {};
        EXPECT_EQ(::stat(ruta.constData(), &info), 0);
        return std::pair(info.st_ino, info.st_mode & 07777);
    };
    ModOpciones m;
    m.Opciones = Distinto();
    ASSERT_TRUE(m.blnGuardarOpcionesEnArchivo());
    EXPECT_EQ(datos().second, 0644u);
    ASSERT_EQ(::chmod(ruta.constData(), 0640), 0);
    const auto antes = datos();
    m.Opciones = RegistroOpciones::PorDefecto();
    ASSERT_TRUE(m.blnGuardarOpcionesEnArchivo());
    EXPECT_NE(datos().first, antes.first) << "rewritten in place";
    EXPECT_EQ(datos().second, 0640u);
    EXPECT_EQ(Leer(), CodificarOpciones(RegistroOpciones::PorDefecto()));
}

// A program folder that is not there takes no Config.dat: the save says so.
TEST(Config, SinCarpetaNoSeGuardaYSeDice) {
    prueba::CarpetaTemporal carpeta;
    FijarRutaPrograma(carpeta.archivo(QStringLiteral("no está")));
    ModOpciones m;
    m.Opciones = Distinto();
    EXPECT_FALSE(m.blnGuardarOpcionesEnArchivo());
    EXPECT_FALSE(QFileInfo::exists(ModOpciones::strRutaConfig()));
}

// The record's last field full to its last byte: a file one byte short
// loses that field, one byte long reads whole, and a save keeps the extra
// byte and fills the short file out.
TEST(Config, ElRegistroUnByteAntesEnSuTamanoYUnoDespues) {
    RegistroOpciones o = RegistroOpciones::PorDefecto();
    o.strNombrePartida = QString(256, u'p');
    const QByteArray d = CodificarOpciones(o);
    ASSERT_EQ(d.size(), kTamañoConfig);
    RegistroOpciones l;
    EXPECT_FALSE(DecodificarOpciones(d.chopped(1), l));
    EXPECT_TRUE(DecodificarOpciones(d + 'z', l) && l == o);
    prueba::CarpetaTemporal carpeta;
    for (const QByteArray& previo : {d.chopped(1), d + 'z'}) {
        ASSERT_TRUE(EscribirArchivo(ModOpciones::strRutaConfig(), previo));
        ModOpciones m;
        m.Opciones = Distinto();
        ASSERT_TRUE(m.blnGuardarOpcionesEnArchivo());
        EXPECT_EQ(Leer(), CodificarOpciones(Distinto()) + previo.mid(kTamañoConfig));
    }
}

// Bytes 0x80..0x9F are where Windows-1252 differs from Latin-1.
TEST(Cp1252, LosBytesAltosEnAmbosSentidos) {
    constexpr char16_t kEsperado[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 0x88
        0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178}; // 0x98
    for (int b = 0x80; b <= 0x9F; ++b) {
        const QByteArray byte(1, static_cast<char>(b));
        const QString caracter(QChar(kEsperado[b - 0x80]));
        EXPECT_EQ(DeCp1252(byte), caracter) << std::hex << b;
        EXPECT_EQ(ACp1252(caracter), byte) << std::hex << b;
    }
    EXPECT_EQ(DeCp1252("\x96\x97\x80"), QStringLiteral("–—€"));
    EXPECT_EQ(ACp1252(QStringLiteral("añ\u00FF–")), QByteArray("a\xF1\xFF\x96"));
    // Outside the code page (beyond the basic plane too): one "?" each.
    EXPECT_EQ(ACp1252(QStringLiteral("a中\u0080\U0001F6A2c")), "a???c");
}
