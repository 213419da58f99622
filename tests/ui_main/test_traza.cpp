// One whole match against the computer through the real window, recorded
// step by step (menus, status bar, answer buttons, counters, new history
// lines) and compared with the record kept beside this file. A change of
// behaviour anywhere in the window shows up as a changed line. The player
// uses mouse and keyboard by turns: the menu and the new-game dialog by
// keys, every other attack with the board's cursor and Enter, every other
// answer by its access key (although "&Agua" and "&Ayuda" share Alt+A).
#include "carpeta_temporal.h"
#include "controles.h"
#include "core/azar.h"
#include "grabador_mensajes.h"
#include "ui/main/frm_empezar_partida.h"
#include "ui/main/tablero.h"
#include "ventana_prueba.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <array>
#include <cstdio>
#include <gtest/gtest.h>

using namespace brumaria;

namespace {

using prueba::Control;
using prueba::Tecla;

class Grabacion {
public:
    Grabacion(FrmPrincipal& v, prueba::GrabadorMensajes& cajas) : v_(v), cajas_(cajas) {}

    void Paso(const QString& accion) {
        QStringList menus;
        for (const char* n :
             {"mnuJuegoEmpezar", "mnuJuegoTerminarPartida", "mnuJuegoCancelarEspera",
              "mnuJuegoVerLosBarcosDelContrincante", "mnuJuegoTerminarConexion"})
            menus << (Control<QAction>(v_, n)->isVisible() ? QStringLiteral("1") : QStringLiteral("0"));
        menus << (Control<QAction>(v_, "mnuJuegoOpciones")->isEnabled() ? QStringLiteral("1")
                                                                         : QStringLiteral("0"));
        QString respuestas;
        for (const char* n : {"cmdAgua", "cmdTocado", "cmdHundido"})
            respuestas += Control<QPushButton>(v_, n)->isEnabled() ? u'1' : u'0';
        QString cuentas;
        for (const char* lado : {"Jugador", "Ordenador"})
            for (int n = 1; n <= 4; ++n)
                cuentas += Control<QLabel>(v_, QStringLiteral("lblHundidos%1De%2")
                                                   .arg(QLatin1String(lado))
                                                   .arg(n))
                               ->text();
        const QStringList h = Control<QPlainTextEdit>(v_, "txtHistorial")
                                  ->toPlainText()
                                  .split(QLatin1Char('\n'));
        QStringList nuevas = h.mid(lineas_);
        lineas_ = h.size();
        static const QRegularExpression fecha(QStringLiteral("^(Comienzo: |Fin ).*$"));
        for (QString& l : nuevas)
            l.replace(fecha, QStringLiteral("\\1<fecha>"));
        QStringList cajas;
        for (const Mensaje& m : cajas_.mensajes())
            cajas << m.titulo + QStringLiteral(": ") + m.texto;
        cajas_.Limpiar();
        traza_ << QStringLiteral("%1 | %2 | %3 | %4 | %5 | %6 | %7 | %8 | %9")
                      .arg(accion, menus.join(QString()),
                           Control<QLabel>(v_, "stbPanel1")->text(),
                           Control<QLabel>(v_, "stbPanel2")->text(),
                           Control<QLabel>(v_, "stbPanel3")->text(), respuestas, cuentas,
                           nuevas.join(QStringLiteral(" / ")).replace(u'\t', u'>'),
                           cajas.join(QStringLiteral(" / ")).replace(u'\n', u'~'));
    }
    const QStringList& traza() const { return traza_; }

private:
    FrmPrincipal& v_;
    prueba::GrabadorMensajes& cajas_;
    QStringList traza_;
    qsizetype lineas_ = 1; // the empty pane has one empty block
};

// Tab to the board from wherever the method put the focus, then the arrows.
void IrA(Tablero& t, int f, int c) {
    for (int i = 0; i < 40 && QApplication::focusWidget() != &t; ++i)
        Tecla(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), &t);
    while (t.filaCursor() != f)
        Tecla(t.filaCursor() < f ? Qt::Key_Down : Qt::Key_Up);
    while (t.columnaCursor() != c)
        Tecla(t.columnaCursor() < c ? Qt::Key_Right : Qt::Key_Left);
}

} // namespace

// The same match, the same record, whichever way the player names a square.
class Traza : public ::testing::TestWithParam<int> {};

TEST_P(Traza, UnaPartidaContraElOrdenadorPasoAPaso) {
    prueba::CarpetaTemporal carpeta;
    carpeta.CopiarRecursos();
    prueba::GrabadorMensajes cajas;
    Azar::FijarDeterminista(424242);
    auto app = prueba::VentanaLista(GetParam());
    FrmPrincipal& v = app->ventana;
    v.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&v));
    auto* tablero = v.findChild<Tablero*>(QStringLiteral("imgCeldaO"));
    ASSERT_NE(tablero, nullptr);
    tablero->setFocus();
    Grabacion g(v, cajas);
    g.Paso(QStringLiteral("arranque"));
    // F10 opens "&Juego", "E" is "&Empezar". The dialog runs its own loop:
    // answered from a timer once it shows (and is active, which on a busy
    // machine comes a little later): the arrow picks "Jugador", Alt+E
    // presses "&Empezar".
    Tecla(Qt::Key_F10);
    ASSERT_TRUE(QTest::qWaitFor([&] { return v.menuBar()->activeAction() != nullptr; }, 2000));
    Tecla(Qt::Key_Down);
    auto* juego = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(juego, nullptr);
    EXPECT_EQ(juego->title(), QStringLiteral("&Juego"));
    QTimer espera;
    QObject::connect(&espera, &QTimer::timeout, &v, [&] {
        auto* d = qobject_cast<FrmEmpezarPartida*>(QApplication::activeModalWidget());
        if (!d || !d->isActiveWindow()) {
            if (d) d->activateWindow();
            return;
        }
        espera.stop();
        Control<QRadioButton>(*d, "optAlAzar")->setFocus();
        Tecla(Qt::Key_Down);
        EXPECT_TRUE(Control<QRadioButton>(*d, "optJugador")->isChecked());
        Tecla(Qt::Key_E, Qt::AltModifier);
    });
    espera.start(5);
    QTest::keyClick(juego, Qt::Key_E);
    ASSERT_TRUE(QTest::qWaitFor([&] { return app->partida.blnEnPartida(); }, 3000));
    g.Paso(QStringLiteral("empezar"));
    // The window manager's part: the window is active again after the dialog.
    v.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&v));

    int k = 0, intAtaques = 0, intRespuestas = 0;
    for (int paso = 0; paso < 300 && app->partida.blnEnPartida(); ++paso) {
        QCoreApplication::processEvents(); // as between a real player's moves
        const ModPrincipal& m = app->principal;
        if (app->partida.blnTurnoJugadorAtaque()) {
            // The squares in order, one row after another.
            while (m.intDescubiertoOrdenador[k / 10][k % 10] != CASILLA_OCULTA)
                ++k;
            const int f = k / 10, c = k % 10;
            if (GetParam() != 1) {
                // A click on the board is not an attack under the other methods.
                QTest::mouseClick(tablero, Qt::LeftButton, {}, tablero->centroCasilla(f, c));
                ASSERT_EQ(m.intDescubiertoOrdenador[f][c], CASILLA_OCULTA);
            }
            if (intAtaques++ % 2) {
                IrA(*tablero, f, c);
                Tecla(Qt::Key_Return);
            } else if (GetParam() == 1) {
                QTest::mouseClick(tablero, Qt::LeftButton, {}, tablero->centroCasilla(f, c));
            } else if (GetParam() == 2) {
                QTest::mouseClick(Control<QLabel>(v, QStringLiteral("lblColumnaO_%1").arg(c)),
                                  Qt::LeftButton);
                QTest::mouseClick(Control<QLabel>(v, QStringLiteral("lblFilaO_%1").arg(f)),
                                  Qt::LeftButton);
            } else {
                QTest::keyClicks(Control<QLineEdit>(v, "txtColumna"), strLetraColumna(c));
                QTest::keyClicks(Control<QLineEdit>(v, "txtFila"), strNumeroFila(f));
                QTest::keyClick(Control<QLineEdit>(v, "txtFila"), Qt::Key_Return);
            }
            g.Paso(QStringLiteral("ataque ") + strCasilla(f, c));
        } else if (app->partida.blnEsperandoRespuesta()) {
            const int f = m.intFilaAtaque, c = m.intColumnaAtaque;
            const int i = m.intBarcosJugador[f][c] != CASILLA_BARCO ? 0 : m.blnHundido(f, c, 0) ? 2 : 1;
            const char* boton = std::array{"cmdAgua", "cmdTocado", "cmdHundido"}[i];
            if (intRespuestas++ % 2) {
                Tecla(std::array{Qt::Key_A, Qt::Key_T, Qt::Key_H}[i], Qt::AltModifier);
                ASSERT_FALSE(QApplication::activePopupWidget()) << "a menu took the answer's key";
            } else {
                QTest::mouseClick(Control<QPushButton>(v, boton), Qt::LeftButton);
            }
            g.Paso(QStringLiteral("respuesta ") + QLatin1String(boton));
        } else {
            QTest::qWait(1);
        }
    }
    ASSERT_FALSE(app->partida.blnEnPartida());
    g.Paso(QStringLiteral("fin"));
    Azar::Liberar();

    const QStringList esperada = QString::fromUtf8(prueba::LeerArchivo(QStringLiteral(BRUMARIA_TRAZA)))
                                     .split(u'\n', Qt::SkipEmptyParts);
    if (g.traza() != esperada) {
        // The whole new record, to look at (and to keep, if the change is meant).
        std::fputs(qPrintable(g.traza().join(u'\n') + u'\n'), stdout);
        for (qsizetype i = 0; i < std::max(g.traza().size(), esperada.size()); ++i)
            if (g.traza().value(i) != esperada.value(i)) {
                ADD_FAILURE() << "paso " << i << "\n  ahora: " << g.traza().value(i).toStdString()
                              << "\n  antes: " << esperada.value(i).toStdString();
                break;
            }
    }
}
INSTANTIATE_TEST_SUITE_P(Metodos, Traza, ::testing::Values(1, 2, 3));
