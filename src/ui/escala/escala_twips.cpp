#include "ui/escala/escala_twips.h"

#include "platform/rutas.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QScreen>
#include <QSettings>
#include <QVariant>
#include <QWidget>
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

void RestaurarTamaño(QWidget& ventana, const QString& clave) {
    QSettings a(strArchivoTamaños(), QSettings::IniFormat);
    a.beginGroup(clave);
    QSize t(a.value(QStringLiteral("ancho")).toInt(), a.value(QStringLiteral("alto")).toInt());
    const bool blnMaximizada = a.value(QStringLiteral("maximizada")).toBool();
    if (t.isEmpty()) return;
    // A size kept from a larger screen is cut down to this one.
    if (const QScreen* p = ventana.screen()) t = t.boundedTo(p->availableGeometry().size());
    ventana.resize(t.expandedTo(ventana.minimumSize()));
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
