#include "platform/pausa.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace brumaria {

void Pausa(int milisegundos) {
    if (!QCoreApplication::instance())
        return;
    if (milisegundos > 0) {
        QEventLoop bucle;
        QTimer::singleShot(milisegundos, Qt::PreciseTimer, &bucle, &QEventLoop::quit);
        bucle.exec();
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void CederEventos() {
    if (QCoreApplication::instance())
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

} // namespace brumaria
