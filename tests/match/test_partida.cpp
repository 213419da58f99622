// Whole matches against the computer, played by a scripted player through
// the recording window.
#include "fakes.h"

#include "core/azar.h"
#include "grabador_mensajes.h"

#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace brumaria;
using namespace brumaria::prueba;

namespace {

const QString kAtacar = QStringLiteral("Tu turno (tienes que atacar)");
const QString kPensando = QStringLiteral("Mi turno (pensando ataque...)");
const QString kResponder = QStringLiteral("Mi turno (tienes que responder)");

// A hidden square of the computer's board, chosen at random (or the first
// one of the wanted kind when `intQuiero` is 0 water / 1 ship).
std::pair<int, int> CasillaOculta(const ModPrincipal& p, int intQuiero = -1) {
    QList<std::pair<int, int>> libres;
    for (int f = 0; f < kLado; ++f)
        for (int c = 0; c < kLado; ++c)
            if (p.intLeerCasilla(f, c, 3) == CASILLA_OCULTA &&
                (intQuiero < 0 || p.intLeerCasilla(f, c, 2) == intQuiero))
                libres.append({f, c});
    if (libres.isEmpty()) return {-1, -1};
    return libres[Azar::intAleatorio(static_cast<int>(libres.size()))];
}

// The "Fin " line is stamped with the clock; accept the minute either side.
bool blnEsLineaFin(const QString& linea, const QDateTime& antes, const QDateTime& despues) {
    const QLocale loc = QLocale::system();
    return linea == QStringLiteral("Fin ") + loc.toString(antes, QLocale::ShortFormat) ||
           linea == QStringLiteral("Fin ") + loc.toString(despues, QLocale::ShortFormat);
}

struct Resumen {
    int intDisparosJugador = 0;
    int intDisparosOrdenador = 0;
    int intTrampasIntentadas = 0;
};

// Plays until the match ends. In every state checks the status text and
// what is enabled. `blnTramposo` tries both false answers before the truth;
// `intQuiereJugador` makes the player aim at water (0) or ships (1) first.
Resumen Jugar(Mesa& m, GrabadorMensajes& cajas, bool blnTramposo, int intQuiereJugador = -1) {
    Resumen r;
    int intVueltas = 0;
    while (m.partida.blnEnPartida()) {
        EXPECT_LT(++intVueltas, 400) << "the match does not end";
        if (intVueltas >= 400) break;
        if (m.vista.blnRespuestas) {
            EXPECT_EQ(m.vista.estado[2], kResponder);
            EXPECT_FALSE(m.partida.blnTurnoJugadorAtaque());
            if (m.vista.marcas.isEmpty()) {
                ADD_FAILURE() << "answer asked with no square marked";
                break;
            }
            const auto ultima = m.vista.marcas.back();
            EXPECT_EQ(ultima.intFila, m.principal.intFilaAtaque);
            EXPECT_EQ(ultima.intColumna, m.principal.intColumnaAtaque);
            EXPECT_FALSE(ultima.blnRespondido);

            const int intVerdad = intRespuestaVerdadera(m.principal);
            if (blnTramposo) {
                for (int intFalsa = 0; intFalsa < 3; ++intFalsa) {
                    if (intFalsa == intVerdad) continue;
                    const auto historial = m.paneles.historial;
                    const auto marcas = m.vista.marcas.size();
                    const auto panel1 = m.principal.intDescubiertoJugador;
                    cajas.Limpiar();
                    Responder(m.partida, intFalsa);
                    ++r.intTrampasIntentadas;
                    EXPECT_EQ(cajas.mensajes().size(), 1);
                    EXPECT_EQ(cajas.mensajes().value(0).titulo, QStringLiteral("¡Tramposo!"));
                    EXPECT_EQ(cajas.mensajes().value(0).texto,
                              QStringLiteral("Me parece que me quieres engañar..."));
                    EXPECT_EQ(cajas.mensajes().value(0).icono, Icono::Exclamacion);
                    EXPECT_TRUE(m.vista.blnRespuestas);
                    EXPECT_EQ(m.vista.estado[2], kResponder);
                    EXPECT_EQ(m.paneles.historial, historial);
                    EXPECT_EQ(m.vista.marcas.size(), marcas);
                    EXPECT_EQ(m.principal.intDescubiertoJugador, panel1);
                    EXPECT_TRUE(m.partida.blnEnPartida());
                }
            }
            cajas.Limpiar();
            const auto antes = m.paneles.historial.size();
            Responder(m.partida, intVerdad);
            EXPECT_EQ(cajas.Contar(QStringLiteral("Me parece que me quieres engañar...")), 0);
            ++r.intDisparosOrdenador;
            EXPECT_GT(m.paneles.historial.size(), antes);
            EXPECT_TRUE(m.vista.marcas.size() >= 1);
        } else if (m.partida.blnTurnoJugadorAtaque()) {
            EXPECT_EQ(m.vista.estado[2], kAtacar);
            auto [f, c] = CasillaOculta(m.principal, intQuiereJugador);
            if (f < 0) std::tie(f, c) = CasillaOculta(m.principal);
            m.partida.TurnoJugador2(f, c);
            ++r.intDisparosJugador;
        } else if (m.partida.tmrReloj.isActive()) {
            // The computer's pause: its shot shows up through the event loop.
            EXPECT_EQ(m.vista.estado[2], kPensando);
            EXPECT_FALSE(m.vista.blnRespuestas);
            EXPECT_TRUE(QTest::qWaitFor([&] { return !m.partida.tmrReloj.isActive(); }, 5000));
        } else {
            ADD_FAILURE() << "stuck: neither answering nor attacking, status "
                          << m.vista.estado[2].toStdString();
            break;
        }
    }
    return r;
}

// The shot lines of a history, in order, split into (who, square, answer).
QList<QStringList> LineasDeDisparo(const QStringList& historial) {
    QList<QStringList> lineas;
    for (const QString& l : historial) {
        if (l.startsWith(QStringLiteral("Jugador\t\t"))) {
            const QStringList p = l.split(QLatin1Char('\t'));
            lineas.append({p.value(0), p.value(2), p.value(3)});
        } else if (l.startsWith(QStringLiteral("Ordenador\t"))) {
            lineas.append(l.split(QLatin1Char('\t')));
        }
    }
    return lineas;
}

class PartidaContraOrdenador : public ::testing::TestWithParam<int> {
protected:
    void TearDown() override { Azar::Liberar(); }
};

TEST_P(PartidaContraOrdenador, UnJugadorHonestoJuegaHastaElFinal) {
    const int semilla = GetParam();
    Azar::FijarDeterminista(static_cast<std::uint64_t>(semilla));
    GrabadorMensajes cajas;
    Mesa m;
    m.opciones.Opciones.blnTiempoRespuesta = false;
    m.opciones.Opciones.intTiempoRespuesta = 1000; // ignored while the switch is off
    m.opciones.Opciones.intMetodoAtaque = static_cast<std::int16_t>(semilla % 4);
    m.opciones.Opciones.blnSonidosAgua = true;
    m.opciones.Opciones.strSonidoAgua = QStringLiteral("agua.wav");
    m.opciones.Opciones.blnSonidosHundido = true;
    m.opciones.Opciones.strSonidoHundido = QStringLiteral("hundido.wav");

    const QDateTime antes = QDateTime::currentDateTime();
    m.Empezar(semilla % 2 == 0, false);
    EXPECT_TRUE(m.partida.blnEnPartida());
    EXPECT_TRUE(m.vista.menus.blnTerminarPartida);
    EXPECT_FALSE(m.vista.menus.blnEmpezar);
    EXPECT_TRUE(m.vista.menus.blnVerLosBarcosDelContrincante);
    EXPECT_EQ(m.vista.panelesMostrados.mid(0, 2), (QList<int>{0, 3}));

    const Resumen r = Jugar(m, cajas, false);
    const QDateTime despues = QDateTime::currentDateTime();

    EXPECT_FALSE(m.partida.blnEnPartida());
    EXPECT_FALSE(m.partida.blnTurnoJugadorAtaque());
    EXPECT_FALSE(m.vista.blnRespuestas);
    EXPECT_FALSE(m.vista.blnTeclado);
    EXPECT_TRUE(m.vista.estado[1].isEmpty());
    EXPECT_TRUE(m.vista.estado[2].isEmpty());
    EXPECT_TRUE(m.vista.menus.blnEmpezar);
    EXPECT_FALSE(m.vista.menus.blnTerminarPartida);
    EXPECT_FALSE(m.vista.menus.blnVerLosBarcosDelContrincante);
    EXPECT_GE(m.vista.intNegritaQuitada, 1);
    EXPECT_EQ(cajas.Contar(QStringLiteral("¡Tramposo!")), 0);

    const int intGana = m.principal.intTerminarPartida();
    ASSERT_NE(intGana, 0);
    const bool blnGanaJugador = intGana == 1;
    EXPECT_EQ(cajas.Contar(QStringLiteral("¡Tu ganas!")), blnGanaJugador ? 1 : 0);
    EXPECT_EQ(cajas.Contar(QStringLiteral("¡Yo gano!")), blnGanaJugador ? 0 : 1);

    // The loser's whole fleet went down, counted by length.
    const auto& h = m.vista.hundidos[blnGanaJugador ? 0 : 1];
    EXPECT_EQ(h[1], 4);
    EXPECT_EQ(h[2], 3);
    EXPECT_EQ(h[3], 2);
    EXPECT_EQ(h[4], 1);

    // History: shot lines match the shots, turns alternate by the rules,
    // then the result, "Fin ..." and two empty lines.
    const QStringList& hist = m.paneles.historial;
    ASSERT_GE(hist.size(), 4);
    EXPECT_EQ(hist[hist.size() - 4], blnGanaJugador
                                         ? QStringLiteral("¡El JUGADOR GANA la partida!")
                                         : QStringLiteral("¡El ORDENADOR GANA la partida!"));
    EXPECT_TRUE(blnEsLineaFin(hist[hist.size() - 3], antes, despues))
        << hist[hist.size() - 3].toStdString();
    EXPECT_EQ(hist[hist.size() - 2], QString());
    EXPECT_EQ(hist[hist.size() - 1], QString());

    const auto disparos = LineasDeDisparo(hist);
    EXPECT_EQ(disparos.size(), r.intDisparosJugador + r.intDisparosOrdenador);
    const QRegularExpression casilla(QStringLiteral("^[A-J]([1-9]|10)$"));
    int intAguas = 0;
    int intHundidos = 0;
    for (int i = 0; i < disparos.size(); ++i) {
        const QStringList& d = disparos[i];
        ASSERT_EQ(d.size(), 3);
        EXPECT_TRUE(casilla.match(d[1]).hasMatch()) << d[1].toStdString();
        EXPECT_TRUE(d[2] == QStringLiteral("Agua") || d[2] == QStringLiteral("Tocado") ||
                    d[2] == QStringLiteral("Hundido"));
        intAguas += d[2] == QStringLiteral("Agua") ? 1 : 0;
        intHundidos += d[2] == QStringLiteral("Hundido") ? 1 : 0;
        if (i + 1 < disparos.size()) {
            // A hit or a sinking keeps the turn; water passes it.
            const bool blnSigue = d[2] != QStringLiteral("Agua");
            EXPECT_EQ(disparos[i + 1][0] == d[0], blnSigue) << "after line " << i;
        }
    }
    // Sounds for both sides' shots; the hit sound is off.
    EXPECT_EQ(m.vista.sonidos.count(QStringLiteral("agua.wav")), intAguas);
    EXPECT_EQ(m.vista.sonidos.count(QStringLiteral("hundido.wav")), intHundidos);
    EXPECT_EQ(m.vista.sonidos.size(), intAguas + intHundidos);
    int intContados = 0;
    for (const auto& lado : m.vista.hundidos)
        for (int n : lado)
            intContados += n;
    EXPECT_EQ(intContados, intHundidos);
}

INSTANTIATE_TEST_SUITE_P(Semillas, PartidaContraOrdenador, ::testing::Values(1, 2, 3, 4, 5, 6));

TEST(PartidaContraOrdenador, CadaRespuestaFalsaSeRechazaYLaVerdaderaSeAcepta) {
    for (std::uint64_t semilla : {11u, 12u}) {
        Azar::FijarDeterminista(semilla);
        GrabadorMensajes cajas;
        Mesa m;
        m.Empezar(false, false);
        const Resumen r = Jugar(m, cajas, true);
        EXPECT_FALSE(m.partida.blnEnPartida());
        EXPECT_EQ(r.intTrampasIntentadas, 2 * r.intDisparosOrdenador);
        EXPECT_GT(r.intDisparosOrdenador, 0);
    }
    Azar::Liberar();
}

TEST(PartidaContraOrdenador, TextosYLineasDeCadaEstado) {
    Azar::FijarDeterminista(21);
    GrabadorMensajes cajas;
    Mesa m;
    m.opciones.Opciones.intMetodoAtaque = 3;
    m.Empezar(true, false);

    // A: the player attacks, the typed input is open with the focus in it.
    EXPECT_EQ(m.vista.estado[2], kAtacar);
    EXPECT_TRUE(m.partida.blnTurnoJugadorAtaque());
    EXPECT_TRUE(m.vista.blnTeclado);
    EXPECT_FALSE(m.vista.blnRespuestas);
    EXPECT_GE(m.vista.intEnfoques, 1);

    // A hit keeps the turn.
    const auto [fb, cb] = CasillaOculta(m.principal, CASILLA_BARCO);
    m.partida.TurnoJugador2(fb, cb);
    const int intRes = m.principal.intLeerCasilla(fb, cb - 1, 2) == CASILLA_BARCO ||
                               m.principal.intLeerCasilla(fb, cb + 1, 2) == CASILLA_BARCO ||
                               m.principal.intLeerCasilla(fb - 1, cb, 2) == CASILLA_BARCO ||
                               m.principal.intLeerCasilla(fb + 1, cb, 2) == CASILLA_BARCO
                           ? 1
                           : 2;
    const QString strRes = intRes == 1 ? QStringLiteral("Tocado") : QStringLiteral("Hundido");
    EXPECT_EQ(m.vista.estado[1], QStringLiteral("Mi respuesta: ") + strRes);
    EXPECT_EQ(m.paneles.historial.back(),
              QStringLiteral("Jugador\t\t") + strCasilla(fb, cb) + QStringLiteral("\t") + strRes);
    EXPECT_EQ(m.vista.estado[2], kAtacar);
    EXPECT_TRUE(m.partida.blnTurnoJugadorAtaque());
    EXPECT_EQ(m.vista.hundidos[0][1], intRes == 2 ? 1 : 0);

    // The same square again: the core's error box, still attacking, boxes emptied.
    cajas.Limpiar();
    const int intVaciados = m.vista.intVaciados;
    const auto historial = m.paneles.historial;
    m.partida.TurnoJugador2(fb, cb);
    EXPECT_EQ(cajas.Contar(QStringLiteral("La casilla elegida ya está descubierta")), 1);
    EXPECT_EQ(m.vista.estado[2], kAtacar);
    EXPECT_TRUE(m.partida.blnTurnoJugadorAtaque());
    EXPECT_TRUE(m.vista.blnTeclado);
    EXPECT_GT(m.vista.intVaciados, intVaciados);
    EXPECT_EQ(m.paneles.historial, historial);

    // Water passes the turn: the computer shoots at once and waits for the answer.
    const auto [fa, ca] = CasillaOculta(m.principal, CASILLA_AGUA);
    m.vista.marcas.clear();
    m.partida.TurnoJugador2(fa, ca);
    EXPECT_EQ(m.paneles.historial.back(),
              QStringLiteral("Jugador\t\t") + strCasilla(fa, ca) + QStringLiteral("\tAgua"));
    EXPECT_EQ(m.vista.estado[1], QStringLiteral("Mi respuesta: Agua"));
    // D: the player answers; nothing typed may be sent meanwhile.
    EXPECT_EQ(m.vista.estado[2], kResponder);
    EXPECT_TRUE(m.vista.blnRespuestas);
    EXPECT_FALSE(m.vista.blnTeclado);
    EXPECT_FALSE(m.partida.blnTurnoJugadorAtaque());
    ASSERT_EQ(m.vista.marcas.size(), 1);
    const int f = m.principal.intFilaAtaque;
    const int c = m.principal.intColumnaAtaque;
    EXPECT_EQ(m.vista.marcas[0].intFila, f);
    EXPECT_EQ(m.vista.marcas[0].intColumna, c);
    EXPECT_FALSE(m.vista.marcas[0].blnRespondido);

    // A shot attempted out of turn is not fired.
    const auto panel3 = m.principal.intDescubiertoOrdenador;
    m.partida.TurnoJugador2(0, 0);
    EXPECT_EQ(m.principal.intDescubiertoOrdenador, panel3);

    const int intVerdad = intRespuestaVerdadera(m.principal);
    const QString strVerdad = QStringList{QStringLiteral("Agua"), QStringLiteral("Tocado"),
                                          QStringLiteral("Hundido")}[intVerdad];
    Responder(m.partida, intVerdad);
    EXPECT_EQ(m.vista.marcas[1].blnRespondido, true);
    EXPECT_EQ(m.vista.marcas[1].intFila, f);
    EXPECT_EQ(m.vista.estado[1], QStringLiteral("Tu respuesta: ") + strVerdad);
    const QString strLinea =
        QStringLiteral("Ordenador\t") + strCasilla(f, c) + QStringLiteral("\t") + strVerdad;
    EXPECT_EQ(m.paneles.historial.back(), strLinea);
    if (intVerdad == 0) {
        EXPECT_EQ(m.vista.estado[2], kAtacar);
        EXPECT_TRUE(m.partida.blnTurnoJugadorAtaque());
    } else {
        // The computer shoots again: marked and waiting for the next answer.
        EXPECT_EQ(m.vista.estado[2], kResponder);
        EXPECT_EQ(m.vista.marcas.size(), 3);
    }

    // A second click on an answer already taken changes nothing.
    const auto hist = m.paneles.historial;
    if (intVerdad == 0) {
        Responder(m.partida, 0);
        EXPECT_EQ(m.paneles.historial, hist);
    }
    Azar::Liberar();
}

TEST(PartidaContraOrdenador, ElOrdenadorGanaYOfreceLaSolucion) {
    for (const Respuesta respuesta : {Respuesta::Si, Respuesta::No}) {
        // Aim at water so the computer gets every chance to win.
        bool blnVisto = false;
        for (std::uint64_t semilla = 31; semilla < 41 && !blnVisto; ++semilla) {
            Azar::FijarDeterminista(semilla);
            GrabadorMensajes cajas;
            cajas.Responder(respuesta);
            Mesa m;
            m.Empezar(false, false);
            Jugar(m, cajas, false, CASILLA_AGUA);
            if (m.principal.intTerminarPartida() != 2) continue;
            blnVisto = true;
            const auto& cs = cajas.mensajes();
            ASSERT_EQ(cs.size(), 2);
            EXPECT_EQ(cs[0].texto, QStringLiteral("¡Yo gano!"));
            EXPECT_EQ(cs[0].titulo, kTituloPrograma);
            EXPECT_EQ(cs[0].icono, Icono::Informacion);
            EXPECT_EQ(cs[1].texto, QStringLiteral("¿Quieres ver dónde estaban mis barcos?"));
            EXPECT_EQ(cs[1].titulo, QStringLiteral("Solución"));
            EXPECT_EQ(cs[1].icono, Icono::Pregunta);
            EXPECT_EQ(cs[1].botones, Botones::SiNo);
            EXPECT_EQ(m.vista.intSoluciones, respuesta == Respuesta::Si ? 1 : 0);
            const QStringList& h = m.paneles.historial;
            EXPECT_EQ(h[h.size() - 4], QStringLiteral("¡El ORDENADOR GANA la partida!"));
            EXPECT_TRUE(h[h.size() - 3].startsWith(QStringLiteral("Fin ")));
        }
        EXPECT_TRUE(blnVisto) << "no seed let the computer win";
    }
    Azar::Liberar();
}

TEST(PartidaContraOrdenador, ElJugadorGana) {
    Azar::FijarDeterminista(51);
    GrabadorMensajes cajas;
    Mesa m;
    m.Empezar(true, false);
    Jugar(m, cajas, false, CASILLA_BARCO); // twenty hits in a row
    ASSERT_EQ(m.principal.intTerminarPartida(), 1);
    ASSERT_EQ(cajas.mensajes().size(), 1);
    EXPECT_EQ(cajas.mensajes()[0].texto, QStringLiteral("¡Tu ganas!"));
    EXPECT_EQ(cajas.mensajes()[0].titulo, kTituloPrograma);
    EXPECT_EQ(cajas.mensajes()[0].icono, Icono::Informacion);
    EXPECT_EQ(m.vista.intSoluciones, 0);
    const QStringList& h = m.paneles.historial;
    // The opening block, twenty hits, the result and the end.
    ASSERT_EQ(h.size(), 28);
    EXPECT_EQ(h[2], QStringLiteral("EMPIEZA UNA PARTIDA"));
    EXPECT_EQ(h[24], QStringLiteral("¡El JUGADOR GANA la partida!"));
    EXPECT_TRUE(h[25].startsWith(QStringLiteral("Fin ")));
    EXPECT_EQ(m.vista.hundidos[0][4], 1);
    Azar::Liberar();
}

TEST(PartidaContraOrdenador, VerBarcosNoDejaLaPartidaYSiLaTermina) {
    Azar::FijarDeterminista(61);
    GrabadorMensajes cajas;
    Mesa m;
    m.Empezar(false, false);
    const auto estado = m.vista.estado;
    const auto historial = m.paneles.historial;
    const auto marcas = m.vista.marcas.size();

    cajas.Responder(Respuesta::No);
    m.preparacion.VerBarcos();
    ASSERT_EQ(cajas.mensajes().size(), 1);
    EXPECT_EQ(cajas.mensajes()[0].texto,
              QStringLiteral("Si ves los barcos del adversario se terminará la partida y "
                             "perderás. ¿Quieres continuar?"));
    EXPECT_EQ(cajas.mensajes()[0].titulo, QStringLiteral("Atención"));
    EXPECT_EQ(cajas.mensajes()[0].icono, Icono::Pregunta);
    EXPECT_EQ(cajas.mensajes()[0].botones, Botones::SiNo);
    EXPECT_TRUE(m.partida.blnEnPartida());
    EXPECT_TRUE(m.vista.blnRespuestas);
    EXPECT_EQ(m.vista.estado, estado);
    EXPECT_EQ(m.paneles.historial, historial);
    EXPECT_EQ(m.vista.marcas.size(), marcas);
    EXPECT_EQ(m.vista.intSoluciones, 0);

    cajas.Limpiar();
    cajas.Responder(Respuesta::Si);
    m.vista.eventos.clear();
    m.preparacion.VerBarcos();
    ASSERT_EQ(cajas.mensajes().size(), 2);
    EXPECT_EQ(cajas.mensajes()[1].texto, QStringLiteral("¡Yo gano!"));
    EXPECT_EQ(cajas.mensajes()[1].titulo, kTituloPrograma);
    EXPECT_EQ(cajas.mensajes()[1].icono, Icono::Informacion);
    EXPECT_EQ(m.vista.intSoluciones, 1);
    EXPECT_EQ(m.vista.eventos.back(), QStringLiteral("MostrarSolucion"));
    EXPECT_FALSE(m.partida.blnEnPartida());
    EXPECT_FALSE(m.vista.blnRespuestas);
    EXPECT_TRUE(m.vista.estado[2].isEmpty());
    EXPECT_TRUE(m.vista.menus.blnEmpezar);
    const QStringList& h = m.paneles.historial;
    ASSERT_EQ(h.size(), historial.size() + 3);
    EXPECT_TRUE(h[h.size() - 3].startsWith(QStringLiteral("Fin ")));
    Azar::Liberar();
}

// A match against the computer whose shots are shown after a pause.
class PausaDelOrdenador : public ::testing::Test {
protected:
    ~PausaDelOrdenador() override { Azar::Liberar(); }
    void Armar(std::uint64_t semilla, int ms) {
        Azar::FijarDeterminista(semilla);
        m.opciones.Opciones.blnTiempoRespuesta = true;
        m.opciones.Opciones.intTiempoRespuesta = ms;
    }
    GrabadorMensajes cajas;
    Mesa m;
};

TEST_F(PausaDelOrdenador, ElDisparoApareceTrasLaPausa) {
    Armar(71, 20);
    m.Empezar(false, false);

    // The choice is made, its display waits; nothing can be answered yet.
    EXPECT_TRUE(m.partida.tmrReloj.isActive());
    EXPECT_TRUE(m.partida.tmrReloj.isSingleShot());
    EXPECT_EQ(m.vista.estado[2], kPensando);
    EXPECT_FALSE(m.vista.blnRespuestas);
    EXPECT_TRUE(m.vista.marcas.isEmpty());

    ASSERT_TRUE(QTest::qWaitFor([&] { return !m.vista.marcas.isEmpty(); }, 5000));
    EXPECT_EQ(m.vista.marcas.size(), 1);
    EXPECT_EQ(m.vista.estado[2], kResponder);
    EXPECT_TRUE(m.vista.blnRespuestas);
    EXPECT_FALSE(m.partida.tmrReloj.isActive());

    // Play on: every later computer shot waits for the timer too.
    m.opciones.Opciones.intTiempoRespuesta = 1;
    Jugar(m, cajas, false);
    EXPECT_FALSE(m.partida.blnEnPartida());
}

TEST_F(PausaDelOrdenador, UnParpadeoNoDesarmaLaPausa) {
    Armar(72, 30);
    m.opciones.Opciones.blnVerChat = false;
    // The window blinks with its own timer and waits on the event loop.
    m.paneles.alParpadear = [](int, int intVeces) {
        for (int i = 0; i < intVeces; ++i)
            Pausa(15);
    };
    m.Empezar(false, false);
    ASSERT_TRUE(m.partida.tmrReloj.isActive());

    m.cuadros.EscribirEnChat(QStringLiteral("hola"));
    EXPECT_EQ(m.paneles.estado[3], QStringLiteral("Te están escribiendo al chat"));
    ASSERT_EQ(m.paneles.parpadeos.size(), 1);

    ASSERT_TRUE(QTest::qWaitFor([&] { return !m.vista.marcas.isEmpty(); }, 5000));
    EXPECT_EQ(m.vista.marcas.size(), 1);
    EXPECT_TRUE(m.vista.blnRespuestas);
}

TEST_F(PausaDelOrdenador, TerminarDuranteLaPausaNoMuestraElDisparo) {
    Armar(73, 10);
    m.Empezar(false, false);
    ASSERT_TRUE(m.partida.tmrReloj.isActive());
    m.partida.FinDePartida();
    EXPECT_FALSE(m.partida.tmrReloj.isActive());
    QTest::qWait(40);
    EXPECT_TRUE(m.vista.marcas.isEmpty());
    EXPECT_FALSE(m.vista.blnRespuestas);
    // And an answer click after the end does nothing.
    const auto h = m.paneles.historial;
    m.partida.cmdAgua_Click();
    m.partida.cmdTocado_Click();
    m.partida.cmdHundido_Click();
    EXPECT_EQ(m.paneles.historial, h);
    EXPECT_EQ(cajas.mensajes().size(), 0);
}

TEST(PartidaContraOrdenador, FlotaColocadaPorElJugadorSeRespeta) {
    Azar::FijarDeterminista(81);
    Mesa m;
    m.principal.PrepararBarcos(0);
    const Panel flota = m.principal.intBarcosJugador;
    Azar::FijarDeterminista(82);
    m.Empezar(true, true);
    EXPECT_EQ(m.principal.intBarcosJugador, flota);
    for (int f = 0; f < kLado; ++f)
        for (int c = 0; c < kLado; ++c) {
            EXPECT_EQ(m.principal.intLeerCasilla(f, c, 1), CASILLA_OCULTA);
            EXPECT_EQ(m.principal.intLeerCasilla(f, c, 3), CASILLA_OCULTA);
        }
    Azar::Liberar();
}

} // namespace
