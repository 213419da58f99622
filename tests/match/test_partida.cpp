// The turn cycle through the recording window: every false answer refused
// against the computer, and in a network match the player's shot and the
// peer's answer. (The window's trace test plays a whole match step
// by step.)
#include "../core/ayudas.h"
#include "core/azar.h"
#include "core/compromiso.h"
#include "fakes.h"
#include "grabador_mensajes.h"

#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>

using namespace brumaria;
using namespace brumaria::prueba;

namespace {

const QString kAtacar = QStringLiteral("Tu turno (tienes que atacar)");
const QString kPensando = QStringLiteral("Mi turno (pensando ataque...)");
const QString kResponder = QStringLiteral("Mi turno (tienes que responder)");

// A hidden square of the computer's board, chosen at random.
std::pair<int, int> CasillaOculta(const ModPrincipal& p) {
    QList<std::pair<int, int>> libres;
    for (int f = 0; f < kLado; ++f)
        for (int c = 0; c < kLado; ++c)
            if (p.intLeerCasilla(f, c, 3) == CASILLA_OCULTA) libres.append({f, c});
    return libres[Azar::intAleatorio(static_cast<int>(libres.size()))];
}

// The sound an answer of each kind plays: its file when that sound is on.
QStringList Sonido(const RegistroOpciones& o, int intResultado) {
    const std::pair<bool, QString> sonidos[] = {{o.blnSonidosAgua, o.strSonidoAgua},
                                                {o.blnSonidosBarco, o.strSonidoBarco},
                                                {o.blnSonidosHundido, o.strSonidoHundido}};
    const auto& [blnSi, strArchivo] = sonidos[intResultado];
    return blnSi ? QStringList{strArchivo} : QStringList{};
}

// What the history says of the player's last shot: 0 water, 1 hit, 2 sunk.
int ResultadoDelJugador(const QStringList& historial) {
    for (auto l = historial.crbegin(); l != historial.crend(); ++l)
        if (l->startsWith(QStringLiteral("Jugador\t")))
            return l->endsWith(QStringLiteral("Agua")) ? 0 : l->endsWith(QStringLiteral("Tocado")) ? 1 : 2;
    return -1;
}

// Plays until the match ends, trying both false answers before the truth
// each time. Returns the false answers tried.
int Jugar(Mesa& m, GrabadorMensajes& cajas) {
    int intTrampas = 0;
    for (int intVueltas = 0; m.partida.blnEnPartida(); ++intVueltas) {
        if (intVueltas >= 400) {
            ADD_FAILURE() << "the match does not end";
            break;
        }
        if (m.vista.blnRespuestas) {
            EXPECT_EQ(m.vista.estado[2], kResponder);
            const int intVerdad = intRespuestaVerdadera(m.principal);
            m.vista.sonidos.clear();
            for (int intFalsa = 0; intFalsa < 3; ++intFalsa) {
                if (intFalsa == intVerdad) continue;
                const auto historial = m.paneles.historial;
                const auto panel = m.principal.intDescubiertoJugador;
                cajas.Limpiar();
                Responder(m.partida, intFalsa);
                ++intTrampas;
                EXPECT_EQ(cajas.mensajes().size(), 1);
                EXPECT_EQ(cajas.mensajes().value(0).titulo, QStringLiteral("¡Tramposo!"));
                EXPECT_EQ(cajas.mensajes().value(0).texto,
                          QStringLiteral("Me parece que me quieres engañar..."));
                EXPECT_TRUE(m.vista.blnRespuestas);
                EXPECT_EQ(m.paneles.historial, historial);
                EXPECT_EQ(m.principal.intDescubiertoJugador, panel);
            }
            EXPECT_TRUE(m.vista.sonidos.isEmpty()); // a refused answer plays nothing
            cajas.Limpiar();
            const int fa = m.principal.intFilaAtaque, ca = m.principal.intColumnaAtaque;
            Responder(m.partida, intVerdad);
            EXPECT_TRUE(std::any_of(m.vista.marcas.begin(), m.vista.marcas.end(), [&](const auto& x) {
                return x.intFila == fa && x.intColumna == ca && x.blnRespondido;
            })) << "the answered shot is drawn as answered";
            EXPECT_EQ(m.vista.sonidos, Sonido(m.opciones.Opciones, intVerdad));
            if (m.partida.blnEnPartida()) {
                EXPECT_TRUE(cajas.mensajes().isEmpty());
            }
            // A sunk ship is done with: the computer hunts, at most, around the
            // shot it has just fired (a hit shoots again), not around that ship.
            const ModPrincipal& p = m.principal;
            if (intVerdad == 2 && p.blnPersiguiendo) {
                EXPECT_EQ(std::pair(p.intFilaTocado, p.intColumnaTocado),
                          std::pair(p.intFilaAtaque, p.intColumnaAtaque));
            }
        } else if (m.partida.blnTurnoJugadorAtaque()) {
            EXPECT_EQ(m.vista.estado[2], kAtacar);
            const auto [f, c] = CasillaOculta(m.principal);
            m.vista.sonidos.clear();
            m.partida.TurnoJugador2(f, c);
            EXPECT_EQ(m.vista.sonidos,
                      Sonido(m.opciones.Opciones, ResultadoDelJugador(m.paneles.historial)));
        } else if (m.partida.tmrReloj.isActive()) {
            EXPECT_EQ(m.vista.estado[2], kPensando);
            EXPECT_TRUE(QTest::qWaitFor([&] { return !m.partida.tmrReloj.isActive(); }, 5000));
        } else {
            ADD_FAILURE() << "stuck, status " << m.vista.estado[2].toStdString();
            break;
        }
    }
    return intTrampas;
}

struct ContraOrdenador : ::testing::Test {
    ~ContraOrdenador() override { Azar::Liberar(); }
    GrabadorMensajes cajas;
    Mesa m;
};

// With a network session left open: the other player hears nothing of it.
TEST_F(ContraOrdenador, CadaRespuestaFalsaSeRechazaYLaVerdaderaSeAcepta) {
    Azar::FijarDeterminista(11);
    m.red.estado = EstadoConexion::Conectados;
    RegistroOpciones& o = m.opciones.Opciones;
    o.blnSonidosAgua = o.blnSonidosHundido = true;
    o.strSonidoAgua = QStringLiteral("agua.wav");
    o.strSonidoBarco = QStringLiteral("barco.wav"); // off: a hit plays nothing
    o.strSonidoHundido = QStringLiteral("hundido.wav");
    m.Empezar(false);
    EXPECT_GT(Jugar(m, cajas), 0);
    EXPECT_FALSE(m.partida.blnEnPartida());
    EXPECT_EQ(m.red.enviados, QStringList());
}

// Given up while the computer is thinking its shot: that shot never comes.
TEST_F(ContraOrdenador, RendirseMientrasPiensaNoDejaDisparoTrasElFinal) {
    Azar::FijarDeterminista(5);
    m.opciones.Opciones.blnTiempoRespuesta = true;
    m.opciones.Opciones.intTiempoRespuesta = 300;
    m.Empezar(true);
    const auto [f, c] = CasillaOculta(m.principal);
    m.partida.TurnoJugador2(f, c);
    ASSERT_EQ(m.principal.intLeerCasilla(f, c, 3), CASILLA_AGUA); // a miss: his turn
    ASSERT_TRUE(m.partida.tmrReloj.isActive());
    cajas.respuestaPorDefecto = Respuesta::Si;
    m.preparacion.mnuJuegoTerminarPartida_Click();
    ASSERT_FALSE(m.partida.blnEnPartida());
    QTest::qWait(m.partida.tmrReloj.interval() + 100);
    EXPECT_TRUE(m.vista.marcas.isEmpty());
    EXPECT_FALSE(m.vista.blnRespuestas);
}

// Attacking by keyboard, given up on his own turn: the box to type in goes.
TEST_F(ContraOrdenador, RendirseEnSuTurnoCierraLaEntradaPorTeclado) {
    m.opciones.Opciones.intMetodoAtaque = 3;
    m.Empezar(true);
    ASSERT_TRUE(m.vista.blnTeclado);
    cajas.respuestaPorDefecto = Respuesta::Si;
    m.preparacion.mnuJuegoTerminarPartida_Click();
    EXPECT_FALSE(m.vista.blnTeclado);
}

// Only the first 1000 answers of a match are kept for the check: a lie as
// the 1000th is caught, one past them is not looked at.
TEST(JuegoLimpio, SeCompruebanLasPrimeras1000Respuestas) {
    const QByteArray sal(kBytesSal, 's');
    for (const int intVerdades : {999, 1000}) {
        SCOPED_TRACE(intVerdades);
        GrabadorMensajes cajas;
        Mesa m;
        JuegoLimpio& j = m.partida.juegoLimpio();
        j.Empezar(CompromisoFlota(FlotaFija(), sal));
        j.AnotarRespuesta(0, 4, 0); // E1, water; then shot again and again
        for (int i = 1; i < intVerdades; ++i)
            j.AnotarRespuesta(0, 4, 3);
        j.AnotarRespuesta(0, 0, 0);     // A1, a ship, said to be water
        j.RivalTermino();
        for (int f = 0; f < kLado; ++f)
            for (int c = 0; c < kLado; ++c)
                if (FlotaFija()[f][c] == CASILLA_BARCO) j.RecibirCasilla(f, c);
        j.RecibirSal(sal);
        j.PartidaTerminada();
        EXPECT_EQ(m.paneles.historial.contains(QStringLiteral("¡Tu CONTRINCANTE HA HECHO TRAMPA!")),
                  intVerdades < 1000);
    }
}

// A network match set up by the host, both fleets the fixed one: ships of
// two at E5-F5 and single ships at A10, F3, J7 and F8 among them.
void EmpezarEnRed(Mesa& m, bool blnEmpiezaJugador) {
    m.red.estado = EstadoConexion::Conectados;
    m.red.blnHost = true;
    m.vista.eleccion = {Quien(blnEmpiezaJugador), true, true};
    m.vista.alAbrirEditor = [&m] {
        m.principal.intBarcosJugador = FlotaFija();
        m.preparacion.BarcosColocados();
    };
    m.preparacion.EmpezarPartida();
    ASSERT_EQ(m.preparacion.Estado(), EstadoPreparacion::EsperandoFlotaContraria);
    m.preparacion.RecibirCompromiso(CompromisoFlota(FlotaFija(), QByteArray(kBytesSal, 's')));
    m.preparacion.RecibirBarcosListos();
    ASSERT_EQ(m.preparacion.Estado(), EstadoPreparacion::EnPartida);
    m.red.enviados.clear();
    m.paneles.historial.clear();
}

TEST(PartidaEnRed, ElDisparoDelJugadorSeEnviaYSuRespuestaSeAplica) {
    GrabadorMensajes cajas;
    Mesa m;
    EmpezarEnRed(m, true);
    EXPECT_EQ(m.vista.estado[2], QStringLiteral("Tu turno (tienes que atacar)"));

    // Row 5, column C: indices 4 and 2, not validated locally.
    m.partida.TurnoJugador2(4, 2);
    EXPECT_EQ(m.red.enviados, QStringList{QStringLiteral("ataque 4 2")});
    EXPECT_EQ(m.vista.estado[2], QStringLiteral("Tu turno (esperas respuesta)"));
    EXPECT_FALSE(m.partida.blnTurnoJugadorAtaque());
    EXPECT_TRUE(m.paneles.historial.isEmpty());

    // An answer naming another square is not ours.
    m.partida.RecibirRespuesta(4, 3, 0);
    m.partida.RecibirRespuesta(5, 2, 0);
    EXPECT_EQ(m.vista.estado[2], QStringLiteral("Tu turno (esperas respuesta)"));

    // The peer answers Agua: the turn passes and nothing is chosen locally.
    const Panel panel1 = m.principal.intDescubiertoJugador;
    m.partida.RecibirRespuesta(4, 2, 0);
    EXPECT_EQ(m.vista.estado[1], QStringLiteral("Su respuesta: Agua"));
    EXPECT_EQ(m.paneles.historial.back(), QStringLiteral("Jugador\t\tC5\tAgua"));
    EXPECT_EQ(m.principal.intLeerCasilla(4, 2, 3), CASILLA_AGUA);
    EXPECT_EQ(m.vista.estado[2], QStringLiteral("Su turno (tiene que atacar)"));
    EXPECT_EQ(m.principal.intDescubiertoJugador, panel1);
    EXPECT_TRUE(m.vista.marcas.isEmpty());
    EXPECT_FALSE(m.partida.tmrReloj.isActive());
    EXPECT_EQ(m.red.enviados.size(), 1);
    // An attack on water gives the turn back.
    m.partida.RecibirAtaque(5, 5);
    m.partida.cmdAgua_Click();
    // The same square again, at his next turn: he is told so ("3", naming
    // the attack taken last) and must attack again.
    m.partida.TurnoJugador2(0, 0);
    m.partida.RecibirRespuesta(0, 0, 0);
    m.red.enviados.clear();
    m.partida.RecibirAtaque(5, 5);
    EXPECT_EQ(m.red.enviados, QStringList{QStringLiteral("respuesta 5 5 3")});
    EXPECT_FALSE(m.vista.blnRespuestas);
    m.partida.RecibirAtaque(6, 6);
    ASSERT_TRUE(m.vista.blnRespuestas);
    m.partida.cmdAgua_Click();

    // Twenty pieces, each answered "Hundido" (drawn as a ship like
    // "Tocado"): the player wins on the peer's word alone, his fleet still
    // a secret.
    cajas.Limpiar();
    EXPECT_EQ(Contar(m.principal.intBarcosOrdenador, CASILLA_BARCO), 0);
    for (int f = 0; f < kLado && m.partida.blnEnPartida(); ++f)
        for (int c = 0; c < kLado && m.partida.blnEnPartida(); ++c)
            if (FlotaFija()[f][c] == CASILLA_BARCO) {
                m.partida.TurnoJugador2(f, c);
                m.partida.RecibirRespuesta(f, c, 2);
            }
    EXPECT_EQ(cajas.Contar(QStringLiteral("¡Tu ganas!")), 1);
    EXPECT_EQ(m.principal.intLeerCasilla(9, 0, 3), CASILLA_BARCO); // A10, sunk
    EXPECT_EQ(m.red.enviados.mid(m.red.enviados.size() - 2),
              (QStringList{QStringLiteral("fin"), QStringLiteral("revelacion 20 16")}));
    EXPECT_FALSE(m.partida.blnEnPartida());
    EXPECT_EQ(m.preparacion.Estado(), EstadoPreparacion::Inactiva);
    EXPECT_TRUE(m.vista.menus.blnEmpezar);
    EXPECT_EQ(m.paneles.historial.value(m.paneles.historial.size() - 4),
              QStringLiteral("¡El JUGADOR GANA la partida!"));

    // Messages that come after the end change nothing and answer nothing.
    const ModPrincipal antes = m.principal;
    const QStringList enviados = m.red.enviados;
    cajas.Limpiar();
    m.partida.RecibirAtaque(0, 0);
    m.partida.RecibirRespuesta(9, 9, 1); // the last square shot
    m.partida.RecibirRespuesta(9, 9, 3);
    m.preparacion.RecibirCompromiso(CompromisoFlota(FlotaFija(), QByteArray(kBytesSal, 's')));
    m.preparacion.RecibirBarcosListos();
    m.preparacion.RecibirFinDePartida();
    EXPECT_EQ(m.principal.intDescubiertoJugador, antes.intDescubiertoJugador);
    EXPECT_EQ(m.principal.intDescubiertoOrdenador, antes.intDescubiertoOrdenador);
    EXPECT_EQ(m.red.enviados, enviados);
    EXPECT_TRUE(cajas.mensajes().isEmpty());
    EXPECT_EQ(m.preparacion.Estado(), EstadoPreparacion::Inactiva);
    EXPECT_FALSE(m.partida.blnEnPartida());
}

} // namespace
