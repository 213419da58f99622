// A whole match against the computer with the keyboard alone, under each
// input method: the menu and the new-game dialog by keys, every attack with
// the board's cursor and Enter, every answer by its access key, although
// "&Agua" and "&Ayuda" share Alt+A.
#include "../core/ayudas.h"
#include "carpeta_temporal.h"
#include "controles.h"
#include "core/azar.h"
#include "grabador_mensajes.h"
#include "ui/main/aplicacion.h"
#include "ui/main/frm_empezar_partida.h"
#include "ui/main/tablero.h"
#include "ui/placement/colocar_barcos.h"
#include "ventana_prueba.h"

#include <QAccessible>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace brumaria;
using prueba::Control;

namespace {

// Keys go where a real keyboard sends them: to the focused widget.
void Tecla(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
    QWidget* w = QApplication::focusWidget();
    ASSERT_NE(w, nullptr) << "nothing has the keyboard focus";
    QTest::keyClick(w, k, m);
}

// Moves the board's cursor onto a square with the arrow keys.
void IrA(Tablero& t, int f, int c) {
    while (t.filaCursor() != f)
        Tecla(t.filaCursor() < f ? Qt::Key_Down : Qt::Key_Up);
    while (t.columnaCursor() != c)
        Tecla(t.columnaCursor() < c ? Qt::Key_Right : Qt::Key_Left);
}

// What a screen reader is given: the name of the notification each time
// it shows (offscreen, Qt sends no accessibility events to listen to).
struct Oido : QObject {
    QStringList lineas;
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Show) lineas << static_cast<QWidget*>(o)->accessibleName();
        return false;
    }
};

class Teclado : public ::testing::TestWithParam<int> {};

} // namespace

TEST_P(Teclado, UnaPartidaEnteraSinRaton) {
    prueba::CarpetaTemporal carpeta;
    carpeta.CopiarRecursos();
    prueba::GrabadorMensajes cajas;
    Azar::FijarDeterminista(31337);
    auto app = prueba::VentanaLista(GetParam());
    FrmPrincipal& v = app->ventana;
    auto* anunciador = v.findChild<QWidget*>(QStringLiteral("anunciador"));
    ASSERT_NE(anunciador, nullptr);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(anunciador)->role(),
              QAccessible::Notification);
    Oido oido;
    anunciador->installEventFilter(&oido);
    v.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&v));
    auto* tablero = v.findChild<Tablero*>(QStringLiteral("imgCeldaO"));
    ASSERT_NE(tablero, nullptr);
    tablero->setFocus();

    // F10 opens "&Juego"; "E" is "&Empezar". In the dialog the arrow picks
    // "Jugador" and Alt+E presses "&Empezar".
    Tecla(Qt::Key_F10);
    ASSERT_TRUE(QTest::qWaitFor([&] { return v.menuBar()->activeAction() != nullptr; }, 2000));
    Tecla(Qt::Key_Down);
    auto* juego = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(juego, nullptr);
    EXPECT_EQ(juego->title(), QStringLiteral("&Juego"));
    // The dialog runs its own loop: answer it from a timer once it shows.
    bool blnJugador = false;
    QTimer espera;
    QObject::connect(&espera, &QTimer::timeout, &v, [&] {
        auto* d = qobject_cast<FrmEmpezarPartida*>(QApplication::activeModalWidget());
        // Keys need the dialog active; on a busy machine that comes a little later.
        if (!d || !d->isActiveWindow()) {
            if (d) d->activateWindow();
            return;
        }
        espera.stop();
        Control<QRadioButton>(*d, "optAlAzar")->setFocus();
        Tecla(Qt::Key_Down);
        blnJugador = Control<QRadioButton>(*d, "optJugador")->isChecked();
        Tecla(Qt::Key_E, Qt::AltModifier);
    });
    espera.start(5);
    QTest::keyClick(juego, Qt::Key_E);
    ASSERT_TRUE(QTest::qWaitFor([&] { return app->partida.blnEnPartida(); }, 3000));
    EXPECT_TRUE(blnJugador);
    // The window manager's part: the window is active again after the dialog.
    v.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&v));

    int intAtaques = 0, intRespuestas = 0;
    for (int paso = 0; paso < 400 && app->partida.blnEnPartida(); ++paso) {
        QCoreApplication::processEvents(); // as between a real player's keys
        const ModPrincipal& m = app->principal;
        if (app->partida.blnTurnoJugadorAtaque()) {
            // Tab reaches the board from wherever the method put the focus.
            for (int i = 0; i < 40 && QApplication::focusWidget() != tablero; ++i)
                Tecla(Qt::Key_Tab);
            ASSERT_EQ(QApplication::focusWidget(), tablero);
            int k = 0;
            while (m.intDescubiertoOrdenador[k / 10][k % 10] != CASILLA_OCULTA)
                ++k;
            IrA(*tablero, k / 10, k % 10);
            Tecla(Qt::Key_Return);
            ASSERT_NE(m.intDescubiertoOrdenador[k / 10][k % 10], CASILLA_OCULTA)
                << "Enter on " << strCasilla(k / 10, k % 10).toStdString();
            ++intAtaques;
        } else if (app->partida.blnEsperandoRespuesta()) {
            const int f = m.intFilaAtaque, c = m.intColumnaAtaque;
            const Qt::Key k = m.intBarcosJugador[f][c] != CASILLA_BARCO ? Qt::Key_A
                              : m.blnHundido(f, c, 0)                   ? Qt::Key_H
                                                                        : Qt::Key_T;
            Tecla(k, Qt::AltModifier);
            ASSERT_FALSE(QApplication::activePopupWidget()) << "a menu took the answer's key";
            ASSERT_TRUE(cajas.mensajes().isEmpty() || !app->partida.blnEnPartida())
                << cajas.mensajes().value(0).texto.toStdString();
            ++intRespuestas;
        } else {
            QTest::qWait(1);
        }
    }
    EXPECT_FALSE(app->partida.blnEnPartida());
    EXPECT_GT(intAtaques, 10);
    EXPECT_GT(intRespuestas, 10);
    // The player heard every turn, every answer to his shots and where
    // each of the computer's shots fell, with what to do next.
    QCoreApplication::processEvents();
    const QString oidas = oido.lineas.join(u'\n');
    EXPECT_TRUE(oido.lineas.value(0).startsWith(
        blnJugador ? QStringLiteral("Tu turno (tienes que atacar)") : QStringLiteral("Mi turno")))
        << oidas.toStdString();
    EXPECT_EQ(oidas.count(QStringLiteral("Mi respuesta: ")), intAtaques);
    EXPECT_EQ(oidas.count(QRegularExpression(QStringLiteral(
                  "Disparo en [A-J]([1-9]|10)\\. Mi turno \\(tienes que responder\\)"))),
              intRespuestas);
    EXPECT_EQ(oidas.count(QStringLiteral("Tu respuesta: ")), intRespuestas);
    Azar::Liberar();
}

INSTANTIATE_TEST_SUITE_P(Metodos, Teclado, ::testing::Values(1, 2, 3));

// The placement editor by keyboard: Tab to the board, the arrows move the
// preview, R turns the ship, Enter places it, Alt+A accepts the fleet.
TEST(Teclado, ElEditorColocaUnaFlotaEnteraSinRaton) {
    prueba::CarpetaTemporal carpeta;
    carpeta.CopiarRecursos();
    prueba::GrabadorMensajes cajas;
    ModPrincipal principal;
    RegistroOpciones opciones;
    FrmColocarBarcos editor(principal, opciones);
    bool blnColocada = false;
    QObject::connect(&editor, &FrmColocarBarcos::flotaColocada, [&] { blnColocada = true; });
    editor.show();
    editor.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&editor));
    for (int i = 0; i < 30 && QApplication::focusWidget() &&
                    QApplication::focusWidget()->objectName() != QStringLiteral("imgCelda_0");
         ++i)
        Tecla(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget()->objectName(), QStringLiteral("imgCelda_0"));

    // The fixed fleet, longest ship first, as the editor asks for them.
    struct Barco {
        int f, c;
        bool horizontal;
    };
    const Barco barcos[] = {{0, 0, true}, {2, 0, false}, {9, 7, true}, {0, 9, false},
                            {4, 4, true}, {6, 2, false}, {9, 0, true}, {2, 5, true},
                            {6, 9, true}, {7, 5, true}};
    bool blnHorizontal = true;
    int k = 0;
    for (const Barco& b : barcos) {
        if (b.horizontal != blnHorizontal && &b < &barcos[6]) {
            Tecla(Qt::Key_R);
            blnHorizontal = b.horizontal;
        }
        for (int n = 0; n < 20 && (k / 10 != b.f || k % 10 != b.c); ++n) {
            Tecla(k / 10 < b.f   ? Qt::Key_Down
                  : k / 10 > b.f ? Qt::Key_Up
                  : k % 10 < b.c ? Qt::Key_Right
                                 : Qt::Key_Left);
            k = QApplication::focusWidget()->property("indice").toInt();
        }
        Tecla(Qt::Key_Return);
    }
    EXPECT_EQ(principal.intBarcosJugador, prueba::FlotaFija());
    EXPECT_TRUE(cajas.mensajes().isEmpty());
    Tecla(Qt::Key_A, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return blnColocada; }, 2000)); // the button animates first
}
