// One copy of the real game playing scripted network matches, for the
// two-process tests:
//
//   conductor_red <host|invitado> <program folder> <meeting folder> <guion>
//
// <guion> is a list of matches played in one connection, each named by the
// host's choice of who starts ("tu", "rival", "azar0", "azar1": the random
// draw forced to that value; "=": the host leaves the new-game dialog as it
// shows, which must be the session's choice in force); it may start with
// "ipv6:" (a TCP/IP game the guest joins by typing the host's address on ::1),
// or "red:" / "red6:" (in the network lab: the real network, the host reads
// in his window the public address, or the IPv6 one, the router gave him and
// leaves it in <meeting folder>/flotas/direccion for the guest to type, as he
// would tell his friend; both chat once; a host told to open the port by hand
// leaves how long that took, in ms, in .../flotas/aviso). In the lab the guest
// types $BRUMARIA_LAB_DIRECCION instead, when it is set (at once, without
// waiting for the host's word, when $BRUMARIA_LAB_PRONTO is set too).
// "codigo:" (on loopback) and "redcodigo:" (in the lab) play through an
// invitation code instead: the host leaves the code his window shows in
// .../flotas/codigo, the guest types it (with another number when
// $BRUMARIA_LAB_CODIGO_ERRONEO is set); both chat once. The servers are
// whatever red.ini in each program folder names. A side that must fail is
// given the message it must read in $BRUMARIA_LAB_FALLO_ESPERADO: it leaves
// how long that took, from the code, in .../flotas/fallo-<side> and quits.
// It builds the same object graph as the game, answers every message box,
// and acts only through the window's controls; at the end of each match it
// checks that its history said once who starts and that the one told so
// moved first, and at the end that all was one session. To aim, each side leaves its
// placed fleet in <meeting folder>/flotas for the other (a player looking
// over the other's shoulder). Exit code 0 when its side went as expected.
#include "platform/solo_local.h"
#include "core/azar.h"
#include "core/modprincipal.h"
#include "match/partida.h"
#include "match/preparacion_partida.h"
#include "net/dplay.h"
#include "ui/net/frm_conexion_dplay.h"
#include "options/opciones.h"
#include "platform/cp1252.h"
#include "platform/mensajes.h"
#include "platform/rutas.h"
#include "ui/main/aplicacion.h"
#include "ui/main/frm_empezar_partida.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSaveFile>
#include <QTimer>
#include <cstdio>
#include <memory>

using namespace brumaria;

namespace {

template <class T> T* Hijo(QObject* ventana, const char* nombre) {
    return ventana->findChild<T*>(QLatin1String(nombre));
}

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
        : j_(juego), host_(blnHost), ipv6_(guion.startsWith(u"ipv6:")),
          red_(guion.startsWith(u"red")), red6_(guion.startsWith(u"red6:")),
          codigo_(guion.startsWith(u"codigo:") || guion.startsWith(u"redcodigo:")),
          encuentros_(encuentros),
          partidas_(guion.section(u':', guion.contains(u':') ? 1 : 0)
                        .split(u',', Qt::SkipEmptyParts)) {
        QDir().mkpath(encuentros_ + QStringLiteral("/flotas"));
        connect(&tick_, &QTimer::timeout, this, &Guion::Paso);
        tick_.start(20);
    }

    int codigo = 1;
    QStringList cajas;

    Respuesta Caja(const Mensaje& m) {
        cajas << m.texto;
        Registro(QStringLiteral("[caja %1] %2").arg(Lado(), m.texto));
        // A case that must fail, and how soon it was told.
        const QString esperado = qEnvironmentVariable("BRUMARIA_LAB_FALLO_ESPERADO");
        if (!esperado.isEmpty() && m.texto.contains(esperado) && !terminado_) {
            terminado_ = true;
            Dejar(QStringLiteral("fallo-") + Lado(),
                  QString::number(desdeCodigo_.isValid() ? desdeCodigo_.elapsed() : -1));
            codigo = 0;
            QTimer::singleShot(100, this, [this] {
                j_.ventana.close();
                QTimer::singleShot(100, qApp, &QCoreApplication::quit);
            });
        }
        return m.botones == Botones::SiNo ? Respuesta::No : Respuesta::Aceptar;
    }

private:
    Aplicacion& j_;
    bool host_;
    bool ipv6_;
    bool red_;  // in the lab, over the real network
    bool red6_; // ... told and typing the IPv6 address
    bool codigo_; // through an invitation code
    bool dicha_ = false;       // the host has left his address or the notice
    bool chatEnviado_ = false;
    bool primerTurno_ = false;
    QElapsedTimer desdeHospedar_;
    QElapsedTimer desdeCodigo_; // the guest typed the code; the host hosted
    QString encuentros_;
    QStringList partidas_;
    QTimer tick_;
    bool ocupado_ = false; // an action is posted and has not run yet
    int partida_ = 0;      // the match under way (0-based)
    bool empezada_ = false;
    bool busquedaIniciada_ = false;
    bool atacado_ = false; // the other side has shot in this match
    int disparos_ = 0;     // this side's shots in this match
    bool primero_ = false; // this side moved first in this match
    bool terminado_ = false;
    bool bien_ = true;
    bool flotaDejada_ = false;
    Panel flotaRival_{};

    QString Lado() const { return host_ ? QStringLiteral("host") : QStringLiteral("invitado"); }
    QString Fichero(bool blnHost) const {
        return QStringLiteral("%1/flotas/%2-%3")
            .arg(encuentros_, blnHost ? u"host" : u"invitado")
            .arg(partida_);
    }
    // This side's placed fleet, for the other to aim at.
    void DejarFlota() {
        const EstadoPreparacion e = j_.preparacion.Estado();
        if (flotaDejada_ ||
            (e != EstadoPreparacion::EsperandoFlotaContraria && e != EstadoPreparacion::EnPartida))
            return;
        flotaDejada_ = true;
        QByteArray b;
        for (int i = 0; i < 100; ++i)
            b += j_.principal.intLeerCasilla(i / 10, i % 10, 0) == CASILLA_BARCO ? '1' : '0';
        QSaveFile f(Fichero(host_));
        if (!f.open(QIODevice::WriteOnly) || f.write(b) != b.size() || !f.commit())
            Fallo(QStringLiteral("no se pudo dejar la flota"));
    }
    bool LeerFlotaRival() {
        QFile f(Fichero(!host_));
        const QByteArray b = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        for (int i = 0; i < b.size(); ++i)
            flotaRival_[i / 10][i % 10] = b[i] == '1' ? CASILLA_BARCO : CASILLA_AGUA;
        return b.size() == 100;
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
    int Fines() const {
        return int(cajas.count(QStringLiteral("¡Tu ganas!")) + cajas.count(QStringLiteral("¡Él gana!")));
    }
    // The history file (the pane keeps only its last lines).
    QStringList Historial() const {
        QFile f(UnirRuta(strRutaPrograma(), QStringLiteral("Historial.txt")));
        return f.open(QIODevice::ReadOnly) ? DeCp1252(f.readAll()).split(QStringLiteral("\r\n"))
                                           : QStringList();
    }
    // The choice in force for match `i`: "=" keeps the one before.
    QString Vigente(int i) const {
        while (i > 0 && partidas_.value(i) == u"=")
            --i;
        return partidas_.value(i);
    }
    void ComprobarQuienEmpezo() {
        const QString q = Vigente(partida_);
        const bool blnEmpiezo = (q == u"tu" || q == u"azar1") == host_;
        const QStringList h = Historial();
        const QStringList bloque = h.mid(h.lastIndexOf(QStringLiteral("EMPIEZA UNA PARTIDA")));
        if (bloque.count(QStringLiteral("Tú empiezas")) != (blnEmpiezo ? 1 : 0) ||
            bloque.count(QStringLiteral("Tu contrincante empieza")) != (blnEmpiezo ? 0 : 1) ||
            primero_ != blnEmpiezo)
            Fallo(QStringLiteral("partida %1: no empezó quien se dijo").arg(partida_ + 1));
    }
    // The host's choice, in either dialog: same names in both.
    static QRadioButton* Opcion(QWidget* d, const QString& q) {
        return Hijo<QRadioButton>(d, q.startsWith(u"azar") ? "optAlAzar"
                                     : q == u"tu"          ? "optJugador"
                                                           : "optOrdenador");
    }
    void ElegirQuien(QWidget* d, const QString& q) {
        if (partidas_.value(partida_) == u"=") {
            if (!Opcion(d, q)->isChecked())
                Fallo(QStringLiteral("partida %1: el cuadro no muestra quién empieza en la sesión")
                          .arg(partida_ + 1));
        } else {
            Opcion(d, q)->click();
        }
        if (q.startsWith(u"azar")) ForzarAzar(q.endsWith(u'1') ? 1 : 0);
    }

    QString Otro() const { return host_ ? QStringLiteral("Bea") : QStringLiteral("Ana"); }
    QString Saludo(const QString& quien) const {
        return QStringLiteral("Hola, soy %1: ¿se me oye desde mi casa?").arg(quien);
    }
    // What the host reads in his history pane once the router has answered.
    void LeerDireccion() {
        if (!host_ || !(red_ || codigo_) || dicha_ || !desdeHospedar_.isValid()) return;
        const QString h = Hijo<QPlainTextEdit>(&j_.ventana, "txtHistorial")->toPlainText();
        const QString prefijo = codigo_ ? QStringLiteral("Tu código de invitación: ")
                                : red6_ ? QStringLiteral("Tu dirección IPv6 para jugar por Internet: ")
                                        : QStringLiteral("Tu dirección para jugar por Internet: ");
        QString que, fichero = codigo_ ? QStringLiteral("codigo") : QStringLiteral("direccion");
        for (const QString& l : h.split(u'\n'))
            if (l.startsWith(prefijo)) que = l.mid(prefijo.size());
        if (que.isEmpty() && h.contains(QStringLiteral("abre a mano el puerto"))) {
            que = QString::number(desdeHospedar_.elapsed());
            fichero = QStringLiteral("aviso");
        }
        if (que.isEmpty()) return;
        dicha_ = true;
        Registro(QStringLiteral("[host] %1: %2").arg(fichero, que));
        Dejar(fichero, que);
    }
    // A word for the test in the meeting folder.
    void Dejar(const QString& fichero, const QString& que) {
        QSaveFile f(QStringLiteral("%1/flotas/%2").arg(encuentros_, fichero));
        if (!f.open(QIODevice::WriteOnly) || f.write(que.toUtf8()) < 0 || !f.commit())
            Fallo(QStringLiteral("no se pudo dejar ") + fichero);
    }
    // The address the guest types: what his friend told him.
    QString DireccionDicha() const {
        // Only once the host has said something, as a friend asks after
        // being told (the "pronto" case asks before).
        const QString dicha = encuentros_ + QStringLiteral("/flotas/");
        const QByteArray fija = qgetenv("BRUMARIA_LAB_DIRECCION");
        // BRUMARIA_LAB_PRONTO: a friend who already knows the address and
        // searches before the host has even created the game.
        if (!fija.isEmpty() && qEnvironmentVariableIsSet("BRUMARIA_LAB_PRONTO"))
            return QString::fromUtf8(fija);
        if (!fija.isEmpty())
            return QFile::exists(dicha + QStringLiteral("direccion")) ||
                           QFile::exists(dicha + QStringLiteral("aviso"))
                       ? QString::fromUtf8(fija)
                       : QString();
        QFile f(dicha + QStringLiteral("direccion"));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

    void Dialogos() {
        QWidget* modal = QApplication::activeModalWidget();
        const QString q = Vigente(partida_);
        if (auto* e = qobject_cast<FrmEmpezarPartida*>(modal)) {
            Hacer([this, e, q] {
                Hijo<QCheckBox>(e, "chkJugarEnRed")->setChecked(true);
                Hijo<QCheckBox>(e, "chkJugadorColocaSusBarcos")->setChecked(false);
                // A host in an open session says here who starts.
                if (host_ && Hijo<QGroupBox>(e, "fraQuienEmpieza")->isEnabled()) ElegirQuien(e, q);
                Hijo<QPushButton>(e, "cmdEmpezar")->click();
            });
            return;
        }
        auto* c = qobject_cast<FrmConexionDPlay*>(modal);
        if (!c) return;
        if (codigo_) {
            DialogoCodigo(c, q);
            return;
        }
        if (host_) {
            Hacer([this, c, q] {
                Hijo<QLineEdit>(c, "txtNombre")->setText(QStringLiteral("Ana"));
                // "Conexión TCP/IP" or "Este equipo (local)"
                Hijo<QListWidget>(c, "lstSP")->setCurrentRow(ipv6_ || red_ ? 0 : 1);
                Hijo<QLineEdit>(c, "txtGameName")->setText(QStringLiteral("Mesa de Ana"));
                ElegirQuien(c, q);
                desdeHospedar_.start();
                Hijo<QPushButton>(c, "cmdAceptar")->click();
            });
        } else if (!busquedaIniciada_) {
            // Over IPv6 the guest types what the host would tell him: ::1
            // and the host's port, from the host's announcement "<pid>-<port>".
            const QStringList anuncios = QDir(encuentros_).entryList(QDir::Files);
            if (ipv6_ && anuncios.size() != 1) return;
            const QString direccion =
                red_    ? DireccionDicha()
                : ipv6_ ? QStringLiteral("[::1]:") + anuncios.front().section(u'-', 1)
                        : QString();
            if (red_ && direccion.isEmpty()) return;
            busquedaIniciada_ = true;
            Hacer([this, c, direccion] {
                Hijo<QLineEdit>(c, "txtNombre")->setText(QStringLiteral("Bea"));
                Hijo<QListWidget>(c, "lstSP")->setCurrentRow(ipv6_ || red_ ? 0 : 1);
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

    // The invitation's way: the last in the list of connection types.
    void DialogoCodigo(FrmConexionDPlay* c, const QString& q) {
        auto* lista = Hijo<QListWidget>(c, "lstSP");
        if (host_) {
            Hacer([this, c, lista, q] {
                Hijo<QLineEdit>(c, "txtNombre")->setText(QStringLiteral("Ana"));
                lista->setCurrentRow(lista->count() - 1);
                Hijo<QLineEdit>(c, "txtGameName")->setText(QStringLiteral("Mesa de Ana"));
                ElegirQuien(c, q);
                desdeHospedar_.start();
                desdeCodigo_.start();
                Hijo<QPushButton>(c, "cmdAceptar")->click();
            });
            return;
        }
        if (busquedaIniciada_) return;
        QFile f(encuentros_ + QStringLiteral("/flotas/codigo"));
        QString codigo = f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
        if (codigo.isEmpty()) return;
        // A friend who heard the number wrong: another code that nobody made.
        if (qEnvironmentVariableIsSet("BRUMARIA_LAB_CODIGO_ERRONEO"))
            codigo = QString::number(codigo.section(u'-', 0, 0).toInt() % 64 + 1) +
                     codigo.mid(codigo.indexOf(u'-'));
        busquedaIniciada_ = true;
        Registro(QStringLiteral("[invitado] escribe el código %1").arg(codigo));
        Hacer([this, c, lista, codigo] {
            desdeCodigo_.start();
            Hijo<QLineEdit>(c, "txtNombre")->setText(QStringLiteral("Bea"));
            lista->setCurrentRow(lista->count() - 1);
            Hijo<QRadioButton>(c, "optDevice")->click();
            // As a friend reads it out: capitals and spaces.
            Hijo<QLineEdit>(c, "txtDireccion")->setText(codigo.toUpper().replace(u'-', u' '));
            Hijo<QPushButton>(c, "cmdAceptar")->click();
        });
    }

    // The square this side shoots next: the very first shot of a match is
    // water, so the other side gets a turn; then the other's ships.
    bool Objetivo(int& f, int& c) {
        if (!LeerFlotaRival()) return false;
        const bool agua = disparos_ == 0 && !atacado_;
        for (int i = 0; i < 100; ++i) {
            f = i / 10;
            c = i % 10;
            if (j_.principal.intLeerCasilla(f, c, 3) != CASILLA_OCULTA) continue;
            if ((flotaRival_[f][c] == CASILLA_BARCO) != agua) return true;
        }
        return false;
    }

    void Jugar() {
        FrmPrincipal& v = j_.ventana;
        const ModPrincipal& p = j_.principal;
        if (j_.partida.blnEsperandoRespuesta()) {
            atacado_ = true;
            const int f = p.intFilaAtaque, c = p.intColumnaAtaque;
            const char* boton = p.intLeerCasilla(f, c, 0) != CASILLA_BARCO ? "cmdAgua"
                                : p.blnHundido(f, c, 0)                    ? "cmdHundido"
                                                                           : "cmdTocado";
            Hacer([&v, boton] { Hijo<QPushButton>(&v, boton)->click(); });
            return;
        }
        int f = 0, c = 0;
        if (!j_.partida.blnTurnoJugadorAtaque() || !Objetivo(f, c)) return;
        primero_ = primero_ || (disparos_ == 0 && !atacado_);
        ++disparos_;
        Hacer([&v, f, c] {
            Hijo<QLineEdit>(&v, "txtColumna")->setText(QString(QChar(u'A' + c)));
            Hijo<QLineEdit>(&v, "txtFila")->setText(QString::number(f + 1));
            Hijo<QPushButton>(&v, "cmdAtacar")->click();
        });
    }

    void Paso() {
        LeerDireccion();
        if (ocupado_ || terminado_) return;
        Dialogos();
        if (ocupado_) return;
        if (!empezada_) {
            if (j_.preparacion.Estado() != EstadoPreparacion::Inactiva) return;
            empezada_ = true;
            atacado_ = primero_ = false;
            disparos_ = 0;
            Hacer([this] { Hijo<QAction>(&j_.ventana, "mnuJuegoEmpezar")->trigger(); });
            return;
        }
        DejarFlota();
        if (Fines() > partida_) {
            // Over once the other's fleet has come and been checked clean:
            // the one he placed.
            if (Historial().count(kLimpio) <= partida_) return;
            // The last match ends once the other's greeting has come through
            // the routers too.
            if ((red_ || codigo_) && partida_ + 1 == partidas_.size() &&
                !Hijo<QPlainTextEdit>(&j_.ventana, "txtChat")->toPlainText().contains(Saludo(Otro())))
                return;
            if (j_.principal.intBarcosOrdenador != flotaRival_)
                Fallo(QStringLiteral("la flota enseñada no es la colocada"));
            ComprobarQuienEmpezo();
            ++partida_;
            empezada_ = flotaDejada_ = false;
            if (partida_ < partidas_.size()) return;
            const QStringList h = Historial();
            if (h.count(host_ ? QStringLiteral("Se ha agregado 'Bea' a la partida")
                              : QStringLiteral("Te has unido a la sesión.")) != 1)
                Fallo(QStringLiteral("más de una sesión"));
            terminado_ = true;
            codigo = bien_ ? 0 : 2;
            // Let the last messages leave, then close like the player would.
            QTimer::singleShot(600, this, [this] {
                j_.ventana.close();
                QTimer::singleShot(100, qApp, &QCoreApplication::quit);
            });
            return;
        }
        if (codigo_ && !host_ && !primerTurno_ && j_.partida.blnEnPartida()) {
            primerTurno_ = true;
            Dejar(QStringLiteral("primer-turno-invitado"), QString::number(desdeCodigo_.elapsed()));
        }
        if ((red_ || codigo_) && !chatEnviado_ && j_.partida.blnEnPartida()) {
            chatEnviado_ = true;
            Hacer([this] {
                Hijo<QLineEdit>(&j_.ventana, "txtMensaje")->setText(Saludo(host_ ? QStringLiteral("Ana") : QStringLiteral("Bea")));
                Hijo<QPushButton>(&j_.ventana, "cmdChatEnviar")->click();
            });
            return;
        }
        if (j_.partida.blnEnPartida()) Jugar();
    }
};

} // namespace

int main(int argc, char** argv) {
    // Started by the tests: loopback only, but in the network lab, which
    // has no way out of its own namespaces.
    const bool blnLab = argc > 4 && QByteArray(argv[4]).startsWith("red");
    FijarSoloLocal(!blnLab);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brumaria"));
    if (argc < 5) {
        Registro(QStringLiteral("uso: conductor_red <host|invitado> <carpeta> <encuentros> <guion>"));
        return 64;
    }
    const bool blnHost = QString::fromLocal8Bit(argv[1]) == QStringLiteral("host");
    const QString carpeta = QString::fromLocal8Bit(argv[2]);
    FijarRutaPrograma(carpeta);
    // Each home of the lab is a computer of its own: no shared meeting folder.
    red::DirectPlay8Peer::FijarCarpetaEncuentros(QString::fromLocal8Bit(argv[3]) +
                                                 (blnLab ? QLatin1String("/") + argv[1]
                                                         : QString()));
    Azar::FijarDeterminista(blnHost ? 11 : 29);
    {
        // The player's options as he left them last time.
        ModOpciones previas;
        RegistroOpciones& o = previas.Opciones = RegistroOpciones::PorDefecto();
        o.intMetodoAtaque = 3;
        o.blnTiempoRespuesta = false;
        o.blnHistorialMovimientosActivar = true;
        // Where they chat, the pane is shown.
    o.blnVerChat = blnLab || QByteArray(argv[4]).startsWith("codigo:");
        o.strRutaArchivoHistorial = UnirRuta(carpeta, QStringLiteral("Historial.txt"));
        o.blnSonidosAgua = o.blnSonidosBarco = o.blnSonidosHundido = false;
        previas.blnGuardarOpcionesEnArchivo();
    }
    auto juego = std::make_unique<Aplicacion>();
    Guion guion(*juego, blnHost, QString::fromLocal8Bit(argv[4]), QString::fromLocal8Bit(argv[3]));
    InstalarManejadorMensajes([&guion](const Mensaje& m) { return guion.Caja(m); });
    QTimer::singleShot(blnLab ? 90000 : 100000, &app, [&] {
        Registro(QStringLiteral("tiempo agotado; chat: ") +
                 Hijo<QPlainTextEdit>(&juego->ventana, "txtChat")->toPlainText());
        guion.codigo = 3;
        juego->ventana.close();
        app.quit();
    });
    juego->ventana.Cargar();
    juego->ventana.show();
    app.exec();
    juego.reset();
    // The transport was let go with deleteLater.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return guion.codigo;
}
