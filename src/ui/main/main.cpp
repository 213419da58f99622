// Brumaria: builds the game and runs it.
#include "platform/mensajes_qt.h"
#include "platform/solo_local.h"
#include "platform/traducciones.h"
#include "ui/main/aplicacion.h"

#include <QApplication>
#include <QCommandLineParser>
#include <memory>

namespace {

struct Argumentos {
    bool blnSoloLocal = false;
    bool blnSalirTrasPintar = false;
};

// Read before the window system is touched, so --help and --version work
// without a display.
Argumentos LeerArgumentos(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Brumaria"));
    QCoreApplication::setApplicationVersion(QStringLiteral(BRUMARIA_VERSION));
    QCommandLineParser opciones;
    opciones.setApplicationDescription(QStringLiteral("Brumaria: la batalla naval."));
    const QCommandLineOption ayuda = opciones.addHelpOption();
    const QCommandLineOption version = opciones.addVersionOption();
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
    // Qt's own options (-platform, -style...) are for the window system.
    opciones.parse(QCoreApplication::arguments());
    if (opciones.isSet(ayuda)) opciones.showHelp();
    if (opciones.isSet(version)) opciones.showVersion();
    return {opciones.isSet(soloLocal), opciones.isSet(salirTrasPintar)};
}

} // namespace

int main(int argc, char** argv) {
    const Argumentos args = LeerArgumentos(argc, argv);
    brumaria::FijarSoloLocal(args.blnSoloLocal);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brumaria"));
    QApplication::setApplicationVersion(QStringLiteral(BRUMARIA_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("org.brumaria.Brumaria"));
    brumaria::CargarTraduccionesQt(app);
    brumaria::InstalarMensajesQt();

    auto juego = std::make_unique<brumaria::Aplicacion>();
    auto fin = std::make_unique<brumaria::FinDeSesion>(*juego);
    if (args.blnSalirTrasPintar)
        QObject::connect(&juego->ventana, &brumaria::FrmPrincipal::primerPintado, &app,
                         &QCoreApplication::quit, Qt::QueuedConnection);
    juego->ventana.Cargar();
    juego->ventana.show();
    const int resultado = app.exec();
    fin.reset();
    juego.reset();
    return resultado;
}
