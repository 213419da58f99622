// The game as main() builds it, in a program folder of the test's, for the
// test that ends a match with a signal:
//
//   hijo_fin_de_sesion <program folder> --solo-local
//
// It ticks "Chat" in the View menu, starts a match against the computer and
// prints "en partida" when the player's first turn is up; then it waits for
// the signal.
#include "platform/solo_local.h"
#include "platform/mensajes.h"
#include "platform/rutas.h"
#include "ui/main/aplicacion.h"
#include "ui/main/frm_empezar_partida.h"

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <cstdio>
#include <memory>

using namespace brumaria;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) return 2;
    FijarSoloLocal(app.arguments().contains(QStringLiteral("--solo-local")));
    FijarRutaPrograma(QString::fromLocal8Bit(argv[1]));
    InstalarManejadorMensajes([](const Mensaje& m) {
        std::fprintf(stderr, "%s\n", m.texto.toUtf8().constData());
        return Respuesta::No;
    });
    auto juego = std::make_unique<Aplicacion>();
    auto fin = std::make_unique<FinDeSesion>(*juego);
    juego->ventana.Cargar();
    juego->ventana.show();
    QTimer::singleShot(0, [&juego] {
        juego->ventana.findChild<QAction*>(QStringLiteral("mnuVerChat"))->trigger();
        QTimer::singleShot(0, [] {
            QWidget* d = QApplication::activeModalWidget();
            d->findChild<QRadioButton*>(QStringLiteral("optJugador"))->click();
            d->findChild<QPushButton*>(QStringLiteral("cmdEmpezar"))->click();
        });
        juego->ventana.EmpezarPartida();
        if (juego->partida.blnEnPartida()) std::printf("en partida\n");
        std::fflush(stdout);
    });
    const int resultado = app.exec();
    fin.reset();
    juego.reset();
    return resultado;
}
