// The fleet placement editor driven as the player drives it: real pointer
// moves and clicks on the squares.
#include "../core/ayudas.h"
#include "carpeta_temporal.h"
#include "controles.h"
#include "core/azar.h"
#include "core/flota.h"
#include "grabador_mensajes.h"
#include "platform/pausa.h"
#include "ui/placement/colocar_barcos.h"

#include <QApplication>
#include <QCloseEvent>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QtTest/qtestspontaneevent.h>
#include <gtest/gtest.h>

#include <memory>

using namespace brumaria;

namespace {

constexpr std::int32_t kAzul = RGB(0, 64, 160);

int K(int f, int c) {
    return f * 10 + c;
}

class Editor : public ::testing::Test {
protected:
    prueba::CarpetaTemporal carpeta;
    prueba::GrabadorMensajes grabador;
    ModPrincipal principal;
    RegistroOpciones opciones;
    bool colocados = false;
    std::unique_ptr<FrmColocarBarcos> editor;

    void SetUp() override {
        Azar::FijarDeterminista(7);
        opciones.lngColorAgua = kAzul;
    }
    void TearDown() override { Azar::Liberar(); }

    // An editor whose report of the fleet sets `colocados`.
    FrmColocarBarcos* Nuevo(QWidget* padre = nullptr) {
        auto* e = new FrmColocarBarcos(principal, opciones, padre);
        QObject::connect(e, &FrmColocarBarcos::flotaColocada, [this] { colocados = true; });
        e->show();
        actual_ = e;
        return e;
    }
    void Abrir() { editor.reset(Nuevo()); }
    template <class T = QWidget> T* C(const char* nombre) {
        return prueba::Control<T>(*editor, nombre);
    }
    FrmColocarBarcos* actual_ = nullptr; // the editor that Mover and Clic act on
    void Mover(int f, int c) {
        QWidget* w = actual_->celda(K(f, c));
        QTest::mouseMove(w, w->rect().center());
    }
    void Clic(int f, int c) {
        Mover(f, c);
        QWidget* w = actual_->celda(K(f, c));
        QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
    }
    // The player's board, one string a row: '#' a ship, '.' water.
    QStringList Tablero() const {
        QStringList filas;
        for (int f = 0; f < 10; ++f) {
            QString fila;
            for (int c = 0; c < 10; ++c)
                fila += principal.intBarcosJugador[f][c] == CASILLA_BARCO ? u'#' : u'.';
            filas << fila;
        }
        return filas;
    }
    // The clicks in order, {row, column, vertical, accepted}; a refused one
    // changes nothing, not even the counters.
    void Colocar(const std::vector<std::tuple<int, int, bool, bool>>& pasos) {
        for (const auto& [f, c, vertical, aceptado] : pasos) {
            if (C<QRadioButton>("optHorizontal")->isEnabled())
                QTest::mouseClick(C<QRadioButton>(vertical ? "optVertical" : "optHorizontal"),
                                  Qt::LeftButton);
            const QStringList antes = Tablero();
            const auto cuenta = std::pair(editor->intTamañoActual(), editor->intNumeroBarco());
            Clic(f, c);
            EXPECT_EQ(Tablero() != antes, aceptado) << strCasilla(f, c).toStdString();
            if (!aceptado) {
                EXPECT_EQ(std::pair(editor->intTamañoActual(), editor->intNumeroBarco()), cuenta);
            }
        }
    }
};

TEST_F(Editor, LaFlotaAManoIgnorandoLosClicsIlegales) {
    Abrir();
    EXPECT_FALSE(C("cmdAceptar")->isEnabled());
    EXPECT_TRUE(C<QPushButton>("cmdCancelar")->isDefault());
    // Past an edge, over, beside or at a corner of another ship: refused.
    Colocar({{0, 7, false, false}, {7, 3, true, false}, {0, 2, false, true}});
    Colocar({{0, 1, false, false}, {1, 4, false, false}, {1, 6, false, false},
             {5, 8, false, false}, {5, 7, false, true},  {6, 6, true, false},
             {6, 5, true, true},   {9, 0, true, false},  {8, 0, true, true},
             {7, 4, true, false},  {4, 4, true, false},  {3, 4, true, true},
             {2, 0, true, true}});
    // One-square ships have no orientation.
    EXPECT_TRUE(C<QRadioButton>("optHorizontal")->isChecked());
    EXPECT_FALSE(C("optHorizontal")->isEnabled() || C("optVertical")->isEnabled());
    Colocar({{0, 3, false, false}, {1, 1, false, false}, {0, 0, false, true},
             {9, 9, false, true},  {8, 8, false, false}, {2, 9, false, true},
             {9, 3, false, true}});
    EXPECT_EQ(Tablero(), QStringList({"#.####....",
                                      "..........",
                                      "#........#",
                                      "#...#.....",
                                      "....#.....",
                                      ".......###",
                                      ".....#....",
                                      ".....#....",
                                      "#....#....",
                                      "#..#.....#"}));
    EXPECT_TRUE(blnFlotaValida(principal.intBarcosJugador));
    EXPECT_TRUE(C<QPushButton>("cmdAceptar")->isDefault());
    EXPECT_FALSE(C<QPushButton>("cmdCancelar")->isDefault());
    // The last piece of a ship is its end piece.
    EXPECT_EQ(editor->strImagenCelda(K(0, 5)), QStringLiteral("imagenes/barcoh3.gif"));
    EXPECT_EQ(editor->strImagenCelda(K(8, 5)), QStringLiteral("imagenes/barcov3.gif"));
    // Complete: clicks change nothing, and Enter presses "&Aceptar".
    Colocar({{7, 7, false, false}, {1, 2, false, false}});
    QTest::keyClick(editor.get(), Qt::Key_Return);
    EXPECT_TRUE(colocados);
    EXPECT_FALSE(editor->isVisible());
    EXPECT_TRUE(grabador.mensajes().isEmpty());
}

// Every way the editor closes. The player's "&Cancelar", the close box and
// Escape: the hand-placed ships go and the random fleet PrepararBarcos(0)
// draws takes their place. The program's: closing it, ending while it is
// open, closing its owner window: nothing placed (and it stays open when the
// owner refuses to close).
TEST_F(Editor, CadaFormaDeCerrarlo) {
    class Ventana : public QWidget {
    public:
        bool terca = false;

    protected:
        void closeEvent(QCloseEvent* e) override { e->setAccepted(!terca); }
    };
    enum { Cancelar, Aspa, Escape, Cerrar, Terminar, Dueno, DuenoTerco };
    for (int forma = Cancelar; forma <= DuenoTerco; ++forma) {
        const bool blnDelJugador = forma <= Escape;
        principal.LlenarPanel(0, CASILLA_AGUA);
        principal.blnCerrando = false;
        colocados = false;
        Ventana ventana;
        ventana.terca = forma == DuenoTerco;
        ventana.show();
        QPointer<FrmColocarBarcos> vigia(Nuevo(forma >= Dueno ? &ventana : nullptr));
        vigia->setAttribute(Qt::WA_DeleteOnClose);
        Clic(2, 2);
        Panel esperado = principal.intBarcosJugador;
        Azar::FijarDeterminista(99);
        if (blnDelJugador) {
            ModPrincipal otro;
            otro.PrepararBarcos(0);
            esperado = otro.intBarcosJugador;
            Azar::FijarDeterminista(99);
        }
        if (forma == Cancelar)
            QTest::mouseClick(prueba::Control<QWidget>(*vigia, "cmdCancelar"), Qt::LeftButton);
        if (forma == Aspa) {
            QCloseEvent cierre; // as the window manager sends it
            QSpontaneKeyEvent::setSpontaneous(&cierre);
            QApplication::instance()->notify(vigia, &cierre);
            vigia->hide(); // what the window system does next
        }
        if (forma == Escape) QTest::keyClick(vigia, Qt::Key_Escape);
        if (forma == Cerrar) vigia->close();
        if (forma == Terminar) QTimer::singleShot(20, [this] { principal.blnCerrando = true; });
        if (forma >= Dueno) ventana.close();
        for (int i = 0; i < 100 && vigia && (ventana.terca || vigia->isVisible()); ++i) {
            Pausa(5);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        EXPECT_EQ(colocados, blnDelJugador) << forma;
        EXPECT_EQ(vigia && vigia->isVisible(), forma == DuenoTerco) << forma;
        EXPECT_EQ(principal.intBarcosJugador, esperado) << forma;
        if (vigia && !vigia->isVisible()) {
            // Nothing more happens once closed.
            vigia->cmdCancelar_Click();
            vigia->cmdAceptar_Click();
            EXPECT_EQ(principal.intBarcosJugador, esperado) << forma;
        }
        delete vigia.data();
    }
    EXPECT_TRUE(grabador.mensajes().isEmpty());
}

// By keyboard: Tab to the board, the arrows move the preview, R turns the
// ship, Enter places it, Alt+A accepts the fleet.
TEST_F(Editor, UnaFlotaEnteraSinRaton) {
    Abrir();
    editor->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(editor.get()));
    for (int i = 0; i < 30 && QApplication::focusWidget() != editor->celda(0); ++i)
        prueba::Tecla(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), editor->celda(0));
    // The fixed fleet, longest ship first, as the editor asks for them.
    const std::tuple<int, int, bool> barcos[] = {{0, 0, true}, {2, 0, false}, {9, 7, true},
                                                 {0, 9, false}, {4, 4, true}, {6, 2, false},
                                                 {9, 0, true}, {2, 5, true}, {6, 9, true},
                                                 {7, 5, true}};
    bool blnHorizontal = true;
    int k = 0;
    for (const auto& [f, c, horizontal] : barcos) {
        if (horizontal != blnHorizontal && editor->intTamañoActual() > 1) {
            prueba::Tecla(Qt::Key_R);
            blnHorizontal = horizontal;
        }
        for (int n = 0; n < 20 && (k / 10 != f || k % 10 != c); ++n) {
            prueba::Tecla(k / 10 < f ? Qt::Key_Down : k / 10 > f ? Qt::Key_Up
                          : k % 10 < c ? Qt::Key_Right : Qt::Key_Left);
            k = QApplication::focusWidget()->property("indice").toInt();
        }
        prueba::Tecla(Qt::Key_Return);
    }
    EXPECT_EQ(principal.intBarcosJugador, prueba::FlotaFija());
    EXPECT_TRUE(grabador.mensajes().isEmpty());
    prueba::Tecla(Qt::Key_A, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return colocados; }, 2000)); // the button animates first
}

} // namespace
