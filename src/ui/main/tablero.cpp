#include "ui/main/tablero.h"

#include "core/modprincipal.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace brumaria {
namespace {

// One square of a board in the accessibility tree.
class CasillaAccesible : public QAccessibleInterface {
public:
    CasillaAccesible(Tablero* tablero, int indice) : tablero_(tablero), indice_(indice) {}
    bool isValid() const override { return tablero_ != nullptr; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override {
        return tablero_ ? tablero_->window()->windowHandle() : nullptr;
    }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(tablero_);
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override {
        if (!tablero_ || (t != QAccessible::Name && t != QAccessible::Description)) return {};
        return tablero_->textoAccesible(indice_ / 10, indice_ % 10);
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!tablero_) return {};
        const QRect r = tablero_->rectCasilla(indice_ / 10, indice_ % 10);
        return QRect(tablero_->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::Role role() const override { return QAccessible::Cell; }
    QAccessible::State state() const override {
        QAccessible::State s;
        if (!tablero_ || !tablero_->cursorTeclado()) return s;
        s.focusable = true;
        s.focused = tablero_->hasFocus() &&
                    tablero_->filaCursor() * 10 + tablero_->columnaCursor() == indice_;
        return s;
    }

private:
    QPointer<Tablero> tablero_;
    int indice_;
};

class TableroAccesible : public QAccessibleWidget {
public:
    explicit TableroAccesible(QWidget* w) : QAccessibleWidget(w, QAccessible::Table) {}
    ~TableroAccesible() override {
        for (auto id : ids_)
            QAccessible::deleteAccessibleInterface(id);
    }
    int childCount() const override { return 100; }
    QAccessibleInterface* child(int i) const override {
        if (i < 0 || i >= 100) return nullptr;
        if (!ids_[i]) {
            auto* c = new CasillaAccesible(static_cast<Tablero*>(widget()), i);
            ids_[i] = QAccessible::registerAccessibleInterface(c);
        }
        return QAccessible::accessibleInterface(ids_[i]);
    }
    int indexOfChild(const QAccessibleInterface* c) const override {
        for (int i = 0; i < 100; ++i)
            if (ids_[i] && QAccessible::accessibleInterface(ids_[i]) == c) return i;
        return -1;
    }
    QAccessibleInterface* focusChild() const override {
        auto* t = static_cast<Tablero*>(widget());
        if (!t->cursorTeclado() || !t->hasFocus()) return nullptr;
        return child(t->filaCursor() * 10 + t->columnaCursor());
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        auto* t = static_cast<Tablero*>(widget());
        int f = 0, c = 0;
        return t->casillaEn(t->mapFromGlobal(QPoint(x, y)), f, c) ? child(f * 10 + c) : nullptr;
    }

private:
    mutable std::array<QAccessible::Id, 100> ids_{};
};

QAccessibleInterface* FabricaAccesible(const QString& clase, QObject* objeto) {
    if (clase == QLatin1String("brumaria::Tablero") && objeto && objeto->isWidgetType())
        return new TableroAccesible(static_cast<QWidget*>(objeto));
    return nullptr;
}

} // namespace

Tablero::Tablero(int intInsetImagen, int intLadoImagen, bool blnConMarcas, QWidget* parent)
    : QWidget(parent), inset_(intInsetImagen), ladoImagen_(intLadoImagen),
      conMarcas_(blnConMarcas) {
    static const bool registrada = (QAccessible::installFactory(&FabricaAccesible), true);
    Q_UNUSED(registrada);
    setMouseTracking(true);
    resize(Px(kPaso * 9 + kCasilla), Px(kPaso * 9 + kCasilla));
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void Tablero::FijarColorRejilla(const QColor& c) {
    rejilla_ = c;
    update();
}

void Tablero::FijarFondo(const ImagenNitida& fondo) {
    fondo_ = fondo;
    update();
}

void Tablero::MostrarDisparo(const QLine& linea0, const QLine& linea1) {
    lineas_ = {linea0, linea1};
    disparoVisible_ = true;
    update();
}

void Tablero::OcultarDisparo() {
    if (disparoVisible_) {
        disparoVisible_ = false;
        update();
    }
}

int Tablero::Grosor() const {
    // One pixel at the design size, thicker as the board grows.
    return std::max(1, int(std::lround(std::min(width(), height()) / double(Px(kPaso * 9 + kCasilla)))));
}

int Tablero::Paso() const {
    // A whole number of pixels, so every square is drawn the same size; the
    // last line of the grid ends at the board's edge.
    return std::max(1, (std::min(width(), height()) - Grosor()) / 10);
}

int Tablero::Escalar(int twips) const {
    return int(std::lround(double(twips) / kTwipsPorPixel * Paso() / Px(kPaso)));
}

QRect Tablero::rectCasilla(int intFila, int intColumna) const {
    // Neighbours share their outline, as the twip geometry's overlap does.
    const int paso = Paso();
    return QRect(paso * intColumna, paso * intFila, paso + Grosor(), paso + Grosor());
}

QPoint Tablero::centroCasilla(int intFila, int intColumna) const {
    return rectCasilla(intFila, intColumna).center();
}

bool Tablero::casillaEn(const QPoint& p, int& intFila, int& intColumna) const {
    if (p.x() < 0 || p.y() < 0) return false;
    const int c = p.x() / Paso();
    const int f = p.y() / Paso();
    if (!blnCasillaValida(f, c)) return false;
    intFila = f;
    intColumna = c;
    return true;
}

QString Tablero::textoAccesible(int intFila, int intColumna) const {
    if (!blnCasillaValida(intFila, intColumna)) return {};
    const Casilla& k = casilla(intFila, intColumna);
    QString texto = strCasilla(intFila, intColumna);
    if (!k.contenido.isEmpty()) texto += QStringLiteral(": ") + k.contenido;
    if (k.marcaVisible)
        texto += k.marcaOpaca ? QStringLiteral(", disparo respondido")
                              : QStringLiteral(", disparo del contrincante");
    return texto;
}

void Tablero::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int paso = Paso();
    fondo_.Dibujar(p, QRect(0, 0, 10 * paso, 10 * paso));
    const int grosor = Grosor();
    const int lado = paso + grosor;
    const int in = Escalar(inset_);
    const int l = qMin(Escalar(ladoImagen_), lado - in);
    for (int f = 0; f < 10; ++f) {
        for (int c = 0; c < 10; ++c) {
            const Casilla& k = casilla(f, c);
            const QRect r = rectCasilla(f, c);
            if (k.opaca) p.fillRect(r, k.relleno);
            k.imagen.Dibujar(p, QRect(r.x() + in, r.y() + in, l, l));
        }
    }
    // The grid over the fills, so every outline shows whole.
    for (int i = 0; i <= 10; ++i) {
        p.fillRect(QRect(i * paso, 0, grosor, 10 * paso + grosor), rejilla_);
        p.fillRect(QRect(0, i * paso, 10 * paso + grosor, grosor), rejilla_);
    }
    if (conMarcas_) {
        const int inMarca = Escalar(60);
        const int lMarca = Escalar(135);
        for (int f = 0; f < 10; ++f) {
            for (int c = 0; c < 10; ++c) {
                const Casilla& k = casilla(f, c);
                if (!k.marcaVisible) continue;
                const QRect r = rectCasilla(f, c);
                const QRect m(r.x() + inMarca, r.y() + inMarca, lMarca, lMarca);
                if (k.marcaOpaca) p.fillRect(m, k.marcaRelleno);
                p.setPen(QPen(k.marcaBorde, grosor, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
                p.setBrush(Qt::NoBrush);
                // A pen of width g is centred on the path: inset by g/2.
                p.drawRect(QRectF(m).adjusted(grosor / 2.0, grosor / 2.0, -grosor / 2.0,
                                              -grosor / 2.0));
            }
        }
    }
    if (conCursor_ && hasFocus()) {
        // Two contrasting outlines, so the cursor shows on any fill or picture.
        const int grueso = std::max(2, Escalar(30));
        const QRect r = rectCasilla(cursor_ / 10, cursor_ % 10)
                            .adjusted(grueso / 2, grueso / 2, -grueso, -grueso);
        p.setPen(QPen(palette().color(QPalette::Highlight), grueso));
        p.drawRect(r);
        p.setPen(QPen(Qt::white, 0, Qt::DotLine));
        p.drawRect(r.adjusted(grueso / 2, grueso / 2, -grueso / 2, -grueso / 2));
    }
    if (disparoVisible_) {
        p.setRenderHint(QPainter::Antialiasing, true);
        const double k = double(Paso()) / Px(kPaso) / kTwipsPorPixel;
        p.setPen(QPen(QColor(200, 0, 0), 2 * Paso() / double(Px(kPaso)), Qt::SolidLine,
                      Qt::RoundCap));
        for (const QLine& linea : lineas_) {
            // Frame twips to this widget's pixels.
            const QPointF a((linea.x1() - kOrigen) * k, (linea.y1() - kOrigen) * k);
            const QPointF b((linea.x2() - kOrigen) * k, (linea.y2() - kOrigen) * k);
            p.drawLine(a, b);
        }
    }
}

void Tablero::FijarCursorTeclado(bool blnActivo) {
    conCursor_ = blnActivo;
    setFocusPolicy(blnActivo ? Qt::StrongFocus : Qt::NoFocus);
    update();
}

void Tablero::AnunciarCursor() {
    update();
    if (!hasFocus()) return;
    QAccessibleEvent ev(this, QAccessible::Focus);
    ev.setChild(cursor_);
    QAccessible::updateAccessibility(&ev);
}

void Tablero::keyPressEvent(QKeyEvent* e) {
    if (!conCursor_ || (e->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier))) {
        QWidget::keyPressEvent(e);
        return;
    }
    int f = cursor_ / 10, c = cursor_ % 10;
    switch (e->key()) {
    case Qt::Key_Left: c = qMax(0, c - 1); break;
    case Qt::Key_Right: c = qMin(9, c + 1); break;
    case Qt::Key_Up: f = qMax(0, f - 1); break;
    case Qt::Key_Down: f = qMin(9, f + 1); break;
    case Qt::Key_Home: c = 0; break;
    case Qt::Key_End: c = 9; break;
    case Qt::Key_PageUp: f = 0; break;
    case Qt::Key_PageDown: f = 9; break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        emit casillaTecleada(f, c);
        return;
    default:
        QWidget::keyPressEvent(e);
        return;
    }
    if (f * 10 + c != cursor_) {
        cursor_ = f * 10 + c;
        AnunciarCursor();
    }
}

void Tablero::focusInEvent(QFocusEvent* e) {
    QWidget::focusInEvent(e);
    if (conCursor_) AnunciarCursor();
}

void Tablero::focusOutEvent(QFocusEvent* e) {
    QWidget::focusOutEvent(e);
    update();
}

void Tablero::mouseMoveEvent(QMouseEvent* e) {
    int f = 0, c = 0;
    const bool apuntar =
        casillaEn(e->position().toPoint(), f, c) && permitirPunteria && permitirPunteria();
    if (apuntar != (cursor().shape() == Qt::CrossCursor)) {
        if (apuntar)
            setCursor(Qt::CrossCursor);
        else
            unsetCursor();
    }
    QWidget::mouseMoveEvent(e);
}

void Tablero::mousePressEvent(QMouseEvent* e) {
    int f = 0, c = 0;
    pulsada_ = (e->button() == Qt::LeftButton && casillaEn(e->position().toPoint(), f, c))
                   ? f * 10 + c
                   : -1;
}

void Tablero::mouseReleaseEvent(QMouseEvent* e) {
    int f = 0, c = 0;
    const int antes = pulsada_;
    pulsada_ = -1;
    // A click is press and release on the same square.
    if (e->button() == Qt::LeftButton && casillaEn(e->position().toPoint(), f, c) &&
        f * 10 + c == antes)
        emit casillaPulsada(f, c);
}

} // namespace brumaria
