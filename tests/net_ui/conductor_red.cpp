// One copy of the real game playing a scripted network match, for the
// two-process test: conductor_red <host|invitado> <program folder> <meeting folder>.
// It builds the same object graph as the game, answers every message box
// from a script, and acts only through the window's controls.
// Exit code 0 when its side of the match went as expected.
#include "core/azar.h"
#include "core/modprincipal.h"
#include "match/partida.h"
#include "net/dplay.h"
#include "net/frm_conexion_dplay.h"
#include "options/opciones.h"
#include "platform/mensajes.h"
#include "platform/rutas.h"
#include "ui/main/aplicacion.h"
#include "ui/main/frm_empezar_partida.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <memory>

using namespace brumaria;

namespace {

const QString kSaludoHost = QStringLiteral("Hola, soy Ana; ¿lista? 1:0");
const QString kSaludoInvitado = QStringLiteral("Hola, Ana: lista");
const QString kAlAtaque = QStringLiteral("¡Al ataque!");
const QString kTextoCuadro = QStringLiteral("¡Despierta; que te toca!");
const QString kTextoHistorial = QStringLiteral("Mira el historial: 2;3");

void Registro(const QString& s) {
    std::fprintf(stderr, "%s\n", s.toUtf8().constData());
}

class Guion : public QObject {
public:
    Guion(Aplicacion& juego, bool blnHost) : j_(juego), host_(blnHost) {
        connect(&tick_, &QTimer::timeout, this, &Guion::Paso);
        tick_.start(20);
    }

    QList<Mensaje> cajas;
    int codigo = 1;

    void Diagnostico() const {
        Registro(
            QStringLiteral("[%1] fase %2 enPartida %3 atacar %4 turno %5 respuesta %6 ocupado %7")
                .arg(host_ ? QStringLiteral("host") : QStringLiteral("invitado"))
                .arg(fase_)
                .arg(j_.partida.blnEnPartida)
                .arg(atacar_)
                .arg(j_.partida.blnTurnoJugadorAtaque)
                .arg(j_.partida.blnEsperandoRespuesta())
                .arg(ocupado_));
        Registro(QStringLiteral("chat:\n") + j_.ventana.txtChat->toPlainText());
    }

    Respuesta Caja(const Mensaje& m) {
        cajas << m;
        Registro(QStringLiteral("[caja] %1 | %2").arg(m.titulo, m.texto));
        return m.botones == Botones::SiNo ? Respuesta::No : Respuesta::Aceptar;
    }

private:
    Aplicacion& j_;
    bool host_;
    QTimer tick_;
    bool ocupado_ = false; // an action is posted and has not run yet
    int fase_ = 0;
    bool empezado_ = false;
    bool enPartidaVista_ = false;
    bool atacar_ = false;
    bool mentido_ = false;
    bool busquedaIniciada_ = false;
    bool terminado_ = false;
    int disparos_ = 0;
    bool capturado_ = false;

    // Runs an action from the event loop, never inside this tick (a tick
    // does not fire again while its handler runs, and actions nest waits).
    void Hacer(std::function<void()> f) {
        ocupado_ = true;
        QTimer::singleShot(0, this, [this, f = std::move(f)] {
            ocupado_ = false;
            f();
        });
    }

    int Cajas(const QString& texto) const {
        int n = 0;
        for (const Mensaje& m : cajas)
            n += m.texto == texto ? 1 : 0;
        return n;
    }
    bool Historial(const QString& linea) const {
        return j_.ventana.txtHistorial->toPlainText().split(QLatin1Char('\n')).contains(linea);
    }
    bool Chat(const QString& linea) const {
        return j_.ventana.txtChat->toPlainText().split(QLatin1Char('\n')).contains(linea);
    }
    void Charlar(const QString& texto) {
        Hacer([this, texto] {
            j_.ventana.txtMensaje->setFocus();
            j_.ventana.txtMensaje->setText(texto);
            j_.ventana.cmdChatEnviar->click();
        });
    }
    void Alertas() {
        Hacer([this] {
            j_.ventana.mnuAlertarSonido->trigger();
            j_.ventana.mnuAlertarMsgBox->trigger();
            j_.ventana.mnuAlertarHistorial->trigger();
        });
    }

    void Dialogos() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) return;
        if (auto* e = qobject_cast<FrmEmpezarPartida*>(modal)) {
            Hacer([e] {
                e->chkJugarEnRed->setChecked(true);
                e->cmdEmpezar->click();
            });
            return;
        }
        auto* c = qobject_cast<FrmConexionDPlay*>(modal);
        if (!c) return;
        if (host_) {
            Hacer([c] {
                c->txtNombre->setText(QStringLiteral("Ana"));
                c->lstSP->setCurrentRow(1); // "Este equipo (local)"
                c->txtGameName->setText(QStringLiteral("Mesa de Ana"));
                c->optJugador->click();
                c->cmdAceptar->click();
            });
        } else if (!busquedaIniciada_) {
            busquedaIniciada_ = true;
            Hacer([c] {
                c->txtNombre->setText(QStringLiteral("Bea"));
                c->lstSP->setCurrentRow(1);
                c->optDevice->click();
                c->cmdRefresh->click();
            });
        } else if (c->lstPartidas->count() > 0) {
            Hacer([c] {
                c->lstPartidas->setCurrentRow(0);
                c->cmdAceptar->click();
            });
        }
    }

    // The square this side shoots next: the host misses once, then goes
    // for the ships it was told about; the guest sweeps the board.
    bool Objetivo(int& f, int& c) const {
        const ModPrincipal& p = j_.principal;
        const bool primero = disparos_ == 0;
        for (int i = 0; i < 100; ++i) {
            f = i / 10;
            c = i % 10;
            if (p.intLeerCasilla(f, c, 3) != CASILLA_OCULTA) continue;
            if (host_ && !primero && p.intLeerCasilla(f, c, 2) != CASILLA_BARCO) continue;
            if (host_ && primero && p.intLeerCasilla(f, c, 2) == CASILLA_BARCO) continue;
            return true;
        }
        return false;
    }

    void Jugar() {
        Partida& pt = j_.partida;
        if (pt.blnEsperandoRespuesta()) {
            const ModPrincipal& p = j_.principal;
            const int f = p.intFilaAtaque, c = p.intColumnaAtaque;
            int r =
                p.intLeerCasilla(f, c, 0) != CASILLA_BARCO ? 0 : (p.blnHundido(f, c, 0) ? 2 : 1);
            if (host_ && !mentido_) {
                mentido_ = true;
                r = (r + 1) % 3; // one false answer, which must be refused
            }
            Hacer([this, r] {
                QPushButton* b = r == 0   ? j_.ventana.cmdAgua
                                 : r == 1 ? j_.ventana.cmdTocado
                                          : j_.ventana.cmdHundido;
                b->click();
            });
            return;
        }
        if (atacar_ && pt.blnTurnoJugadorAtaque) {
            // To look at a match in progress: BRUMARIA_CAPTURA=<file.png>
            // (the host takes it under a display, e.g. xvfb-run).
            const QString captura = qEnvironmentVariable("BRUMARIA_CAPTURA");
            if (host_ && disparos_ == 9 && !captura.isEmpty() && !capturado_) {
                capturado_ = true;
                Hacer([this, captura] {
                    j_.ventana.raise();
                    QTest::qWait(400);
                    QProcess::execute(QStringLiteral("import"),
                                      {QStringLiteral("-window"), QStringLiteral("root"), captura});
                });
                return;
            }
            int f = 0, c = 0;
            if (!Objetivo(f, c)) return;
            ++disparos_;
            Hacer([this, f, c] {
                j_.ventana.txtColumna->setText(QString(QChar(u'A' + c)));
                j_.ventana.txtFila->setText(QString::number(f + 1));
                j_.ventana.cmdAtacar->click();
            });
        }
    }

    void Paso() {
        if (ocupado_ || terminado_) return;
        Dialogos();
        if (ocupado_) return;
        Partida& pt = j_.partida;
        if (!empezado_) {
            empezado_ = true;
            Hacer([this] { j_.ventana.mnuJuegoEmpezar->trigger(); });
            return;
        }
        if (pt.blnEnPartida) enPartidaVista_ = true;
        if (!enPartidaVista_) return;

        // Chat and alerts before the first shot.
        if (host_) {
            if (fase_ == 0) {
                fase_ = 1;
                Charlar(kSaludoHost);
                return;
            }
            if (fase_ == 1) {
                fase_ = 2;
                Alertas();
                return;
            }
            if (fase_ == 2 && Chat(QStringLiteral("<Bea> ") + kSaludoInvitado)) {
                fase_ = 3;
                Alertas(); // now refused
                return;
            }
            if (fase_ == 3 &&
                Historial(QStringLiteral("Bea no tiene activadas las alertas con sonido")) &&
                Historial(
                    QStringLiteral("Bea no tiene activadas las alertas con cuadro de texto")) &&
                Historial(QStringLiteral("Bea no tiene activadas las alertas en el historial"))) {
                fase_ = 4;
                Charlar(kAlAtaque);
                atacar_ = true;
                return;
            }
        } else {
            if (fase_ == 0 && Chat(QStringLiteral("<Ana> ") + kSaludoHost) &&
                Historial(QStringLiteral("ALERTA DE TU ADVERSARIO: ") + kTextoHistorial) &&
                Cajas(kTextoCuadro) == 1) {
                fase_ = 1;
                RegistroOpciones& o = j_.opciones.Opciones;
                o.blnAlertaSonido = o.blnAlertaMsgBox = o.blnAlertaHistorial = false;
                Charlar(kSaludoInvitado);
                return;
            }
            if (fase_ == 1 && Chat(QStringLiteral("<Ana> ") + kAlAtaque)) {
                fase_ = 2;
                atacar_ = true;
            }
        }

        const QString fin = host_ ? QStringLiteral("¡Tu ganas!") : QStringLiteral("¡Él gana!");
        if (!pt.blnEnPartida && Cajas(fin) == 1) {
            terminado_ = true;
            const bool ok =
                (host_ ? Cajas(QStringLiteral("Me parece que le quieres engañar...")) == 1
                       : Cajas(kTextoCuadro) == 1 &&
                             Historial(
                                 QStringLiteral("Ay ay ay, tu adversario te quería engañar...")));
            // Both sides were told the whole of the other's fleet.
            int piezas = 0;
            for (int f = 0; f < 10; ++f)
                for (int c = 0; c < 10; ++c)
                    piezas += j_.principal.intLeerCasilla(f, c, 2) == CASILLA_BARCO ? 1 : 0;
            if (piezas != 20) Registro(QStringLiteral("flota contraria: %1 piezas").arg(piezas));
            codigo = ok && piezas == 20 ? 0 : 2;
            // Let the last messages leave, then close like the player would.
            QTimer::singleShot(600, this, [this] {
                j_.ventana.close();
                QTimer::singleShot(100, qApp, &QCoreApplication::quit);
            });
            return;
        }
        if (pt.blnEnPartida) Jugar();
    }
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brumaria"));
    if (argc < 4) {
        Registro(QStringLiteral("uso: conductor_red <host|invitado> <carpeta> <encuentros>"));
        return 64;
    }
    const bool blnHost = QString::fromLocal8Bit(argv[1]) == QStringLiteral("host");
    const QString carpeta = QString::fromLocal8Bit(argv[2]);
    FijarRutaPrograma(carpeta);
    red::DirectPlay8Peer::FijarCarpetaEncuentros(QString::fromLocal8Bit(argv[3]));
    Azar::FijarDeterminista(blnHost ? 11 : 29);

    {
        // The player's options as he left them last time.
        ModOpciones previas;
        previas.Opciones = RegistroOpciones::PorDefecto();
        RegistroOpciones& o = previas.Opciones;
        o.intMetodoAtaque = 3;
        o.blnTiempoRespuesta = false;
        o.blnHistorialMovimientosActivar = true;
        o.strRutaArchivoHistorial = UnirRuta(carpeta, QStringLiteral("Historial.txt"));
        o.blnAlertaSonido = o.blnAlertaMsgBox = o.blnAlertaHistorial = true;
        o.strAlertaMensajeMsgBox = kTextoCuadro;
        o.strAlertaMensajeHistorial = kTextoHistorial;
        o.blnSonidosAgua = o.blnSonidosBarco = o.blnSonidosHundido = false;
        o.blnVerHistorial = o.blnVerChat = o.blnVerBarraDeEstado = true;
        o.strNombreJugador = QStringLiteral("Nadie");
        previas.blnGuardarOpcionesEnArchivo();
    }

    auto juego = std::make_unique<Aplicacion>();
    Guion guion(*juego, blnHost);
    InstalarManejadorMensajes([&guion](const Mensaje& m) { return guion.Caja(m); });
    QTimer limite;
    limite.setSingleShot(true);
    QObject::connect(&limite, &QTimer::timeout, &app, [&] {
        Registro(QStringLiteral("tiempo agotado"));
        guion.Diagnostico();
        guion.codigo = 3;
        juego->ventana.close();
        app.quit();
    });
    limite.start(qEnvironmentVariableIntValue("BRUMARIA_LIMITE_MS") > 0
                     ? qEnvironmentVariableIntValue("BRUMARIA_LIMITE_MS")
                     : 100000);
    juego->ventana.Cargar();
    juego->ventana.move(blnHost ? 0 : 576, blnHost ? 0 : 60);
    juego->ventana.show();
    app.exec();
    juego.reset();
    // The transport and the session dialog were let go with deleteLater.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return guion.codigo;
}
