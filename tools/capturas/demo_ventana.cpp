// Not a test: opens the window in a scratch folder, plays part of a match
// honestly and stays open, so a display's screenshot can be taken.
//   demo_ventana [moves] [seconds]
#include "carpeta_temporal.h"
#include "core/azar.h"
#include "grabador_mensajes.h"
#include "ui/main/aplicacion.h"
#include "ui/main/frm_empezar_partida.h"
#include "ui/main/tablero.h"

#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

using namespace brumaria;

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    const int movimientos = argc > 1 ? atoi(argv[1]) : 40;
    const int segundos = argc > 2 ? atoi(argv[2]) : 5;
    prueba::CarpetaTemporal carpeta;
    carpeta.CopiarRecursos();
    prueba::GrabadorMensajes grabador;
    Azar::FijarDeterminista(11);
    Aplicacion app;
    app.ventana.Cargar();
    app.opciones.Opciones.blnTiempoRespuesta = false;
    app.ventana.show();
    if (qEnvironmentVariableIntValue("DEMO_PANELES"))
        for (QAction* a : {app.ventana.mnuVerHistorial, app.ventana.mnuVerChat})
            a->trigger();
    if (movimientos > 0) {
        QTimer::singleShot(0, [&] {
            auto* d = app.ventana.findChild<FrmEmpezarPartida*>();
            d->findChild<QRadioButton*>(QStringLiteral("optJugador"))->click();
            d->findChild<QPushButton*>(QStringLiteral("cmdEmpezar"))->click();
        });
        app.ventana.EmpezarPartida();
        // The player shoots a spread of squares; answers are always true.
        int k = 0;
        for (int i = 0; i < movimientos && app.partida.blnEnPartida(); ++i) {
            if (app.partida.blnTurnoJugadorAtaque()) {
                while (app.principal.intDescubiertoOrdenador[k / 10][k % 10] != CASILLA_OCULTA)
                    k = (k + 7) % 100;
                app.ventana.tableroOrdenador->casillaPulsada(k / 10, k % 10);
            } else if (app.partida.blnEsperandoRespuesta()) {
                const int f = app.principal.intFilaAtaque, c = app.principal.intColumnaAtaque;
                QPushButton* b = app.principal.intBarcosJugador[f][c] == CASILLA_AGUA
                                     ? app.ventana.cmdAgua
                                 : app.principal.blnHundido(f, c, 0) ? app.ventana.cmdHundido
                                                                     : app.ventana.cmdTocado;
                b->click();
            }
            QTest::qWait(1);
        }
        app.partida.TurnoOrdenador(); // leave an unanswered shot marked
    }
    QTimer::singleShot(segundos * 1000, &qapp, &QCoreApplication::quit);
    return qapp.exec();
}
