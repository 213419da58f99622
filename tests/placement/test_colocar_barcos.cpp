// The fleet placement editor driven as the player drives it: by keyboard,
// and closed every way there is.
#include "../core/ayudas.h"
#include "carpeta_temporal.h"
#include "controles.h"
#include "core/azar.h"
#include "grabador_mensajes.h"
#include "platform/pausa.h"
#include "ui/placement/colocar_barcos.h"

#include <QApplication>
#include <QCloseEvent>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

using namespace brumaria;

namespace {

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

    void SetUp() override { Azar::FijarDeterminista(7); }
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
    FrmColocarBarcos* actual_ = nullptr; // the editor that Clic acts on
    void Clic(int f, int c) {
        QWidget* w = actual_->celda(K(f, c));
        QTest::mouseMove(w, w->rect().center());
        QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
    }
};

// Ways the editor closes. The player's "&Cancelar" and Escape: the
// hand-placed ships go and the random fleet PrepararBarcos(0) draws takes
// their place. The program's: ending while it is open, closing its owner
// window: nothing placed (and it stays open when the owner refuses to close).
TEST_F(Editor, CadaFormaDeCerrarlo) {
    class Ventana : public QWidget {
    public:
        bool terca = false;

    protected:
        void closeEvent(QCloseEvent* e) override { e->setAccepted(!terca); }
    };
    enum { Cancelar, Escape, Terminar, Dueno, DuenoTerco };
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
        if (forma == Escape) QTest::keyClick(vigia, Qt::Key_Escape);
        if (forma == Terminar) QTimer::singleShot(20, [this] { principal.blnCerrando = true; });
        if (forma >= Dueno) ventana.close();
        for (int i = 0; i < 100 && vigia && (ventana.terca || vigia->isVisible()); ++i) {
            Pausa(5);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        EXPECT_EQ(colocados, blnDelJugador) << forma;
        EXPECT_EQ(vigia && vigia->isVisible(), forma == DuenoTerco) << forma;
        EXPECT_EQ(principal.intBarcosJugador, esperado) << forma;
        delete vigia.data();
    }
    EXPECT_TRUE(grabador.mensajes().isEmpty());
}

// By keyboard: Tab to the board, the arrows move the preview, R turns the
// ship, Enter places it (or nothing, where it may not go), Alt+A accepts the
// fleet.
TEST_F(Editor, UnaFlotaEnteraSinRaton) {
    Abrir();
    editor->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(editor.get()));
    for (int i = 0; i < 30 && QApplication::focusWidget() != editor->celda(0); ++i)
        prueba::Tecla(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), editor->celda(0));
    // The fixed fleet, longest ship first, as the editor asks for them; the
    // ship of 3 is tried first right under the ship of 4, and refused.
    const std::tuple<int, int, bool> barcos[] = {{0, 0, true}, {1, 0, false}, {2, 0, false},
                                                 {9, 7, true}, {0, 9, false}, {4, 4, true},
                                                 {6, 2, false}, {9, 0, true}, {2, 5, true},
                                                 {6, 9, true}, {7, 5, true}};
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
    // The end piece of each ship; once complete, Enter means "&Aceptar".
    EXPECT_EQ(editor->strImagenCelda(K(0, 3)), QStringLiteral("imagenes/barcoh3.gif"));
    EXPECT_EQ(editor->strImagenCelda(K(4, 0)), QStringLiteral("imagenes/barcov3.gif"));
    EXPECT_TRUE(C<QPushButton>("cmdAceptar")->isDefault());
    EXPECT_FALSE(C<QPushButton>("cmdCancelar")->isDefault());
    EXPECT_TRUE(grabador.mensajes().isEmpty());
    // A square clicked after that takes the focus, and Enter still accepts.
    Clic(5, 5);
    ASSERT_EQ(QApplication::focusWidget(), editor->celda(K(5, 5)));
    prueba::Tecla(Qt::Key_Return);
    EXPECT_TRUE(QTest::qWaitFor([&] { return colocados; }, 2000)); // the button animates first

    // The editor's help page teaches the keys used here.
    const QString pagina = QString::fromUtf8(prueba::LeerArchivo(QStringLiteral(
        BRUMARIA_BIN_DIR "/ayuda/05-colocar-barcos.html")));
    for (const char* tecla : {"Tab", "flechas", "R", "Intro"})
        EXPECT_TRUE(pagina.contains(QStringLiteral("<span class=\"tecla\">%1</span>")
                                        .arg(QLatin1String(tecla))))
            << tecla;
}

} // namespace
