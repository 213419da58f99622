// The main window grows with its frame: the squares grow and stay square,
// no text is cut, the side panes still fit, and the size the player gave the
// window is there again on the next run.
#include "carpeta_temporal.h"
#include "controles.h"
#include "grabador_mensajes.h"
#include "ui/main/aplicacion.h"
#include "ui/main/tablero.h"
#include "ventana_prueba.h"

#include <QAccessible>
#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
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
    EXPECT_TRUE(v.rect().contains(r)) << r.x() << "," << r.y() << " " << r.width() << "x"
                                      << r.height();
    EXPECT_EQ(TextosCortados().join(QStringLiteral("; ")).toStdString(), "");
}
