// The fleet placement editor driven as the player drives it: real pointer
// moves and clicks on the squares.
#include "carpeta_temporal.h"
#include "core/azar.h"
#include "core/flota.h"
#include "grabador_mensajes.h"
#include "platform/pausa.h"
#include "ui/help/ayuda.h"
#include "ui/placement/colocar_barcos.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QImage>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QtTest/qtestspontaneevent.h>
#include <gtest/gtest.h>

#include <memory>
#include <set>

using namespace brumaria;

namespace {

constexpr std::int32_t kAzul = RGB(0, 64, 160);
constexpr std::int32_t kGris = RGB(192, 192, 192);

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
        opciones.lngColorRejilla = RGB(0, 0, 0);
    }
    void TearDown() override { Azar::Liberar(); }

    // An editor whose report of the fleet sets `colocados`.
    FrmColocarBarcos* Nuevo(QWidget* padre = nullptr) {
        auto* e = new FrmColocarBarcos(principal, opciones, padre);
        QObject::connect(e, &FrmColocarBarcos::flotaColocada, [this] { colocados = true; });
        return e;
    }
    void Abrir() {
        editor.reset(Nuevo());
        editor->show();
    }
    QWidget* Celda(int k) { return editor->celda(k); }
    void Mover(int f, int c) {
        QWidget* w = Celda(K(f, c));
        QTest::mouseMove(w, w->rect().center());
    }
    void Clic(int f, int c) {
        Mover(f, c);
        QWidget* w = Celda(K(f, c));
        QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
    }
    template <class T> T* Hijo(const char* nombre) {
        T* w = editor->findChild<T*>(QString::fromLatin1(nombre));
        EXPECT_NE(w, nullptr) << nombre;
        return w;
    }
    void Orientar(bool horizontal) {
        QTest::mouseClick(Hijo<QRadioButton>(horizontal ? "optHorizontal" : "optVertical"),
                          Qt::LeftButton);
    }
    std::set<int> Previas() const {
        std::set<int> s;
        for (int k = 0; k < 100; ++k)
            if (editor->blnCeldaPrevia(k)) s.insert(k);
        return s;
    }
    int Marcadas() {
        int n = 0;
        for (QCheckBox* c : editor->findChildren<QCheckBox*>())
            n += c->isChecked() ? 1 : 0;
        return n;
    }
    // Everything a click may change: board, pictures, colours, counters.
    struct Foto {
        Panel tablero;
        std::array<QString, 100> imagenes;
        std::array<std::int32_t, 100> colores;
        int tamano, numero, marcadas;
        bool operator==(const Foto&) const = default;
    };
    Foto Fotografiar() {
        Foto f{principal.intBarcosJugador, {},        {}, editor->intTamañoActual(),
               editor->intNumeroBarco(),   Marcadas()};
        for (int k = 0; k < 100; ++k) {
            f.imagenes[k] = editor->strImagenCelda(k);
            f.colores[k] = editor->lngColorCelda(k);
        }
        return f;
    }
    // A refused click leaves everything as the preview before it left it.
    void ClicRechazado(int f, int c) {
        Mover(f, c);
        const Panel antes = principal.intBarcosJugador;
        const int tamano = editor->intTamañoActual();
        const int numero = editor->intNumeroBarco();
        const int marcadas = Marcadas();
        QWidget* w = Celda(K(f, c));
        QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
        EXPECT_EQ(principal.intBarcosJugador, antes) << strCasilla(f, c).toStdString();
        EXPECT_EQ(editor->intTamañoActual(), tamano);
        EXPECT_EQ(editor->intNumeroBarco(), numero);
        EXPECT_EQ(Marcadas(), marcadas);
        for (int k = 0; k < 100; ++k) {
            if (principal.intBarcosJugador[k / 10][k % 10] != CASILLA_BARCO) {
                EXPECT_TRUE(editor->strImagenCelda(k).isEmpty() || editor->blnCeldaPrevia(k))
                    << "piece drawn on water at " << k;
            }
        }
        EXPECT_TRUE(grabador.mensajes().isEmpty());
    }
    bool Negrita(const char* etiqueta) { return Hijo<QLabel>(etiqueta)->font().bold(); }
    bool Verde(const char* etiqueta) {
        return Hijo<QLabel>(etiqueta)->palette().color(QPalette::WindowText) == QColor(0, 192, 0);
    }

    // The hand-placed fleet used by several tests: every border and corner.
    void ColocarFlota() {
        Clic(0, 2); // 4 horizontal C1..F1, top edge
        Orientar(false);
        Clic(0, 9); // 3 vertical J1..J3, top-right corner
        Orientar(true);
        Clic(9, 7); // 3 horizontal H10..J10, bottom-right corner
        Orientar(false);
        Clic(8, 0); // 2 vertical A9..A10, bottom-left corner
        Clic(1, 7); // 2 vertical H2..H3
        Clic(4, 4); // 2 vertical E5..E6
        Clic(0, 0); // 1 in the top-left corner
        Clic(5, 9);
        Clic(9, 4);
        Clic(6, 1);
    }
    static std::set<int> FlotaEsperada() {
        return {K(0, 2), K(0, 3), K(0, 4), K(0, 5), K(0, 9), K(1, 9), K(2, 9),
                K(9, 7), K(9, 8), K(9, 9), K(8, 0), K(9, 0), K(1, 7), K(2, 7),
                K(4, 4), K(5, 4), K(0, 0), K(5, 9), K(9, 4), K(6, 1)};
    }
    std::set<int> Barcos() const {
        std::set<int> s;
        for (int k = 0; k < 100; ++k)
            if (principal.intBarcosJugador[k / 10][k % 10] == CASILLA_BARCO) s.insert(k);
        return s;
    }
};

TEST_F(Editor, AbreConLaLongitudCuatroEnCursoYAceptarDesactivado) {
    Abrir();
    EXPECT_EQ(editor->windowTitle(), QStringLiteral("Colocar barcos"));
    EXPECT_EQ(editor->size(), QSize(330, 258));
    EXPECT_EQ(editor->intTamañoActual(), 4);
    EXPECT_EQ(editor->intNumeroBarco(), 1);
    EXPECT_TRUE(Negrita("lblBarcoDe4"));
    EXPECT_FALSE(Negrita("lblBarcosDe3") || Negrita("lblBarcosDe2") || Negrita("lblBarcosDe1"));
    EXPECT_EQ(Hijo<QLabel>("lblBarcosDe3")->text(), QStringLiteral("Barcos de 3:"));
    EXPECT_TRUE(Hijo<QRadioButton>("optHorizontal")->isChecked());
    auto* aceptar = Hijo<QPushButton>("cmdAceptar");
    EXPECT_FALSE(aceptar->isEnabled());
    EXPECT_TRUE(Hijo<QPushButton>("cmdCancelar")->isDefault());
    EXPECT_EQ(editor->findChildren<QCheckBox*>().size(), 10);
    for (QCheckBox* c : editor->findChildren<QCheckBox*>())
        EXPECT_FALSE(c->isEnabled());
    for (int k = 0; k < 100; ++k) {
        EXPECT_EQ(editor->lngColorCelda(k), kAzul);
        EXPECT_TRUE(editor->strImagenCelda(k).isEmpty());
    }
    EXPECT_EQ(Celda(K(4, 2))->objectName(), QStringLiteral("imgCelda_42"));
    EXPECT_EQ(Celda(K(4, 2))->accessibleName(), QStringLiteral("C5: agua"));
    // What's This popup numbers.
    EXPECT_TRUE(editor->windowFlags().testFlag(Qt::WindowContextHelpButtonHint));
    EXPECT_EQ(Celda(99)->property("ayudaEmergente").toInt(), 1010);
    EXPECT_EQ(Hijo<QRadioButton>("optVertical")->property("ayudaEmergente").toInt(), 1000);
    EXPECT_EQ(Hijo<QRadioButton>("optHorizontal")->property("ayudaEmergente").toInt(), 1000);
    EXPECT_EQ(aceptar->property("ayudaEmergente").toInt(), 1020);
    EXPECT_EQ(Hijo<QPushButton>("cmdCancelar")->property("ayudaEmergente").toInt(), 1030);
}

TEST_F(Editor, FlotaCompletaAManoPorBordesYEsquinas) {
    Abrir();
    ColocarFlota();
    EXPECT_EQ(Barcos(), FlotaEsperada());
    EXPECT_TRUE(blnFlotaValida(principal.intBarcosJugador));
    EXPECT_EQ(editor->intTamañoActual(), 0);
    EXPECT_EQ(editor->intNumeroBarco(), 0);
    EXPECT_EQ(Marcadas(), 10);
    for (const char* l : {"lblBarcoDe4", "lblBarcosDe3", "lblBarcosDe2", "lblBarcosDe1"}) {
        EXPECT_TRUE(Negrita(l)) << l;
        EXPECT_TRUE(Verde(l)) << l;
    }
    auto* aceptar = Hijo<QPushButton>("cmdAceptar");
    EXPECT_TRUE(aceptar->isEnabled());
    EXPECT_TRUE(aceptar->isDefault());
    EXPECT_FALSE(Hijo<QPushButton>("cmdCancelar")->isDefault());
    EXPECT_TRUE(Previas().empty());
    // Placed pieces, by position in their ship.
    EXPECT_EQ(editor->strImagenCelda(K(0, 2)), QStringLiteral("imagenes/barcoh1.gif"));
    EXPECT_EQ(editor->strImagenCelda(K(0, 3)), QStringLiteral("imagenes/barcoh2.gif"));
    EXPECT_EQ(editor->strImagenCelda(K(0, 5)), QStringLiteral("imagenes/barcoh3.gif"));
    EXPECT_EQ(editor->strImagenCelda(K(0, 9)), QStringLiteral("imagenes/barcov1.gif"));
    EXPECT_EQ(editor->strImagenCelda(K(1, 9)), QStringLiteral("imagenes/barcov2.gif"));
    EXPECT_EQ(editor->strImagenCelda(K(2, 9)), QStringLiteral("imagenes/barcov3.gif"));
    EXPECT_EQ(editor->strImagenCelda(K(8, 0)), QStringLiteral("imagenes/barcov1.gif"));
    EXPECT_EQ(editor->strImagenCelda(K(9, 0)), QStringLiteral("imagenes/barcov3.gif"));
    EXPECT_EQ(editor->strImagenCelda(K(0, 0)), QStringLiteral("imagenes/barcoh4.gif"));
    EXPECT_EQ(Celda(K(0, 0))->accessibleName(), QStringLiteral("A1: barco"));

    // Complete: clicks and pointer moves change nothing.
    const Foto antes = Fotografiar();
    Mover(5, 5);
    Clic(7, 7);
    Clic(3, 2);
    EXPECT_EQ(Fotografiar(), antes);

    // Enter presses the default button.
    QTest::keyClick(editor.get(), Qt::Key_Return);
    EXPECT_TRUE(colocados);
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(Barcos(), FlotaEsperada());
    EXPECT_TRUE(grabador.mensajes().isEmpty());
}

TEST_F(Editor, ClicsIlegalesSeIgnoranSinMensajeNiCambio) {
    Abrir();
    ClicRechazado(0, 7); // 4 horizontal from H1 does not fit
    Orientar(false);
    ClicRechazado(7, 3); // 4 vertical from D8 does not fit
    Orientar(true);
    Clic(0, 2); // C1..F1
    ASSERT_EQ(editor->intTamañoActual(), 3);

    ClicRechazado(0, 1); // overlaps the 4
    ClicRechazado(1, 4); // touches it from below
    ClicRechazado(1, 6); // touches its end F1 only at a corner
    ClicRechazado(5, 8); // horizontal 3 from I6 does not fit
    Clic(5, 7);          // from H6 it fits: H6..J6
    EXPECT_EQ(principal.intBarcosJugador[5][9], CASILLA_BARCO);
    Orientar(false);
    ClicRechazado(6, 6); // G7..G9 meets H6 at a corner
    Clic(6, 5);          // one column further: F7..F9
    ASSERT_EQ(editor->intTamañoActual(), 2);

    ClicRechazado(9, 0); // vertical 2 from row 10 does not fit
    Clic(8, 0);          // from row 9: A9..A10
    EXPECT_EQ(principal.intBarcosJugador[9][0], CASILLA_BARCO);
    ClicRechazado(7, 4); // E8..E9 lies alongside F8..F9
    ClicRechazado(4, 4); // E5..E6 meets F7 at a corner
    Clic(3, 4);          // one row further: E4..E5
    EXPECT_TRUE(Hijo<QRadioButton>("optVertical")->isChecked());
    Clic(2, 0); // A3..A4, the third ship of 2, placed vertically
    ASSERT_EQ(editor->intTamañoActual(), 1);
    // One-square ships have no orientation.
    EXPECT_TRUE(Hijo<QRadioButton>("optHorizontal")->isChecked());
    EXPECT_FALSE(Hijo<QRadioButton>("optHorizontal")->isEnabled());
    EXPECT_FALSE(Hijo<QRadioButton>("optVertical")->isEnabled());
    EXPECT_TRUE(Verde("lblBarcosDe2"));
    EXPECT_TRUE(Negrita("lblBarcosDe1"));
    EXPECT_FALSE(Verde("lblBarcosDe1"));

    ClicRechazado(0, 3); // on the 4
    ClicRechazado(1, 1); // corner of A3... and of C1
    Clic(0, 0);          // the corner is free: only B1, A2, B2 count
    ClicRechazado(0, 1); // between A1 and C1
    Clic(9, 9);
    ClicRechazado(8, 8); // corner of J10
    Clic(2, 9);
    EXPECT_FALSE(Hijo<QPushButton>("cmdAceptar")->isEnabled());
    Clic(9, 3);
    EXPECT_EQ(editor->intTamañoActual(), 0);
    EXPECT_TRUE(blnFlotaValida(principal.intBarcosJugador));
    EXPECT_TRUE(grabador.mensajes().isEmpty());
}

TEST_F(Editor, EtiquetasYCasillasSiguenElAvance) {
    Abrir();
    Clic(0, 0);
    EXPECT_TRUE(Hijo<QCheckBox>("chkBarcoDe4")->isChecked());
    EXPECT_TRUE(Verde("lblBarcoDe4"));
    EXPECT_TRUE(Negrita("lblBarcosDe3"));
    EXPECT_FALSE(Verde("lblBarcosDe3"));
    EXPECT_FALSE(Negrita("lblBarcosDe2"));
    Clic(2, 0);
    EXPECT_TRUE(Hijo<QCheckBox>("chkBarcosDe3_1")->isChecked());
    EXPECT_FALSE(Hijo<QCheckBox>("chkBarcosDe3_2")->isChecked());
    EXPECT_EQ(editor->intNumeroBarco(), 2);
    EXPECT_FALSE(Verde("lblBarcosDe3"));
    Clic(2, 4);
    EXPECT_TRUE(Hijo<QCheckBox>("chkBarcosDe3_2")->isChecked());
    EXPECT_TRUE(Verde("lblBarcosDe3"));
    EXPECT_TRUE(Negrita("lblBarcosDe2"));
    EXPECT_EQ(editor->intTamañoActual(), 2);
    EXPECT_EQ(editor->intNumeroBarco(), 1);
    // The orientation may change freely until the ships of 1 begin.
    Orientar(false);
    Clic(4, 0);
    EXPECT_EQ(principal.intBarcosJugador[5][0], CASILLA_BARCO);
    EXPECT_TRUE(Hijo<QCheckBox>("chkBarcosDe2_1")->isChecked());
    EXPECT_TRUE(Hijo<QRadioButton>("optVertical")->isEnabled());
}

TEST_F(Editor, AceptarAntesDeTerminarAvisaYSigueAbierto) {
    Abrir();
    Clic(0, 0);
    editor->cmdAceptar_Click(); // the button is disabled: only reachable from code
    ASSERT_EQ(grabador.mensajes().size(), 1);
    const Mensaje& m = grabador.mensajes().front();
    EXPECT_EQ(m.texto, QStringLiteral("No están todos los barcos colocados"));
    EXPECT_EQ(m.titulo, QStringLiteral("Error"));
    EXPECT_EQ(m.icono, Icono::Critico);
    EXPECT_FALSE(colocados);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(editor->intTamañoActual(), 3);
    EXPECT_EQ(Barcos(), (std::set<int>{0, 1, 2, 3}));
}

TEST_F(Editor, LaVistaPreviaSigueAlPunteroYSeBorraExactamente) {
    Abrir();
    for (int c = 0; c <= 6; ++c) {
        Mover(4, c);
        EXPECT_EQ(Previas(), (std::set<int>{K(4, c), K(4, c + 1), K(4, c + 2), K(4, c + 3)}));
        for (int k = 0; k < 100; ++k)
            EXPECT_EQ(editor->lngColorCelda(k), Previas().count(k) ? kGris : kAzul) << k;
    }
    EXPECT_EQ(editor->strImagenCelda(K(4, 6)), QStringLiteral("imagenes/barcoh12.gif"));
    EXPECT_EQ(editor->strImagenCelda(K(4, 7)), QStringLiteral("imagenes/barcoh22.gif"));
    EXPECT_EQ(editor->strImagenCelda(K(4, 9)), QStringLiteral("imagenes/barcoh32.gif"));
    EXPECT_EQ(Celda(K(4, 6))->accessibleName(), QStringLiteral("G5: vista previa"));
    // Where the ship does not fit the last preview stays.
    Mover(4, 8);
    EXPECT_EQ(Previas(), (std::set<int>{K(4, 6), K(4, 7), K(4, 8), K(4, 9)}));
    // Changing the orientation redraws nothing until the pointer moves.
    Orientar(false);
    EXPECT_EQ(Previas(), (std::set<int>{K(4, 6), K(4, 7), K(4, 8), K(4, 9)}));
    Mover(1, 2);
    EXPECT_EQ(Previas(), (std::set<int>{K(1, 2), K(2, 2), K(3, 2), K(4, 2)}));
    EXPECT_EQ(editor->strImagenCelda(K(1, 2)), QStringLiteral("imagenes/barcov12.gif"));
    EXPECT_EQ(editor->strImagenCelda(K(2, 2)), QStringLiteral("imagenes/barcov22.gif"));
    EXPECT_EQ(editor->strImagenCelda(K(4, 2)), QStringLiteral("imagenes/barcov32.gif"));
    EXPECT_TRUE(editor->strImagenCelda(K(4, 6)).isEmpty());
    Clic(1, 2);
    EXPECT_TRUE(Previas().empty());
    EXPECT_EQ(editor->lngColorCelda(K(1, 2)), kAzul);
    EXPECT_EQ(editor->strImagenCelda(K(1, 2)), QStringLiteral("imagenes/barcov1.gif"));

    // Fits but would touch: the preview goes and none is shown.
    Mover(6, 6);
    EXPECT_EQ(Previas().size(), 3u);
    Mover(5, 3);
    EXPECT_TRUE(Previas().empty());
    for (int k = 0; k < 100; ++k)
        EXPECT_EQ(editor->lngColorCelda(k), kAzul) << k;
    EXPECT_EQ(Barcos(), (std::set<int>{K(1, 2), K(2, 2), K(3, 2), K(4, 2)}));
}

TEST_F(Editor, AguaGrisNoConfundeLosBarcosColocadosConLaVistaPrevia) {
    opciones.lngColorAgua = kGris;
    Abrir();
    Clic(0, 0); // A1..D1
    Clic(3, 0); // A4..C4
    for (int c = 0; c < 10; ++c)
        Mover(7, c);
    Mover(6, 6);
    for (int c = 0; c < 4; ++c)
        EXPECT_FALSE(editor->strImagenCelda(K(0, c)).isEmpty()) << c;
    EXPECT_EQ(editor->strImagenCelda(K(0, 0)), QStringLiteral("imagenes/barcoh1.gif"));
    EXPECT_EQ(editor->strImagenCelda(K(3, 1)), QStringLiteral("imagenes/barcoh2.gif"));
    EXPECT_EQ(Previas(), (std::set<int>{K(6, 6), K(6, 7), K(6, 8)}));
    Mover(3, 3); // fits but touches: only the preview goes
    EXPECT_TRUE(Previas().empty());
    EXPECT_EQ(editor->strImagenCelda(K(3, 2)), QStringLiteral("imagenes/barcoh3.gif"));
    EXPECT_TRUE(editor->strImagenCelda(K(6, 6)).isEmpty());
}

TEST_F(Editor, ConImagenDeAguaLasFormasSonTransparentes) {
    QImage agua(64, 64, QImage::Format_RGB32);
    agua.fill(QColor(10, 200, 30));
    const QString ruta = carpeta.archivo(QStringLiteral("agua.png"));
    ASSERT_TRUE(agua.save(ruta));
    opciones.blnImagenAgua = true;
    opciones.strRutaAgua = ruta;
    Abrir();
    EXPECT_TRUE(editor->blnFormasTransparentes());
    Mover(2, 2);
    EXPECT_EQ(Previas().size(), 4u);
    // The piece pictures are missing here: the square shows the water
    // picture through its transparent shape, never the grey of the preview.
    QWidget* tablero = editor->findChild<QWidget*>(QStringLiteral("imgFondoPanel"));
    ASSERT_NE(tablero, nullptr);
    const QImage vista = tablero->grab().toImage();
    const QPoint centro = Celda(K(2, 3))->geometry().center();
    EXPECT_EQ(QColor(vista.pixel(centro)), QColor(10, 200, 30));
    Mover(8, 0);
    EXPECT_EQ(Previas(), (std::set<int>{K(8, 0), K(8, 1), K(8, 2), K(8, 3)}));
    EXPECT_TRUE(editor->strImagenCelda(K(2, 3)).isEmpty());
    EXPECT_TRUE(grabador.mensajes().isEmpty());
}

TEST_F(Editor, SinImagenDeAguaLaVistaPreviaEsGris) {
    opciones.blnImagenAgua = true;
    opciones.strRutaAgua = carpeta.archivo(QStringLiteral("no-existe.jpg"));
    Abrir(); // a missing water picture is ignored
    EXPECT_TRUE(grabador.mensajes().isEmpty());
    editor.reset();
    opciones.blnImagenAgua = false;
    Abrir();
    EXPECT_FALSE(editor->blnFormasTransparentes());
    Mover(2, 2);
    const QImage vista = Celda(K(2, 3))->grab().toImage();
    EXPECT_EQ(QColor(vista.pixel(8, 8)), QColor(192, 192, 192));
    const QImage agua = Celda(K(7, 7))->grab().toImage();
    EXPECT_EQ(QColor(agua.pixel(8, 8)), QColor(0, 64, 160));
}

// The random fleet PrepararBarcos(0) draws from the seed the test fixed.
Panel FlotaAlAzar(std::uint64_t semilla) {
    Azar::FijarDeterminista(semilla);
    ModPrincipal otro;
    otro.PrepararBarcos(0);
    return otro.intBarcosJugador;
}

TEST_F(Editor, CancelarDaUnaFlotaAlAzarCompletaSinLosBarcosPuestosAMano) {
    Abrir();
    Clic(4, 3);
    Orientar(false);
    Clic(6, 0);
    const std::set<int> aMano = Barcos();
    ASSERT_EQ(aMano.size(), 7u);
    const Panel esperada = FlotaAlAzar(99);
    Azar::FijarDeterminista(99);
    QTest::mouseClick(Hijo<QPushButton>("cmdCancelar"), Qt::LeftButton);
    EXPECT_TRUE(colocados);
    EXPECT_FALSE(editor->isVisible());
    EXPECT_TRUE(blnFlotaValida(principal.intBarcosJugador));
    EXPECT_EQ(principal.intBarcosJugador, esperada);
    std::set<int> comunes;
    for (int k : aMano)
        if (Barcos().count(k)) comunes.insert(k);
    EXPECT_LT(comunes.size(), aMano.size()); // the hand-placed ships are gone
    EXPECT_TRUE(grabador.mensajes().isEmpty());
    // Nothing more happens once closed.
    const Panel despues = principal.intBarcosJugador;
    editor->cmdCancelar_Click();
    editor->cmdAceptar_Click();
    EXPECT_EQ(principal.intBarcosJugador, despues);
}

TEST_F(Editor, LaCasillaDeCierreYEscapeHacenLoMismoQueCancelar) {
    Abrir();
    Clic(0, 0);
    const Panel esperada = FlotaAlAzar(5);
    Azar::FijarDeterminista(5);
    QCloseEvent cierre; // as the window manager sends it
    QSpontaneKeyEvent::setSpontaneous(&cierre);
    QApplication::instance()->notify(editor.get(), &cierre);
    EXPECT_TRUE(cierre.isAccepted());
    EXPECT_TRUE(colocados);
    EXPECT_EQ(principal.intBarcosJugador, esperada);

    colocados = false;
    principal.LlenarPanel(0, CASILLA_AGUA);
    editor.reset();
    Abrir();
    Clic(9, 6);
    QTest::keyClick(editor.get(), Qt::Key_Escape);
    EXPECT_TRUE(colocados);
    EXPECT_FALSE(editor->isVisible());
    EXPECT_TRUE(blnFlotaValida(principal.intBarcosJugador));
}

TEST_F(Editor, CerrarDesdeElProgramaNoColocaNada) {
    Abrir();
    Clic(0, 0);
    const Panel antes = principal.intBarcosJugador;
    editor->close();
    EXPECT_FALSE(editor->isVisible());
    EXPECT_FALSE(colocados);
    EXPECT_EQ(principal.intBarcosJugador, antes);
}

TEST_F(Editor, SeCierraSoloCuandoElProgramaTermina) {
    auto* editor = Nuevo();
    editor->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<FrmColocarBarcos> vigia(editor);
    editor->show();
    QWidget* w = editor->celda(K(2, 2));
    QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
    const Panel antes = principal.intBarcosJugador;
    // The main window's wait, with the program closing meanwhile.
    QTimer::singleShot(20, [this] { principal.blnCerrando = true; });
    int vueltas = 0;
    while (!colocados && !principal.blnCerrando && vueltas++ < 2000)
        Pausa(5);
    ASSERT_TRUE(principal.blnCerrando);
    for (int i = 0; i < 400 && vigia; ++i) {
        Pausa(5);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    EXPECT_TRUE(vigia.isNull());
    EXPECT_FALSE(colocados);
    EXPECT_EQ(principal.intBarcosJugador, antes);
}

TEST_F(Editor, SeCierraConSuVentanaPrincipal) {
    QWidget ventana;
    ventana.show();
    auto* editor = Nuevo(&ventana);
    editor->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<FrmColocarBarcos> vigia(editor);
    editor->show();
    QWidget* w = editor->celda(K(5, 5));
    QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
    const Panel antes = principal.intBarcosJugador;
    ventana.close(); // even before the window has set the closing flag
    for (int i = 0; i < 400 && vigia; ++i) {
        Pausa(5);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    EXPECT_TRUE(vigia.isNull());
    EXPECT_FALSE(colocados);
    EXPECT_EQ(principal.intBarcosJugador, antes);
    EXPECT_TRUE(grabador.mensajes().isEmpty());
}

TEST_F(Editor, UnCierreRechazadoDeLaVentanaPrincipalNoCierraElEditor) {
    class Terca : public QWidget {
    protected:
        void closeEvent(QCloseEvent* e) override { e->ignore(); }
    } ventana;
    ventana.show();
    auto* dialogo = Nuevo(&ventana);
    dialogo->show();
    ventana.close();
    for (int i = 0; i < 10; ++i)
        Pausa(5);
    EXPECT_TRUE(dialogo->isVisible());
    delete dialogo;
}

TEST_F(Editor, AceptarConLaFlotaCompletaCierraYLiberaElEditor) {
    editor.reset(Nuevo());
    editor->show();
    ColocarFlota();
    FrmColocarBarcos* dialogo = editor.release();
    dialogo->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<FrmColocarBarcos> vigia(dialogo);
    QTest::mouseClick(dialogo->findChild<QPushButton*>(QStringLiteral("cmdAceptar")),
                      Qt::LeftButton);
    EXPECT_TRUE(colocados);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(vigia.isNull());
    EXPECT_EQ(Barcos(), FlotaEsperada());
}

TEST_F(Editor, LasAyudasEmergentesApuntanAlArchivoDeTemasMientrasEstaAbierto) {
    const QString antes = strArchivoAyuda();
    Abrir();
    EXPECT_EQ(strArchivoAyuda(), antes + kTemasEmergentes);
    editor.reset();
    EXPECT_EQ(strArchivoAyuda(), antes);
}

} // namespace
