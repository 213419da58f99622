// The set-up as complete tables: every move of the machine, the Game menu
// of every pair of set-up and connection states, and leaving a match in
// every state it can be left in.
#include "../core/ayudas.h"
#include "core/compromiso.h"
#include "fakes.h"
#include "grabador_mensajes.h"

#include <gtest/gtest.h>
#include <memory>

using namespace brumaria;
using namespace brumaria::prueba;

namespace {

using E = EstadoPreparacion;
using V = EventoPreparacion;
using C = EstadoConexion;

// One letter per state, in the order of EstadoPreparacion.
constexpr char kLetras[] = "iekwcfqpx";

char Letra(E e) { return kLetras[static_cast<int>(e)]; }

} // namespace

// One row per state, one column per event, in this order:
//   Empezar ContraOrdenador Conectar SesionSinRival SesionConRival LlegaRival
//   FlotaColocada FlotaContrariaLista QuienEmpiezaSabido Cancelar RivalSeVa
//   ConexionTerminada FinDePartida Cerrar
// '.' leaves the state as it is; 'Q' is EnPartida once this side knows who
// starts and EsperandoQuienEmpieza before. The other player and the
// connection steer only a network match.
TEST(TablaPreparacion, CadaEstadoAnteCadaEvento) {
    struct Fila {
        E estado;
        const char* sinRed;
        const char* enRed;
    };
    const Fila tabla[] = {
        {E::Inactiva, "e............x", "e............x"},
        {E::Eligiendo, ".ckwc....i...x", ".ckwc....i...x"},
        {E::Conectando, "...wc....i...x", "...wc....i...x"},
        {E::EsperandoContrincante, ".....c...i.iix", ".....c...i.iix"},
        {E::Colocando, "......p..i..ix", "......f..iiiix"},
        {E::EsperandoFlotaContraria, ".......Q.iiiix", ".......Q.iiiix"},
        {E::EsperandoQuienEmpieza, "........piiiix", "........piiiix"},
        {E::EnPartida, "............ix", "..........iiix"},
        {E::Cerrando, "xxxxxxxxxxxxxx", "xxxxxxxxxxxxxx"},
    };
    for (const Fila& f : tabla)
        for (bool blnRed : {false, true})
            for (bool blnSabido : {false, true}) {
                std::string esperado = blnRed ? f.enRed : f.sinRed;
                ASSERT_EQ(esperado.size(), 14u);
                std::string visto;
                for (int v = 0; v < 14; ++v) {
                    char& e = esperado[v];
                    if (e == '.') e = Letra(f.estado);
                    if (e == 'Q') e = blnSabido ? 'p' : 'q';
                    visto += Letra(SiguienteEstado(f.estado, static_cast<V>(v), blnRed, blnSabido));
                }
                EXPECT_EQ(visto, esperado) << NombreEstado(f.estado) << (blnRed ? ", en red" : "")
                                           << (blnSabido ? ", sabe quién empieza" : "");
            }
}

// Each cell: Empezar, Terminar partida, Cancelar la espera, Ver los barcos,
// Terminar conexión (shown), Opciones, Alertar (enabled), busy pointer; one
// cell per connection state: SinConexion Buscando Uniendo Anfitrion
// Conectados RivalIdo.
TEST(TablaPreparacion, MenusDeCadaEstadoYConexion) {
    const char* const kPreparada = "01010100 01010100 01010100 01011100 01011110 01011100";
    const std::pair<E, const char*> tabla[] = {
        {E::Inactiva, "10000100 10000100 10000100 10001100 10001110 10001100"},
        {E::Eligiendo, "00000100 00000100 00000100 00001100 00001110 00001100"},
        {E::Conectando, "00000100 00000100 00000100 00000100 00000110 00000100"},
        {E::EsperandoContrincante, "00100001 00100001 00100001 00100001 00100011 00100001"},
        {E::Colocando, kPreparada},
        {E::EsperandoFlotaContraria, kPreparada},
        {E::EsperandoQuienEmpieza, kPreparada},
        {E::EnPartida, kPreparada},
        {E::Cerrando, "00000100 00000100 00000100 00001100 00001110 00001100"},
    };
    for (const auto& [p, fila] : tabla) {
        std::string visto;
        for (int c = 0; c <= static_cast<int>(C::RivalIdo); ++c) {
            const MenusJuego m = CalcularMenus(p, static_cast<C>(c));
            for (bool b : {m.blnEmpezar, m.blnTerminarPartida, m.blnCancelarEspera,
                           m.blnVerLosBarcosDelContrincante, m.blnTerminarConexion, m.blnOpciones,
                           m.blnAlertar, m.blnOcupado})
                visto += b ? '1' : '0';
            visto += ' ';
        }
        visto.pop_back();
        EXPECT_EQ(visto, fila) << NombreEstado(p);
    }
}

namespace {

// How the match is left: a step of the set-up, or (none) the other's
// connection drops.
using Salida = void (PreparacionPartida::*)();
constexpr Salida kTerminar = &PreparacionPartida::mnuJuegoTerminarPartida_Click;
constexpr Salida kDesconectar = &PreparacionPartida::mnuJuegoTerminarConexion_Click;
constexpr Salida kCancelar = &PreparacionPartida::CancelarEspera;
constexpr Salida kAbandona = &PreparacionPartida::RecibirFinDePartida;
constexpr Salida kSeVa = nullptr;

struct Abandono {
    const char* historia;
    E estado;     // where the set-up is when it is left
    bool blnRed;  // a network match (this side joins, or hosts when waiting)
    Salida salida;
    const char* caja;   // the box the player sees, "" none
    const char* envia;  // a message it sends, "" when it sends none
    C caida = C::RivalIdo; // where the connection goes, when it is what ends it
};

void PrintTo(const Abandono& a, std::ostream* os) { *os << a.historia; }

class Dejar : public ::testing::TestWithParam<Abandono> {
protected:
    Semilla semilla{9};
    GrabadorMensajes cajas;
    Mesa m;

    void Llevar(E destino, bool blnRed) {
        m.vista.eleccion = {QuienEmpieza::Jugador, true, blnRed};
        m.vista.alConectar = [this, destino] {
            m.red.blnHost = destino == E::EsperandoContrincante;
            m.red.Fijar(m.red.blnHost ? C::Anfitrion : C::Conectados);
            const auto quien = m.red.blnHost ? std::optional(QuienEmpieza::Jugador) : std::nullopt;
            return ResultadoConexion{true, quien, QStringLiteral("Mesa")};
        };
        m.preparacion.EmpezarPartida();
        if (m.preparacion.Estado() == destino) return;
        m.principal.intBarcosJugador = FlotaFija();
        m.vista.blnEditorAbierto = false;
        m.preparacion.BarcosColocados();
        if (m.preparacion.Estado() == destino) return;
        m.preparacion.RecibirCompromiso(CompromisoFlota(FlotaFija(), QByteArray(kBytesSal, 's')));
        m.preparacion.RecibirBarcosListos();
        if (m.preparacion.Estado() == destino) return;
        m.preparacion.RecibirQuienEmpieza(true);
    }
};

} // namespace

TEST_P(Dejar, LaPreparacionVuelveAInactivaYSePuedeEmpezarOtra) {
    const Abandono& a = GetParam();
    Llevar(a.estado, a.blnRed);
    ASSERT_EQ(m.preparacion.Estado(), a.estado);
    // The other side's history hears that this one is placing its fleet.
    EXPECT_EQ(m.red.enviados.contains(QStringLiteral("historial Ana está colocando sus barcos")),
              a.blnRed && a.estado != E::EsperandoContrincante)
        << m.red.enviados.join(u',').toStdString();
    EXPECT_EQ(m.paneles.historial.contains(QStringLiteral("Esperando al contrincante...")),
              a.estado == E::EsperandoContrincante);
    const int intEnviados = m.red.enviados.size();
    cajas.respuestaPorDefecto = Respuesta::Si;
    if (a.salida)
        (m.preparacion.*a.salida)();
    else
        m.red.Fijar(a.caida);
    EXPECT_EQ(m.preparacion.Estado(), E::Inactiva);
    EXPECT_FALSE(m.partida.blnEnPartida());
    EXPECT_FALSE(m.vista.blnEditorAbierto);
    EXPECT_TRUE(m.vista.menus.blnEmpezar);
    m.preparacion.BarcosColocados(); // a late report of the fleet belongs to nothing
    EXPECT_EQ(m.preparacion.Estado(), E::Inactiva);
    QStringList textos;
    for (const Mensaje& msg : cajas.mensajes())
        textos << msg.texto;
    EXPECT_EQ(textos.join(QLatin1Char('|')).toStdString(), a.caja);
    const QStringList nuevos = m.red.enviados.mid(intEnviados);
    if (*a.envia)
        EXPECT_TRUE(nuevos.contains(QString::fromUtf8(a.envia))) << nuevos.join(u',').toStdString();
    else
        EXPECT_TRUE(nuevos.isEmpty()) << nuevos.join(u',').toStdString();
    // Clicks queued behind the end give nothing up a second time.
    const QStringList historial = m.paneles.historial;
    const auto intCajas = cajas.mensajes().size();
    const auto intTodos = m.red.enviados.size();
    m.preparacion.mnuJuegoTerminarPartida_Click();
    m.preparacion.VerBarcos();
    EXPECT_EQ(m.paneles.historial, historial);
    EXPECT_EQ(cajas.mensajes().size(), intCajas);
    EXPECT_EQ(m.red.enviados.size(), intTodos);
}

namespace {
const char kPierdes[] = "Has cancelado la partida, has perdido.";
const char kGanas[] = "Tu adversario ha cancelado la partida, ¡tú ganas!";
const char kSinComprobar[] = "Tu contrincante no ha enseñado sus barcos: no se ha podido "
                             "comprobar que sus respuestas fueran ciertas.";

// "Flota": waiting for the other's fleet; "Quien": for the host's word on
// who starts.
const Abandono kAbandonos[] = {
    {"ColocandoContraOrdenador", E::Colocando, false, kTerminar, kPierdes, ""},
    {"JugandoContraOrdenador", E::EnPartida, false, kTerminar, kPierdes, ""},
    {"HostCancelaLaEspera", E::EsperandoContrincante, true, kCancelar, "", ""},
    {"HostDesconectaEsperando", E::EsperandoContrincante, true, kDesconectar, "", "terminar"},
    {"ColocandoEnRed", E::Colocando, true, kTerminar, kPierdes, "fin"},
    {"Flota", E::EsperandoFlotaContraria, true, kTerminar, kPierdes, "fin"},
    {"Quien", E::EsperandoQuienEmpieza, true, kTerminar, kPierdes, "fin"},
    {"JugandoEnRed", E::EnPartida, true, kTerminar, kPierdes, "fin"},
    {"FlotaYDesconecta", E::EsperandoFlotaContraria, true, kDesconectar, kPierdes, "terminar"},
    {"ColocandoElOtroAbandona", E::Colocando, true, kAbandona, kGanas, "fin"},
    {"FlotaElOtroAbandona", E::EsperandoFlotaContraria, true, kAbandona, kGanas, "fin"},
    {"QuienElOtroSeVa", E::EsperandoQuienEmpieza, true, kSeVa, "", ""},
    {"JugandoEnRedElOtroSeVa", E::EnPartida, true, kSeVa, kSinComprobar, ""},
    // The joiner's session itself gone, the host with it.
    {"FlotaSinSesion", E::EsperandoFlotaContraria, true, kSeVa, "", "", C::SinConexion},
    {"JugandoEnRedSinSesion", E::EnPartida, true, kSeVa, "", "", C::SinConexion},
};
} // namespace

INSTANTIATE_TEST_SUITE_P(EnCadaEstado, Dejar, ::testing::ValuesIn(kAbandonos),
                         [](const auto& info) { return std::string(info.param.historia); });
