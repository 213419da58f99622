// Brumaria: builds the game and runs it.
#include "platform/mensajes_qt.h"
#include "ui/main/aplicacion.h"

#include <QApplication>
#include <QTimer>
#include <memory>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brumaria"));
    QApplication::setApplicationVersion(QStringLiteral(BRUMARIA_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("brumaria"));
    brumaria::InstalarMensajesQt();

    auto juego = std::make_unique<brumaria::Aplicacion>();
    // Start-up timing: leave as soon as the window has been painted once.
    if (qEnvironmentVariableIntValue("BRUMARIA_SALIR_TRAS_PINTAR") == 1)
        QObject::connect(&juego->ventana, &brumaria::FrmPrincipal::primerPintado, &app,
                         &QCoreApplication::quit, Qt::QueuedConnection);
    juego->ventana.Cargar();
    juego->ventana.show();
    const int resultado = app.exec();
    juego.reset();
    return resultado;
}
