// Fair play over 127.0.0.1: the game (everything but its window) hosts,
// and a scripted peer joins and plays by the message texts, honestly or
// not. Each fleet travels as a commitment and is shown only at the end,
// where every answer of the peer is checked.
#include "core/compromiso.h"
#include "core/flota.h"
#include "mesa_en_red.h"

#include <gtest/gtest.h>

using namespace brumaria;
using namespace brumaria::prueba;

namespace {

using E = EstadoPreparacion;

const QByteArray kSal = QByteArray::fromHex("0f1e2d3c4b5a69788796a5b4c3d2e1f0");

// The fixed fleet of the tests (ayudas.h), the peer's as well as ours:
//      A B C D E F G H I J
//   1  # # # # . . . . . #
//   2  . . . . . . . . . #
//   3  # . . . . # . . . .
// ...
//  10  # . . . . . . # # #
Panel Mover(Panel p, int f0, int c0, int f1, int c1) {
    p[f0][c0] = CASILLA_AGUA;
    p[f1][c1] = CASILLA_BARCO;
    return p;
}

QStringList Revelacion(const Panel& flota, const QByteArray& sal) {
    QStringList r;
    for (int f = 0; f < kLado; ++f)
        for (int c = 0; c < kLado; ++c)
            if (flota[f][c] == CASILLA_BARCO) r << QStringLiteral("0;1;%1;%2").arg(f).arg(c);
    return r << QStringLiteral("0;6;") + QString::fromLatin1(sal.toHex());
}

// The game, hosting; its player starts and places the fixed fleet.
struct Juego : MesaEnRed {
    Juego() {
        dp.tiempos = TiemposCortos();
        m.vista.eleccion = {QuienEmpieza::Jugador, true, true};
        m.vista.alConectar = [this] {
            const bool ok = dp.HospedarSesion(QStringLiteral("Ana"), QStringLiteral("Mesa"),
                                              red::kGuidProveedorLocal) == red::DPN_OK;
            return ResultadoConexion{ok, QuienEmpieza::Jugador, QStringLiteral("Mesa")};
        };
        m.vista.alAbrirEditor = [this] {
            m.principal.intBarcosJugador = FlotaFija();
            m.preparacion.BarcosColocados();
        };
    }
};

// The other side, as a script: it says what it is told to and hears all.
struct Rival {
    Par par{QStringLiteral("Bea")};
    int intOidos = 0; // messages already looked at by Oir

    void Decir(const QString& t) { ASSERT_TRUE(par.peer.SendTo(red::DPNID_ALL_PLAYERS_GROUP, t)); }
    void Decir(const QStringList& l) {
        for (const QString& t : l)
            Decir(t);
    }
    QStringList Oido() const {
        QStringList r;
        for (const auto& d : par.registro.recibidos)
            r << d.strDatos;
        return r;
    }
    bool Oir(const QString& t) {
        return Esperar([&] { return Oido().indexOf(t, intOidos) >= 0; }) &&
               (intOidos = int(Oido().indexOf(t, intOidos)) + 1) > 0;
    }
};

struct Mesa2 {
    Barrido barrido;
    CarpetaTemporal carpeta;
    CarpetaEncuentros encuentros;
    GrabadorMensajes cajas;
    Juego juego;
    Rival rival;

    // The game hosts, the peer joins and commits to `flota`; the game's
    // player has the first shot.
    void Empezar(const Panel& flota) {
        juego.m.preparacion.EmpezarPartida();
        ASSERT_EQ(juego.m.preparacion.Estado(), E::EsperandoContrincante);
        red::DirectPlay8Peer& host = *juego.dp.oDPP();
        rival.par.peer.Connect(host.GetApplicationDesc(),
                               QStringLiteral("127.0.0.1:%1").arg(host.PuertoTcp()),
                               red::kGuidProveedorLocal);
        ASSERT_TRUE(rival.Oir(QStringLiteral("0;0;BarcosListos:Sí")));
        rival.Decir(QStringLiteral("0;5;") +
                    QString::fromLatin1(CompromisoFlota(flota, kSal).toHex()));
        rival.Decir(QStringLiteral("0;0;BarcosListos:Sí"));
        ASSERT_TRUE(Esperar([&] { return juego.m.partida.blnTurnoJugadorAtaque(); }));
    }
    // The player shoots; the peer answers `r`, and after a miss shoots B2,
    // water, which the player answers.
    void Disparo(int f, int c, int r) {
        juego.m.partida.TurnoJugador2(f, c);
        ASSERT_TRUE(rival.Oir(QStringLiteral("0;2;%1;%2").arg(f).arg(c)));
        rival.Decir(QStringLiteral("0;3;%1;%2;%3").arg(f).arg(c).arg(r));
        if (r == 0) {
            ASSERT_TRUE(Esperar(
                [&] { return juego.m.partida.Estado() == EstadoTurno::ContrincanteAtaca; }));
            rival.Decir(QStringLiteral("0;2;1;1"));
            ASSERT_TRUE(Esperar([&] { return juego.m.partida.blnEsperandoRespuesta(); }));
            juego.m.partida.cmdAgua_Click();
        }
        ASSERT_TRUE(Esperar([&] {
            return juego.m.partida.blnTurnoJugadorAtaque() || !juego.m.partida.blnEnPartida();
        }));
    }
    const QStringList& Historial() const { return juego.m.paneles.historial; }
};

const QString kLimpio = QStringLiteral(
    "Se han comprobado los barcos de tu contrincante: todas sus respuestas eran ciertas.");
const QString kTrampa = QStringLiteral("¡Tu CONTRINCANTE HA HECHO TRAMPA!");

TEST(JuegoLimpio, UnaPartidaHonradaNoEnsenaNingunaCasillaHastaElFinalYSeCompruebaLimpia) {
    Mesa2 t;
    t.Empezar(FlotaFija());
    // A peer that shows a fleet before the end is not heard.
    t.rival.Decir(Revelacion(Mover(FlotaFija(), 9, 0, 8, 0), kSal));
    // Every square of his fleet, answered truly: the ship of four, then the rest.
    Panel visto{};
    for (int f = 0; f < kLado && t.juego.m.partida.blnEnPartida(); ++f)
        for (int c = 0; c < kLado && t.juego.m.partida.blnEnPartida(); ++c)
            if (FlotaFija()[f][c] == CASILLA_BARCO) {
                visto[f][c] = 1;
                bool hundido = true;
                for (const auto& [df, dc] : {std::pair{0, 1}, {0, -1}, {1, 0}, {-1, 0}})
                    for (int i = f + df, j = c + dc;
                         blnCasillaValida(i, j) && FlotaFija()[i][j] == CASILLA_BARCO;
                         i += df, j += dc)
                        hundido = hundido && visto[i][j];
                t.Disparo(f, c, hundido ? 2 : 1);
            }
    EXPECT_EQ(t.cajas.Contar(QStringLiteral("¡Tu ganas!")), 1);
    // Our fleet: nothing of it before our end, then all of it and the salt,
    // which open the commitment we sent.
    ASSERT_TRUE(t.rival.Oir(QStringLiteral("0;0;FinDePartida:Sí")));
    ASSERT_TRUE(Esperar([&] { return t.rival.Oido().last().startsWith(u"0;6;"); }));
    const QStringList oido = t.rival.Oido();
    const qsizetype fin = oido.indexOf(QStringLiteral("0;0;FinDePartida:Sí"));
    for (qsizetype i = 0; i < fin; ++i)
        EXPECT_FALSE(oido[i].startsWith(u"0;1;")) << oido[i].toStdString();
    Panel nuestra{};
    for (const QString& t : oido.mid(fin + 1, kPiezasFlota))
        nuestra[t[4].digitValue()][t[6].digitValue()] = CASILLA_BARCO;
    EXPECT_EQ(nuestra, FlotaFija());
    const QString compromiso = *std::find_if(
        oido.begin(), oido.end(), [](const QString& t) { return t.startsWith(u"0;5;"); });
    EXPECT_EQ(QStringLiteral("0;5;") +
                  QString::fromLatin1(
                      CompromisoFlota(nuestra, QByteArray::fromHex(oido.last().mid(4).toLatin1()))
                          .toHex()),
              compromiso);

    // His end, his fleet (a square said twice counts once, none past a
    // fleet's 20 counts); then a second showing, which counts for nothing.
    t.rival.Decir(QStringLiteral("0;0;FinDePartida:Sí"));
    QStringList ensenada = Revelacion(FlotaFija(), kSal);
    ensenada.prepend(ensenada.first());
    ensenada.insert(ensenada.size() - 1, QStringLiteral("0;1;5;5")); // a 21st: beyond a fleet
    t.rival.Decir(ensenada);
    t.rival.Decir(Revelacion(Mover(FlotaFija(), 9, 0, 8, 0), kSal));
    t.rival.Decir(QStringLiteral("1;ya está"));
    ASSERT_TRUE(Esperar([&] { return t.juego.m.paneles.chat.size() == 1; }));
    EXPECT_EQ(t.Historial().count(kLimpio), 1);
    EXPECT_FALSE(t.Historial().contains(kTrampa));
    EXPECT_EQ(t.cajas.Contar(QStringLiteral("¡Tramposo!")), 0);
    // The solution shows what he showed.
    EXPECT_EQ(t.juego.m.principal.intBarcosOrdenador, FlotaFija());
}

struct Trampa {
    const char* historia;
    QList<std::array<int, 3>> disparos; // row, column, the peer's answer
    Panel prometida;                    // what he commits to
    Panel ensenada;                     // what he shows
    QString strFalta;                   // the first line the player reads
};

class Tramposo : public ::testing::TestWithParam<int> {};

TEST_P(Tramposo, SeLeCogeYSeDiceDondeMintio) {
    const Panel fija = FlotaFija();
    const Panel pegada = Mover(fija, 9, 0, 1, 0); // A2 touches the ship on row 1
    const Trampa filas[] = {
        {"Agua en un barco",
         {{0, 0, 0}},
         fija,
         fija,
         QStringLiteral("Tu contrincante mintió en A1: era Tocado, dijo Agua.")},
        {"otra flota que la prometida",
         {{0, 0, 1}},
         fija,
         Mover(fija, 9, 0, 8, 0),
         QStringLiteral("Los barcos que ha enseñado tu contrincante no son los que colocó al "
                        "empezar la partida.")},
        {"una flota imposible",
         {{0, 0, 1}},
         pegada,
         pegada,
         QStringLiteral("Los barcos que ha enseñado tu contrincante no forman una flota válida.")},
    };
    const Trampa& fila = filas[GetParam()];
    SCOPED_TRACE(fila.historia);
    Mesa2 t;
    t.Empezar(fila.prometida);
    for (const auto& [f, c, r] : fila.disparos)
        t.Disparo(f, c, r);
    // The player gives up and asks to see his fleet; it comes after his end.
    t.cajas.respuestaPorDefecto = Respuesta::Si;
    t.juego.m.preparacion.VerBarcos();
    EXPECT_EQ(t.juego.m.vista.intSoluciones, 0);
    ASSERT_TRUE(t.rival.Oir(QStringLiteral("0;0;FinDePartida:Sí")));
    t.rival.Decir(QStringLiteral("0;0;FinDePartida:Sí"));
    t.rival.Decir(Revelacion(fila.ensenada, kSal));
    ASSERT_TRUE(Esperar([&] { return t.Historial().contains(kTrampa); }));
    EXPECT_EQ(t.Historial().value(t.Historial().indexOf(kTrampa) - 1), fila.strFalta);
    ASSERT_EQ(
        t.cajas.Contar(fila.strFalta + QStringLiteral("\n\nTu contrincante ha hecho trampa.")), 1);
    const Mensaje& caja = t.cajas.mensajes().last();
    EXPECT_EQ(caja.titulo, QStringLiteral("¡Tramposo!"));
    EXPECT_EQ(caja.icono, Icono::Exclamacion);
    // Then the solution window, with what he showed.
    EXPECT_EQ(t.juego.m.vista.intSoluciones, 1);
    EXPECT_EQ(t.juego.m.principal.intBarcosOrdenador, fila.ensenada);
}

INSTANTIATE_TEST_SUITE_P(Filas, Tramposo, ::testing::Range(0, 3));

} // namespace
