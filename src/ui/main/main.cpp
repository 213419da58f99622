// Brumaria: builds the game and runs it.
#include "platform/mensajes_qt.h"
#include "platform/solo_local.h"
#include "ui/main/aplicacion.h"

#include <QApplication>
#include <QCommandLineParser>
#include <memory>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brumaria"));
    QApplication::setApplicationVersion(QStringLiteral(BRUMARIA_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("brumaria"));

    QCommandLineParser opciones;
    opciones.setApplicationDescription(QStringLiteral("Brumaria: la batalla naval."));
    opciones.addHelpOption();
    opciones.addVersionOption();
    const QCommandLineOption soloLocal(
        QStringLiteral("solo-local"),
        QStringLiteral("Juega en red solo con este equipo (127.0.0.1 y ::1): no busca ni "
                       "se conecta fuera, no abre enlaces."));
    const QCommandLineOption salirTrasPintar(
        QStringLiteral("salir-tras-pintar"),
        QStringLiteral("Sale en cuanto la ventana se ha dibujado una vez (para medir el "
                       "arranque)."));
    opciones.addOption(soloLocal);
    opciones.addOption(salirTrasPintar);
    opciones.process(app);
    brumaria::FijarSoloLocal(opciones.isSet(soloLocal));
    brumaria::InstalarMensajesQt();

    auto juego = std::make_unique<brumaria::Aplicacion>();
    if (opciones.isSet(salirTrasPintar))
        QObject::connect(&juego->ventana, &brumaria::FrmPrincipal::primerPintado, &app,
                         &QCoreApplication::quit, Qt::QueuedConnection);
    juego->ventana.Cargar();
    juego->ventana.show();
    const int resultado = app.exec();
    juego.reset();
    return resultado;
}
