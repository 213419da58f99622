// Giving up and leaving in every state of the set-up, on each side: two
// copies of the game (everything but the window) over 127.0.0.1. The other
// side is told within five seconds, both end idle, and a new match starts.
#include "mesa_en_red.h"

#include <QTcpSocket>
#include <gtest/gtest.h>
#include <memory>

using namespace brumaria;
using namespace brumaria::prueba;

namespace {

using E = EstadoPreparacion;

std::string Menus(const MenusJuego& m) {
    return QStringLiteral("%1%2%3%4%5")
        .arg(m.blnEmpezar)
        .arg(m.blnTerminarPartida)
        .arg(m.blnCancelarEspera)
        .arg(m.blnVerLosBarcosDelContrincante)
        .arg(m.blnOpciones)
        .toStdString();
}

// One copy of the game without its window; its session dialog creates or
// joins the only game on this computer, and it places its fleet by hand
// (the editor stays open until the test says so).
struct Copia : MesaEnRed {
    QString nombre;
    RegistroEventos oido; // search answers, heard as the session dialog hears them

    Copia(const QString& n, bool blnHost) : nombre(n) {
        m.vista.eleccion = {true, true, true};
        m.vista.alConectar = [this, blnHost] { return blnHost ? Crear() : Unirse(); };
    }
    ResultadoConexion Crear() {
        const bool ok = dp.HospedarSesion(nombre, QStringLiteral("Mesa de ") + nombre,
                                          red::kGuidProveedorLocal) == red::DPN_OK;
        return {ok, true, QStringLiteral("Mesa de ") + nombre};
    }
    ResultadoConexion Unirse() {
        dp.FijarDialogo(&oido);
        dp.oDPP()->EnumHosts(ModDPlay::sGuid, red::kGuidProveedorLocal);
        ResultadoConexion r;
        if (Esperar([&] { return !oido.respuestas.isEmpty(); })) {
            const auto& a = oido.respuestas.front();
            dp.UnirseASesion(nombre, a.ApplicationDescription, a.HostAddressUrl,
                             a.DeviceAddressUrl);
            Esperar([&] { return dp.Estado() != EstadoConexion::Uniendo; });
            r.blnConectado = dp.Estado() == EstadoConexion::Conectados;
        }
        dp.FijarDialogo(nullptr);
        return r;
    }
    void Empezar() { m.preparacion.EmpezarPartida(); }
    void Colocar() {
        m.vista.blnEditorAbierto = false; // the editor closes as it reports
        m.principal.intBarcosJugador = FlotaFija();
        m.preparacion.BarcosColocados();
    }
    // As a killed process: its sockets drop with no goodbye, and it says
    // nothing more.
    void Morir() {
        dp.oDPP()->UnRegisterMessageHandler();
        for (QTcpSocket* s : dp.oDPP()->findChildren<QTcpSocket*>())
            s->abort();
    }
};

enum class Accion { CancelarEspera, TerminarPartida, TerminarConexion, Cerrar, Morir };

const char* const kNombres[] = {"Cancelar la espera", "Terminar partida", "Terminar conexión",
                                "cerrar la ventana", "proceso muerto"};

void Hacer(Copia& c, Accion a) {
    static const std::function<void(Copia&)> kHacer[] = {
        [](Copia& c) { c.m.preparacion.CancelarEspera(); },
        [](Copia& c) { c.m.preparacion.mnuJuegoTerminarPartida_Click(); },
        [](Copia& c) { c.m.preparacion.mnuJuegoTerminarConexion_Click(); },
        [](Copia& c) { c.m.principal.blnCerrando = true, c.m.preparacion.Cerrar(); },
        [](Copia& c) { c.Morir(); }};
    kHacer[int(a)](c);
}

// What the other side must be told.
QString Aviso(Accion a, const QString& quien) {
    if (a == Accion::TerminarPartida)
        return QStringLiteral("Tu adversario ha cancelado la partida, ¡tú ganas!");
    return QStringLiteral("'") + quien + QStringLiteral("' se ha desconectado. Se terminará la partida.");
}

struct Fila {
    E estado;      // of the side that acts
    bool blnHost;  // it is the host
    Accion accion;
};

void PrintTo(const Fila& f, std::ostream* os) {
    *os << NombreEstado(f.estado) << (f.blnHost ? ", host, " : ", unido, ") << kNombres[int(f.accion)];
}

class Abandono : public ::testing::TestWithParam<Fila> {
protected:
    Barrido barrido;
    CarpetaTemporal carpeta;
    CarpetaEncuentros encuentros;
    GrabadorMensajes cajas;
};

// A side that gave up or was left ends idle, and a new match against the
// computer starts from there.
void ComprobarLibre(Copia& c, bool blnConRival) {
    ASSERT_EQ(c.m.preparacion.Estado(), E::Inactiva) << c.nombre.toStdString();
    EXPECT_EQ(Menus(c.m.vista.menus), "10001") << c.nombre.toStdString();
    EXPECT_EQ(c.m.vista.menus.blnAlertar, blnConRival);
    EXPECT_FALSE(c.m.vista.blnEditorAbierto);
    EXPECT_FALSE(c.m.partida.blnEnPartida());
    c.m.vista.eleccion = {true, false, false};
    c.Empezar();
    EXPECT_EQ(c.m.preparacion.Estado(), E::EnPartida);
    EXPECT_TRUE(c.m.partida.blnTurnoJugadorAtaque());
}

} // namespace

TEST_P(Abandono, ElOtroLoSabeYAmbosQuedanLibres) {
    const Fila fila = GetParam();
    auto ana = std::make_unique<Copia>(QStringLiteral("Ana"), true);
    auto bea = std::make_unique<Copia>(QStringLiteral("Bea"), false);
    ana->Empezar();
    ASSERT_EQ(ana->m.preparacion.Estado(), E::EsperandoContrincante);
    if (fila.estado != E::EsperandoContrincante) {
        bea->Empezar();
        ASSERT_TRUE(Esperar([&] { return ana->m.preparacion.Estado() == E::Colocando; }));
        ASSERT_EQ(bea->m.preparacion.Estado(), E::Colocando);
    }
    Copia& actua = fila.blnHost ? *ana : *bea;
    Copia& otro = fila.blnHost ? *bea : *ana;
    if (fila.estado == E::EsperandoFlotaContraria) {
        actua.Colocar();
        ASSERT_EQ(actua.m.preparacion.Estado(), E::EsperandoFlotaContraria);
        ASSERT_TRUE(Esperar([&] { return otro.m.preparacion.blnBarcosContrincanteListos(); }));
    }

    Hacer(actua, fila.accion);
    if (fila.estado == E::EsperandoContrincante) {
        // Nobody else to tell; the host is idle at once.
        if (fila.accion == Accion::CancelarEspera || fila.accion == Accion::TerminarConexion)
            ComprobarLibre(actua, false);
        else
            EXPECT_EQ(actua.m.preparacion.Estado(), E::Cerrando);
        return;
    }
    const QString aviso = Aviso(fila.accion, actua.nombre);
    ASSERT_TRUE(Esperar([&] { return cajas.Contar(aviso) == 1; }, 5000)) << aviso.toStdString();
    ASSERT_TRUE(Esperar([&] { return otro.m.preparacion.Estado() == E::Inactiva; }, 1000));
    ComprobarLibre(otro, fila.accion == Accion::TerminarPartida);
    if (fila.accion == Accion::TerminarPartida || fila.accion == Accion::TerminarConexion) {
        EXPECT_EQ(cajas.Contar(QStringLiteral("Has cancelado la partida, has perdido.")), 1);
        EXPECT_TRUE(actua.m.paneles.historial.contains(QStringLiteral("Has perdido")));
        EXPECT_TRUE(otro.m.paneles.historial.contains(QStringLiteral("Has ganado")));
        ComprobarLibre(actua, fila.accion == Accion::TerminarPartida);
    }
}

INSTANTIATE_TEST_SUITE_P(
    CadaEstadoYLado, Abandono,
    ::testing::Values(Fila{E::EsperandoContrincante, true, Accion::CancelarEspera},
                      Fila{E::EsperandoContrincante, true, Accion::Cerrar},
                      Fila{E::Colocando, true, Accion::TerminarPartida},
                      Fila{E::Colocando, true, Accion::TerminarConexion},
                      Fila{E::Colocando, true, Accion::Cerrar},
                      Fila{E::Colocando, true, Accion::Morir},
                      Fila{E::Colocando, false, Accion::TerminarPartida},
                      Fila{E::Colocando, false, Accion::TerminarConexion},
                      Fila{E::Colocando, false, Accion::Cerrar},
                      Fila{E::Colocando, false, Accion::Morir},
                      Fila{E::EsperandoFlotaContraria, true, Accion::TerminarPartida},
                      Fila{E::EsperandoFlotaContraria, true, Accion::TerminarConexion},
                      Fila{E::EsperandoFlotaContraria, true, Accion::Cerrar},
                      Fila{E::EsperandoFlotaContraria, true, Accion::Morir},
                      Fila{E::EsperandoFlotaContraria, false, Accion::TerminarPartida},
                      Fila{E::EsperandoFlotaContraria, false, Accion::TerminarConexion},
                      Fila{E::EsperandoFlotaContraria, false, Accion::Cerrar},
                      Fila{E::EsperandoFlotaContraria, false, Accion::Morir}));
