// Services around the window: sound clips that end in silence and a
// damaged Config.dat.
#include "carpeta_temporal.h"
#include "grabador_mensajes.h"
#include "platform/mensajes_qt.h"
#include "platform/rutas.h"
#include "platform/sonido.h"
#include "ui/main/aplicacion.h"
#include "ui/main/tablero.h"

#include <QAction>
#include <QApplication>
#include <QTimer>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
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
        QStringList avisos; // what the one "Error" box says, in order
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
        {"100 bytes",
         [](QByteArray d) { return d.left(100); },
         {kIlegible, QStringLiteral("(tiempo de respuesta (activar), tiempo de respuesta, color "
                                    "del agua, color de las casillas no descubiertas, color del "
                                    "indicador de ataque, color exterior de los marcadores y 23 "
                                    "más)")}},
        {"4418 bytes", [](QByteArray d) { return d.chopped(1); }, {}},
        {"método", poner(0, "x"), {kIlegible, QStringLiteral("(método de ataque)")}},
        {"tiempo", poner(259, "abc  "), {kIlegible, QStringLiteral("(tiempo de respuesta)")}},
        {"color", poner(264, "abc     "), {kIlegible, QStringLiteral("(color del agua)")}},
        {"tiempo negativo", poner(259, "-1000"), {}},
        {"todo 0xFF",
         [](QByteArray) { return QByteArray(kTamañoConfig, '\xFF'); },
         {kIlegible, QStringLiteral("(método de ataque, tiempo de respuesta, color del agua,"),
          QStringLiteral("y 2 más)"), QStringLiteral("No se encuentra el archivo"),
          QStringLiteral("No se encuentra el archivo"),
          QStringLiteral("No se puede escribir en el archivo de historial")},
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
        // One box at the most, however much is wrong, and none later for
        // what it already said (the history file at the first line).
        app->cuadros.EscribirEnHistorial(QStringLiteral("Primera línea"));
        ASSERT_EQ(grabador.mensajes().size(), fila.avisos.isEmpty() ? 0 : 1);
        if (!fila.avisos.isEmpty()) {
            const Mensaje& m = grabador.mensajes()[0];
            EXPECT_EQ(m.titulo, QStringLiteral("Error"));
            EXPECT_TRUE(m.texto.startsWith(fila.avisos[0])) << m.texto.toStdString();
            qsizetype desde = 0;
            for (const QString& aviso : fila.avisos) {
                const qsizetype donde = m.texto.indexOf(aviso, desde);
                EXPECT_GE(donde, 0) << aviso.toStdString() << " en " << m.texto.toStdString();
                desde = std::max(donde, desde);
            }
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

// A box's long words may break every so many letters; nothing is lost.
TEST(Mensajes, LasPalabrasLargasPuedenPartirse) {
    const QString z(QChar(0x200B));
    const struct {
        QString texto;
        int maximo;
        QString esperado;
    } casos[] = {
        {"corto", 10, "corto"},
        {"abcde", 5, "abcde"},                 // exactly the limit
        {"abcdef", 5, "abcde" + z + "f"},      // one past it
        {"abcdefghijk", 5, "abcde" + z + "fghij" + z + "k"},
        {"abc defgh\nij", 3, "abc def" + z + "gh\nij"},
        {"", 4, ""},
    };
    for (const auto& c : casos)
        EXPECT_EQ(strPartirPalabras(c.texto, c.maximo), c.esperado) << c.texto.toStdString();
}

// The real box keeps a normal width with a damaged path of 256 letters.
TEST(Mensajes, UnaRutaLargaNoEnsanchaLaCaja) {
    InstalarMensajesQt();
    int ancho = 0;
    QTimer::singleShot(0, [&ancho] {
        if (QWidget* caja = QApplication::activeModalWidget()) {
            ancho = caja->width();
            caja->close();
        }
    });
    MsgBox(QStringLiteral("No se encuentra el archivo: ") + QString(256, QChar(0xFF)),
           QStringLiteral("Error"), Icono::Critico);
    InstalarManejadorMensajes({});
    EXPECT_GT(ancho, 0);
    EXPECT_LT(ancho, 700);
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

// The desktop's logout while the start-up "Error" box is open: the game ends
// at once, and the file keeps every option it held (the ticked history view
// as well as the damaged colour, which nobody changed).
TEST(FinDeSesion, UnaSenalConElAvisoDeArranqueAbiertoTerminaYConservaLoLeido) {
    prueba::CarpetaTemporal carpeta;
    carpeta.CopiarRecursos();
    const QString config = ModOpciones::strRutaConfig();
    RegistroOpciones o = RegistroOpciones::PorDefecto();
    o.blnVerHistorial = true;
    QByteArray antes = CodificarOpciones(o);
    antes.replace(264, 8, "abc     ");
    ASSERT_TRUE(prueba::EscribirArchivo(config, antes));
    const QString juego = carpeta.archivo(QStringLiteral("brumaria"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(BRUMARIA_BIN_DIR "/brumaria"), juego));
    QProcess programa;
    programa.setProcessChannelMode(QProcess::MergedChannels);
    programa.start(juego, {QStringLiteral("--solo-local")});
    ASSERT_TRUE(programa.waitForStarted(10000));
    // The box is up once the program sits still waiting for an answer.
    programa.waitForFinished(1500);
    ASSERT_EQ(programa.state(), QProcess::Running);
    ::kill(pid_t(programa.processId()), SIGTERM);
    EXPECT_TRUE(programa.waitForFinished(2000));
    if (programa.state() != QProcess::NotRunning) {
        programa.kill();
        programa.waitForFinished(2000);
    }
    EXPECT_EQ(programa.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(prueba::LeerArchivo(config), antes);
}
