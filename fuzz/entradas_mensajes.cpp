#include "entradas.h"

#include "core/modprincipal.h"
#include "match/partida.h"
#include "match/vista_partida.h"
#include "net/moddplay.h"
#include "options/opciones.h"
#include "platform/mensajes.h"
#include "ui/logs/cuadros_de_texto.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdlib>
#include <memory>

namespace brumaria::fuzz {

namespace {

class VistaMuda : public VistaPartida {
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
    void MostrarMenu(MenuJuego, bool) override {}
    void MostrarSolucion() override {}
    void Sonido(const QString&) override {}
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
};

void Flota(ModPrincipal& p) {
    static const int kFlota[20][2] = {{0, 0}, {0, 1}, {0, 2}, {0, 3}, {2, 0}, {2, 1}, {2, 2},
                                      {2, 5}, {2, 6}, {2, 7}, {4, 0}, {4, 1}, {4, 4}, {4, 5},
                                      {4, 8}, {4, 9}, {6, 0}, {6, 3}, {6, 6}, {8, 9}};
    p.LlenarPanel(0, CASILLA_AGUA);
    for (const auto& s : kFlota)
        p.blnEscribirCasilla(s[0], s[1], 0, CASILLA_BARCO);
    p.LlenarPanel(1, CASILLA_OCULTA);
    p.LlenarPanel(2, CASILLA_AGUA);
    p.LlenarPanel(3, CASILLA_OCULTA);
}

// Local actions a line starting with ">" stands for; every other line is
// a message from the peer.
void Accion(const QString& a, Partida& partida, ModDPlay& dp, ModOpciones& o) {
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
        if (a.size() == 3 && a[1].isDigit() && a[2].isDigit() && partida.blnTurnoJugadorAtaque)
            partida.TurnoJugador2(a[1].digitValue(), a[2].digitValue());
        break;
    case u'b':
        dp.EnviarBarcos();
        dp.EnviarMensaje(QStringLiteral("0;0;BarcosListos:Sí"));
        break;
    case u'e':
        if (partida.blnEnPartida) break;
        if (partida.blnEmpiezaJugador)
            partida.MostrarTurnoJugador(0);
        else
            partida.MostrarTurnoContrincante(0);
        partida.blnEnPartida = true;
        break;
    case u'f':
        partida.FinDePartida();
        break;
    case u'h':
        dp.blnEsHost = !dp.blnEsHost;
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
    ModDPlay dp(principal, partida, opciones, cuadros, vista);
    int enviados = 0;
    dp.FijarSalida([&](const QString&) {
        ++enviados;
        return true;
    });
    dp.lngNumJugadores = 2;
    partida.FijarEmisor(&dp);
    partida.blnJugarEnRed = true;
    Flota(principal);

    const QString texto =
        QString::fromUtf8(reinterpret_cast<const char*>(datos), static_cast<qsizetype>(tamano));
    const QStringList lineas = texto.split(u'\n');
    for (const QString& l : lineas) {
        if (l.startsWith(u'>'))
            Accion(l.mid(1), partida, dp, opciones);
        else
            dp.RecibirMensaje(l, QStringLiteral("Rival"));
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
