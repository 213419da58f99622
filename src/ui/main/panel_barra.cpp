#include "ui/main/panel_barra.h"

#include <QEvent>
#include <QHelpEvent>
#include <QPainter>
#include <QStyle>
#include <QToolTip>

namespace brumaria {

QString PanelBarra::strVisible() const {
    return fontMetrics().elidedText(text(), Qt::ElideMiddle, Hueco().width());
}

QRect PanelBarra::Hueco() const {
    return contentsRect().adjusted(margin(), 0, -margin(), 0);
}

void PanelBarra::paintEvent(QPaintEvent*) {
    QPainter p(this);
    drawFrame(&p);
    style()->drawItemText(&p, Hueco(), int(alignment()), palette(), isEnabled(), strVisible(),
                          foregroundRole());
}

bool PanelBarra::event(QEvent* e) {
    if (e->type() == QEvent::ToolTip) {
        const bool blnCortado = strVisible() != text();
        QToolTip::showText(static_cast<QHelpEvent*>(e)->globalPos(),
                           blnCortado ? text() : QString(), this);
        return true;
    }
    return QLabel::event(e);
}

} // namespace brumaria
