#include "entradas.h"

#include "core/modprincipal.h"
#include "match/partida.h"
#include "match/preparacion_partida.h"
#include "match/vista_partida.h"
#include "net/mensajes.h"
#include "net/moddplay.h"
#include "options/opciones.h"
#include "platform/mensajes.h"
#include "logs/cuadros_de_texto.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdlib>
#include <memory>

namespace brumaria::fuzz {

namespace {

class VistaMuda : public VistaPreparacion {
public:
    void EscribirEstado(int, const QString&) override {}
    QString LeerEstado(int) const override { return {}; }
    void HabilitarRespuestas(bool) override {}
    void EntradaTeclado(bool) override {}
    void EnfocarColumna() override {}
    void VaciarCajasAtaque() override {}
    void MarcarAtaque(int f, int c, bool) override {
        if (!blnCasillaValida(f, c)) std::abort();
    }
    void OcultarDisparo() override {}
    void MostrarPanel(int) override {}
    void ContarHundido(bool, int) override {}
    void QuitarNegritaEtiquetas() override {}
    void MostrarSolucion() override {}
    void Sonido(const QString&) override {}
    // The player starts a network match and lets chance place his fleet.
    bool blnEmpezarPartida(EleccionPartida& e, std::optional<QuienEmpieza>) override {
        e = {QuienEmpieza::Contrincante, false, true};
        return true;
    }
    ResultadoConexion AbrirConexion() override { return {}; }
    void PrepararTableros() override {}
    void AbrirColocarBarcos() override {}
    void CerrarColocarBarcos() override {}
    void AplicarMenus(const MenusJuego&) override {}
};

class PanelesMudos : public PanelesTexto {
public:
    void AnadirLineaHistorial(const QString& l) override {
        if (l.contains(u'\n') || l.contains(u'\r'))
            std::abort(); // a peer must not be able to forge lines
    }
    void AnadirLineaChat(const QString& l) override { AnadirLineaHistorial(l); }
    void EscribirEstado(int, const QString&) override {}
    void ParpadearSTB(int, int) override {}
    void MostrarAviso(const QString&) override {}
};

// Local actions a line starting with ">" stands for; every other line is
// a message from the peer.
void Accion(const QString& a, Partida& partida, PreparacionPartida& preparacion, ModDPlay& dp,
            ModOpciones& o, bool& blnHost) {
    if (a.isEmpty()) return;
    switch (a[0].unicode()) {
    case u'a':
        partida.cmdAgua_Click();
        break;
    case u't':
        partida.cmdTocado_Click();
        break;
    case u'u':
        partida.cmdHundido_Click();
        break;
    case u'd':
        if (a.size() == 3 && a[1].isDigit() && a[2].isDigit())
            partida.TurnoJugador2(a[1].digitValue(), a[2].digitValue());
        break;
    case u'e':
        preparacion.EmpezarPartida();
        break;
    case u'f':
        preparacion.mnuJuegoTerminarPartida_Click();
        break;
    case u'h':
        blnHost = !blnHost;
        dp.SustituirTransporte(dp.blnConectado() ? nullptr : std::function<bool(const QString&)>(
                                                                 [](const QString&) { return true; }),
                               blnHost);
        break;
    case u'o':
        o.Opciones.blnAlertaSonido = !o.Opciones.blnAlertaSonido;
        o.Opciones.blnAlertaMsgBox = !o.Opciones.blnAlertaMsgBox;
        o.Opciones.blnAlertaHistorial = !o.Opciones.blnAlertaHistorial;
        break;
    default:
        break;
    }
}

} // namespace

int EntradaMensajes(const std::uint8_t* datos, std::size_t tamano) {
    static int argc = 1;
    static char nombre[] = "fuzz";
    static char* argv[] = {nombre, nullptr};
    // Kept for the whole run: destroying it at exit races Qt's own teardown.
    if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
    const ManejadorMensajes previo =
        InstalarManejadorMensajes([](const Mensaje&) { return Respuesta::No; });

    ModPrincipal principal;
    ModOpciones opciones;
    opciones.Opciones.blnHistorialMovimientosActivar = false; // never a file
    ModCuadrosDeTexto cuadros(opciones);
    PanelesMudos paneles;
    cuadros.FijarPaneles(&paneles);
    VistaMuda vista;
    Partida partida(principal, opciones, cuadros, vista);
    PreparacionPartida preparacion(principal, opciones, cuadros, partida, vista);
    ModDPlay dp(partida, preparacion, opciones, cuadros, vista);
    bool blnHost = false;
    bool blnRevelando = false; // our FinDePartida went out, our next commitment not yet
    dp.alEnviar = [&](const QString& t) {
        if (t == u"0;0;FinDePartida:Sí") blnRevelando = true;
        if (t.startsWith(u"0;5;")) blnRevelando = false;
        // No square of our fleet leaves before the end of our match.
        if (t.startsWith(u"0;1;") && !blnRevelando) std::abort();
    };
    dp.SustituirTransporte([](const QString&) { return true; }, blnHost);
    partida.FijarRed(&dp);
    preparacion.FijarRed(&dp);

    const QString texto =
        QString::fromUtf8(reinterpret_cast<const char*>(datos), static_cast<qsizetype>(tamano));
    const QStringList lineas = texto.split(u'\n');
    for (const QString& l : lineas) {
        if (l.startsWith(u'>'))
            Accion(l.mid(1), partida, preparacion, dp, opciones, blnHost);
        else {
            // What is read writes back to a text that reads the same.
            const protocolo::Mensaje m = protocolo::Leer(l);
            const QString escrito = protocolo::Escribir(m);
            if (protocolo::Escribir(protocolo::Leer(escrito)) != escrito) std::abort();
            dp.RecibirMensaje(l, QStringLiteral("Rival"));
        }
    }

    // The peer's fleet never grows beyond a fleet, and no board holds a
    // code it may not hold.
    int barcos = 0;
    for (int f = 0; f < kLado; ++f)
        for (int c = 0; c < kLado; ++c) {
            barcos += principal.intLeerCasilla(f, c, 2) == CASILLA_BARCO ? 1 : 0;
            for (int p = 0; p < 4; ++p) {
                const auto v = principal.intLeerCasilla(f, c, p);
                if (v < CASILLA_AGUA || v > CASILLA_OCULTA) std::abort();
            }
        }
    if (barcos > 20) std::abort();
    InstalarManejadorMensajes(previo);
    return 0;
}

} // namespace brumaria::fuzz
