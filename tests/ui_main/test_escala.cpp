// The main window grows with its frame: the squares grow and stay square,
// no text is cut, the side panes still fit, and the size the player gave the
// window is there again on the next run.
#include "carpeta_temporal.h"
#include "controles.h"
#include "grabador_mensajes.h"
#include "platform/rutas.h"
#include "ui/escala/escala_twips.h"
#include "ui/escala/imagen_nitida.h"
#include "ui/main/aplicacion.h"
#include "ui/main/panel_barra.h"
#include "ui/main/tablero.h"
#include "ventana_prueba.h"

#include <QAccessible>
#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QStyle>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

using namespace brumaria;
using prueba::Control;

namespace {

class Escala : public ::testing::Test {
protected:
    prueba::CarpetaTemporal carpeta;
    prueba::GrabadorMensajes grabador;
    std::unique_ptr<Aplicacion> app;

    void SetUp() override { carpeta.CopiarRecursos(); }

    // With the typed attack line shown: it holds the window's longest labels.
    FrmPrincipal& Abrir() {
        app = prueba::VentanaLista(3);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&app->ventana));
        return app->ventana;
    }

    void Redimensionar(const QSize& t) {
        app->ventana.resize(t);
        QApplication::processEvents();
    }

    // Square k of a board as the accessibility tree places it on screen.
    QRect Casilla(const char* tablero, int k) {
        QAccessibleInterface* t =
            QAccessible::queryAccessibleInterface(Control<Tablero>(app->ventana, tablero));
        return t->child(k)->rect();
    }

    // Every text of the window that does not fit the control showing it.
    QStringList TextosCortados() {
        QStringList cortados;
        for (const QLabel* l : app->ventana.findChildren<QLabel*>()) {
            if (!l->isVisible() || l->text().isEmpty()) continue;
            const QSize texto = l->fontMetrics().size(Qt::TextShowMnemonic, l->text());
            if (texto.width() > l->contentsRect().width() ||
                texto.height() > l->contentsRect().height())
                cortados << QStringLiteral("%1 \"%2\": %3x%4 en %5x%6")
                                .arg(l->objectName(), l->text())
                                .arg(texto.width())
                                .arg(texto.height())
                                .arg(l->contentsRect().width())
                                .arg(l->contentsRect().height());
        }
        // A button is cut when the text and the style's margins need more.
        for (const QPushButton* b : app->ventana.findChildren<QPushButton*>()) {
            const int ancho = b->fontMetrics().size(Qt::TextShowMnemonic, b->text()).width() +
                              2 * b->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, b);
            if (b->isVisible() && ancho > b->width())
                cortados << QStringLiteral("%1 \"%2\": %3 en %4")
                                .arg(b->objectName(), b->text())
                                .arg(ancho)
                                .arg(b->width());
        }
        return cortados;
    }
};

} // namespace

TEST_F(Escala, AlAgrandarLaVentanaLasCasillasCrecenCuadradasYNingunTextoSeCorta) {
    FrmPrincipal& v = Abrir();
    // The first size is the design size, with squares of 17 pixels.
    EXPECT_EQ(v.size(), QSize(7170 / 15, 5835 / 15));
    EXPECT_EQ(Casilla("imgCeldaO", 0).size(), QSize(17, 17));
    // The host's wait shows its own button, the window's longest caption.
    Control<QPushButton>(v, "cmdCancelarEspera")->show();
    EXPECT_EQ(TextosCortados().join(QStringLiteral("; ")).toStdString(), "");

    // Twice as wide and high: everything twice as large (the menu bar and
    // the status bar keep their size, so the width decides).
    Redimensionar(QSize(2 * 478, 2 * 389));
    EXPECT_DOUBLE_EQ(v.factorEscala(), 2.0);
    for (const char* t : {"imgCelda", "imgCeldaO"}) {
        const QRect primera = Casilla(t, 0);
        EXPECT_EQ(primera.size(), QSize(34, 34)) << t;
        for (int k = 0; k < 100; ++k) {
            const QRect r = Casilla(t, k);
            EXPECT_EQ(r.width(), r.height()) << t << " " << k;
            EXPECT_EQ(r.size(), primera.size()) << t << " " << k;
        }
        // Neighbours share their outline: the squares tile the board.
        EXPECT_EQ(Casilla(t, 1).left() - primera.left(), Casilla(t, 10).top() - primera.top());
    }
    EXPECT_EQ(TextosCortados().join(QStringLiteral("; ")).toStdString(), "");

    // A side pane widens the window by its own width at the same scale, and
    // fits inside it.
    const int ancho = v.width();
    const double factor = v.factorEscala();
    Control<QAction>(v, QStringLiteral("mnuVerHistorial"))->trigger();
    QApplication::processEvents();
    EXPECT_EQ(v.width(), ancho + qRound(3390 / 15 * factor));
    EXPECT_DOUBLE_EQ(v.factorEscala(), factor);
    auto* historial = Control<QPlainTextEdit>(v, QStringLiteral("txtHistorial"));
    const QRect r(historial->mapTo(&v, QPoint(0, 0)), historial->size());
    EXPECT_TRUE(v.rect().contains(r))
        << r.x() << "," << r.y() << " " << r.width() << "x" << r.height();
    EXPECT_EQ(TextosCortados().join(QStringLiteral("; ")).toStdString(), "");
}

TEST_F(Escala, LaVentanaVuelveConElTamanoYElEstadoQueTenia) {
    Abrir();
    Redimensionar(QSize(700, 560));
    app->ventana.close();
    app.reset();
    // Kept in the user's folder, which the test has pointed at its own.
    EXPECT_TRUE(QFileInfo::exists(carpeta.archivo(QStringLiteral("ventanas.ini"))));

    FrmPrincipal& otra = Abrir();
    EXPECT_EQ(otra.size(), QSize(700, 560));
    EXPECT_FALSE(otra.isMaximized());
    otra.showMaximized();
    QApplication::processEvents();
    otra.close();
    app.reset();

    FrmPrincipal& tercera = Abrir();
    EXPECT_TRUE(tercera.isMaximized());
    // Un-maximised, it is the size it had before.
    tercera.showNormal();
    QApplication::processEvents();
    EXPECT_EQ(tercera.size(), QSize(700, 560));
}

// A shipped piece is drawn from its vectors at the size asked, not blown up
// from the small raster copy beside it.
TEST_F(Escala, LasPiezasSeDibujanDeSusVectores) {
    const QString gif = UnirRuta(strRutaPrograma(), QStringLiteral("imagenes/barcoh1.gif"));
    auto dibujar = [](const ImagenNitida& imagen) {
        QImage i(68, 68, QImage::Format_ARGB32_Premultiplied);
        i.fill(Qt::transparent);
        QPainter p(&i);
        imagen.Dibujar(p, QRectF(0, 0, 68, 68));
        return i;
    };
    const QImage vectores = dibujar(ImagenNitida::Cargar(gif, true));
    const QImage raster = dibujar(ImagenNitida::Cargar(gif));
    // The middle of the bow is its deck.
    EXPECT_EQ(vectores.pixelColor(34, 34), QColor(0xc4, 0xcc, 0xd6));
    EXPECT_NE(vectores, raster);
}

// Each view that comes and goes leaves the window as it found it, at the
// design size and at a larger scale alike: a pane adds its own width once,
// the status bar its own height, and the boards keep their scale.
TEST_F(Escala, CadaVistaQueVaYVieneDejaLaVentanaComoEstaba) {
    for (const double escala : {1.0, 1.5}) {
        SCOPED_TRACE(escala);
        FrmPrincipal& v = Abrir();
        if (escala != 1.0) Redimensionar(QSize(qRound(478 * escala), qRound(389 * escala)));
        const QSize inicial = v.size();
        const double factor = v.factorEscala();
        const int panel = qRound(3390 / 15 * factor);
        auto alternar = [&](const char* vista) {
            Control<QAction>(v, QLatin1String(vista))->trigger();
            QApplication::processEvents();
            EXPECT_DOUBLE_EQ(v.factorEscala(), factor) << vista;
        };
        for (const char* vista : {"mnuVerHistorial", "mnuVerChat"}) {
            for (int vuelta = 0; vuelta < 2; ++vuelta) {
                alternar(vista);
                EXPECT_EQ(v.size(), inicial + QSize(panel, 0)) << vista << " " << vuelta;
                alternar(vista);
                EXPECT_EQ(v.size(), inicial) << vista << " " << vuelta;
            }
        }
        // Both panes share the frame: the second one adds nothing.
        alternar("mnuVerHistorial");
        alternar("mnuVerChat");
        EXPECT_EQ(v.size(), inicial + QSize(panel, 0));
        alternar("mnuVerHistorial");
        alternar("mnuVerChat");
        EXPECT_EQ(v.size(), inicial);
        alternar("mnuVerBarraDeEstado");
        EXPECT_LT(v.height(), inicial.height());
        alternar("mnuVerBarraDeEstado");
        EXPECT_EQ(v.size(), inicial);
        app.reset();
    }
}

// A frame larger than the screen is cut to it, one that sticks out is moved
// in; one that fits stays where it is.
TEST(Pantalla, UnaVentanaQueNoCabeSeRecortaYSeMueveDentro) {
    const QRect pantalla(0, 0, 1280, 1024);
    struct Caso {
        QRect marco, esperado;
    } casos[] = {
        {{100, 100, 500, 400}, {100, 100, 500, 400}},
        {{0, 20, 1280, 1054}, {0, 0, 1280, 1024}},   // kept from a bigger screen
        {{-50, 0, 500, 400}, {0, 0, 500, 400}},      // past the left edge
        {{1000, 900, 500, 400}, {780, 624, 500, 400}}, // past the bottom right
        {{0, 0, 1280, 1024}, {0, 0, 1280, 1024}},    // exactly the screen
        {{0, 1, 1280, 1024}, {0, 0, 1280, 1024}},    // one pixel too low
    };
    for (const Caso& c : casos)
        EXPECT_EQ(EncajarEnPantalla(c.marco, pantalla), c.esperado)
            << c.marco.x() << "," << c.marco.y() << " " << c.marco.width() << "x"
            << c.marco.height();
    // A screen that starts below a panel.
    EXPECT_EQ(EncajarEnPantalla({0, 0, 400, 300}, {0, 30, 1280, 994}), QRect(0, 30, 400, 300));
}

TEST_F(Escala, UnTamanoRecordadoMayorQueLaPantallaSeRecorta) {
    {
        QSettings a(carpeta.archivo(QStringLiteral("ventanas.ini")), QSettings::IniFormat);
        a.setValue(QStringLiteral("principal/ancho"), 4000);
        a.setValue(QStringLiteral("principal/alto"), 3000);
    }
    FrmPrincipal& v = Abrir();
    QApplication::processEvents();
    const QRect pantalla = v.screen()->availableGeometry();
    EXPECT_TRUE(pantalla.contains(v.frameGeometry()))
        << v.frameGeometry().width() << "x" << v.frameGeometry().height();
}

// The host's session panel is longer than its room at the design size: both
// ends show, with "…" between, and the whole text is the panel's tip.
TEST_F(Escala, ElNombreDeSesionLargoSeAbreviaPorEnMedio) {
    FrmPrincipal& v = Abrir();
    auto* panel = Control<PanelBarra>(v, QStringLiteral("stbPanel3"));
    const QString texto = QStringLiteral("Nombre de sesión: Partida de Jugador (HOST)");
    v.EscribirEstado(3, texto);
    const QString visible = panel->strVisible();
    EXPECT_TRUE(visible.startsWith(u"Nombre")) << visible.toStdString();
    EXPECT_TRUE(visible.endsWith(u"(HOST)")) << visible.toStdString();
    EXPECT_TRUE(visible.contains(QChar(0x2026)));
    EXPECT_LE(panel->fontMetrics().horizontalAdvance(visible), panel->contentsRect().width());
    EXPECT_EQ(panel->text(), texto);
    // With room enough, the whole text.
    Redimensionar(QSize(3 * 478, 3 * 389));
    EXPECT_EQ(panel->strVisible(), texto);
}
