// The main window through its real controls: what a whole match does not
// show (the trace test plays those), each case on a fresh window; last, the
// wait for a network opponent who never comes.
#include "carpeta_temporal.h"
#include "controles.h"
#include "core/azar.h"
#include "grabador_mensajes.h"
#include "red_prueba.h"
#include "ui/main/aplicacion.h"
#include "ui/main/frm_empezar_partida.h"
#include "ui/main/frm_ver_barcos.h"
#include "ui/main/tablero.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

using namespace brumaria;
using prueba::Control;

namespace {

class Ventana : public ::testing::Test {
protected:
    prueba::CarpetaTemporal carpeta;
    prueba::GrabadorMensajes grabador;
    std::unique_ptr<Aplicacion> app;

    void SetUp() override {
        carpeta.CopiarRecursos();
        Azar::FijarDeterminista(7);
    }
    void TearDown() override {
        app.reset();
        Azar::Liberar();
    }

    // Starts the window, from a Config.dat holding `guardadas` if given.
    void Arrancar(const RegistroOpciones* guardadas = nullptr) {
        if (guardadas) {
            ASSERT_TRUE(prueba::EscribirArchivo(ModOpciones::strRutaConfig(),
                                                CodificarOpciones(*guardadas)));
        }
        app = std::make_unique<Aplicacion>();
        app->ventana.Cargar();
        app->opciones.Opciones.blnTiempoRespuesta = false;
        app->ventana.show();
    }
    void ArrancarCon(int intMetodo) {
        RegistroOpciones o = RegistroOpciones::PorDefecto();
        o.intMetodoAtaque = static_cast<std::int16_t>(intMetodo);
        Arrancar(&o);
    }
    FrmPrincipal& v() { return app->ventana; }
    template <class T> T* c(const char* nombre) { return Control<T>(v(), QLatin1String(nombre)); }
    Partida& p() { return app->partida; }
    ModPrincipal& m() { return app->principal; }

    // "&Empezar", answering the dialog through its controls.
    void Empezar(const char* quien, bool blnAceptar = true, const char* casilla = nullptr) {
        QTimer::singleShot(0, &v(), [=, this] {
            auto* d = qobject_cast<FrmEmpezarPartida*>(QApplication::activeModalWidget());
            ASSERT_NE(d, nullptr);
            Control<QRadioButton>(*d, QLatin1String(quien))->click();
            if (casilla) Control<QCheckBox>(*d, QLatin1String(casilla))->setChecked(true);
            Control<QPushButton>(*d, blnAceptar ? QStringLiteral("cmdEmpezar")
                                                : QStringLiteral("cmdCancelar"))
                ->click();
        });
        v().EmpezarPartida();
    }
    QString Historial() { return c<QPlainTextEdit>("txtHistorial")->toPlainText(); }
    QString Estado3() { return c<QLabel>("stbPanel3")->text(); }
};

TEST_F(Ventana, ColumnaYFilaPorEtiquetas) {
    ArrancarCon(2);
    Empezar("optJugador");
    // "C", "F", then row "4": row 4, column F; both columns cleared.
    QTest::mouseClick(c<QLabel>("lblColumnaO_2"), Qt::LeftButton);
    QTest::mouseClick(c<QLabel>("lblColumnaO_5"), Qt::LeftButton);
    EXPECT_TRUE(c<QLabel>("lblColumnaO_2")->font().bold());
    QTest::mouseClick(c<QLabel>("lblFilaO_3"), Qt::LeftButton);
    EXPECT_NE(m().intDescubiertoOrdenador[3][5], CASILLA_OCULTA);
    EXPECT_EQ(m().intDescubiertoOrdenador[3][2], CASILLA_OCULTA);
    EXPECT_FALSE(c<QLabel>("lblColumnaO_5")->font().bold());
}

TEST_F(Ventana, LetraYNumeroTecleadosSeValidan) {
    ArrancarCon(3);
    auto* columna = c<QLineEdit>("txtColumna");
    auto* fila = c<QLineEdit>("txtFila");
    EXPECT_FALSE(columna->isEnabled()); // no match yet
    Empezar("optJugador");
    EXPECT_EQ(v().focusWidget(), columna);
    QTest::keyClicks(columna, QStringLiteral("k"));
    EXPECT_EQ(grabador.Contar(
                  QStringLiteral("La letra introducida no es válida, vuelve a introducirla.")),
              1);
    EXPECT_TRUE(columna->text().isEmpty());
    QTest::keyClicks(columna, QStringLiteral("b"));
    EXPECT_EQ(v().focusWidget(), fila);
    c<QPushButton>("cmdAtacar")->click(); // no number yet
    QTest::keyClicks(fila, QStringLiteral("11"));
    c<QPushButton>("cmdAtacar")->click();
    EXPECT_EQ(grabador.Contar(
                  QStringLiteral("El número introducido no es válido, vuelve a introducirlo.")),
              2);
    EXPECT_TRUE(p().blnTurnoJugadorAtaque());
    QTest::keyClicks(fila, QStringLiteral("10"));
    QTest::keyClick(fila, Qt::Key_Return);
    EXPECT_NE(m().intDescubiertoOrdenador[9][1], CASILLA_OCULTA);
}

TEST_F(Ventana, RedSinConexion) {
    Arrancar();
    // No connection: the whole "&Alertar" menu, its bar entry too, is off.
    EXPECT_FALSE(c<QMenu>("mnuAlertar")->menuAction()->isEnabled());
    // The player closes the session dialog without connecting.
    v().alAbrirConexion = [](QDialog& d) { Control<QPushButton>(d, "cmdCancelar")->click(); };
    Empezar("optJugador", true, "chkJugarEnRed");
    EXPECT_TRUE(Historial().contains(QStringLiteral("Partida multijugador cancelada")));
    EXPECT_FALSE(p().blnEnPartida());
    EXPECT_TRUE(c<QAction>("mnuJuegoEmpezar")->isVisible());
}

TEST_F(Ventana, LaSolucionMuestraLosBarcos) {
    Arrancar();
    Empezar("optJugador");
    grabador.Responder(Respuesta::Si);
    bool blnVista = false;
    QTimer::singleShot(0, &v(), [&] {
        auto* s = qobject_cast<FrmVerBarcos*>(QApplication::activeModalWidget());
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->findChild<QGroupBox*>()->title(),
                  QStringLiteral("Barcos del contrincante - Solución"));
        auto* t = s->findChild<Tablero*>();
        for (int f = 0; f < 10; ++f)
            for (int k = 0; k < 10; ++k)
                EXPECT_EQ(!t->casilla(f, k).imagen.isNull(),
                          m().intBarcosOrdenador[f][k] == CASILLA_BARCO);
        blnVista = true;
        s->close();
    });
    app->preparacion.VerBarcos();
    EXPECT_TRUE(blnVista);
    EXPECT_FALSE(p().blnEnPartida());
}

TEST_F(Ventana, SinImagenesColorYSinBarcosUnAviso) {
    QDir(carpeta.archivo(QStringLiteral("imagenes"))).removeRecursively();
    RegistroOpciones o = RegistroOpciones::PorDefecto();
    o.blnImagenAgua = false;
    o.lngColorNoDescubiertas = RGB(10, 20, 30);
    Arrancar(&o);
    Empezar("optJugador");
    v().MostrarPanel(0);
    const Tablero::Casilla& k = v().findChild<Tablero*>(QStringLiteral("imgCeldaO"))->casilla(9, 9);
    EXPECT_TRUE(k.opaca);
    EXPECT_EQ(k.relleno, QColor(10, 20, 30));
    EXPECT_EQ(grabador.Contar(
                  QStringLiteral("Faltan las imágenes de los barcos, puedes seguir jugando pero es "
                                 "recomendable que instales de nuevo el juego.")),
              1);
}

// The window keeps what the View menu shows; closing it in the middle of a
// placement ends everything and saves that.
TEST_F(Ventana, MenuVerAjustaLaVentanaYCerrarColocandoLoGuarda) {
    Arrancar();
    EXPECT_EQ(QSize(v().width() * 15, v().height() * 15), QSize(7170, 5835));
    c<QAction>("mnuVerBarraDeEstado")->trigger();
    EXPECT_FALSE(v().statusBar()->isVisible());
    EXPECT_EQ(v().intAltoTwips(), 5580);
    c<QAction>("mnuVerHistorial")->trigger();
    EXPECT_EQ(v().intAnchoTwips(), 10560);
    EXPECT_EQ(c<QPlainTextEdit>("txtHistorial")->height(), 4200 / 15);
    c<QAction>("mnuVerChat")->trigger(); // sharing: no wider, history shrinks
    EXPECT_EQ(v().intAnchoTwips(), 10560);
    EXPECT_EQ(c<QPlainTextEdit>("txtHistorial")->height(), 1680 / 15);
    EXPECT_EQ(c<QPlainTextEdit>("txtChat")->y(), 2460 / 15);
    c<QAction>("mnuVerHistorial")->trigger(); // the chat alone keeps the width
    QTimer::singleShot(100, &v(), [this] { v().close(); });
    Empezar("optJugador", true, "chkJugadorColocaSusBarcos");
    ASSERT_TRUE(QTest::qWaitFor([this] { return m().blnCerrando; }, 3000));
    EXPECT_FALSE(p().blnEnPartida());
    const QByteArray datos = prueba::LeerArchivo(ModOpciones::strRutaConfig());
    ASSERT_EQ(datos.size(), 4419);
    EXPECT_EQ(datos.mid(3904, 3), QByteArray("FFT")); // status bar, history, chat
    app.reset();
    Arrancar();
    EXPECT_FALSE(v().statusBar()->isVisible());
    EXPECT_EQ(v().intAltoTwips(), 5580);
    EXPECT_EQ(v().intAnchoTwips(), 10560);
}

TEST_F(Ventana, ElParpadeoDevuelveElUltimoTexto) {
    Arrancar();
    v().intParpadeoApagadoMs = 5;
    v().intParpadeoEncendidoMs = 5;
    app->cuadros.EscribirEnChat(QStringLiteral("hola")); // chat hidden: panel 3 blinks
    EXPECT_EQ(v().LeerEstado(3), QStringLiteral("Te están escribiendo al chat"));
    // A text written while the blink has the panel dark is the one it puts back.
    ASSERT_TRUE(Estado3().isEmpty());
    v().EscribirEstado(3, QStringLiteral("otro"));
    ASSERT_TRUE(QTest::qWaitFor([this] { return !Estado3().isEmpty(); }));
    EXPECT_EQ(Estado3(), QStringLiteral("otro"));
}

class VentanaEnRed : public Ventana {
protected:
    prueba::Barrido barrido; // after the window: what it let go with deleteLater
    prueba::CarpetaEncuentros encuentros;

    bool Esperando() { return c<QPushButton>("cmdCancelarEspera")->isVisible(); }
    // Creates a game on this computer; `accion` runs once the window waits
    // for the opponent.
    void EsperarRival(std::function<void()> accion) {
        Arrancar();
        v().alAbrirConexion = [](QDialog& d) {
            Control<QLineEdit>(d, "txtNombre")->setText(QStringLiteral("Ana"));
            Control<QListWidget>(d, "lstSP")->setCurrentRow(1);
            Control<QLineEdit>(d, "txtGameName")->setText(QStringLiteral("Mesa de Ana"));
            Control<QPushButton>(d, "cmdAceptar")->click();
        };
        auto* vigia = new QTimer(&v());
        QObject::connect(vigia, &QTimer::timeout, vigia, [this, vigia, accion] {
            if (!Esperando()) return;
            vigia->stop();
            accion();
        });
        vigia->start(10);
        Empezar("optJugador", true, "chkJugarEnRed");
    }
};

TEST_F(VentanaEnRed, CancelarLaEsperaYTerminarLaConexion) {
    bool visto = false;
    EsperarRival([&] {
        visto = true;
        c<QPushButton>("cmdCancelarEspera")->click();
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return visto && !Esperando(); }, 10000));
    // The session stays open for the opponent to come.
    EXPECT_TRUE(c<QAction>("mnuJuegoTerminarConexion")->isVisible());
    EXPECT_TRUE(app->dplay.blnConectado());
    EXPECT_EQ(Estado3(), QStringLiteral("Nombre de sesión: Mesa de Ana (HOST)"));
    // The router's answer crosses the status bar until its panels are used.
    app->cuadros.EscribirAviso(QStringLiteral("Tu dirección para jugar por Internet: 1.2.3.4:5"));
    EXPECT_EQ(v().statusBar()->currentMessage(),
              QStringLiteral("Tu dirección para jugar por Internet: 1.2.3.4:5"));
    c<QAction>("mnuJuegoTerminarConexion")->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !app->dplay.blnConectado(); }));
    EXPECT_TRUE(grabador.mensajes().isEmpty());
    EXPECT_TRUE(Estado3().isEmpty());
    EXPECT_TRUE(v().statusBar()->currentMessage().isEmpty());

    // Enter sends the chat line only while the chat box has the focus.
    v().DisponerChat(2);
    QApplication::setActiveWindow(&v());
    c<QLineEdit>("txtMensaje")->setFocus();
    EXPECT_TRUE(QTest::qWaitFor([&] { return c<QPushButton>("cmdChatEnviar")->isDefault(); }));
    c<QPushButton>("cmdChatEnviar")->setFocus();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !c<QPushButton>("cmdChatEnviar")->isDefault(); }));
}

// Closing waits for nothing: by the time close() returns the session is
// gone, and the busy pointer goes once the events queued before it have run.
TEST_F(VentanaEnRed, CerrarMientrasEsperaAlContrincanteAcabaEnSeguida) {
    bool blnCerrada = false, blnSinSesion = false;
    EsperarRival([&] {
        v().close();
        blnCerrada = true;
        blnSinSesion = !app->dplay.blnConectado();
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return blnCerrada; }, 10000));
    EXPECT_TRUE(blnSinSesion);
    QCoreApplication::processEvents();
    EXPECT_FALSE(QApplication::overrideCursor());
    EXPECT_FALSE(v().isVisible());
    EXPECT_TRUE(grabador.mensajes().isEmpty());
}

} // namespace
