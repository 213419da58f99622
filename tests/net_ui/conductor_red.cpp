// One copy of the real game playing scripted network matches, for the
// two-process tests:
//
//   conductor_red <host|invitado> <program folder> <meeting folder> <guion>
//
// <guion> is either a list of matches played in one connection, each named
// by the host's choice of who starts ("tu", "rival", "azar0", "azar1": the
// random draw forced to that value), the list may start with "ipv6:" (a
// TCP/IP game the guest joins by typing the host's address on ::1), or it
// is one of:
//   colgado        this side places its fleet by hand and never finishes
//                  (the test kills it);
//   superviviente  this side places at random, waits for the other to
//                  vanish, checks that it was told and is idle, and starts a
//                  match against the computer.
// It builds the same object graph as the game, answers every message box
// from a script, and acts only through the window's controls. To aim, each
// side leaves its placed fleet in <meeting folder>/flotas for the other (a
// player looking over the other's shoulder): the wire never carries it
// before the end, which each side checks on everything it sends.
// Exit code 0 when its side went as expected.
#include "platform/solo_local.h"
#include "core/azar.h"
#include "core/modprincipal.h"
#include "match/partida.h"
#include "match/preparacion_partida.h"
#include "net/dplay.h"
#include "ui/net/frm_conexion_dplay.h"
#include "ui/net/modulo_red.h"
#include "options/opciones.h"
#include "platform/mensajes.h"
#include "platform/rutas.h"
#include "ui/main/aplicacion.h"
#include "ui/main/frm_empezar_partida.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <memory>

using namespace brumaria;

namespace {

// A dialog's control by its object name, as a user's tools reach it.
template <class T> T* Hijo(QObject* ventana, const char* nombre) {
    return ventana->findChild<T*>(QLatin1String(nombre));
}

const QString kSaludoHost = QStringLiteral("Hola, soy Ana; ¿lista? 1:0");
const QString kSaludoInvitado = QStringLiteral("Hola, Ana: lista");
const QString kAlAtaque = QStringLiteral("¡Al ataque!");
const QString kTextoCuadro = QStringLiteral("¡Despierta; que te toca!");
const QString kTextoHistorial = QStringLiteral("Mira el historial: 2;3");

void Registro(const QString& s) {
    std::fprintf(stderr, "%s\n", s.toUtf8().constData());
}

// The next random draw of two gives `valor`.
void ForzarAzar(int valor) {
    for (std::uint64_t s = 1;; ++s) {
        Azar::FijarDeterminista(s);
        if (Azar::intAleatorio(2) == valor) {
            Azar::FijarDeterminista(s);
            return;
        }
    }
}

const QString kLimpio = QStringLiteral(
    "Se han comprobado los barcos de tu contrincante: todas sus respuestas eran ciertas.");

class Guion : public QObject {
public:
    Guion(Aplicacion& juego, bool blnHost, const QString& guion, const QString& encuentros)
        : j_(juego), host_(blnHost), colgado_(guion == u"colgado"),
          superviviente_(guion == u"superviviente"), ipv6_(guion.startsWith(u"ipv6:")),
          encuentros_(encuentros), flotas_(encuentros + QStringLiteral("/flotas")) {
        partidas_ = colgado_ || superviviente_
                        ? QStringList{QStringLiteral("tu")}
                        : guion.mid(ipv6_ ? 5 : 0).split(u',', Qt::SkipEmptyParts);
        QDir().mkpath(flotas_);
        static_cast<ModuloRed*>(j_.dplay.Cargada())->dplay.alEnviar = [this](const QString& t) {
            Enviado(t);
        };
        connect(&tick_, &QTimer::timeout, this, &Guion::Paso);
        tick_.start(20);
    }

    int codigo = 1;

    void Diagnostico() const {
        Registro(QStringLiteral("[%1] partida %2 preparacion %3 turno %4 fase %5")
                     .arg(Lado())
                     .arg(partida_)
                     .arg(QString::fromLatin1(NombreEstado(j_.preparacion.Estado())))
                     .arg(static_cast<int>(j_.partida.Estado()))
                     .arg(fase_));
    }

    Respuesta Caja(const Mensaje& m) {
        cajas_ << m;
        Registro(QStringLiteral("[caja %1] %2 | %3").arg(Lado(), m.titulo, m.texto));
        return m.botones == Botones::SiNo ? Respuesta::No : Respuesta::Aceptar;
    }

private:
    Aplicacion& j_;
    bool host_;
    bool colgado_;
    bool superviviente_;
    bool ipv6_;
    QString encuentros_;
    QStringList partidas_;
    QList<Mensaje> cajas_;
    QTimer tick_;
    bool ocupado_ = false; // an action is posted and has not run yet
    int partida_ = 0;      // the match under way (0-based)
    bool empezada_ = false;
    bool busquedaIniciada_ = false;
    int fase_ = 0;
    bool atacar_ = false;
    bool mentido_ = false;
    bool atacado_ = false; // the other side has shot in this match
    int disparos_ = 0;     // this side's shots in this match
    bool terminado_ = false;
    bool bien_ = true;
    const QString flotas_;
    bool flotaDejada_ = false;
    Panel flotaRival_{};
    bool revelando_ = false; // our FinDePartida went out, our next commitment not yet
    int casillasEnviadas_ = 0;
    int limpias_ = 0;
    QTextCursor tras_;

    // Every message this side sends: a square of its fleet only right after
    // its own end of a match.
    void Enviado(const QString& t) {
        if (t == u"0;0;FinDePartida:Sí") revelando_ = true;
        if (t.startsWith(u"0;5;")) revelando_ = false;
        if (t.startsWith(u"0;1;")) {
            ++casillasEnviadas_;
            if (!revelando_) Fallo(QStringLiteral("casilla de la flota antes del final: ") + t);
        }
    }
    QString Fichero(bool blnHost, int partida) const {
        return QStringLiteral("%1/%2-%3").arg(flotas_, blnHost ? u"host" : u"invitado").arg(partida);
    }
    // This side's placed fleet, for the other to aim at.
    void DejarFlota() {
        if (flotaDejada_ || (j_.preparacion.Estado() != EstadoPreparacion::EsperandoFlotaContraria &&
                             j_.preparacion.Estado() != EstadoPreparacion::EnPartida))
            return;
        flotaDejada_ = true;
        QByteArray b;
        for (int i = 0; i < 100; ++i)
            b += j_.principal.intLeerCasilla(i / 10, i % 10, 0) == CASILLA_BARCO ? '1' : '0';
        QSaveFile f(Fichero(host_, partida_));
        if (!f.open(QIODevice::WriteOnly) || f.write(b) != b.size() || !f.commit())
            Fallo(QStringLiteral("no se pudo dejar la flota"));
    }
    bool LeerFlotaRival() {
        QFile f(Fichero(!host_, partida_));
        if (!f.open(QIODevice::ReadOnly)) return false;
        const QByteArray b = f.readAll();
        if (b.size() != 100) return false;
        for (int i = 0; i < 100; ++i)
            flotaRival_[i / 10][i % 10] = b[i] == '1' ? CASILLA_BARCO : CASILLA_AGUA;
        return true;
    }

    // Runs an action from the event loop, never inside this tick.
    void Hacer(std::function<void()> f) {
        ocupado_ = true;
        QTimer::singleShot(0, this, [this, f = std::move(f)] {
            ocupado_ = false;
            f();
        });
    }
    void Fallo(const QString& por) {
        Registro(QStringLiteral("[%1] fallo: %2").arg(Lado(), por));
        bien_ = false;
    }
    QString Lado() const { return host_ ? QStringLiteral("host") : QStringLiteral("invitado"); }
    int Cajas(const QString& texto) const {
        return static_cast<int>(std::count_if(cajas_.begin(), cajas_.end(),
                                              [&](const Mensaje& m) { return m.texto == texto; }));
    }
    int Fines() const { return Cajas(QStringLiteral("¡Tu ganas!")) + Cajas(QStringLiteral("¡Él gana!")); }
    bool Linea(const char* panel, const QString& linea) const {
        return Hijo<QPlainTextEdit>(&j_.ventana, panel)->toPlainText().split(u'\n').contains(linea);
    }
    bool Historial(const QString& linea) const { return Linea("txtHistorial", linea); }
    // Clean checks seen so far. The pane keeps only its last lines, so they
    // are counted as they come, from a cursor at the start of the last one
    // found: it moves with the text when the oldest lines go, and new lines
    // come after it.
    int Limpias() {
        QTextDocument* d = Hijo<QPlainTextEdit>(&j_.ventana, "txtHistorial")->document();
        for (QTextCursor c = d->find(kLimpio, tras_.isNull() ? 0 : tras_.position() + 1);
             !c.isNull(); c = d->find(kLimpio, tras_.position() + 1)) {
            limpias_ += c.block().text() == kLimpio;
            tras_ = QTextCursor(c.block());
        }
        return limpias_;
    }
    bool Chat(const QString& linea) const { return Linea("txtChat", linea); }
    void Charlar(const QString& texto) {
        Hacer([this, texto] {
            Hijo<QLineEdit>(&j_.ventana, "txtMensaje")->setFocus();
            Hijo<QLineEdit>(&j_.ventana, "txtMensaje")->setText(texto);
            Hijo<QPushButton>(&j_.ventana, "cmdChatEnviar")->click();
        });
    }
    void Alertas() {
        Hacer([this] {
            for (const char* n : {"mnuAlertarSonido", "mnuAlertarMsgBox", "mnuAlertarHistorial"})
                Hijo<QAction>(&j_.ventana, n)->trigger();
        });
    }
    QString Eleccion() const { return partidas_.value(partida_); }
    // The host's choice, in either dialog: same names in both.
    void ElegirQuien(QWidget* d, const QString& q) {
        Hijo<QRadioButton>(d, q.startsWith(u"azar") ? "optAlAzar"
                              : q == u"tu"          ? "optJugador"
                                                    : "optOrdenador")
            ->click();
        if (q.startsWith(u"azar")) ForzarAzar(q.endsWith(u'1') ? 1 : 0);
    }

    void EmpezarPartida(FrmEmpezarPartida* e) {
        const bool red = !(superviviente_ && partida_ > 0);
        const QString q = Eleccion();
        Hacer([this, e, red, q] {
            Hijo<QCheckBox>(e, "chkJugarEnRed")->setChecked(red);
            Hijo<QCheckBox>(e, "chkJugadorColocaSusBarcos")->setChecked(colgado_);
            // A host in an open session says here who starts.
            if (host_ && Hijo<QGroupBox>(e, "fraQuienEmpieza")->isEnabled() && red)
                ElegirQuien(e, q);
            Hijo<QPushButton>(e, "cmdEmpezar")->click();
        });
    }

    void Dialogos() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) return;
        if (auto* e = qobject_cast<FrmEmpezarPartida*>(modal)) {
            EmpezarPartida(e);
            return;
        }
        auto* c = qobject_cast<FrmConexionDPlay*>(modal);
        if (!c) return;
        if (host_) {
            const QString q = Eleccion();
            Hacer([this, c, q] {
                Hijo<QLineEdit>(c, "txtNombre")->setText(QStringLiteral("Ana"));
                // "Conexión TCP/IP" or "Este equipo (local)"
                Hijo<QListWidget>(c, "lstSP")->setCurrentRow(ipv6_ ? 0 : 1);
                Hijo<QLineEdit>(c, "txtGameName")->setText(QStringLiteral("Mesa de Ana"));
                ElegirQuien(c, q);
                Hijo<QPushButton>(c, "cmdAceptar")->click();
            });
        } else if (!busquedaIniciada_) {
            // Over IPv6 the guest types what the host would tell him: ::1
            // and the host's port, read from the host's announcement.
            const QString direccion = ipv6_ ? DireccionIPv6DelHost() : QString();
            if (ipv6_ && direccion.isEmpty()) return;
            busquedaIniciada_ = true;
            Hacer([this, c, direccion] {
                Hijo<QLineEdit>(c, "txtNombre")->setText(QStringLiteral("Bea"));
                Hijo<QListWidget>(c, "lstSP")->setCurrentRow(ipv6_ ? 0 : 1);
                Hijo<QRadioButton>(c, "optDevice")->click();
                Hijo<QLineEdit>(c, "txtDireccion")->setText(direccion);
                Hijo<QPushButton>(c, "cmdRefresh")->click();
            });
        } else if (Hijo<QListWidget>(c, "lstPartidas")->count() > 0 &&
                   Hijo<QPushButton>(c, "cmdAceptar")->isEnabled()) {
            Hacer([c] {
                Hijo<QListWidget>(c, "lstPartidas")->setCurrentRow(0);
                Hijo<QPushButton>(c, "cmdAceptar")->click();
            });
        }
    }

    // "[::1]:<port>" of the host's announcement "<pid>-<port>", once there.
    QString DireccionIPv6DelHost() const {
        const QStringList anuncios = QDir(encuentros_).entryList(QDir::Files);
        if (anuncios.size() != 1) return {};
        return QStringLiteral("[::1]:") + anuncios.front().section(u'-', 1);
    }

    // The square this side shoots next: the very first shot of a match is
    // water, so the other side gets a turn; then the other's ships, as he
    // left them for us.
    bool Objetivo(int& f, int& c) {
        const ModPrincipal& p = j_.principal;
        if (!LeerFlotaRival()) return false;
        const bool agua = disparos_ == 0 && !atacado_;
        for (int i = 0; i < 100; ++i) {
            f = i / 10;
            c = i % 10;
            if (p.intLeerCasilla(f, c, 3) != CASILLA_OCULTA) continue;
            if ((flotaRival_[f][c] == CASILLA_BARCO) != agua) return true;
        }
        return false;
    }

    void Jugar() {
        Partida& pt = j_.partida;
        FrmPrincipal& v = j_.ventana;
        if (pt.blnEsperandoRespuesta()) {
            atacado_ = true;
            const ModPrincipal& p = j_.principal;
            const int f = p.intFilaAtaque, c = p.intColumnaAtaque;
            int r =
                p.intLeerCasilla(f, c, 0) != CASILLA_BARCO ? 0 : (p.blnHundido(f, c, 0) ? 2 : 1);
            if (host_ && !mentido_ && partida_ == 0) {
                mentido_ = true;
                r = (r + 1) % 3; // one false answer, which must be refused
            }
            static const char* const kBotones[] = {"cmdAgua", "cmdTocado", "cmdHundido"};
            const char* boton = kBotones[r];
            Hacer([&v, boton] { v.findChild<QPushButton*>(QLatin1String(boton))->click(); });
            return;
        }
        if (!atacar_ || !pt.blnTurnoJugadorAtaque()) return;
        int f = 0, c = 0;
        if (!Objetivo(f, c)) return;
        ++disparos_;
        Hacer([&v, f, c] {
            v.findChild<QLineEdit*>(QStringLiteral("txtColumna"))->setText(QString(QChar(u'A' + c)));
            v.findChild<QLineEdit*>(QStringLiteral("txtFila"))->setText(QString::number(f + 1));
            v.findChild<QPushButton*>(QStringLiteral("cmdAtacar"))->click();
        });
    }

    // Chat and alerts before the first shot of the first match.
    void Charla() {
        if (partida_ > 0) {
            atacar_ = true;
            return;
        }
        if (host_) {
            if (fase_ == 0) {
                fase_ = 1;
                Charlar(kSaludoHost);
            } else if (fase_ == 1) {
                fase_ = 2;
                Alertas();
            } else if (fase_ == 2 && Chat(QStringLiteral("<Bea> ") + kSaludoInvitado)) {
                fase_ = 3;
                Alertas(); // now refused
            } else if (fase_ == 3 &&
                       Historial(QStringLiteral("Bea no tiene activadas las alertas con sonido")) &&
                       Historial(QStringLiteral(
                           "Bea no tiene activadas las alertas con cuadro de texto")) &&
                       Historial(
                           QStringLiteral("Bea no tiene activadas las alertas en el historial"))) {
                fase_ = 4;
                Charlar(kAlAtaque);
                atacar_ = true;
            }
        } else {
            if (fase_ == 0 && Chat(QStringLiteral("<Ana> ") + kSaludoHost) &&
                Historial(QStringLiteral("ALERTA DE TU ADVERSARIO: ") + kTextoHistorial) &&
                Cajas(kTextoCuadro) == 1) {
                fase_ = 1;
                RegistroOpciones& o = j_.opciones.Opciones;
                o.blnAlertaSonido = o.blnAlertaMsgBox = o.blnAlertaHistorial = false;
                Charlar(kSaludoInvitado);
            } else if (fase_ == 1 && Chat(QStringLiteral("<Ana> ") + kAlAtaque)) {
                fase_ = 2;
                atacar_ = true;
            }
        }
    }

    void Terminar() {
        terminado_ = true;
        codigo = bien_ ? 0 : 2;
        // Let the last messages leave, then close like the player would.
        QTimer::singleShot(600, this, [this] {
            j_.ventana.close();
            QTimer::singleShot(100, qApp, &QCoreApplication::quit);
        });
    }

    // The other copy vanished while this one waited for its fleet.
    void Sobrevivir() {
        const EstadoPreparacion e = j_.preparacion.Estado();
        if (partida_ == 0) {
            if (Cajas(QStringLiteral("'Ana' se ha desconectado. Se terminará la partida.")) +
                    Cajas(QStringLiteral("'Bea' se ha desconectado. Se terminará la partida.")) ==
                0)
                return;
            if (e != EstadoPreparacion::Inactiva) return Fallo(QStringLiteral("no vuelve a Inactiva"));
            if (!j_.ventana.findChild<QAction*>(QStringLiteral("mnuJuegoEmpezar"))->isVisible())
                return Fallo(QStringLiteral("\"&Empezar\" oculto"));
            if (!Historial(QStringLiteral("El contrincante se ha desconectado.")))
                return Fallo(QStringLiteral("sin línea de desconexión"));
            Registro(QStringLiteral("[superviviente] avisado"));
            partida_ = 1;
            empezada_ = false;
            return;
        }
        if (e == EstadoPreparacion::EnPartida && j_.partida.blnEnPartida()) Terminar();
    }

    void Paso() {
        if (ocupado_ || terminado_) return;
        Dialogos();
        if (ocupado_) return;
        if (!empezada_) {
            if (j_.preparacion.Estado() != EstadoPreparacion::Inactiva) return;
            empezada_ = true;
            atacar_ = false;
            atacado_ = false;
            disparos_ = 0;
            Hacer([this] {
                j_.ventana.findChild<QAction*>(QStringLiteral("mnuJuegoEmpezar"))->trigger();
            });
            return;
        }
        if (superviviente_) return Sobrevivir();
        if (colgado_) return;
        DejarFlota();

        if (Fines() > partida_) {
            // This match is over once the other's fleet has come and been
            // checked clean: it is the one he placed, and ours went whole.
            if (Limpias() <= partida_) return;
            if (j_.principal.intBarcosOrdenador != flotaRival_)
                Fallo(QStringLiteral("la flota enseñada no es la colocada"));
            if (casillasEnviadas_ != 20 * (partida_ + 1))
                Fallo(QStringLiteral("casillas enviadas: %1").arg(casillasEnviadas_));
            ++partida_;
            empezada_ = false;
            flotaDejada_ = false;
            // The alerts and the false answer belong to the first match;
            // checked at its end, while the pane still holds their lines.
            if (partida_ == 1 &&
                (host_ ? Cajas(QStringLiteral("Me parece que le quieres engañar...")) != 1
                       : Cajas(kTextoCuadro) != 1 ||
                             !Historial(QStringLiteral(
                                 "Ay ay ay, tu adversario te quería engañar..."))))
                Fallo(QStringLiteral("alertas o engaño"));
            if (partida_ < partidas_.size()) return;
            Terminar();
            return;
        }
        if (!j_.partida.blnEnPartida()) return;
        if (!atacar_) Charla();
        if (!ocupado_) Jugar();
    }
};

} // namespace

int main(int argc, char** argv) {
    FijarSoloLocal(true); // started by the tests: loopback only
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brumaria"));
    if (argc < 5) {
        Registro(QStringLiteral("uso: conductor_red <host|invitado> <carpeta> <encuentros> <guion>"));
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
    Guion guion(*juego, blnHost, QString::fromLocal8Bit(argv[4]), QString::fromLocal8Bit(argv[3]));
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
    limite.start(argc > 5 ? QString::fromLocal8Bit(argv[5]).toInt() : 100000);
    juego->ventana.Cargar();
    juego->ventana.move(blnHost ? 0 : 576, blnHost ? 0 : 60);
    juego->ventana.show();
    app.exec();
    juego.reset();
    // The transport was let go with deleteLater.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return guion.codigo;
}
