// The set-up of a match step by step, with a recording window and network:
// against the computer with the editor open, and as the joiner of a session
// match after match.
#include "../core/ayudas.h"
#include "core/compromiso.h"
#include "fakes.h"
#include "grabador_mensajes.h"

#include <gtest/gtest.h>

using namespace brumaria;
using namespace brumaria::prueba;

namespace {

using E = EstadoPreparacion;

// The Game menu, as the menu table has it: Empezar, Terminar partida,
// Cancelar la espera, Ver los barcos, Terminar conexión (shown), Opciones,
// Alertar (enabled), and the busy pointer.
std::string Menus(const MenusJuego& m) {
    return QStringLiteral("%1%2%3%4%5 %6%7 %8")
        .arg(m.blnEmpezar)
        .arg(m.blnTerminarPartida)
        .arg(m.blnCancelarEspera)
        .arg(m.blnVerLosBarcosDelContrincante)
        .arg(m.blnTerminarConexion)
        .arg(m.blnOpciones)
        .arg(m.blnAlertar)
        .arg(m.blnOcupado)
        .toStdString();
}

// The other's commitment to his fleet, then his word that it is placed.
void FlotaDelRival(PreparacionPartida& p) {
    p.RecibirCompromiso(CompromisoFlota(FlotaFija(), QByteArray(kBytesSal, 's')));
    p.RecibirBarcosListos();
}

class Preparacion : public ::testing::Test {
protected:
    Semilla semilla{5};
    GrabadorMensajes cajas;
    Mesa m;
    PreparacionPartida& p = m.preparacion;
    QStringList& h = m.paneles.historial;

    // The joiner's dialog joins; `alUnirse` runs while it is still open.
    void Unirse(std::function<void()> alUnirse = {}) {
        m.vista.alConectar = [this, alUnirse] {
            m.red.blnHost = false;
            m.red.Fijar(EstadoConexion::Conectados);
            if (alUnirse) alUnirse();
            return ResultadoConexion{true, std::nullopt, QStringLiteral("Mesa")};
        };
    }
    void EmpezarEnRed(bool blnEmpieza = false) {
        m.vista.eleccion = {Quien(blnEmpieza), false, true};
        p.EmpezarPartida();
    }
    // The host creates his session choosing `quien` in the session dialog;
    // in later matches he leaves the new-game dialog's choice as it shows.
    void Crear(QuienEmpieza quien) {
        m.vista.alConectar = [this, quien] {
            m.red.blnHost = true;
            m.red.Fijar(EstadoConexion::Anfitrion);
            return ResultadoConexion{true, quien, QStringLiteral("Mesa")};
        };
        m.vista.blnQuienComoSeMuestra = true;
        EmpezarEnRed();
    }
    // What the host last told the other: "quien 1" when the other starts.
    QString UltimoQuien() const {
        const QStringList q = m.red.enviados.filter(QStringLiteral("quien "));
        return q.isEmpty() ? QString() : q.back();
    }
    // The history from the last match's start on.
    QStringList Bloque() const { return h.mid(h.lastIndexOf(QStringLiteral("EMPIEZA UNA PARTIDA"))); }
};

} // namespace

// Against the computer with the editor open: giving up to see the fleet
// closes the editor; "Terminar partida" is written as lost.
TEST_F(Preparacion, ContraElOrdenadorConElEditorAbierto) {
    m.vista.eleccion = {QuienEmpieza::Jugador, true, false};
    p.EmpezarPartida();
    EXPECT_EQ(p.Estado(), E::Colocando);
    EXPECT_EQ(Menus(m.vista.menus), "01010 10 0");
    EXPECT_EQ(h.mid(0, 3), (QStringList{QString(), QString(61, u'-'),
                                        QStringLiteral("EMPIEZA UNA PARTIDA")}));
    cajas.Responder(Respuesta::Si);
    p.VerBarcos();
    EXPECT_EQ(cajas.Contar(QStringLiteral("¡Yo gano!")), 1);
    EXPECT_EQ(m.vista.intSoluciones, 1);
    EXPECT_FALSE(m.vista.blnEditorAbierto);
    EXPECT_EQ(p.Estado(), E::Inactiva);
    EXPECT_EQ(Menus(m.vista.menus), "10000 10 0");
    EXPECT_TRUE(h.value(h.size() - 3).startsWith(QStringLiteral("Fin ")));

    p.EmpezarPartida();
    p.mnuJuegoTerminarPartida_Click();
    EXPECT_EQ(h.value(h.size() - 4), QStringLiteral("Has perdido"));
}

// The window closing: no match starts, nor does one whose computer fleet
// was being drawn when the close came.
TEST_F(Preparacion, AlCerrarLaVentanaNoEmpiezaNinguna) {
    m.vista.eleccion = {QuienEmpieza::Jugador, true, false};
    m.principal.blnCerrando = true;
    p.EmpezarPartida();
    EXPECT_EQ(p.Estado(), E::Inactiva);
    EXPECT_TRUE(h.isEmpty());
    m.principal.blnCerrando = false;
    m.principal.cederEventos = [this] { m.principal.blnCerrando = true; };
    p.EmpezarPartida();
    EXPECT_NE(p.Estado(), E::Colocando);
    EXPECT_FALSE(m.vista.blnEditorAbierto);
}

TEST_F(Preparacion, ElUnidoGuardaLaPalabraDelHostLlegueCuandoLlegue) {
    // During its session dialog, before it has closed.
    Unirse([this] { p.RecibirQuienEmpieza(true); });
    EmpezarEnRed();
    EXPECT_EQ(p.Estado(), E::EsperandoFlotaContraria);
    EXPECT_FALSE(m.vista.quienEnRed);
    EXPECT_EQ(h.count(QStringLiteral("Tú empiezas")), 1);
    EXPECT_GT(h.indexOf(QStringLiteral("Tú empiezas")), h.indexOf(QStringLiteral("Partida multijugador")));
    // A second word in the same match is not taken.
    p.RecibirQuienEmpieza(false);
    FlotaDelRival(p);
    EXPECT_TRUE(m.partida.blnTurnoJugadorAtaque());
    m.partida.FinDePartida();

    // Before this side starts its next match: kept, written in its block.
    p.RecibirQuienEmpieza(false);
    EXPECT_EQ(h.count(QStringLiteral("Tu contrincante empieza")), 0);
    EmpezarEnRed();
    EXPECT_EQ(h.count(QStringLiteral("Tu contrincante empieza")), 1);
    EXPECT_GT(h.lastIndexOf(QStringLiteral("Tu contrincante empieza")),
              h.lastIndexOf(QStringLiteral("EMPIEZA UNA PARTIDA")));
    FlotaDelRival(p);
    EXPECT_EQ(m.vista.estado[2], QStringLiteral("Su turno (tiene que atacar)"));
    m.partida.FinDePartida();

    // After both fleets: the joiner waits for it.
    EmpezarEnRed();
    FlotaDelRival(p);
    EXPECT_EQ(p.Estado(), E::EsperandoQuienEmpieza);
    p.RecibirQuienEmpieza(true);
    EXPECT_EQ(p.Estado(), E::EnPartida);
    EXPECT_TRUE(m.partida.blnTurnoJugadorAtaque());
}

// A commitment sent while a match is on belongs to no match: the next one
// is checked against the commitment made for it.
TEST_F(Preparacion, UnCompromisoEnMitadDeLaPartidaNoValeParaLaSiguiente) {
    const QByteArray sal(kBytesSal, 's');
    Unirse([this] { p.RecibirQuienEmpieza(true); });
    EmpezarEnRed();
    FlotaDelRival(p);
    ASSERT_EQ(p.Estado(), E::EnPartida);
    p.RecibirCompromiso(CompromisoFlota(FlotaFija(), QByteArray(kBytesSal, 'x')));
    m.partida.FinDePartida();
    p.RecibirQuienEmpieza(true);
    EmpezarEnRed();
    FlotaDelRival(p);
    ASSERT_EQ(p.Estado(), E::EnPartida);
    m.partida.FinDePartida();
    p.RecibirFinDePartida();
    JuegoLimpio& j = m.partida.juegoLimpio();
    for (int f = 0; f < kLado; ++f)
        for (int c = 0; c < kLado; ++c)
            if (FlotaFija()[f][c] == CASILLA_BARCO) j.RecibirCasilla(f, c);
    j.RecibirSal(sal);
    EXPECT_TRUE(h.contains(QStringLiteral(
        "Se han comprobado los barcos de tu contrincante: todas sus respuestas eran ciertas.")));
    EXPECT_FALSE(h.contains(QStringLiteral("¡Tu CONTRINCANTE HA HECHO TRAMPA!")));
}

TEST_F(Preparacion, UnFinDePartidaTardioNoDaPorAbandonadaLaSiguiente) {
    Unirse([this] { p.RecibirQuienEmpieza(true); });
    EmpezarEnRed();
    FlotaDelRival(p);
    // This side's first match ends before the host's word that his ended.
    m.partida.FinDePartida();
    p.RecibirQuienEmpieza(false); // not yet: the host's next match has not begun
    EmpezarEnRed();
    ASSERT_EQ(p.Estado(), E::EsperandoFlotaContraria);
    // The host's end of the first match, told late, then his next match.
    p.RecibirFinDePartida();
    EXPECT_EQ(p.Estado(), E::EsperandoFlotaContraria);
    EXPECT_EQ(cajas.Contar(QStringLiteral("Tu adversario ha cancelado la partida, ¡tú ganas!")), 0);
    p.RecibirQuienEmpieza(false);
    // He gives up this one: told, and back to idle.
    p.RecibirFinDePartida();
    EXPECT_EQ(cajas.Contar(QStringLiteral("Tu adversario ha cancelado la partida, ¡tú ganas!")), 1);
    EXPECT_TRUE(h.contains(QStringLiteral("Has ganado")));
    EXPECT_EQ(p.Estado(), E::Inactiva);
    EXPECT_EQ(m.red.enviados.back(), QStringLiteral("fin"));
}

// Leaving the session before the other's fleet was shown settles its check
// then, in the history; the next session's match does not inherit it.
TEST_F(Preparacion, DejarLaSesionNoDejaLaComprobacionParaLaSiguiente) {
    const QString kSinComprobar = QStringLiteral("Tu contrincante no ha enseñado sus barcos: no "
                                                 "se ha podido comprobar que sus respuestas "
                                                 "fueran ciertas.");
    Unirse([this] { p.RecibirQuienEmpieza(true); });
    EmpezarEnRed();
    FlotaDelRival(p);
    m.red.TerminarConexion();
    EXPECT_EQ(h.count(kSinComprobar), 1);
    Unirse([this] { p.RecibirQuienEmpieza(true); });
    EmpezarEnRed();
    FlotaDelRival(p);
    EXPECT_TRUE(m.partida.blnTurnoJugadorAtaque());
    EXPECT_EQ(h.count(kSinComprobar), 1);
    EXPECT_EQ(cajas.Contar(kSinComprobar), 0);
}

TEST_F(Preparacion, TrasCancelarLaEsperaSigueEmpezandoQuienEligioElHost) {
    Crear(QuienEmpieza::Contrincante);
    ASSERT_EQ(p.Estado(), E::EsperandoContrincante);
    p.CancelarEspera();
    for (int ronda = 1; ronda <= 6; ++ronda) {
        SCOPED_TRACE(ronda);
        // The same open session, created again: the dialog shows "Ordenador".
        EmpezarEnRed();
        EXPECT_EQ(m.vista.quienEnRed, std::optional(QuienEmpieza::Contrincante));
        ASSERT_EQ(p.Estado(), E::EsperandoContrincante);
        m.red.Fijar(EstadoConexion::Conectados);
        EXPECT_EQ(UltimoQuien(), QStringLiteral("quien 1"));
        EXPECT_TRUE(Bloque().contains(QStringLiteral("Tu contrincante empieza")));
        m.red.Fijar(EstadoConexion::RivalIdo); // he leaves; the host waits again
        EmpezarEnRed();
        p.CancelarEspera();
    }
}

TEST_F(Preparacion, LaEleccionDeLaSesionValeParaCadaPartidaHastaQueElHostLaCambia) {
    Crear(QuienEmpieza::Jugador);
    m.red.Fijar(EstadoConexion::Conectados);
    EXPECT_EQ(UltimoQuien(), QStringLiteral("quien 0"));
    for (int partida = 2; partida <= 3; ++partida) {
        SCOPED_TRACE(partida);
        p.RecibirFinDePartida(); // the other gives the match up
        ASSERT_EQ(p.Estado(), E::Inactiva);
        EmpezarEnRed();
        EXPECT_EQ(m.vista.quienEnRed, std::optional(QuienEmpieza::Jugador));
        EXPECT_EQ(UltimoQuien(), QStringLiteral("quien 0"));
        EXPECT_TRUE(Bloque().contains(QStringLiteral("Tú empiezas")));
        EXPECT_EQ(Bloque().value(3), QStringLiteral("Partida multijugador"));
    }
    // He changes it in the new-game dialog: it holds from then on.
    p.RecibirFinDePartida();
    m.vista.blnQuienComoSeMuestra = false;
    m.vista.eleccion.quienEmpieza = QuienEmpieza::Contrincante;
    p.EmpezarPartida();
    EXPECT_EQ(UltimoQuien(), QStringLiteral("quien 1"));
    p.RecibirFinDePartida();
    m.vista.blnQuienComoSeMuestra = true;
    EmpezarEnRed();
    EXPECT_EQ(m.vista.quienEnRed, std::optional(QuienEmpieza::Contrincante));
    EXPECT_EQ(UltimoQuien(), QStringLiteral("quien 1"));
}
