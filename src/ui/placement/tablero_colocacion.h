#pragma once
// The editor's board: the squares it lays out and the widget of each square.
// Only for ui/placement.
#include "core/modprincipal.h"
#include "ui/escala/escala_twips.h"
#include "ui/escala/imagen_nitida.h"
#include "ui/placement/colocar_barcos.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace brumaria {
namespace colocacion {

// Geometry in twips, drawn at 15 twips to the pixel at the design size.
constexpr int Px(int twips) {
    return twips / 15;
}

constexpr int kPaso = Px(240);      // square pitch
constexpr int kLadoCelda = Px(255); // a square overlaps its neighbours by one pixel
constexpr int kOrigenCeldas = Px(600);

} // namespace colocacion

// The board area: the water picture under the squares, which it lays out
// itself on a whole-pixel pitch, so every square stays the same size as the
// window scales the board.
class TableroColocacion : public QWidget {
public:
    explicit TableroColocacion(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("imgFondoPanel"));
        EscalaTwips::MarcarBloque(this);
    }
    ImagenNitida fondo;
    // The outline, one pixel at the design size, and the pitch of the squares.
    int grosor() const {
        return std::max(1, int(std::lround(std::min(width(), height()) /
                                           double(kLado * colocacion::kPaso + colocacion::kLadoCelda - colocacion::kPaso))));
    }
    int paso() const { return std::max(1, (std::min(width(), height()) - grosor()) / kLado); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        fondo.Dibujar(p, QRect(0, 0, kLado * paso(), kLado * paso()));
    }
    void resizeEvent(QResizeEvent*) override {
        const int n = paso();
        const int g = grosor();
        for (QObject* o : children())
            if (auto* c = qobject_cast<QWidget*>(o); c && c->property("indice").isValid()) {
                const int k = c->property("indice").toInt();
                // Neighbours share their outline, as they always have.
                c->setGeometry((k % kLado) * n, (k / kLado) * n, n + g, n + g);
            }
    }
};

// One square: its shape (fill and outline) and its piece picture on top.
// Receives the pointer moves and clicks of its square; by keyboard, the
// arrows move between squares (the preview follows) and Enter places.
class CeldaColocacion : public QWidget {
public:
    CeldaColocacion(FrmColocarBarcos& editor, int k, QWidget* parent)
        : QWidget(parent), editor_(editor), k_(k) {
        setObjectName(QStringLiteral("imgCelda_%1").arg(k));
        setProperty("indice", k);
        setMouseTracking(true);
        // Only the first square is in the Tab chain; the arrows do the rest.
        setFocusPolicy(k == 0 ? Qt::StrongFocus : Qt::ClickFocus);
    }
    QColor relleno; // invalid: transparent shape
    QColor borde;
    ImagenNitida pieza;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const QRect r = rect();
        const int g = static_cast<const TableroColocacion*>(parentWidget())->grosor();
        if (relleno.isValid()) p.fillRect(r, relleno);
        pieza.Dibujar(p, r.adjusted(g, g, -g, -g));
        for (const QRect& lado : {QRect(0, 0, r.width(), g), QRect(0, r.height() - g, r.width(), g),
                                  QRect(0, 0, g, r.height()), QRect(r.width() - g, 0, g, r.height())})
            p.fillRect(lado, borde);
        if (hasFocus()) {
            p.setPen(QPen(palette().color(QPalette::Highlight), 2 * g));
            p.drawRect(r.adjusted(g, g, -2 * g, -2 * g));
        }
    }
    void focusInEvent(QFocusEvent* e) override {
        QWidget::focusInEvent(e);
        editor_.imgCelda_MouseMove(k_);
        update();
    }
    void focusOutEvent(QFocusEvent* e) override {
        QWidget::focusOutEvent(e);
        update();
    }
    void keyPressEvent(QKeyEvent* e) override {
        int f = k_ / kLado, c = k_ % kLado;
        switch (e->key()) {
        case Qt::Key_Left: c = qMax(0, c - 1); break;
        case Qt::Key_Right: c = qMin(kLado - 1, c + 1); break;
        case Qt::Key_Up: f = qMax(0, f - 1); break;
        case Qt::Key_Down: f = qMin(kLado - 1, f + 1); break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            // With the fleet complete there is nothing to place: Enter goes
            // to the dialog's default button, "&Aceptar".
            if (editor_.intTamañoActual() == 0) {
                e->ignore();
                return;
            }
            editor_.imgCelda_Click(k_);
            return;
        case Qt::Key_Space:
            editor_.imgCelda_Click(k_);
            return;
        default:
            QWidget::keyPressEvent(e);
            return;
        }
        if (auto* otra = parentWidget()->findChild<QWidget*>(
                QStringLiteral("imgCelda_%1").arg(f * kLado + c), Qt::FindDirectChildrenOnly))
            otra->setFocus(Qt::OtherFocusReason);
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        editor_.imgCelda_MouseMove(k_);
        e->accept();
    }
    void mousePressEvent(QMouseEvent* e) override {
        pulsada_ = e->button() == Qt::LeftButton;
        e->accept();
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        const bool clic = pulsada_ && e->button() == Qt::LeftButton && rect().contains(e->pos());
        pulsada_ = false;
        e->accept();
        if (clic) editor_.imgCelda_Click(k_);
    }

private:
    FrmColocarBarcos& editor_;
    int k_;
    bool pulsada_ = false;
};

} // namespace brumaria
