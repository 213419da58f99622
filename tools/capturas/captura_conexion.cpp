// Looks at the session dialog on a real display: two games hosted on this
// computer, the dialog in both modes with the games found. Run under
// xvfb-run; each view is saved with `import -window root <folder>/...png`.
// Usage: captura_conexion <output folder>
#include "net/dplay.h"
#include "ui/net/frm_conexion_dplay.h"
#include "options/opciones.h"
#include "platform/mensajes.h"
#include "platform/pausa.h"
#include "logs/cuadros_de_texto.h"

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

    const QString guid = QStringLiteral("{ECF6F199-8B33-43D3-BB42-DB7ABDCFFAFA}");
    red::DirectPlay8Peer h1, h2, yo;
    for (auto* p : {&h1, &h2}) {
        red::DPN_APPLICATION_DESC d;
        d.guidApplication = guid;
        d.lMaxPlayers = 2;
        d.SessionName =
            p == &h1 ? QStringLiteral("Mesa de Ana") : QStringLiteral("Duelo en el puerto");
        p->SetPeerInfo(QStringLiteral("Anfitrión"));
        p->Host(d, red::kGuidProveedorLocal);
    }

    ModOpciones opciones;
    opciones.Opciones = RegistroOpciones::PorDefecto();
    opciones.Opciones.strNombreJugador = QStringLiteral("Bea");
    opciones.Opciones.strNombrePartida = QStringLiteral("La mesa de Bea");
    ModCuadrosDeTexto cuadros(opciones);
    bool cerrando = false;
    FrmConexionDPlay frm(opciones, cuadros, cerrando);
    auto foto = [&](const QString& nombre) {
        QTest::qWait(300);
        QProcess::execute(QStringLiteral("import"),
                          {QStringLiteral("-window"), QStringLiteral("root"),
                           salida + QLatin1Char('/') + nombre});
    };
    QTimer::singleShot(200, &frm, [&] {
        frm.move(40, 40);
        foto(QStringLiteral("red_dialogo_crear.png"));
        frm.lstSP->setCurrentRow(1);
        frm.optDevice->click();
        frm.cmdRefresh->click();
        if (!QTest::qWaitFor([&] { return frm.lstPartidas->count() == 2; }, 5000)) return;
        frm.lstPartidas->setCurrentRow(1);
        foto(QStringLiteral("red_dialogo_unirse.png"));
        frm.cmdCancelar->click();
    });
    bool empieza = false;
    frm.StartConnectWizard(&yo, guid, 2, empieza, nullptr);
    return 0;
}
