#include "ui/main/tablero.h"

#include "core/modprincipal.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

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
        const QPoint c = tablero_->mapToGlobal(tablero_->centroCasilla(indice_ / 10, indice_ % 10));
        const int m = Px(Tablero::kCasilla) / 2;
        return QRect(c - QPoint(m, m), QSize(2 * m + 1, 2 * m + 1));
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
    setFixedSize(Px(kPaso * 9 + kCasilla), Px(kPaso * 9 + kCasilla));
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void Tablero::FijarColorRejilla(const QColor& c) {
    rejilla_ = c;
    update();
}

void Tablero::FijarFondo(const QPixmap& fondo) {
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

QRect Tablero::RectCasilla(int intFila, int intColumna) const {
    // Outlines overlap by one pixel, as the twip geometry does.
    return QRect(Px(kPaso * intColumna), Px(kPaso * intFila), Px(kCasilla), Px(kCasilla));
}

QPoint Tablero::centroCasilla(int intFila, int intColumna) const {
    return RectCasilla(intFila, intColumna).center();
}

bool Tablero::casillaEn(const QPoint& p, int& intFila, int& intColumna) const {
    if (p.x() < 0 || p.y() < 0) return false;
    const int c = p.x() / Px(kPaso);
    const int f = p.y() / Px(kPaso);
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
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    if (!fondo_.isNull()) p.drawPixmap(rect().adjusted(0, 0, -1, -1), fondo_);
    const int lado = Px(kCasilla);
    for (int f = 0; f < 10; ++f) {
        for (int c = 0; c < 10; ++c) {
            const Casilla& k = casilla(f, c);
            const QRect r = RectCasilla(f, c);
            if (k.opaca) p.fillRect(r, k.relleno);
            if (!k.imagen.isNull()) {
                const int in = Px(inset_);
                const int l = qMin(Px(ladoImagen_), lado - in);
                p.drawPixmap(QRect(r.x() + in, r.y() + in, l, l), k.imagen);
            }
        }
    }
    // The grid over the fills, so every outline shows whole.
    p.setPen(QPen(rejilla_, 0));
    p.setBrush(Qt::NoBrush);
    for (int f = 0; f < 10; ++f)
        for (int c = 0; c < 10; ++c)
            p.drawRect(RectCasilla(f, c).adjusted(0, 0, -1, -1));
    if (conMarcas_) {
        const int in = Px(60);
        const int l = Px(135);
        for (int f = 0; f < 10; ++f) {
            for (int c = 0; c < 10; ++c) {
                const Casilla& k = casilla(f, c);
                if (!k.marcaVisible) continue;
                const QRect r = RectCasilla(f, c);
                const QRect m(r.x() + in, r.y() + in, l, l);
                if (k.marcaOpaca) p.fillRect(m, k.marcaRelleno);
                p.setPen(QPen(k.marcaBorde, 0));
                p.drawRect(m.adjusted(0, 0, -1, -1));
            }
        }
    }
    if (conCursor_ && hasFocus()) {
        // Two contrasting outlines, so the cursor shows on any fill or picture.
        const QRect r = RectCasilla(cursor_ / 10, cursor_ % 10).adjusted(1, 1, -2, -2);
        p.setPen(QPen(palette().color(QPalette::Highlight), 2));
        p.drawRect(r);
        p.setPen(QPen(Qt::white, 0, Qt::DotLine));
        p.drawRect(r.adjusted(1, 1, -1, -1));
    }
    if (disparoVisible_) {
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(QPen(QColor(200, 0, 0), 2, Qt::SolidLine, Qt::RoundCap));
        for (const QLine& l : lineas_) {
            // Frame twips to this widget's pixels.
            const QPointF a((l.x1() - kOrigen) / double(kTwipsPorPixel),
                            (l.y1() - kOrigen) / double(kTwipsPorPixel));
            const QPointF b((l.x2() - kOrigen) / double(kTwipsPorPixel),
                            (l.y2() - kOrigen) / double(kTwipsPorPixel));
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
