// One whole match against the computer through the real window, recorded
// step by step (menus, status bar, answer buttons, counters, new history
// lines) and compared with the record kept beside this file. A change of
// behaviour anywhere in the window shows up as a changed line.
#include "carpeta_temporal.h"
#include "controles.h"
#include "core/azar.h"
#include "grabador_mensajes.h"
#include "ui/main/aplicacion.h"
#include "ventana_prueba.h"
#include "ui/main/frm_empezar_partida.h"
#include "ui/main/tablero.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <gtest/gtest.h>

using namespace brumaria;

namespace {

using prueba::Control;

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
    Grabacion g(v, cajas);
    g.Paso(QStringLiteral("arranque"));

    // The dialog opens once the set-up gets there: answer it when it shows.
    QTimer espera;
    QObject::connect(&espera, &QTimer::timeout, &v, [&] {
        auto* d = qobject_cast<FrmEmpezarPartida*>(QApplication::activeModalWidget());
        if (!d) return;
        espera.stop();
        QTest::mouseClick(Control<QRadioButton>(*d, "optJugador"), Qt::LeftButton);
        QTest::mouseClick(Control<QPushButton>(*d, "cmdEmpezar"), Qt::LeftButton);
    });
    espera.start(5);
    Control<QAction>(v, "mnuJuegoEmpezar")->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return app->partida.blnEnPartida(); }, 3000));
    g.Paso(QStringLiteral("empezar"));

    auto* tablero = v.findChild<Tablero*>(QStringLiteral("imgCeldaO"));
    ASSERT_NE(tablero, nullptr);
    int k = 0;
    for (int paso = 0; paso < 300 && app->partida.blnEnPartida(); ++paso) {
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
            if (GetParam() == 1) {
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
            g.Paso(QStringLiteral("ataque ") + strCasilla(k / 10, k % 10));
        } else if (app->partida.blnEsperandoRespuesta()) {
            const int f = m.intFilaAtaque, c = m.intColumnaAtaque;
            const char* boton = m.intBarcosJugador[f][c] != CASILLA_BARCO ? "cmdAgua"
                                : m.blnHundido(f, c, 0)                  ? "cmdHundido"
                                                                         : "cmdTocado";
            QTest::mouseClick(Control<QPushButton>(v, boton), Qt::LeftButton);
            g.Paso(QStringLiteral("respuesta ") + QLatin1String(boton));
        } else {
            QTest::qWait(1);
        }
    }
    ASSERT_FALSE(app->partida.blnEnPartida());
    g.Paso(QStringLiteral("fin"));
    Azar::Liberar();

    QFile f(QStringLiteral(BRUMARIA_TRAZA));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList esperada = QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
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
