// Services around the window: sound clips that end in silence and a
// damaged Config.dat.
#include "carpeta_temporal.h"
#include "grabador_mensajes.h"
#include "platform/rutas.h"
#include "platform/sonido.h"
#include "ui/main/aplicacion.h"
#include "ui/main/tablero.h"

#include <QAction>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStatusBar>
#include <QtEndian>
#include <cmath>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace brumaria;

namespace {

// A mono 16-bit clip of tone at 8000 Hz with no silence at its end.
QByteArray Wav(int muestras) {
    QByteArray b;
    QDataStream d(&b, QIODevice::WriteOnly);
    d.setByteOrder(QDataStream::LittleEndian);
    d.writeRawData("RIFF", 4);
    d << quint32(36 + 2 * muestras);
    d.writeRawData("WAVEfmt ", 8);
    d << quint32(16) << quint16(1) << quint16(1) << quint32(8000) << quint32(16000) << quint16(2)
      << quint16(16);
    d.writeRawData("data", 4);
    d << quint32(2 * muestras);
    for (int i = 0; i < muestras; ++i)
        d << qint16(8000 * std::sin(i * 0.3));
    return b;
}

// A clip with no silence at its end plays from a copy padded with it.
TEST(Sonido, UnClipSinSilencioFinalSeRellena) {
    prueba::CarpetaTemporal carpeta;
    const QString ruta = carpeta.archivo(QStringLiteral("corto.wav"));
    ASSERT_TRUE(prueba::EscribirArchivo(ruta, Wav(800))); // 100 ms of tone, no tail
    const QString copia = strArchivoReproducible(ruta);
    ASSERT_FALSE(copia.isEmpty());
    EXPECT_NE(copia, ruta);
    const QByteArray b = prueba::LeerArchivo(copia);
    const quint32 datos = qFromLittleEndian<quint32>(b.constData() + 40);
    EXPECT_EQ(qsizetype(datos) + 44, b.size());
    EXPECT_GE(datos, 1600u + 2 * 8000 * kSilencioFinalMs / 1000);
    // The copy already ends in silence, so it plays as it is.
    EXPECT_EQ(strArchivoReproducible(copia), copia);
}

// Each damaged Config.dat: the boards keep their colours, the status bar and
// history pane stay as the player left them, one box says what failed, and
// after "Chat" is ticked and the window closed the file holds every byte it
// had with only that change (a short file is completed, a link stays one).
TEST(ConfigDañado, ArrancaConLoLeidoYAlCerrarNoSePierdeNada) {
    struct Fila {
        const char* nombre;
        std::function<QByteArray(QByteArray)> danar;
        QStringList avisos; // how each "Error" box starts
        bool blnSinImagen = false;
    };
    const QString kIlegible = QStringLiteral("No se han podido leer todas las opciones");
    const auto poner = [](int posicion, QByteArray texto) {
        return [=](QByteArray d) { return d.replace(posicion, texto.size(), texto); };
    };
    const Fila filas[] = {
        {"vacío", [](QByteArray) { return QByteArray(); }, {}},
        {"sin archivo", [](QByteArray) { return QByteArray(); }, {}},
        {"con cola", [](QByteArray d) { return d + "cola ajena"; }, {}},
        {"100 bytes", [](QByteArray d) { return d.left(100); }, {kIlegible}},
        {"4418 bytes", [](QByteArray d) { return d.chopped(1); }, {}},
        {"método", poner(0, "x"), {kIlegible}},
        {"tiempo", poner(259, "abc  "), {kIlegible}},
        {"color", poner(264, "abc     "), {kIlegible}},
        {"tiempo negativo", poner(259, "-1000"), {}},
        {"todo 0xFF",
         [](QByteArray) { return QByteArray(kTamañoConfig, '\xFF'); },
         {kIlegible, QStringLiteral("No se encuentra el archivo"),
          QStringLiteral("No se encuentra el archivo")},
         true},
        {"carpeta", [](QByteArray) { return QByteArray(); }, {kIlegible}},
        {"enlace simbólico", [](QByteArray d) { return d; }, {}},
        {"enlace duro", [](QByteArray d) { return d; }, {}},
        {"imagen que falta",
         [](QByteArray d) {
             return d.replace(
                 313, 256,
                 UnirRuta(strRutaPrograma(), "imagenes/falta.jpg").toUtf8().leftJustified(256));
         },
         {QStringLiteral("No se encuentra el archivo")},
         true},
        // A JPEG cut after its first bytes still looks like one.
        {"imagen cortada",
         [](QByteArray d) {
             const QString r = UnirRuta(strRutaPrograma(), "imagenes/cortada.jpg");
             prueba::EscribirArchivo(
                 r, prueba::LeerArchivo(UnirRuta(strRutaPrograma(), "imagenes/agua.jpg")).left(24));
             return d.replace(313, 256, r.toUtf8().leftJustified(256));
         },
         {QStringLiteral("La imagen no es válida")},
         true},
    };
    for (const Fila& fila : filas) {
        SCOPED_TRACE(fila.nombre);
        prueba::CarpetaTemporal carpeta;
        carpeta.CopiarRecursos();
        prueba::GrabadorMensajes grabador;
        RegistroOpciones o = RegistroOpciones::PorDefecto();
        o.strRutaArchivoHistorial = carpeta.archivo(QStringLiteral("mi historial.txt"));
        o.blnVerHistorial = true;
        o.strNombrePartida = QStringLiteral("Partida de Ana");
        const QByteArray antes = fila.danar(CodificarOpciones(o));
        const QString config = ModOpciones::strRutaConfig();
        QString escrito = config; // the file the bytes end up in
        const QString nombre = QString::fromUtf8(fila.nombre);
        if (nombre == u"carpeta") {
            ASSERT_TRUE(QDir().mkdir(config));
        }
        if (nombre.startsWith(u"enlace")) escrito = carpeta.archivo(QStringLiteral("otro.dat"));
        if (nombre != u"carpeta" && nombre != u"sin archivo") {
            ASSERT_TRUE(prueba::EscribirArchivo(escrito, antes));
        }
        if (nombre == u"enlace simbólico") {
            ASSERT_TRUE(QFile::link(escrito, config));
        }
        if (nombre == u"enlace duro") {
            ASSERT_EQ(::link(qPrintable(escrito), qPrintable(config)), 0);
        }

        auto app = std::make_unique<Aplicacion>();
        app->ventana.Cargar();
        app->ventana.show();
        EXPECT_TRUE(QFileInfo::exists(config)); // a first run leaves it, empty
        for (Tablero* t : app->ventana.findChildren<Tablero*>()) {
            const QImage imagen = t->grab().toImage();
            EXPECT_NE(imagen.pixel(t->centroCasilla(4, 4)), qRgb(0, 0, 0));
        }
        EXPECT_TRUE(app->ventana.statusBar()->isVisible());
        EXPECT_EQ(app->ventana.findChild<QAction*>("mnuVerHistorial")->isChecked(),
                  antes.size() > 3905 && antes[3905] != 'F');
        ASSERT_EQ(grabador.mensajes().size(), fila.avisos.size());
        for (int i = 0; i < fila.avisos.size(); ++i) {
            EXPECT_EQ(grabador.mensajes()[i].titulo, QStringLiteral("Error"));
            EXPECT_TRUE(grabador.mensajes()[i].texto.startsWith(fila.avisos[i]))
                << grabador.mensajes()[i].texto.toStdString();
        }
        const bool blnChat = app->opciones.Opciones.blnVerChat;
        app->ventana.findChild<QAction*>("mnuVerChat")->trigger();
        app->ventana.close();
        app.reset();

        if (nombre == u"carpeta") {
            EXPECT_TRUE(QFileInfo(config).isDir());
            continue;
        }
        QByteArray esperado = antes;
        if (esperado.size() > 3906) esperado[3906] = blnChat ? 'F' : 'T';
        if (fila.blnSinImagen) esperado[312] = esperado[569] = 'F';
        const QByteArray despues = prueba::LeerArchivo(escrito);
        EXPECT_EQ(despues.size(), std::max<qsizetype>(kTamañoConfig, antes.size()));
        EXPECT_TRUE(despues.startsWith(esperado));
        EXPECT_EQ(despues[3906], blnChat ? 'F' : 'T');
        EXPECT_EQ(prueba::LeerArchivo(config), despues);
        EXPECT_EQ(QFileInfo(config).isSymLink(), nombre == u"enlace simbólico");
    }
}

// The game ended by the desktop (SIGTERM) saves its options as a close
// would: the empty Config.dat it leaves at start-up is filled.
TEST(FinDeSesion, UnaSenalGuardaLasOpciones) {
    prueba::CarpetaTemporal carpeta;
    carpeta.CopiarRecursos();
    const QString config = ModOpciones::strRutaConfig();
    const QString juego = carpeta.archivo(QStringLiteral("brumaria"));
    QFile::remove(config);
    ASSERT_TRUE(QFile::copy(QStringLiteral(BRUMARIA_BIN_DIR "/brumaria"), juego));
    QProcess programa;
    programa.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    programa.start(juego, {QStringLiteral("--solo-local")});
    ASSERT_TRUE(programa.waitForStarted(10000));
    for (int i = 0; i < 200 && !QFileInfo::exists(config); ++i)
        programa.waitForFinished(50);
    ASSERT_TRUE(QFileInfo::exists(config));
    ::kill(pid_t(programa.processId()), SIGTERM);
    ASSERT_TRUE(programa.waitForFinished(10000));
    EXPECT_EQ(programa.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(prueba::LeerArchivo(config).size(), kTamañoConfig);
}

} // namespace
