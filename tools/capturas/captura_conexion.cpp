// Looks at the session dialog on a real display: two games hosted on this
// computer, the dialog in both modes with the games found. Run under
// xvfb-run; each view is saved with `import -window root <folder>/...png`.
// Usage: captura_conexion <output folder>
#include "net/dplay.h"
#include "net/moddplay.h"
#include "platform/mensajes.h"
#include "ui/main/aplicacion.h"
#include "ui/net/frm_conexion_dplay.h"
#include "ui/net/modulo_red.h"

#include <QApplication>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace brumaria;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString salida = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp");
    QTemporaryDir encuentros;
    red::DirectPlay8Peer::FijarCarpetaEncuentros(encuentros.path());
    InstalarManejadorMensajes([](const Mensaje&) { return Respuesta::Aceptar; });

    red::DirectPlay8Peer h1, h2;
    for (auto* p : {&h1, &h2}) {
        red::DPN_APPLICATION_DESC d;
        d.guidApplication = ModDPlay::sGuid;
        d.lMaxPlayers = 2;
        d.SessionName =
            p == &h1 ? QStringLiteral("Mesa de Ana") : QStringLiteral("Duelo en el puerto");
        p->SetPeerInfo(QStringLiteral("Anfitrión"));
        p->Host(d, red::kGuidProveedorLocal);
    }

    // The dialog works through the game's network side, so the whole game is made.
    Aplicacion juego;
    juego.opciones.Opciones = RegistroOpciones::PorDefecto();
    juego.opciones.Opciones.strNombreJugador = QStringLiteral("Bea");
    juego.opciones.Opciones.strNombrePartida = QStringLiteral("La mesa de Bea");
    ModDPlay& dplay = static_cast<ModuloRed*>(juego.dplay.Cargada())->dplay;
    dplay.IniciarDPlay();
    FrmConexionDPlay frm(dplay, juego.opciones, juego.cuadros);
    auto foto = [&](const QString& nombre) {
        QTest::qWait(300);
        QProcess::execute(QStringLiteral("import"),
                          {QStringLiteral("-window"), QStringLiteral("root"),
                           salida + QLatin1Char('/') + nombre});
    };
    auto* lstPartidas = frm.findChild<QListWidget*>(QStringLiteral("lstPartidas"));
    QTimer::singleShot(200, &frm, [&] {
        frm.move(40, 40);
        foto(QStringLiteral("red_dialogo_crear.png"));
        frm.findChild<QListWidget*>(QStringLiteral("lstSP"))->setCurrentRow(1);
        frm.findChild<QRadioButton*>(QStringLiteral("optDevice"))->click();
        frm.findChild<QPushButton*>(QStringLiteral("cmdRefresh"))->click();
        if (!QTest::qWaitFor([&] { return lstPartidas->count() == 2; }, 5000)) return;
        lstPartidas->setCurrentRow(1);
        foto(QStringLiteral("red_dialogo_unirse.png"));
        frm.findChild<QPushButton*>(QStringLiteral("cmdCancelar"))->click();
    });
    frm.StartConnectWizard();
    return 0;
}
