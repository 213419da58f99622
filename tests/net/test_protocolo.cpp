// The game's messages: a scripted peer speaking the wire format plays the
// protocol side of a whole match against ModDPlay and the turn cycle.
#include "../match/fakes.h"
#include "grabador_mensajes.h"
#include "net/marco.h"
#include "net/moddplay.h"
#include "red_prueba.h"

#include <QTcpSocket>
#include <gtest/gtest.h>

using namespace brumaria;
using namespace brumaria::prueba;

namespace {

// A fleet of 20 squares, no two ships touching.
const QList<std::pair<int, int>> kFlota = {{0, 0}, {0, 1}, {0, 2}, {0, 3}, {2, 0}, {2, 1}, {2, 2},
                                           {2, 5}, {2, 6}, {2, 7}, {4, 0}, {4, 1}, {4, 4}, {4, 5},
                                           {4, 8}, {4, 9}, {6, 0}, {6, 3}, {6, 6}, {8, 9}};

void PonerFlota(ModPrincipal& p) {
    p.LlenarPanel(0, CASILLA_AGUA);
    for (auto [f, c] : kFlota)
        p.blnEscribirCasilla(f, c, 0, CASILLA_BARCO);
    p.LlenarPanel(1, CASILLA_OCULTA);
    p.LlenarPanel(2, CASILLA_AGUA);
    p.LlenarPanel(3, CASILLA_OCULTA);
}

int Casillas(const ModPrincipal& p, int panel, std::int16_t valor) {
    int n = 0;
    for (int f = 0; f < kLado; ++f)
        for (int c = 0; c < kLado; ++c)
            n += p.intLeerCasilla(f, c, panel) == valor ? 1 : 0;
    return n;
}

// The main window's part: counts players and hands received text on.
struct Ventana : red::DirectPlay8Event {
    ModDPlay& dp;
    explicit Ventana(ModDPlay& d) : dp(d) {}
    void DirectPlay8Event_CreatePlayer(std::int32_t) override { ++dp.lngNumJugadores; }
    void DirectPlay8Event_DestroyPlayer(std::int32_t, std::int32_t) override {
        --dp.lngNumJugadores;
    }
    void DirectPlay8Event_Receive(const red::DPNMSG_RECEIVE& r) override {
        dp.DirectPlay8Event_Receive(r);
    }
};

// The other copy of the game, reduced to its bytes on the wire.
struct PeerGuion {
    QTcpSocket sock;
    red::DecodificadorMarcos dec;
    QStringList recibidos;

    bool Unirse(quint16 puerto, const QString& nombre) {
        sock.connectToHost(QHostAddress(QHostAddress::LocalHost), puerto);
        if (!sock.waitForConnected(3000)) return false;
        sock.write(red::CodificarMarco(red::TipoMarco::Hola,
                                       red::CodificarHola({ModDPlay::sGuid, QString(), nombre})));
        bool bienvenido = false;
        QObject::connect(&sock, &QTcpSocket::readyRead, [this, &bienvenido] {
            QList<red::Marco> marcos;
            dec.Anadir(sock.readAll(), marcos);
            for (const auto& m : marcos) {
                if (m.tipo == red::TipoMarco::Bienvenida)
                    bienvenido = true;
                else if (m.tipo == red::TipoMarco::Datos)
                    recibidos << QString::fromUtf8(m.cuerpo);
            }
        });
        return Esperar([&] { return bienvenido; });
    }
    void Enviar(const QString& s) {
        sock.write(red::CodificarMarco(red::TipoMarco::Datos, s.toUtf8()));
    }
    // Waits for the next message and takes it; empty when none came.
    QString Siguiente() {
        if (!Esperar([&] { return !recibidos.isEmpty(); }, 3000)) return QString();
        return recibidos.takeFirst();
    }
};

struct Partido : ::testing::Test {
    CarpetaEncuentros carpeta;
    GrabadorMensajes cajas;
    Mesa m;
    ModDPlay dp{m.principal, m.partida, m.opciones, m.cuadros, m.vista};
    Ventana ventana{dp};
    PeerGuion rival;

    void SetUp() override {
        m.opciones.Opciones = RegistroOpciones::PorDefecto();
        m.partida.blnJugarEnRed = true;
        m.partida.FijarEmisor(&dp);
        PonerFlota(m.principal);
        red::DirectPlay8Peer* p = dp.IniciarDPlay();
        p->RegisterMessageHandler(&ventana);
        p->SetPeerInfo(QStringLiteral("Ana"));
        dp.strNombreUsuario = QStringLiteral("Ana");
        ASSERT_EQ(p->Host(Sesion(QStringLiteral("Mesa")), red::kGuidProveedorLocal), red::DPN_OK);
        dp.blnEsHost = true;
        dp.blnConectado = true;
        ASSERT_TRUE(rival.Unirse(p->PuertoTcp(), QStringLiteral("Rival")));
        ASSERT_TRUE(Esperar([&] { return dp.lngNumJugadores == 2; }));
    }

    // Lets everything sent so far arrive and be handled.
    void Recibir(const QString& s) {
        const int antes = m.paneles.historial.size() + m.paneles.chat.size();
        rival.Enviar(s);
        rival.Enviar(QStringLiteral("1;·")); // a marker behind it
        ASSERT_TRUE(Esperar([&] {
            return m.paneles.chat.size() > 0 &&
                   m.paneles.chat.back() == QStringLiteral("<Rival> ·") &&
                   m.paneles.historial.size() + m.paneles.chat.size() > antes;
        }));
        m.paneles.chat.removeLast();
    }
    QStringList Historial() const { return m.paneles.historial; }
};

} // namespace

TEST_F(Partido, UnaPartidaEnteraContraUnPeerGuionizado) {
    // Who starts: the host tells the guest the opposite of its own choice.
    m.partida.blnEmpiezaJugador = true;
    dp.EnviarMensaje(QStringLiteral("0;0;blnEmpiezaJugador:False"));
    EXPECT_EQ(rival.Siguiente(), QStringLiteral("0;0;blnEmpiezaJugador:False"));
    Recibir(QStringLiteral("0;0;blnEmpiezaJugador:False")); // only the host says it
    EXPECT_TRUE(m.partida.blnEmpiezaJugador);
    EXPECT_FALSE(Historial().contains(QStringLiteral("Tu contrincante empieza")));

    // The peer's fleet arrives while this side is still placing, before
    // the start sequence clears the opponent's board.
    for (auto [f, c] : kFlota)
        rival.Enviar(QStringLiteral("0;1;%1;%2").arg(f).arg(c));
    rival.Enviar(QStringLiteral("0;1;9;9")); // a 21st square
    rival.Enviar(QStringLiteral("0;0;BarcosListos:Sí"));
    Recibir(QStringLiteral("2;Rival ha terminado de colocar sus barcos"));
    EXPECT_TRUE(m.partida.blnBarcosContrincanteListos);
    EXPECT_EQ(Casillas(m.principal, 2, CASILLA_BARCO), 20);
    EXPECT_EQ(m.principal.intLeerCasilla(9, 9, 2), CASILLA_AGUA);
    EXPECT_EQ(Historial().back(), QStringLiteral("Rival ha terminado de colocar sus barcos"));

    m.principal.LlenarPanel(2, CASILLA_AGUA); // the start sequence's clearing
    dp.EnviarBarcos();
    dp.EnviarMensaje(QStringLiteral("0;0;BarcosListos:Sí"));
    EXPECT_EQ(Casillas(m.principal, 2, CASILLA_BARCO), 20); // written again
    for (auto [f, c] : kFlota)
        ASSERT_EQ(rival.Siguiente(), QStringLiteral("0;1;%1;%2").arg(f).arg(c));
    EXPECT_EQ(rival.Siguiente(), QStringLiteral("0;0;BarcosListos:Sí"));

    m.partida.MostrarTurnoJugador(0);
    m.partida.TurnoJugador();
    m.partida.blnEnPartida = true;

    // Out of turn: an attack while this side attacks changes nothing.
    Recibir(QStringLiteral("0;2;5;5"));
    EXPECT_EQ(m.principal.intLeerCasilla(5, 5, 1), CASILLA_OCULTA);
    EXPECT_TRUE(m.partida.blnTurnoJugadorAtaque);

    // A hit: another shot. A stray and a repeated answer are ignored.
    m.partida.TurnoJugador2(0, 0);
    EXPECT_EQ(rival.Siguiente(), QStringLiteral("0;2;0;0"));
    Recibir(QStringLiteral("0;3;1;1;0"));
    EXPECT_EQ(m.principal.intLeerCasilla(1, 1, 3), CASILLA_OCULTA);
    Recibir(QStringLiteral("0;3;0;0;1"));
    EXPECT_EQ(m.principal.intLeerCasilla(0, 0, 3), CASILLA_BARCO);
    EXPECT_EQ(Historial().back(), QStringLiteral("Jugador\t\tA1\tTocado"));
    EXPECT_EQ(m.vista.estado[1], QStringLiteral("Su respuesta: Tocado"));
    EXPECT_TRUE(m.partida.blnTurnoJugadorAtaque);
    const int lineas = Historial().size();
    Recibir(QStringLiteral("0;3;0;0;1"));
    EXPECT_EQ(Historial().size(), lineas + 0);

    // Result 3: told, and the player chooses again.
    m.partida.TurnoJugador2(0, 0);
    EXPECT_EQ(rival.Siguiente(), QStringLiteral("0;2;0;0"));
    Recibir(QStringLiteral("0;3;7;7;3"));
    EXPECT_EQ(cajas.Contar(QStringLiteral("La casilla elegida ya está descubierta")), 1);
    EXPECT_EQ(cajas.mensajes().back().titulo, QStringLiteral("Error"));
    EXPECT_EQ(cajas.mensajes().back().icono, Icono::Critico);
    EXPECT_TRUE(m.partida.blnTurnoJugadorAtaque);
    EXPECT_FALSE(m.partida.blnEsperandoResultado());

    // A miss: the opponent's turn.
    m.partida.TurnoJugador2(9, 0);
    EXPECT_EQ(rival.Siguiente(), QStringLiteral("0;2;9;0"));
    Recibir(QStringLiteral("0;3;9;0;0"));
    EXPECT_EQ(m.principal.intLeerCasilla(9, 0, 3), CASILLA_AGUA);
    EXPECT_FALSE(m.partida.blnTurnoJugadorAtaque);
    EXPECT_EQ(m.vista.estado[2], QStringLiteral("Su turno (tiene que atacar)"));

    // The opponent hits; a second attack before the answer is ignored.
    Recibir(QStringLiteral("0;2;0;0"));
    EXPECT_TRUE(m.partida.blnEsperandoRespuesta());
    EXPECT_EQ(m.principal.intLeerCasilla(0, 0, 1), CASILLA_BARCO);
    Recibir(QStringLiteral("0;2;9;9"));
    EXPECT_EQ(m.principal.intLeerCasilla(9, 9, 1), CASILLA_OCULTA);
    EXPECT_EQ(m.principal.intFilaAtaque, 0);

    // A false answer is refused here and reported there.
    m.partida.cmdAgua_Click();
    EXPECT_EQ(cajas.Contar(QStringLiteral("Me parece que le quieres engañar...")), 1);
    EXPECT_EQ(rival.Siguiente(), QStringLiteral("2;Ay ay ay, tu adversario te quería engañar..."));
    m.partida.cmdTocado_Click();
    EXPECT_EQ(rival.Siguiente(), QStringLiteral("0;3;0;0;1"));

    // The attack that follows right after the answer; it hits an uncovered square.
    Recibir(QStringLiteral("0;2;0;0"));
    EXPECT_EQ(Historial().back(),
              QStringLiteral("El contrincante ha atacado en (A,1), esta casilla ya estaba "
                             "descubierta así que hay que esperar a que ataque de nuevo"));
    EXPECT_EQ(rival.Siguiente(), QStringLiteral("0;3;0;0;3"));
    EXPECT_FALSE(m.partida.blnEsperandoRespuesta());
    Recibir(QStringLiteral("0;2;9;9"));
    m.partida.cmdAgua_Click();
    EXPECT_EQ(rival.Siguiente(), QStringLiteral("0;3;9;9;0"));
    EXPECT_TRUE(m.partida.blnTurnoJugadorAtaque);

    // Alerts accepted.
    m.opciones.Opciones.blnAlertaSonido = true;
    m.opciones.Opciones.blnAlertaMsgBox = true;
    m.opciones.Opciones.blnAlertaHistorial = true;
    Recibir(QStringLiteral("0;4;0"));
    ASSERT_FALSE(m.vista.sonidos.isEmpty());
    EXPECT_EQ(m.vista.sonidos.back(), m.opciones.Opciones.strAlertaSonido);
    Recibir(QStringLiteral("0;4;1;<b>¡Eh!</b>; con ; y :"));
    EXPECT_EQ(cajas.mensajes().back().texto, QStringLiteral("<b>¡Eh!</b>; con ; y :"));
    EXPECT_EQ(cajas.mensajes().back().titulo, QStringLiteral("Alerta de tu adversario"));
    EXPECT_EQ(cajas.mensajes().back().icono, Icono::Exclamacion);
    Recibir(QStringLiteral("0;4;2;mira;aquí"));
    EXPECT_EQ(Historial().back(), QStringLiteral("ALERTA DE TU ADVERSARIO: mira;aquí"));
    Recibir(QStringLiteral("0;4;1;") + QString(5000, QChar(u'x')));
    EXPECT_EQ(cajas.mensajes().back().texto.size(), ModDPlay::kMaxTextoAlerta);

    // Alerts refused, and the peer's refusal of ours.
    m.opciones.Opciones.blnAlertaSonido = false;
    m.opciones.Opciones.blnAlertaMsgBox = false;
    m.opciones.Opciones.blnAlertaHistorial = false;
    const int cajasAntes = cajas.mensajes().size();
    for (const char* a : {"0;4;0", "0;4;1;hola", "0;4;2;hola"})
        rival.Enviar(QString::fromLatin1(a));
    EXPECT_EQ(rival.Siguiente(), QStringLiteral("0;4;9;0"));
    EXPECT_EQ(rival.Siguiente(), QStringLiteral("0;4;9;1"));
    EXPECT_EQ(rival.Siguiente(), QStringLiteral("0;4;9;2"));
    EXPECT_EQ(cajas.mensajes().size(), cajasAntes);
    Recibir(QStringLiteral("0;4;9;1"));
    EXPECT_EQ(Historial().back(),
              QStringLiteral("Rival no tiene activadas las alertas con cuadro de texto"));
    Recibir(QStringLiteral("0;4;9;0"));
    EXPECT_EQ(Historial().back(),
              QStringLiteral("Rival no tiene activadas las alertas con sonido"));
    Recibir(QStringLiteral("0;4;9;2"));
    EXPECT_EQ(Historial().back(),
              QStringLiteral("Rival no tiene activadas las alertas en el historial"));

    // Chat, empty and with separators; a line break cannot forge a line.
    Recibir(QStringLiteral("1;"));
    EXPECT_EQ(m.paneles.chat.back(), QStringLiteral("<Rival> "));
    Recibir(QStringLiteral("1;a;b:c\nHas ganado"));
    EXPECT_EQ(m.paneles.chat.back(), QStringLiteral("<Rival> a;b:c Has ganado"));

    // The opponent gives up: this side wins and says the match is over.
    Recibir(QStringLiteral("0;0;FinDePartida:Sí"));
    EXPECT_EQ(cajas.Contar(QStringLiteral("Tu adversario ha cancelado la partida, ¡tú ganas!")), 1);
    EXPECT_EQ(cajas.mensajes().back().titulo, QStringLiteral("Fin de partida"));
    EXPECT_EQ(cajas.mensajes().back().icono, Icono::Informacion);
    EXPECT_TRUE(Historial().contains(QStringLiteral("Has ganado")));
    EXPECT_FALSE(m.partida.blnEnPartida);
    EXPECT_EQ(rival.Siguiente(), QStringLiteral("0;0;FinDePartida:Sí"));
    // Outside a match it is ignored.
    Recibir(QStringLiteral("0;0;FinDePartida:Sí"));
    EXPECT_EQ(cajas.Contar(QStringLiteral("Tu adversario ha cancelado la partida, ¡tú ganas!")), 1);
    // Nor can a fleet be slipped in after the end (the solution shows it).
    Recibir(QStringLiteral("0;1;9;9"));
    EXPECT_EQ(m.principal.intLeerCasilla(9, 9, 2), CASILLA_AGUA);
    Pausa(20);
    EXPECT_TRUE(rival.recibidos.isEmpty());
}

TEST_F(Partido, LoQueNoEstaBienFormadoSeIgnora) {
    m.partida.MostrarTurnoContrincante(0);
    m.partida.blnEnPartida = true;
    const auto antes = m.principal.intDescubiertoJugador;
    for (const char* s : {"",
                          ";",
                          "0",
                          "0;",
                          "x;1",
                          "00;0;FinDePartida:Sí",
                          " 0;0;FinDePartida:Sí",
                          "-0;2;1;1",
                          "0;9;1",
                          "0;2;",
                          "0;2;1",
                          "0;2;10;1",
                          "0;2;1;10",
                          "0;2;a;b",
                          "0;2;1;1;",
                          "0;2;1,1",
                          "0;02;1;1",
                          "0;3;1;1",
                          "0;3;1;1;7",
                          "0;3;1;1;",
                          "0;4;",
                          "0;4;1",
                          "0;4;0;x",
                          "0;4;9;",
                          "0;4;9;12",
                          "0;0;FinDePartida",
                          "0;0;",
                          "0;1;",
                          "0;1;99",
                          "3;hola",
                          "9;9"}) {
        rival.Enviar(QString::fromLatin1(s));
    }
    Recibir(QStringLiteral("2;fin"));
    EXPECT_EQ(m.principal.intDescubiertoJugador, antes);
    EXPECT_EQ(Casillas(m.principal, 2, CASILLA_BARCO), 0);
    EXPECT_TRUE(cajas.mensajes().isEmpty());
    EXPECT_EQ(Historial(), QStringList{QStringLiteral("fin")});
    EXPECT_TRUE(m.partida.blnEnPartida);
    EXPECT_FALSE(m.partida.blnEsperandoRespuesta());
    Pausa(20);
    EXPECT_TRUE(rival.recibidos.isEmpty()); // nothing answered
}

TEST(Protocolo, UnAtaqueQueSeAdelantaAlInicioEsperaSuTurno) {
    GrabadorMensajes cajas;
    Mesa m;
    ModDPlay dp{m.principal, m.partida, m.opciones, m.cuadros, m.vista};
    QStringList salida;
    dp.FijarSalida([&](const QString& s) {
        salida << s;
        return true;
    });
    dp.lngNumJugadores = 2;
    m.partida.FijarEmisor(&dp);
    m.partida.blnJugarEnRed = true;
    PonerFlota(m.principal);

    // Too early for anything: no fleets yet.
    dp.RecibirMensaje(QStringLiteral("0;2;3;3"), QStringLiteral("Host"));
    EXPECT_EQ(dp.MensajesRetenidos(), 0);
    EXPECT_EQ(m.principal.intLeerCasilla(3, 3, 1), CASILLA_OCULTA);

    // The guest: who starts, both fleets, then the host's first shot
    // overtakes the end of this side's start sequence.
    dp.RecibirMensaje(QStringLiteral("0;0;blnEmpiezaJugador:False"), QStringLiteral("Host"));
    dp.RecibirMensaje(QStringLiteral("0;0;blnEmpiezaJugador:True"), QStringLiteral("Host"));
    EXPECT_FALSE(m.partida.blnEmpiezaJugador);
    EXPECT_EQ(m.paneles.historial, QStringList{QStringLiteral("Tu contrincante empieza")});
    for (int i = 0; i < 19; ++i)
        dp.RecibirMensaje(QStringLiteral("0;1;%1;%2").arg(kFlota[i].first).arg(kFlota[i].second),
                          QStringLiteral("Host"));
    dp.RecibirMensaje(QStringLiteral("0;0;BarcosListos:Sí"), QStringLiteral("Host"));
    EXPECT_FALSE(m.partida.blnBarcosContrincanteListos); // 19 squares are no fleet
    dp.RecibirMensaje(QStringLiteral("0;1;8;9"), QStringLiteral("Host"));
    dp.RecibirMensaje(QStringLiteral("0;0;BarcosListos:Sí"), QStringLiteral("Host"));
    EXPECT_TRUE(m.partida.blnBarcosContrincanteListos);
    dp.EnviarMensaje(QStringLiteral("0;0;BarcosListos:Sí"));

    dp.RecibirMensaje(QStringLiteral("0;2;3;3"), QStringLiteral("Host"));
    dp.RecibirMensaje(QStringLiteral("1;¿listo?"), QStringLiteral("Host"));
    EXPECT_EQ(dp.MensajesRetenidos(), 2);
    EXPECT_TRUE(m.paneles.chat.isEmpty()); // order is kept
    Pausa(30);
    EXPECT_EQ(dp.MensajesRetenidos(), 2);

    m.partida.MostrarTurnoContrincante(0);
    m.partida.TurnoOrdenador();
    m.partida.blnEnPartida = true;
    ASSERT_TRUE(Esperar([&] { return dp.MensajesRetenidos() == 0; }));
    EXPECT_TRUE(m.partida.blnEsperandoRespuesta());
    EXPECT_EQ(m.principal.intFilaAtaque, 3);
    EXPECT_EQ(m.paneles.chat, QStringList{QStringLiteral("<Host> ¿listo?")});
    EXPECT_EQ(m.vista.estado[2], QStringLiteral("Su turno (tienes que responder)"));

    // Nothing is sent with nobody there.
    dp.lngNumJugadores = 1;
    salida.clear();
    EXPECT_FALSE(dp.EnviarMensaje(QStringLiteral("1;hola")));
    EXPECT_TRUE(salida.isEmpty());
}

TEST(Protocolo, FueraDeUnaPartidaEnRedSoloLleganAlertasYChat) {
    GrabadorMensajes cajas;
    Mesa m;
    ModDPlay dp{m.principal, m.partida, m.opciones, m.cuadros, m.vista};
    dp.FijarSalida([](const QString&) { return true; });
    dp.lngNumJugadores = 2;
    m.opciones.Opciones.blnAlertaHistorial = true;
    PonerFlota(m.principal);
    // A match against the computer, the old connection still open.
    m.partida.blnJugarEnRed = false;
    m.partida.MostrarTurnoContrincante(0);
    m.partida.blnEnPartida = true;
    for (const char* s : {"0;0;FinDePartida:Sí", "0;2;0;0", "0;1;9;9", "0;3;0;0;1"})
        dp.RecibirMensaje(QString::fromLatin1(s), QStringLiteral("Rival"));
    EXPECT_TRUE(m.partida.blnEnPartida);
    EXPECT_TRUE(cajas.mensajes().isEmpty());
    EXPECT_EQ(m.principal.intLeerCasilla(0, 0, 1), CASILLA_OCULTA);
    EXPECT_EQ(m.principal.intLeerCasilla(9, 9, 2), CASILLA_AGUA);
    dp.RecibirMensaje(QStringLiteral("0;4;2;hola"), QStringLiteral("Rival"));
    dp.RecibirMensaje(QStringLiteral("1;qué tal"), QStringLiteral("Rival"));
    EXPECT_EQ(m.paneles.historial, QStringList{QStringLiteral("ALERTA DE TU ADVERSARIO: hola")});
    EXPECT_EQ(m.paneles.chat, QStringList{QStringLiteral("<Rival> qué tal")});
}
