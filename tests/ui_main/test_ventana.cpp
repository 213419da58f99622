// The main window played through its real controls against the computer.
#include "carpeta_temporal.h"
#include "controles.h"
#include "core/azar.h"
#include "grabador_mensajes.h"
#include "ui/main/aplicacion.h"
#include "ui/main/frm_empezar_partida.h"
#include "ui/main/frm_ver_barcos.h"
#include "ui/main/tablero.h"
#include "ui/net/frm_conexion_dplay.h"
#include "ui/placement/colocar_barcos.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
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

const QString kSegundaFrase = QStringLiteral(
    "Se desactivarán las imágenes y se cargarán las opciones instaladas por defecto.");

class Ventana : public ::testing::Test {
public:
    static bool Verde(QLabel* l) {
        return l->font().bold() && l->palette().color(QPalette::WindowText) == QColor(0, 192, 0);
    }

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

    // Optionally writes Config.dat first, then starts the window.
    void Arrancar(const RegistroOpciones* guardadas = nullptr) {
        if (guardadas) {
            QFile f(ModOpciones::strRutaConfig());
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(CodificarOpciones(*guardadas));
        }
        app = std::make_unique<Aplicacion>();
        app->ventana.Cargar();
        app->opciones.Opciones.blnTiempoRespuesta = false;
        app->ventana.show();
        QApplication::setActiveWindow(&app->ventana);
    }
    FrmPrincipal& v() { return app->ventana; }
    Partida& p() { return app->partida; }
    ModPrincipal& m() { return app->principal; }

    // Runs "&Empezar" answering the dialog through its buttons.
    void Empezar(const char* quien, bool blnAceptar = true) {
        QTimer::singleShot(0, &v(), [this, quien, blnAceptar] {
            auto* d = v().findChild<FrmEmpezarPartida*>(QStringLiteral("frmEmpezarPartida"));
            ASSERT_NE(d, nullptr);
            ASSERT_TRUE(d->isVisible());
            Control<QRadioButton>(*d, quien)->click();
            QTest::mouseClick(Control<QPushButton>(*d, blnAceptar ? "cmdEmpezar" : "cmdCancelar"),
                              Qt::LeftButton);
        });
        v().EmpezarPartida();
    }

    // The true answer to the computer's shot, with the real buttons.
    void Responder() {
        const int f = m().intFilaAtaque, c = m().intColumnaAtaque;
        QPushButton* b = m().intBarcosJugador[f][c] == CASILLA_AGUA ? v().cmdAgua
                         : m().blnHundido(f, c, 0)                  ? v().cmdHundido
                                                                    : v().cmdTocado;
        ASSERT_TRUE(b->isEnabled());
        QTest::mouseClick(b, Qt::LeftButton);
    }

    // Names a square by the method in force, as a player would.
    void Atacar(int f, int c) {
        switch (app->opciones.Opciones.intMetodoAtaque) {
        case 1:
            QTest::mouseClick(v().tableroOrdenador, Qt::LeftButton, {},
                              v().tableroOrdenador->centroCasilla(f, c));
            break;
        case 2:
            QTest::mouseClick(v().lblColumnaO[c], Qt::LeftButton);
            QTest::mouseClick(v().lblFilaO[f], Qt::LeftButton);
            break;
        default:
            QTest::keyClicks(v().txtColumna, strLetraColumna(c).toLower());
            QTest::keyClicks(v().txtFila, strNumeroFila(f));
            QTest::mouseClick(v().cmdAtacar, Qt::LeftButton);
        }
    }

    // Plays to the end: the player shoots the hidden squares in order.
    void Jugar() {
        int k = 0;
        for (int pasos = 0; p().blnEnPartida() && pasos < 2000; ++pasos) {
            if (p().blnTurnoJugadorAtaque()) {
                while (m().intDescubiertoOrdenador[k / 10][k % 10] != CASILLA_OCULTA)
                    ++k;
                const int antes = k;
                Atacar(k / 10, k % 10);
                ASSERT_NE(m().intDescubiertoOrdenador[antes / 10][antes % 10], CASILLA_OCULTA);
            } else if (p().blnEsperandoRespuesta()) {
                Responder();
            } else {
                QTest::qWait(1);
            }
        }
        ASSERT_FALSE(p().blnEnPartida())
            << qPrintable(v().LeerEstado(2)) << " " << p().blnEsperandoRespuesta() << " "
            << p().blnTurnoJugadorAtaque();
    }

    QStringList Historial() const {
        return app->ventana.txtHistorial->toPlainText().split(QLatin1Char('\n'));
    }
};

void ComprobarFinal(Ventana* t, FrmPrincipal& v, const QStringList& h, ModPrincipal& m) {
    Q_UNUSED(t);
    const bool blnGanaJugador = h.contains(QStringLiteral("¡El JUGADOR GANA la partida!"));
    EXPECT_TRUE(blnGanaJugador || h.contains(QStringLiteral("¡El ORDENADOR GANA la partida!")));
    EXPECT_EQ(m.intTerminarPartida(), blnGanaJugador ? 1 : 2);
    // The winner's counters are complete, bold and green.
    auto& cuenta = blnGanaJugador ? v.lblHundidosOrdenadorDe : v.lblHundidosJugadorDe;
    auto& equis = blnGanaJugador ? v.lblXOrdenador : v.lblXJugador;
    const int totales[4] = {4, 3, 2, 1};
    for (int n = 1; n <= 4; ++n) {
        EXPECT_EQ(cuenta[n - 1]->text(), QString::number(totales[n - 1]));
        EXPECT_TRUE(Ventana::Verde(cuenta[n - 1]));
        EXPECT_TRUE(Ventana::Verde(equis[4 - n]));
    }
    EXPECT_TRUE(v.mnuJuegoEmpezar->isVisible());
    EXPECT_FALSE(v.mnuJuegoTerminarPartida->isVisible());
    EXPECT_FALSE(v.mnuJuegoVerLosBarcosDelContrincante->isVisible());
}

TEST_F(Ventana, PartidaEnteraHaciendoClicEnLasCasillas) {
    Arrancar();
    app->opciones.Opciones.intMetodoAtaque = 1;
    Empezar("optJugador");
    ASSERT_TRUE(p().blnEnPartida());
    EXPECT_EQ(v().LeerEstado(2), QStringLiteral("Tu turno (tienes que atacar)"));
    // Square J10 draws the cross from (2810, 2810) to (2950, 2950) and back.
    if (m().intBarcosOrdenador[9][9] == CASILLA_AGUA) {
        Atacar(9, 9);
        EXPECT_EQ(v().tableroOrdenador->lineaDisparo(0), QLine(2810, 2810, 2950, 2950));
        EXPECT_EQ(v().tableroOrdenador->lineaDisparo(1), QLine(2810, 2950, 2950, 2810));
        EXPECT_EQ(Historial().last(), QStringLiteral("Jugador\t\tJ10\tAgua"));
    }
    Jugar();
    ComprobarFinal(this, v(), Historial(), m());
    EXPECT_FALSE(v().tableroOrdenador->disparoVisible());
    // The history of the match is framed by its opening and closing lines.
    const QStringList h = Historial();
    EXPECT_EQ(h.at(0), QString());
    EXPECT_EQ(h.at(1), QString(61, QLatin1Char('-')));
    EXPECT_EQ(h.at(2), QStringLiteral("EMPIEZA UNA PARTIDA"));
    EXPECT_TRUE(h.at(3).startsWith(QStringLiteral("Comienzo: ")));
    EXPECT_TRUE(h.at(h.size() - 3).startsWith(QStringLiteral("Fin ")));
}

TEST_F(Ventana, PartidaEnteraConColumnaYFila) {
    Arrancar();
    app->opciones.Opciones.intMetodoAtaque = 2;
    v().AplicarOpciones();
    Empezar("optOrdenador");
    ASSERT_TRUE(p().blnEnPartida());
    // The computer starts: its shot waits for the player's answer.
    EXPECT_EQ(v().LeerEstado(2), QStringLiteral("Mi turno (tienes que responder)"));
    // A click while it is not the player's turn does nothing.
    QTest::mouseClick(v().lblColumnaO[3], Qt::LeftButton);
    EXPECT_FALSE(v().lblColumnaO[3]->font().bold());
    while (!p().blnTurnoJugadorAtaque() && p().blnEnPartida())
        Responder();
    // "C", "F", then row "4": row 4, column F; both columns cleared.
    QTest::mouseClick(v().lblColumnaO[2], Qt::LeftButton);
    QTest::mouseClick(v().lblColumnaO[5], Qt::LeftButton);
    EXPECT_TRUE(v().lblColumnaO[2]->font().bold());
    QTest::mouseClick(v().lblFilaO[3], Qt::LeftButton);
    EXPECT_NE(m().intDescubiertoOrdenador[3][5], CASILLA_OCULTA);
    EXPECT_EQ(m().intDescubiertoOrdenador[3][2], CASILLA_OCULTA);
    for (QLabel* l : v().lblColumnaO)
        EXPECT_FALSE(l->font().bold());
    Jugar();
    ComprobarFinal(this, v(), Historial(), m());
}

TEST_F(Ventana, PartidaEnteraTecleandoLetraYNumero) {
    RegistroOpciones o = RegistroOpciones::PorDefecto();
    o.intMetodoAtaque = 3;
    Arrancar(&o);
    ASSERT_TRUE(v().txtColumna->isVisible());
    EXPECT_FALSE(v().txtColumna->isEnabled()); // no match yet
    Empezar("optJugador");
    ASSERT_TRUE(v().txtColumna->isEnabled());
    EXPECT_EQ(v().focusWidget(), v().txtColumna);

    // An invalid letter is refused while typing and the box emptied.
    QTest::keyClicks(v().txtColumna, QStringLiteral("k"));
    EXPECT_EQ(grabador.Contar(
                  QStringLiteral("La letra introducida no es válida, vuelve a introducirla.")),
              1);
    EXPECT_TRUE(v().txtColumna->text().isEmpty());
    // A valid letter with no number: the number message, no attack.
    QTest::keyClicks(v().txtColumna, QStringLiteral("b"));
    EXPECT_EQ(v().focusWidget(), v().txtFila);
    QTest::mouseClick(v().cmdAtacar, Qt::LeftButton);
    EXPECT_EQ(grabador.Contar(
                  QStringLiteral("El número introducido no es válido, vuelve a introducirlo.")),
              1);
    EXPECT_TRUE(p().blnTurnoJugadorAtaque());
    // "11" changes nothing while typing and is refused on "&Atacar".
    QTest::keyClicks(v().txtFila, QStringLiteral("11"));
    QTest::mouseClick(v().cmdAtacar, Qt::LeftButton);
    EXPECT_EQ(grabador.Contar(
                  QStringLiteral("El número introducido no es válido, vuelve a introducirlo.")),
              2);
    EXPECT_TRUE(v().txtFila->text().isEmpty());
    // "b" and "10" attack row index 9, column index 1, with Enter.
    QTest::keyClicks(v().txtFila, QStringLiteral("10"));
    EXPECT_TRUE(v().cmdAtacar->isDefault());
    QTest::keyClick(v().txtFila, Qt::Key_Return);
    EXPECT_NE(m().intDescubiertoOrdenador[9][1], CASILLA_OCULTA);
    Jugar();
    ComprobarFinal(this, v(), Historial(), m());
    EXPECT_FALSE(v().txtColumna->isEnabled());
}

TEST_F(Ventana, DialogoNuevaPartidaCancelarNoCambiaNadaYRecuerdaLaEleccion) {
    Arrancar();
    Empezar("optOrdenador", false);
    EXPECT_TRUE(v().txtHistorial->toPlainText().isEmpty());
    EXPECT_FALSE(p().blnEnPartida());
    EXPECT_TRUE(v().mnuJuegoEmpezar->isVisible());
    EXPECT_FALSE(v().mnuJuegoTerminarPartida->isVisible());
    auto* d = v().findChild<FrmEmpezarPartida*>(QStringLiteral("frmEmpezarPartida"));
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(Control<QRadioButton>(*d, "optOrdenador")->isChecked()); // kept, hidden
    EXPECT_EQ(Control<QWidget>(*d, "optAlAzar")->property("ayudaEmergente").toInt(), 1100);
    EXPECT_EQ(Control<QWidget>(*d, "cmdCancelar")->property("ayudaEmergente").toInt(), 1160);
    EXPECT_TRUE(d->windowFlags() & Qt::WindowContextHelpButtonHint);
    // Ticking the network box disables the starter choice.
    Control<QCheckBox>(*d, "chkJugarEnRed")->setChecked(true);
    EXPECT_FALSE(Control<QWidget>(*d, "fraQuienEmpieza")->isEnabled());
    Control<QCheckBox>(*d, "chkJugarEnRed")->setChecked(false);
    // Accepted: the dialog goes, the next one starts afresh.
    Empezar("optOrdenador");
    EXPECT_TRUE(p().blnEnPartida());
    EXPECT_FALSE(app->preparacion.blnEmpiezaJugador());
    QTest::qWait(0);
    auto* nuevo = v().findChild<FrmEmpezarPartida*>(QStringLiteral("frmEmpezarPartida"));
    EXPECT_EQ(nuevo, nullptr);
}

TEST_F(Ventana, QuienEmpiezaSiempreComoSeEligio) {
    Arrancar();
    for (int i = 0; i < 3; ++i) {
        Empezar("optJugador");
        EXPECT_TRUE(app->preparacion.blnEmpiezaJugador());
        EXPECT_TRUE(p().blnTurnoJugadorAtaque());
        p().FinDePartida();
        Empezar("optOrdenador");
        EXPECT_FALSE(app->preparacion.blnEmpiezaJugador());
        EXPECT_TRUE(p().blnEsperandoRespuesta());
        p().FinDePartida();
    }
}

TEST_F(Ventana, AlAzarRepartePrimerosTurnos) {
    Arrancar();
    int intJugador = 0;
    for (int i = 0; i < 16; ++i) {
        Empezar("optAlAzar");
        intJugador += app->preparacion.blnEmpiezaJugador() ? 1 : 0;
        p().FinDePartida();
    }
    EXPECT_GT(intJugador, 0);
    EXPECT_LT(intJugador, 16);
}

TEST_F(Ventana, OpcionesSeAbrenDesdeElMenu) {
    Arrancar();
    QString strAbierto;
    QTimer vigia;
    QObject::connect(&vigia, &QTimer::timeout, &v(), [&] {
        if (QWidget* d = QApplication::activeModalWidget()) {
            strAbierto = QString::fromLatin1(d->metaObject()->className());
            d->close();
            vigia.stop();
        }
    });
    vigia.start(5);
    v().mnuJuegoOpciones->trigger();
    for (int i = 0; i < 200 && strAbierto.isEmpty(); ++i)
        QTest::qWait(5);
    vigia.stop();
    EXPECT_EQ(strAbierto, QStringLiteral("brumaria::FrmOpciones"));
}

TEST_F(Ventana, EstadosDelMenuJuegoYTerminarPartida) {
    Arrancar();
    auto estado = [&] {
        return QString("%1%2%3%4%5%6")
            .arg(v().mnuJuegoEmpezar->isVisible())
            .arg(v().mnuJuegoTerminarPartida->isVisible())
            .arg(v().mnuJuegoCancelarEspera->isVisible())
            .arg(v().mnuJuegoVerLosBarcosDelContrincante->isVisible())
            .arg(v().mnuJuegoTerminarConexion->isVisible())
            .arg(v().mnuJuegoOpciones->isEnabled());
    };
    EXPECT_EQ(estado(), QStringLiteral("100001"));
    EXPECT_FALSE(v().mnuAlertar->isEnabled());
    EXPECT_FALSE(v().mnuAlertarMsgBox->isEnabled()); // Ctrl+C stays free
    EXPECT_EQ(v().mnuAlertarSonido->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
    Empezar("optJugador");
    EXPECT_EQ(estado(), QStringLiteral("010101"));
    v().mnuJuegoTerminarPartida->trigger();
    QTest::qWait(0); // menu commands run once the menu has closed
    EXPECT_EQ(grabador.Contar(QStringLiteral("Has cancelado la partida, has perdido.")), 1);
    EXPECT_EQ(grabador.mensajes().last().titulo, QStringLiteral("Fin de partida"));
    const QStringList h = Historial();
    EXPECT_EQ(h.at(h.size() - 4), QStringLiteral("Has perdido"));
    EXPECT_EQ(estado(), QStringLiteral("100001"));
    EXPECT_FALSE(p().blnEnPartida());
}

TEST_F(Ventana, PartidaEnRedSinConexionTerminaCancelada) {
    Arrancar();
    // The player closes the session dialog without connecting.
    v().alAbrirConexion = [](QDialog& d) { Control<QPushButton>(d, "cmdCancelar")->click(); };
    QTimer::singleShot(0, &v(), [this] {
        auto* d = v().findChild<FrmEmpezarPartida*>(QStringLiteral("frmEmpezarPartida"));
        Control<QCheckBox>(*d, "chkJugarEnRed")->setChecked(true);
        QTest::mouseClick(Control<QPushButton>(*d, "cmdEmpezar"), Qt::LeftButton);
    });
    v().EmpezarPartida();
    const QStringList h = Historial();
    EXPECT_TRUE(h.contains(QStringLiteral("Partida multijugador")));
    EXPECT_TRUE(h.contains(QStringLiteral("Partida multijugador cancelada")));
    EXPECT_FALSE(p().blnEnPartida());
    EXPECT_TRUE(v().mnuJuegoEmpezar->isVisible());
}

TEST_F(Ventana, VentanaDeSolucionMuestraLaFlotaDelContrincante) {
    Arrancar();
    Empezar("optJugador");
    grabador.Responder(Respuesta::Si);
    bool blnVista = false;
    QTimer::singleShot(0, &v(), [&] {
        auto* s = qobject_cast<FrmVerBarcos*>(v().frmVerBarcos.data());
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->windowTitle(), QStringLiteral("Ver barcos"));
        EXPECT_EQ(Control<QGroupBox>(*s, "fraPanelOrdenador")->title(),
                  QStringLiteral("Barcos del contrincante - Solución"));
        for (int f = 0; f < 10; ++f)
            for (int c = 0; c < 10; ++c)
                EXPECT_EQ(!Control<Tablero>(*s, "imgCelda")->casilla(f, c).imagen.isNull(),
                          m().intBarcosOrdenador[f][c] == CASILLA_BARCO);
        blnVista = true;
        s->close();
    });
    app->preparacion.VerBarcos();
    EXPECT_TRUE(blnVista);
    EXPECT_FALSE(p().blnEnPartida());
}

TEST_F(Ventana, ImagenesDeLasPiezasYBordes) {
    Arrancar();
    m().LlenarPanel(0, CASILLA_AGUA);
    for (int c = 0; c < 4; ++c)
        m().intBarcosJugador[0][c] = CASILLA_BARCO; // horizontal, touching the left edge
    for (int f = 7; f < 10; ++f)
        m().intBarcosJugador[f][9] = CASILLA_BARCO; // vertical, bottom right corner
    m().intBarcosJugador[5][5] = CASILLA_BARCO;
    v().MostrarPanel(0);
    auto imagen = [&](int f, int c) { return v().tableroJugador->casilla(f, c).imagen.cacheKey(); };
    auto pieza = [&](ImagenCasilla i) { return v().imagenes().Pieza(i).cacheKey(); };
    EXPECT_EQ(imagen(0, 0), pieza(ImagenCasilla::BarcoH1));
    EXPECT_EQ(imagen(0, 1), pieza(ImagenCasilla::BarcoH2));
    EXPECT_EQ(imagen(0, 2), pieza(ImagenCasilla::BarcoH2));
    EXPECT_EQ(imagen(0, 3), pieza(ImagenCasilla::BarcoH3));
    EXPECT_EQ(imagen(7, 9), pieza(ImagenCasilla::BarcoV1));
    EXPECT_EQ(imagen(8, 9), pieza(ImagenCasilla::BarcoV2));
    EXPECT_EQ(imagen(9, 9), pieza(ImagenCasilla::BarcoV3));
    EXPECT_EQ(imagen(5, 5), pieza(ImagenCasilla::BarcoH4));
    EXPECT_FALSE(v().imagenes().Pieza(ImagenCasilla::BarcoH4).isNull());
    EXPECT_TRUE(v().tableroJugador->casilla(1, 1).imagen.isNull());
    EXPECT_EQ(v().tableroJugador->textoAccesible(9, 9), QStringLiteral("J10: barco"));
    EXPECT_EQ(grabador.mensajes().size(), 0);
}

TEST_F(Ventana, SinImagenesLasCasillasOcultasLlevanSuColor) {
    RegistroOpciones o = RegistroOpciones::PorDefecto();
    o.blnImagenAgua = false;
    o.lngColorNoDescubiertas = RGB(10, 20, 30);
    Arrancar(&o);
    Empezar("optJugador");
    for (int f = 0; f < 10; ++f)
        for (int c = 0; c < 10; ++c) {
            const Tablero::Casilla& k = v().tableroOrdenador->casilla(f, c);
            ASSERT_TRUE(k.opaca);
            ASSERT_EQ(k.relleno, QColor(10, 20, 30));
        }
}

TEST_F(Ventana, FaltanLasImagenesDeLosBarcosUnAvisoPorEjecucion) {
    QDir(carpeta.archivo(QStringLiteral("imagenes"))).removeRecursively();
    RegistroOpciones o = RegistroOpciones::PorDefecto();
    o.blnImagenAgua = false;
    Arrancar(&o);
    Empezar("optJugador");
    v().MostrarPanel(0);
    EXPECT_EQ(grabador.Contar(
                  QStringLiteral("Faltan las imágenes de los barcos, puedes seguir jugando pero es "
                                 "recomendable que instales de nuevo el juego.")),
              1);
}

TEST_F(Ventana, MenuVerAjustaElTamanoDeLaVentana) {
    Arrancar();
    auto tamaño = [&] { return QSize(v().width() * 15, v().height() * 15); };
    EXPECT_EQ(v().intAnchoTwips(), 7170);
    EXPECT_EQ(v().intAltoTwips(), 5835);
    EXPECT_EQ(tamaño(), QSize(7170, 5835));
    v().mnuVerBarraDeEstado->trigger();
    EXPECT_FALSE(v().statusBar()->isVisible());
    EXPECT_EQ(v().intAltoTwips(), 5580);
    v().mnuVerBarraDeEstado->trigger();
    EXPECT_EQ(v().intAltoTwips(), 5835);
    EXPECT_TRUE(v().mnuVerBarraDeEstado->isChecked());

    v().mnuVerHistorial->trigger();
    EXPECT_EQ(v().intAnchoTwips(), 10560);
    EXPECT_EQ(v().txtHistorial->height(), 4200 / 15);
    v().mnuVerChat->trigger(); // sharing: no wider, history shrinks
    EXPECT_EQ(v().intAnchoTwips(), 10560);
    EXPECT_EQ(v().txtHistorial->height(), 1680 / 15);
    EXPECT_EQ(v().txtChat->y(), 2460 / 15);
    v().mnuVerHistorial->trigger();
    EXPECT_FALSE(v().txtHistorial->isVisible());
    EXPECT_EQ(v().txtChat->height(), 3840 / 15);
    v().mnuVerChat->trigger();
    EXPECT_EQ(v().intAnchoTwips(), 7170);
    EXPECT_EQ(tamaño(), QSize(7170, 5835));
    EXPECT_FALSE(v().mnuVerChat->isChecked());
}

TEST_F(Ventana, CerrarGuardaConfigConLasVistas) {
    Arrancar();
    v().mnuVerHistorial->trigger();
    v().mnuVerBarraDeEstado->trigger();
    v().close();
    EXPECT_TRUE(m().blnCerrando);
    QFile f(ModOpciones::strRutaConfig());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray datos = f.readAll();
    ASSERT_EQ(datos.size(), 4419);
    EXPECT_EQ(datos.at(3904), 'F'); // status bar
    EXPECT_EQ(datos.at(3905), 'T'); // history
    EXPECT_EQ(datos.at(3906), 'F'); // chat
    // The next start shows what was left.
    app.reset();
    Arrancar();
    EXPECT_TRUE(v().mnuVerHistorial->isChecked());
    EXPECT_FALSE(v().statusBar()->isVisible());
    EXPECT_EQ(v().intAnchoTwips(), 10560);
    EXPECT_EQ(v().intAltoTwips(), 5580);
}

TEST_F(Ventana, CerrarDuranteLaColocacionTerminaSinEmpezar) {
    Arrancar();
    QTimer::singleShot(0, &v(), [this] {
        auto* d = v().findChild<FrmEmpezarPartida*>(QStringLiteral("frmEmpezarPartida"));
        Control<QCheckBox>(*d, "chkJugadorColocaSusBarcos")->setChecked(true);
        QTest::mouseClick(Control<QPushButton>(*d, "cmdEmpezar"), Qt::LeftButton);
        QTimer::singleShot(20, &v(), [this] { v().close(); });
    });
    v().EmpezarPartida();
    ASSERT_TRUE(QTest::qWaitFor([this] { return m().blnCerrando; }, 3000));
    EXPECT_FALSE(v().frmColocarBarcos);
    EXPECT_FALSE(p().blnEnPartida());
    EXPECT_TRUE(QFile::exists(ModOpciones::strRutaConfig()));
}

class ConfigDañado : public Ventana, public ::testing::WithParamInterface<int> {};

TEST_P(ConfigDañado, ArrancaUsableYCorrigeLasOpciones) {
    RegistroOpciones o = RegistroOpciones::PorDefecto();
    o.blnImagenAgua = true;
    o.blnSonidosAgua = true;
    o.strSonidoAgua = QStringLiteral("/no/existe.wav");
    switch (GetParam()) {
    case 0:
        o.strRutaAgua = carpeta.archivo(QStringLiteral("no-existe/agua.jpg"));
        break;
    case 1:
        o.strRutaAgua = carpeta.archivo(QStringLiteral("imagenes")); // a folder
        break;
    default:
        o.strRutaAgua = carpeta.archivo(QStringLiteral("imagenes/no-existe.jpg"));
        break;
    }
    o.intMetodoAtaque = 7; // no such method
    Arrancar(&o);
    ASSERT_EQ(grabador.mensajes().size(), 1);
    const Mensaje& aviso = grabador.mensajes().first();
    EXPECT_EQ(aviso.titulo, QStringLiteral("Advertencia"));
    EXPECT_EQ(aviso.icono, Icono::Exclamacion);
    EXPECT_TRUE(aviso.texto.endsWith(QStringLiteral("\n\n") + kSegundaFrase));
    EXPECT_FALSE(app->opciones.Opciones.blnImagenAgua);
    EXPECT_FALSE(app->opciones.Opciones.blnSonidosAgua);
    EXPECT_TRUE(app->opciones.Opciones.strSonidoAgua.isEmpty());
    EXPECT_EQ(app->opciones.Opciones.intMetodoAtaque, 1);
    // Saved corrected: the next start is silent.
    app.reset();
    grabador.Limpiar();
    Arrancar();
    EXPECT_EQ(grabador.mensajes().size(), 0);
    EXPECT_FALSE(app->opciones.Opciones.blnImagenAgua);
    // And the game plays.
    Empezar("optJugador");
    Jugar();
}
INSTANTIATE_TEST_SUITE_P(Rutas, ConfigDañado, ::testing::Values(0, 1, 2));

TEST_F(Ventana, TextosDeFueraSeMuestranComoTextoPlano) {
    Arrancar();
    const QString marcado = QStringLiteral("<b>Pepe</b> &amp; <img src=x>");
    v().AnadirLineaHistorial(marcado);
    v().AnadirLineaChat(marcado);
    v().EscribirEstado(3, marcado);
    EXPECT_EQ(v().txtHistorial->toPlainText(), marcado);
    EXPECT_EQ(v().txtChat->toPlainText(), marcado);
    EXPECT_EQ(v().stbPanel[2]->textFormat(), Qt::PlainText);
    EXPECT_EQ(v().stbPanel[2]->text(), marcado);
    EXPECT_TRUE(v().txtHistorial->isReadOnly());
    EXPECT_TRUE(v().txtChat->isReadOnly());
}

TEST_F(Ventana, ParpadeoDeLaBarraDeEstado) {
    Arrancar();
    v().intParpadeoApagadoMs = 5;
    v().intParpadeoEncendidoMs = 5;
    app->cuadros.EscribirEnChat(QStringLiteral("hola")); // chat hidden: panel 3 blinks
    EXPECT_EQ(v().LeerEstado(3), QStringLiteral("Te están escribiendo al chat"));
    EXPECT_TRUE(v().stbPanel[2]->text().isEmpty()); // off phase
    QTRY_COMPARE(v().stbPanel[2]->text(), QStringLiteral("Te están escribiendo al chat"));
    // A text written during a blink is the one that stays.
    v().ParpadearSTB(3, 4);
    v().EscribirEstado(3, QStringLiteral("otro"));
    QTest::qWait(100);
    EXPECT_EQ(v().stbPanel[2]->text(), QStringLiteral("otro"));
}

TEST_F(Ventana, TableroAccesiblePorCasilla) {
    Arrancar();
    Empezar("optJugador");
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(v().tableroOrdenador);
    ASSERT_NE(a, nullptr);
    ASSERT_EQ(a->childCount(), 100);
    EXPECT_EQ(a->child(99)->text(QAccessible::Name), QStringLiteral("J10: sin descubrir"));
    EXPECT_EQ(a->child(0)->text(QAccessible::Name), QStringLiteral("A1: sin descubrir"));
}

} // namespace
