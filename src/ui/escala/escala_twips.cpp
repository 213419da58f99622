#include "ui/escala/escala_twips.h"

#include "platform/rutas.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QScreen>
#include <QSettings>
#include <QStyle>
#include <QTimer>
#include <QWindow>
#include <QVariant>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace brumaria {
namespace {

const char* const kGeometria = "escalaGeometria"; // QRect at factor 1
const char* const kPuntos = "escalaPuntos";       // font size at factor 1
const char* const kBloque = "escalaBloque";       // children are its own affair

int Redondear(double v) {
    return int(std::lround(v));
}

} // namespace

EscalaTwips::EscalaTwips(QWidget* lienzo, std::function<QSize()> diseño)
    : QObject(lienzo), lienzo_(lienzo), diseño_(std::move(diseño)) {
    lienzo_->installEventFilter(this);
}

void EscalaTwips::MarcarBloque(QWidget* w) {
    w->setProperty(kBloque, true);
}

void EscalaTwips::Registrar() {
    std::function<void(QWidget*)> recorrer = [&](QWidget* padre) {
        for (QObject* o : padre->children()) {
            auto* w = qobject_cast<QWidget*>(o);
            if (!w || w->isWindow()) continue;
            if (!w->property(kGeometria).isValid()) w->setProperty(kGeometria, w->geometry());
            if (!w->property(kPuntos).isValid()) w->setProperty(kPuntos, w->font().pointSizeF());
            if (!w->property(kBloque).toBool() && !qobject_cast<QAbstractScrollArea*>(w))
                recorrer(w);
        }
    };
    recorrer(lienzo_);
}

void EscalaTwips::Colocar(QWidget* w, const QRect& diseño) {
    w->setProperty(kGeometria, diseño);
    Escalar(w);
}

void EscalaTwips::FijarFuente(QWidget* w, const QFont& diseño) {
    w->setProperty(kPuntos, diseño.pointSizeF());
    w->setFont(diseño);
    Escalar(w);
}

void EscalaTwips::Aplicar() {
    // A hidden window has no size of its own yet; it is scaled when shown.
    if (!lienzo_->isVisible()) return;
    const QSize d = diseño_();
    if (d.isEmpty()) return;
    // Never below the design size: that is the smallest the texts fit in.
    factor_ = std::max(1.0, std::min(double(lienzo_->width()) / d.width(),
                                     double(lienzo_->height()) / d.height()));
    desplazamiento_ =
        QPoint(std::max(0, Redondear((lienzo_->width() - d.width() * factor_) / 2)),
               std::max(0, Redondear((lienzo_->height() - d.height() * factor_) / 2)));
    for (QWidget* w : lienzo_->findChildren<QWidget*>())
        if (w->property(kGeometria).isValid()) Escalar(w);
}

void EscalaTwips::Escalar(QWidget* w) const {
    const QRect r = w->property(kGeometria).toRect();
    // Edges, not sizes, are rounded: neighbours that touched still touch.
    const int x = Redondear(r.x() * factor_), y = Redondear(r.y() * factor_);
    QRect g(x, y, Redondear((r.x() + r.width()) * factor_) - x,
            Redondear((r.y() + r.height()) * factor_) - y);
    if (w->parentWidget() == lienzo_) g.translate(desplazamiento_);
    if (w->geometry() != g) w->setGeometry(g);
    const double puntos = w->property(kPuntos).toDouble();
    if (puntos > 0) {
        QFont f = w->font();
        if (std::abs(f.pointSizeF() - puntos * factor_) > 0.01) {
            f.setPointSizeF(puntos * factor_);
            w->setFont(f);
        }
    }
}

bool EscalaTwips::eventFilter(QObject* o, QEvent* e) {
    if (o == lienzo_ && (e->type() == QEvent::Resize || e->type() == QEvent::Show)) Aplicar();
    return QObject::eventFilter(o, e);
}

// ------------------------------------------------------ remembered sizes

namespace {
QString strArchivoTamaños() {
    return UnirRuta(strRutaConfigUsuario(), QStringLiteral("ventanas.ini"));
}
} // namespace

QRect EncajarEnPantalla(const QRect& marco, const QRect& disponible) {
    if (disponible.isEmpty()) return marco;
    QRect r(marco.topLeft(), marco.size().boundedTo(disponible.size()));
    r.moveLeft(std::clamp(r.left(), disponible.left(), disponible.right() - r.width() + 1));
    r.moveTop(std::clamp(r.top(), disponible.top(), disponible.bottom() - r.height() + 1));
    return r;
}

namespace {

// What the window manager adds around a window: known once it has framed
// it, guessed as a title bar before.
QMargins MarcoDeVentana(const QWidget& ventana) {
    const QWindow* w = ventana.windowHandle();
    const QMargins m = w ? w->frameMargins() : QMargins();
    if (!m.isNull()) return m;
    return QMargins(0, ventana.style()->pixelMetric(QStyle::PM_TitleBarHeight), 0, 0);
}

// Cuts and moves a window whose frame would leave its screen, title bar
// included, so that its status bar and close button can be reached.
void EncajarVentana(QWidget& ventana) {
    const QScreen* p = ventana.screen();
    if (!p || ventana.isMaximized() || ventana.isFullScreen()) return;
    const QMargins m = MarcoDeVentana(ventana);
    const QRect marco = ventana.geometry().marginsAdded(m);
    const QRect encajado = EncajarEnPantalla(marco, p->availableGeometry());
    const QSize t = encajado.marginsRemoved(m).size().expandedTo(ventana.minimumSize());
    if (t != ventana.size()) ventana.resize(t);
    // A top-level window is moved by its frame's corner.
    if (ventana.isVisible() && encajado.topLeft() != marco.topLeft())
        ventana.move(encajado.topLeft());
}

// Checks the window again once it is shown: only then are its place and,
// a moment later, the window manager's frame known.
constexpr int kEsperaMarcoMs = 300;

class EncajeAlMostrar : public QObject {
public:
    explicit EncajeAlMostrar(QWidget& ventana) : QObject(&ventana), ventana_(ventana) {
        ventana.installEventFilter(this);
    }
    bool eventFilter(QObject* o, QEvent* e) override {
        if (o == &ventana_ && e->type() == QEvent::Show) {
            for (const int ms : {0, kEsperaMarcoMs})
                QTimer::singleShot(ms, &ventana_, [v = &ventana_] { EncajarVentana(*v); });
            deleteLater();
        }
        return QObject::eventFilter(o, e);
    }

private:
    QWidget& ventana_;
};

} // namespace

void RestaurarTamaño(QWidget& ventana, const QString& clave) {
    QSettings a(strArchivoTamaños(), QSettings::IniFormat);
    a.beginGroup(clave);
    const QSize t(a.value(QStringLiteral("ancho")).toInt(), a.value(QStringLiteral("alto")).toInt());
    const bool blnMaximizada = a.value(QStringLiteral("maximizada")).toBool();
    if (t.isEmpty()) return;
    ventana.resize(t.expandedTo(ventana.minimumSize()));
    // A size kept from a larger screen is cut down to this one.
    EncajarVentana(ventana);
    if (!ventana.isVisible()) new EncajeAlMostrar(ventana);
    if (blnMaximizada) ventana.setWindowState(ventana.windowState() | Qt::WindowMaximized);
}

void GuardarTamaño(const QWidget& ventana, const QString& clave) {
    const bool blnMaximizada = ventana.isMaximized() || ventana.isFullScreen();
    const QSize t = blnMaximizada ? ventana.normalGeometry().size() : ventana.size();
    QSettings a(strArchivoTamaños(), QSettings::IniFormat);
    a.beginGroup(clave);
    // Only a change is written: closing the game unchanged leaves the file alone.
    auto poner = [&a](const QString& nombre, const QVariant& valor) {
        if (!a.contains(nombre) || a.value(nombre).toString() != valor.toString())
            a.setValue(nombre, valor);
    };
    if (!t.isEmpty()) {
        poner(QStringLiteral("ancho"), t.width());
        poner(QStringLiteral("alto"), t.height());
    }
    poner(QStringLiteral("maximizada"), blnMaximizada);
}

} // namespace brumaria
