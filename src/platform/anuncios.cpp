#include "platform/anuncios.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QTimer>

namespace brumaria {

namespace {

QAccessibleInterface* FabricaAnuncios(const QString& clase, QObject* objeto) {
    if (clase == QLatin1String("brumaria::Anunciador") && objeto && objeto->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget*>(objeto), QAccessible::Notification);
    return nullptr;
}

} // namespace

Anunciador::Anunciador(QWidget* parent) : QWidget(parent) {
    static const bool instalada = [] {
        QAccessible::installFactory(FabricaAnuncios);
        return true;
    }();
    (void)instalada;
    setObjectName(QStringLiteral("anunciador"));
    // Nothing to see or click: one pixel in a corner that paints nothing.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(0, 0, 1, 1);
    hide();
}

void Anunciador::Anunciar(const QString& texto) {
    if (texto.isEmpty()) return;
    if (pendientes_.isEmpty()) QTimer::singleShot(0, this, &Anunciador::Decir);
    // A few lines per turn at most; a runaway caller cannot pile them up.
    if (pendientes_.size() < 8) pendientes_ << texto;
}

void Anunciador::Decir() {
    if (pendientes_.isEmpty()) return;
    const QString texto = pendientes_.join(QStringLiteral(". "));
    pendientes_.clear();
    hide();
    setAccessibleName(texto);
    show();
    raise();
}

} // namespace brumaria
