// The main window's network side with two sides in one process over
// 127.0.0.1: the wait for an opponent and its cancellation, arrivals and
// departures, chat, ending the connection, closing while waiting.
#include "ayuda_red.h"
#include "carpeta_temporal.h"
#include "core/modprincipal.h"
#include "grabador_mensajes.h"
#include "match/partida.h"
#include "net/frm_conexion_dplay.h"
#include "net/moddplay.h"
#include "net/red_principal.h"
#include "options/frm_opciones.h"
#include "options/opciones.h"
#include "platform/pausa.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <gtest/gtest.h>
#include <map>

using namespace brumaria;
using namespace brumaria::prueba;

namespace {

struct VentanaFalsa : VistaPartida, VistaRed {
    std::map<MenuJuego, bool> menus;
    QString estado[4];
    bool blnCancelarVisible = false;
    QString mensaje;
    int intVaciados = 0;
    QStringList sonidos;

    void EscribirEstado(int p, const QString& t) override {
        if (p >= 1 && p <= 3) estado[p] = t;
    }
    QString LeerEstado(int p) const override { return p >= 1 && p <= 3 ? estado[p] : QString(); }
    void HabilitarRespuestas(bool) override {}
    void EntradaTeclado(bool) override {}
    void EnfocarColumna() override {}
    void VaciarCajasAtaque() override {}
    void MarcarAtaque(int, int, bool) override {}
    void OcultarDisparo() override {}
    void MostrarPanel(int) override {}
    void ContarHundido(bool, int) override {}
    void QuitarNegritaEtiquetas() override {}
    void MostrarMenu(MenuJuego m, bool b) override { menus[m] = b; }
    void MostrarSolucion() override {}
    void Sonido(const QString& s) override { sonidos << s; }

    QWidget* VentanaRed() override { return nullptr; }
    void MostrarCancelarEspera(bool b) override { blnCancelarVisible = b; }
    QString TextoMensaje() const override { return mensaje; }
    void VaciarMensaje() override {
        mensaje.clear();
        ++intVaciados;
    }
    DestinoOpciones* DestinoDeOpciones() override { return nullptr; }
};

// One copy of the game, without the window.
struct Lado {
    ModPrincipal principal;
    ModOpciones opciones;
    PanelesGrabados paneles;
    ModCuadrosDeTexto cuadros{opciones};
    VentanaFalsa ventana;
    Partida partida{principal, opciones, cuadros, ventana};
    ModDPlay dplay{principal, partida, opciones, cuadros, ventana};
    RedPrincipal red{principal, opciones, cuadros, partida, dplay, ventana, ventana};

    explicit Lado(const QString& nombre) {
        opciones.Opciones = RegistroOpciones::PorDefecto();
        opciones.Opciones.blnHistorialMovimientosActivar = false;
        opciones.Opciones.strNombreJugador = nombre;
        opciones.Opciones.strNombrePartida = QStringLiteral("Mesa de ") + nombre;
        cuadros.FijarPaneles(&paneles);
        partida.FijarEmisor(&dplay);
        red.tiempos = TiemposCortos();
        ventana.menus[MenuJuego::Empezar] = true;
    }
    // The session dialog creates a game on this computer.
    void Crear() {
        red.alAbrirDialogo = [](FrmConexionDPlay& f) {
            f.lstSP->setCurrentRow(1);
            f.cmdAceptar->click();
        };
    }
    // The session dialog finds the only game on this computer and joins it.
    void Unirse() {
        red.alAbrirDialogo = [](FrmConexionDPlay& f) {
            f.lstSP->setCurrentRow(1);
            f.optDevice->click();
            f.cmdRefresh->click();
            if (!Esperar([&] { return f.lstPartidas->count() > 0; })) return;
            f.lstPartidas->setCurrentRow(0);
            f.cmdAceptar->click();
        };
    }
    bool Iniciar() {
        partida.blnJugarEnRed = true;
        return red.blnIniciarRed();
    }
};

// Runs `f` once `l` is waiting for an opponent (a slow machine may take a
// while to get there).
void CuandoEspere(Lado& l, std::function<void()> f) {
    auto* t = new QTimer;
    QObject::connect(t, &QTimer::timeout, [t, &l, f = std::move(f)] {
        if (!l.ventana.blnCancelarVisible) return;
        t->stop();
        t->deleteLater();
        f();
    });
    t->start(10);
}

// Ana hosts and waits; Bea joins from inside that wait.
void Conectar(Lado& ana, Lado& bea, bool* blnBea = nullptr) {
    ana.Crear();
    bea.Unirse();
    CuandoEspere(ana, [&] {
        const bool ok = bea.Iniciar();
        if (blnBea) *blnBea = ok;
    });
    ASSERT_TRUE(ana.Iniciar());
    ASSERT_TRUE(Esperar([&] { return bea.dplay.lngNumJugadores == 2; }));
}

// Both sides as if the match were running.
void EnPartida(Lado& l) {
    l.partida.blnEnPartida = true;
    l.principal.LlenarPanel(1, CASILLA_OCULTA);
    l.principal.LlenarPanel(3, CASILLA_OCULTA);
    l.ventana.menus[MenuJuego::TerminarPartida] = true;
    l.ventana.menus[MenuJuego::Empezar] = false;
}

} // namespace

// Every test gets its own program folder, rendezvous folder and recorded
// message boxes, and leaves no deferred deletions behind.
class PruebaRedPrincipal : public ::testing::Test {
protected:
    Barrido barrido;
    CarpetaTemporal carpeta;
    CarpetaEncuentros encuentros;
    GrabadorMensajes cajas;
};

TEST_F(PruebaRedPrincipal, ElHostCancelaLaEsperaYConservaLaConexion) {
    Lado ana(QStringLiteral("Ana"));
    ana.Crear();
    CuandoEspere(ana, [&] {
        // Waiting: only the cancel items are on offer.
        EXPECT_TRUE(ana.ventana.blnCancelarVisible);
        EXPECT_TRUE(ana.ventana.menus[MenuJuego::CancelarEspera]);
        EXPECT_FALSE(ana.ventana.menus[MenuJuego::Empezar]);
        EXPECT_FALSE(ana.ventana.menus[MenuJuego::TerminarConexion]);
        EXPECT_FALSE(ana.ventana.menus[MenuJuego::Opciones]);
        ana.red.cmdCancelarEspera_Click();
    });
    EXPECT_FALSE(ana.Iniciar());
    EXPECT_EQ(ana.paneles.historial.mid(0, 3),
              (QStringList{QString(), QStringLiteral("Partida multijugador"),
                           QStringLiteral("Sesión 'Mesa de Ana' creada con éxito.")}));
    EXPECT_TRUE(ana.paneles.historial.contains(QStringLiteral("Esperando al contrincante...")));
    EXPECT_TRUE(
        ana.paneles.historial.contains(QStringLiteral("Se ha agregado 'Ana' a la partida")));
    EXPECT_FALSE(ana.paneles.historial.contains(QStringLiteral("Partida multijugador cancelada")));
    EXPECT_EQ(ana.ventana.estado[3], QStringLiteral("Nombre de sesión: Mesa de Ana (HOST)"));
    // Idle menus, the connection kept.
    EXPECT_FALSE(ana.ventana.blnCancelarVisible);
    EXPECT_FALSE(ana.ventana.menus[MenuJuego::CancelarEspera]);
    EXPECT_TRUE(ana.ventana.menus[MenuJuego::Empezar]);
    EXPECT_TRUE(ana.ventana.menus[MenuJuego::TerminarConexion]);
    EXPECT_TRUE(ana.ventana.menus[MenuJuego::Opciones]);
    EXPECT_FALSE(ana.ventana.menus[MenuJuego::TerminarPartida]);
    EXPECT_TRUE(ana.dplay.blnConectado);
    ASSERT_TRUE(ana.red.peer());
    EXPECT_TRUE(ana.red.peer()->blnEnSesion());
    EXPECT_TRUE(cajas.mensajes().isEmpty());

    // Alone, the chat says so and sends nothing.
    ana.ventana.mensaje = QStringLiteral("¿hay alguien?");
    ana.red.cmdChatEnviar_Click();
    ASSERT_EQ(cajas.mensajes().size(), 1);
    EXPECT_EQ(cajas.mensajes()[0].titulo, QStringLiteral("Estás solo"));
    EXPECT_EQ(cajas.mensajes()[0].icono, Icono::Exclamacion);
    EXPECT_TRUE(cajas.mensajes()[0].texto.startsWith(
        QStringLiteral("No hay nadie a quien enviar.\n\nSi no")));
    EXPECT_TRUE(ana.paneles.chat.isEmpty());
    EXPECT_EQ(ana.ventana.intVaciados, 1);

    // "&Terminar conexión" outside a match: no box, the connection ends.
    ana.red.mnuJuegoTerminarConexion_Click();
    EXPECT_EQ(cajas.mensajes().size(), 1);
    EXPECT_FALSE(ana.dplay.blnConectado);
    EXPECT_EQ(ana.dplay.lngNumJugadores, 0);
    EXPECT_FALSE(ana.red.peer());
    EXPECT_FALSE(ana.red.frmConexionDPlay());
    EXPECT_FALSE(ana.ventana.menus[MenuJuego::TerminarConexion]);
    EXPECT_TRUE(ana.ventana.menus[MenuJuego::Empezar]);
    EXPECT_TRUE(ana.ventana.estado[3].isEmpty());
}

TEST_F(PruebaRedPrincipal, ElDialogoCanceladoDejaLaPartidaSinEmpezar) {
    Lado ana(QStringLiteral("Ana"));
    ana.red.alAbrirDialogo = [](FrmConexionDPlay& f) { f.cmdCancelar->click(); };
    EXPECT_FALSE(ana.Iniciar());
    EXPECT_EQ(ana.paneles.historial.mid(0, 3),
              (QStringList{QString(), QStringLiteral("Partida multijugador"),
                           QStringLiteral("Partida multijugador cancelada")}));
    EXPECT_FALSE(ana.dplay.blnConectado);
    EXPECT_FALSE(ana.red.peer());
    EXPECT_TRUE(ana.ventana.menus[MenuJuego::Empezar]);
    EXPECT_FALSE(ana.ventana.menus[MenuJuego::TerminarConexion]);
}

TEST_F(PruebaRedPrincipal, LlegadaChatYMarchaDelContrincanteEnPlenaPartida) {
    Lado ana(QStringLiteral("Ana")), bea(QStringLiteral("Bea"));
    bool blnBea = false;
    Conectar(ana, bea, &blnBea);
    EXPECT_TRUE(blnBea);
    // The host sees himself first, then the guest; each side says who starts.
    const QStringList& h = ana.paneles.historial;
    const auto i = h.indexOf(QStringLiteral("Se ha agregado 'Ana' a la partida"));
    ASSERT_GE(i, 0);
    EXPECT_GT(h.indexOf(QStringLiteral("Se ha agregado 'Bea' a la partida")), i);
    EXPECT_TRUE(ana.ventana.menus[MenuJuego::Alertar]);
    EXPECT_TRUE(bea.ventana.menus[MenuJuego::Alertar]);
    EXPECT_TRUE(bea.paneles.historial.contains(QStringLiteral("Te has unido a la sesión.")));
    EXPECT_EQ(bea.ventana.estado[3], QStringLiteral("Nombre de sesión: Mesa de Ana"));
    ASSERT_TRUE(Esperar([&] { return bea.partida.blnQuienEmpiezaRecibido; }));
    EXPECT_NE(bea.partida.blnEmpiezaJugador, ana.partida.blnEmpiezaJugador);
    ASSERT_TRUE(Esperar([&] {
        return ana.paneles.historial.contains(QStringLiteral("Bea está colocando sus barcos"));
    }));

    // Chat both ways, ";" and ":" included, shown at once at the sender.
    bea.ventana.mensaje = QStringLiteral("hola; a:b");
    bea.red.cmdChatEnviar_Click();
    EXPECT_EQ(bea.paneles.chat.back(), QStringLiteral("<Bea> hola; a:b"));
    ASSERT_TRUE(Esperar([&] { return !ana.paneles.chat.isEmpty(); }));
    EXPECT_EQ(ana.paneles.chat.back(), QStringLiteral("<Bea> hola; a:b"));
    ana.ventana.mensaje.clear();
    ana.red.cmdChatEnviar_Click();
    ASSERT_TRUE(Esperar([&] { return bea.paneles.chat.size() == 2; }));
    EXPECT_EQ(bea.paneles.chat.back(), QStringLiteral("<Ana> "));

    // Bea vanishes in the middle of the match.
    EnPartida(ana);
    EnPartida(bea);
    cajas.Limpiar();
    bea.dplay.CerrarDPlay();
    ASSERT_TRUE(Esperar([&] { return !ana.partida.blnEnPartida; }));
    ASSERT_EQ(cajas.mensajes().size(), 1);
    EXPECT_EQ(cajas.mensajes()[0].texto,
              QStringLiteral("'Bea' se ha desconectado. Se terminará la partida."));
    EXPECT_EQ(cajas.mensajes()[0].titulo, QStringLiteral("Saliendo de la sesión"));
    EXPECT_EQ(cajas.mensajes()[0].icono, Icono::Informacion);
    const auto k = h.indexOf(QStringLiteral("El contrincante se ha desconectado."));
    ASSERT_GE(k, 1);
    EXPECT_EQ(h[k - 1], QString());
    EXPECT_TRUE(h[k + 1].startsWith(QStringLiteral("Fin "))); // the match ended
    EXPECT_FALSE(ana.ventana.menus[MenuJuego::Alertar]);
    EXPECT_FALSE(ana.ventana.menus[MenuJuego::TerminarPartida]);
    // Alone but still connected, until the player ends it.
    EXPECT_TRUE(ana.dplay.blnConectado);
    EXPECT_EQ(ana.dplay.lngNumJugadores, 1);
}

TEST_F(PruebaRedPrincipal, TerminarConexionEnPartidaLaDaPorPerdida) {
    Lado ana(QStringLiteral("Ana")), bea(QStringLiteral("Bea"));
    Conectar(ana, bea);
    EnPartida(ana);
    EnPartida(bea);
    ana.red.mnuJuegoTerminarConexion_Click();
    ASSERT_GE(cajas.mensajes().size(), 1);
    EXPECT_EQ(cajas.mensajes()[0].texto, QStringLiteral("Has cancelado la partida, has perdido."));
    EXPECT_EQ(cajas.mensajes()[0].titulo, QStringLiteral("Fin de partida"));
    EXPECT_TRUE(ana.paneles.historial.contains(QStringLiteral("Has perdido")));
    EXPECT_FALSE(ana.partida.blnEnPartida);
    EXPECT_FALSE(ana.dplay.blnConectado);
    EXPECT_TRUE(ana.ventana.menus[MenuJuego::Empezar]);
    EXPECT_FALSE(ana.ventana.menus[MenuJuego::TerminarConexion]);
    // Bea is told she won, then that Ana left; her match is over.
    ASSERT_TRUE(Esperar([&] { return bea.dplay.lngNumJugadores == 1; }));
    EXPECT_FALSE(bea.partida.blnEnPartida);
    EXPECT_EQ(cajas.Contar(QStringLiteral("Tu adversario ha cancelado la partida, ¡tú ganas!")), 1);
    EXPECT_EQ(cajas.Contar(QStringLiteral("'Ana' se ha desconectado. Se terminará la partida.")),
              1);
    EXPECT_TRUE(bea.paneles.historial.contains(QStringLiteral("Has ganado")));
}

TEST_F(PruebaRedPrincipal, LasEsperasDelComienzoAcabanSiElOtroSeVa) {
    Lado ana(QStringLiteral("Ana")), bea(QStringLiteral("Bea"));
    Conectar(ana, bea);
    ana.principal.PrepararBarcos(0);
    ana.ventana.menus[MenuJuego::TerminarPartida] = true;
    // Bea never reports her fleet: she leaves instead.
    QTimer::singleShot(50, [&] { bea.dplay.CerrarDPlay(); });
    EXPECT_FALSE(ana.red.blnEnviarFlotaYEsperar());
    EXPECT_FALSE(ana.partida.blnEnPartida);
    EXPECT_TRUE(ana.ventana.menus[MenuJuego::Empezar]);
    EXPECT_FALSE(ana.ventana.menus[MenuJuego::TerminarPartida]);
    EXPECT_EQ(cajas.Contar(QStringLiteral("'Bea' se ha desconectado. Se terminará la partida.")),
              1);

    // The joiner waiting for who starts is released the same way.
    Lado carla(QStringLiteral("Carla"));
    carla.Unirse();
    QTimer::singleShot(50, [&] {
        // Joining outside the host's start sequence: no word on who starts.
        EXPECT_TRUE(carla.Iniciar());
        QTimer::singleShot(50, [&] { ana.red.TerminarConexion(); });
        EXPECT_FALSE(carla.red.blnEsperarQuienEmpieza());
    });
    ASSERT_TRUE(Esperar(
        [&] { return carla.dplay.blnConectado && carla.dplay.lngNumJugadores <= 1; }, 8000));
    ASSERT_TRUE(Esperar([&] { return carla.ventana.menus[MenuJuego::Empezar]; }));
}

TEST_F(PruebaRedPrincipal, CerrarLaVentanaMientrasEsperaAcabaEnSeguida) {
    Lado ana(QStringLiteral("Ana"));
    ana.Crear();
    QElapsedTimer reloj;
    CuandoEspere(ana, [&] {
        reloj.start();
        ana.principal.blnCerrando = true; // what the window's close does first
        ana.red.AlCerrar();
    });
    EXPECT_FALSE(ana.Iniciar());
    EXPECT_LT(reloj.elapsed(), 1000);
    EXPECT_FALSE(ana.dplay.blnConectado);
    EXPECT_FALSE(ana.red.peer());
    EXPECT_TRUE(cajas.mensajes().isEmpty());
}

TEST_F(PruebaRedPrincipal, ElegirAlertasAbreLasOpcionesEnSuControl) {
    Lado ana(QStringLiteral("Ana"));
    ana.opciones.Opciones.blnAlertaSonido = true;
    ana.opciones.Opciones.blnAlertaMsgBox = true;
    ana.opciones.Opciones.blnAlertaHistorial = true;
    QStringList enfocados;
    auto mirar = [&] {
        QTimer::singleShot(50, [&] {
            auto* d = qobject_cast<FrmOpciones*>(QApplication::activeModalWidget());
            if (!d) {
                enfocados << QStringLiteral("ninguno");
                return;
            }
            QWidget* w = d->focusWidget();
            enfocados << (w ? w->objectName() : QStringLiteral("nada"));
            d->reject();
        });
    };
    mirar();
    ana.red.mnuAlertarElegirSonido_Click();
    mirar();
    ana.red.mnuAlertarElegirMensajeMsgBox_Click();
    mirar();
    ana.red.mnuAlertarElegirMensajeHistorial_Click();
    EXPECT_EQ(enfocados, (QStringList{QStringLiteral("txtAlertaSonido"),
                                      QStringLiteral("txtAlertaMensajeMsgBox"),
                                      QStringLiteral("txtAlertaMensajeHistorial")}));
}
