// Sound files: every clip handed to the audio engine ends in silence.
#include "carpeta_temporal.h"
#include "grabador_mensajes.h"
#include "platform/rutas.h"
#include "platform/sonido.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <cmath>
#include <gtest/gtest.h>

using namespace brumaria;

namespace {

QByteArray Wav(int muestras, int frecuencia = 8000) {
    QByteArray datos;
    for (int i = 0; i < muestras; ++i) {
        const qint16 s = qint16(8000 * std::sin(i * 0.3));
        datos.append(reinterpret_cast<const char*>(&s), 2);
    }
    QByteArray b("RIFF");
    auto u32 = [&](quint32 v) {
        char c[4];
        qToLittleEndian(v, c);
        b.append(c, 4);
    };
    auto u16 = [&](quint16 v) {
        char c[2];
        qToLittleEndian(v, c);
        b.append(c, 2);
    };
    u32(36 + datos.size());
    b.append("WAVEfmt ");
    u32(16);
    u16(1);
    u16(1);
    u32(frecuencia);
    u32(frecuencia * 2);
    u16(2);
    u16(16);
    b.append("data");
    u32(datos.size());
    return b + datos;
}

TEST(Sonido, UnClipSinSilencioFinalSeRellena) {
    prueba::CarpetaTemporal carpeta;
    const QString ruta = carpeta.archivo(QStringLiteral("corto.wav"));
    QFile f(ruta);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(Wav(800)); // 100 ms of tone, no tail
    f.close();
    const QString copia = strArchivoReproducible(ruta);
    ASSERT_FALSE(copia.isEmpty());
    EXPECT_NE(copia, ruta);
    QFile c(copia);
    ASSERT_TRUE(c.open(QIODevice::ReadOnly));
    const QByteArray b = c.readAll();
    const quint32 datos = qFromLittleEndian<quint32>(b.constData() + 40);
    EXPECT_EQ(qsizetype(datos) + 44, b.size());
    EXPECT_EQ(qFromLittleEndian<quint32>(b.constData() + 4), quint32(b.size() - 8));
    EXPECT_GE(datos, 1600u + 2 * 8000 * kSilencioFinalMs / 1000);
    // The copy already ends in silence, so it plays as it is.
    EXPECT_EQ(strArchivoReproducible(copia), copia);
    // The same file again: the cached copy.
    EXPECT_EQ(strArchivoReproducible(ruta), copia);
}

TEST(Sonido, ArchivosQueNoSonWavNoSeReproducen) {
    prueba::CarpetaTemporal carpeta;
    EXPECT_TRUE(strArchivoReproducible(carpeta.archivo(QStringLiteral("no.wav"))).isEmpty());
    EXPECT_TRUE(strArchivoReproducible(carpeta.ruta()).isEmpty());
    QFile f(carpeta.archivo(QStringLiteral("falso.wav")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("RIFF\x04\x00\x00\x00WAVE");
    f.close();
    EXPECT_TRUE(strArchivoReproducible(f.fileName()).isEmpty());
    Sonido(f.fileName()); // silently nothing
}

TEST(Sonido, LaAlertaInstaladaYaTerminaEnSilencio) {
    prueba::CarpetaTemporal carpeta;
    carpeta.CopiarRecursos();
    const QString alerta = UnirRuta(strRutaPrograma(), QStringLiteral("alerta.wav"));
    ASSERT_TRUE(QFile::exists(alerta));
    EXPECT_EQ(strArchivoReproducible(alerta), QFileInfo(alerta).absoluteFilePath());
    // Playing returns and reports nothing, audio device or not; the engine
    // module is found from the build.
    prueba::GrabadorMensajes grabador;
    Sonido(alerta);
    Sonido(alerta);
    EXPECT_TRUE(grabador.mensajes().isEmpty());
}

} // namespace
