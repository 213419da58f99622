#pragma once
// Recording stand-ins for the main window, its text panes and the network,
// so a whole match and every set-up path run with no window and no
// connection.
#include "core/modprincipal.h"
#include "match/partida.h"
#include "match/preparacion_partida.h"
#include "match/red_partida.h"
#include "match/vista_partida.h"
#include "options/opciones.h"
#include "logs/cuadros_de_texto.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>

namespace brumaria::prueba {

// The player, or the other, starts.
inline QuienEmpieza Quien(bool blnEmpiezaJugador) {
    return blnEmpiezaJugador ? QuienEmpieza::Jugador : QuienEmpieza::Contrincante;
}

class VistaFalsa : public VistaPreparacion {
public:
    struct Marca {
        int intFila;
        int intColumna;
        bool blnRespondido;
    };

    std::array<QString, 4> estado; // panels 1..3 (0 unused)
    bool blnRespuestas = false;
    QList<Marca> marcas;
    std::array<std::array<int, 5>, 2> hundidos{};
    MenusJuego menus;
    int intSoluciones = 0;
    QStringList sonidos;

    EleccionPartida eleccion;
    bool blnAceptar = true;
    // The player leaves who starts as the dialog shows it.
    bool blnQuienComoSeMuestra = false;
    std::optional<QuienEmpieza> quienEnRed; // what the last dialog was shown
    std::function<void()> alElegir;         // runs while the dialog is open
    std::function<ResultadoConexion()> alConectar; // none: the dialog is cancelled
    bool blnEditorAbierto = false;
    std::function<void()> alAbrirEditor;

    void EscribirEstado(int intPanel, const QString& texto) override {
        if (intPanel >= 1 && intPanel <= 3) estado[intPanel] = texto;
    }
    QString LeerEstado(int intPanel) const override {
        return intPanel >= 1 && intPanel <= 3 ? estado[intPanel] : QString();
    }
    void HabilitarRespuestas(bool b) override { blnRespuestas = b; }
    bool blnTeclado = false; // the keyboard attack box, as last set
    void EntradaTeclado(bool b) override { blnTeclado = b; }
    void EnfocarColumna() override {}
    void VaciarCajasAtaque() override {}
    void MarcarAtaque(int f, int c, bool r) override { marcas.append({f, c, r}); }
    void OcultarDisparo() override {}
    void MostrarPanel(int) override {}
    void ContarHundido(bool blnDeJugador, int n) override { ++hundidos[blnDeJugador ? 1 : 0][n]; }
    void QuitarNegritaEtiquetas() override {}
    void MostrarSolucion() override { ++intSoluciones; }
    void Sonido(const QString& strArchivo) override { sonidos << strArchivo; }
    bool blnEmpezarPartida(EleccionPartida& e, std::optional<QuienEmpieza> quien) override {
        quienEnRed = quien;
        if (alElegir) alElegir();
        if (blnAceptar) e = eleccion;
        // Shown nothing of a session, the dialog stands at "Al azar".
        if (blnAceptar && blnQuienComoSeMuestra) e.quienEmpieza = quien.value_or(QuienEmpieza::AlAzar);
        return blnAceptar;
    }
    ResultadoConexion AbrirConexion() override {
        return alConectar ? alConectar() : ResultadoConexion{};
    }
    void PrepararTableros() override {}
    void AbrirColocarBarcos() override {
        blnEditorAbierto = true;
        if (alAbrirEditor) alAbrirEditor();
    }
    void CerrarColocarBarcos() override { blnEditorAbierto = false; }
    void AplicarMenus(const MenusJuego& m) override { menus = m; }
};

class PanelesFalsos : public PanelesTexto {
public:
    QStringList historial;
    QStringList chat;
    std::array<QString, 4> estado;
    QList<std::pair<int, int>> parpadeos;
    QString aviso;

    void AnadirLineaHistorial(const QString& linea) override { historial << linea; }
    void AnadirLineaChat(const QString& linea) override { chat << linea; }
    void EscribirEstado(int intPanel, const QString& texto) override {
        if (intPanel >= 1 && intPanel <= 3) estado[intPanel] = texto;
    }
    void ParpadearSTB(int intPanel, int intVeces) override { parpadeos.append({intPanel, intVeces}); }
    void MostrarAviso(const QString& texto) override { aviso = texto; }
};

// The network as the match sees it: a connection state the test sets and
// every message sent, written as "quien 1", "flota 20", "ataque 4 2", ...
class RedFalsa : public RedPartida {
public:
    EstadoConexion estado = EstadoConexion::SinConexion;
    bool blnHost = false;
    QStringList enviados;
    PreparacionPartida* preparacion = nullptr; // told of every change of state

    void Fijar(EstadoConexion e) {
        estado = e;
        if (preparacion) preparacion->ConexionCambiada();
    }
    EstadoConexion Estado() const override { return estado; }
    bool blnEsHost() const override { return blnHost; }
    QString strNombreUsuario() const override { return QStringLiteral("Ana"); }
    void IniciarDPlay() override {
        enviados << QStringLiteral("iniciar");
        Fijar(EstadoConexion::Buscando);
    }
    void TerminarConexion() override {
        enviados << QStringLiteral("terminar");
        Fijar(EstadoConexion::SinConexion);
    }
    void EnviarQuienEmpieza(bool b) override {
        enviados << QStringLiteral("quien %1").arg(b ? 1 : 0);
    }
    void EnviarCompromiso(const QByteArray& huella) override {
        enviados << QStringLiteral("compromiso %1").arg(huella.size());
    }
    void EnviarRevelacion(const Panel& flota, const QByteArray& sal) override {
        int n = 0;
        for (const auto& fila : flota)
            for (auto v : fila)
                n += v == CASILLA_BARCO ? 1 : 0;
        enviados << QStringLiteral("revelacion %1 %2").arg(n).arg(sal.size());
    }
    void EnviarAtaque(int f, int c) override { enviados << QStringLiteral("ataque %1 %2").arg(f).arg(c); }
    void EnviarRespuesta(int f, int c, int r) override {
        enviados << QStringLiteral("respuesta %1 %2 %3").arg(f).arg(c).arg(r);
    }
    void EnviarFinDePartida() override { enviados << QStringLiteral("fin"); }
    void EnviarHistorial(const QString& t) override { enviados << QStringLiteral("historial ") + t; }
};

// One side of a match with every collaborator recorded.
struct Mesa {
    ModPrincipal principal;
    ModOpciones opciones;
    ModCuadrosDeTexto cuadros{opciones};
    VistaFalsa vista;
    PanelesFalsos paneles;
    RedFalsa red;
    Partida partida{principal, opciones, cuadros, vista};
    PreparacionPartida preparacion{principal, opciones, cuadros, partida, vista};

    Mesa() {
        opciones.Opciones.blnHistorialMovimientosActivar = false;
        cuadros.FijarPaneles(&paneles);
        partida.FijarRed(&red);
        preparacion.FijarRed(&red);
        red.preparacion = &preparacion;
    }

    // A new match against the computer through the new-game dialog; the
    // player's own fleet is kept when `blnFlotaColocada`.
    void Empezar(bool blnEmpiezaJugador, bool blnFlotaColocada = false) {
        vista.eleccion = {Quien(blnEmpiezaJugador), blnFlotaColocada, false};
        vista.blnAceptar = true;
        if (blnFlotaColocada) {
            const Panel flota = principal.intBarcosJugador;
            vista.alAbrirEditor = [this, flota] {
                principal.intBarcosJugador = flota;
                preparacion.BarcosColocados();
            };
        }
        preparacion.EmpezarPartida();
        vista.alAbrirEditor = nullptr;
    }
};

// The answer the rules accept for the square being attacked: 0, 1 or 2.
inline int intRespuestaVerdadera(const ModPrincipal& p) {
    const int f = p.intFilaAtaque;
    const int c = p.intColumnaAtaque;
    if (p.intLeerCasilla(f, c, 0) != CASILLA_BARCO) return 0;
    return p.blnHundido(f, c, 0) ? 2 : 1;
}

inline void Responder(Partida& partida, int intRespuesta) {
    switch (intRespuesta) {
    case 0:
        partida.cmdAgua_Click();
        break;
    case 1:
        partida.cmdTocado_Click();
        break;
    default:
        partida.cmdHundido_Click();
        break;
    }
}

} // namespace brumaria::prueba
