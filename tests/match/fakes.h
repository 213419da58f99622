#pragma once
// Recording stand-ins for the main window, its text panes and the network
// sender, so the whole turn cycle runs with no window and no connection.
#include "core/modprincipal.h"
#include "match/partida.h"
#include "match/vista_partida.h"
#include "options/opciones.h"
#include "platform/pausa.h"
#include "ui/logs/cuadros_de_texto.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <map>

namespace brumaria::prueba {

class VistaFalsa : public VistaPartida {
public:
    struct Marca {
        int intFila;
        int intColumna;
        bool blnRespondido;
    };

    std::array<QString, 4> estado; // panels 1..3 (0 unused)
    bool blnRespuestas = false;
    bool blnTeclado = false;
    int intEnfoques = 0;
    int intVaciados = 0;
    QList<Marca> marcas;
    int intDisparosOcultos = 0;
    QList<int> panelesMostrados;
    // hundidos[blnBarcoDeJugador][intLongitud]
    std::array<std::array<int, 5>, 2> hundidos{};
    int intNegritaQuitada = 0;
    std::map<MenuJuego, bool> menus;
    int intSoluciones = 0;
    QStringList sonidos;
    QStringList eventos; // every call, in order, by name

    void EscribirEstado(int intPanel, const QString& texto) override {
        if (intPanel >= 1 && intPanel <= 3) estado[intPanel] = texto;
        eventos << QStringLiteral("EscribirEstado");
    }
    QString LeerEstado(int intPanel) const override {
        return intPanel >= 1 && intPanel <= 3 ? estado[intPanel] : QString();
    }
    void HabilitarRespuestas(bool b) override {
        blnRespuestas = b;
        eventos << QStringLiteral("HabilitarRespuestas");
    }
    void EntradaTeclado(bool b) override {
        blnTeclado = b;
        ++intVaciados; // the boxes are emptied either way
        if (b) ++intEnfoques;
        eventos << QStringLiteral("EntradaTeclado");
    }
    void EnfocarColumna() override {
        ++intEnfoques;
        eventos << QStringLiteral("EnfocarColumna");
    }
    void VaciarCajasAtaque() override {
        ++intVaciados;
        eventos << QStringLiteral("VaciarCajasAtaque");
    }
    void MarcarAtaque(int f, int c, bool r) override {
        marcas.append({f, c, r});
        eventos << QStringLiteral("MarcarAtaque");
    }
    void OcultarDisparo() override {
        ++intDisparosOcultos;
        eventos << QStringLiteral("OcultarDisparo");
    }
    void MostrarPanel(int intPanel) override {
        panelesMostrados << intPanel;
        eventos << QStringLiteral("MostrarPanel");
    }
    void ContarHundido(bool blnBarcoDeJugador, int intLongitud) override {
        ++hundidos[blnBarcoDeJugador ? 1 : 0][intLongitud];
        eventos << QStringLiteral("ContarHundido");
    }
    void QuitarNegritaEtiquetas() override {
        ++intNegritaQuitada;
        eventos << QStringLiteral("QuitarNegritaEtiquetas");
    }
    void MostrarMenu(MenuJuego menu, bool b) override {
        menus[menu] = b;
        eventos << QStringLiteral("MostrarMenu");
    }
    void MostrarSolucion() override {
        ++intSoluciones;
        eventos << QStringLiteral("MostrarSolucion");
    }
    void Sonido(const QString& strArchivo) override {
        sonidos << strArchivo;
        eventos << QStringLiteral("Sonido");
    }
};

class PanelesFalsos : public PanelesTexto {
public:
    QStringList historial;
    QStringList chat;
    std::array<QString, 4> estado;
    QList<std::pair<int, int>> parpadeos;
    // What a blink does meanwhile (e.g. wait on the event loop like the window).
    std::function<void(int, int)> alParpadear;

    void AnadirLineaHistorial(const QString& linea) override { historial << linea; }
    void AnadirLineaChat(const QString& linea) override { chat << linea; }
    void EscribirEstado(int intPanel, const QString& texto) override {
        if (intPanel >= 1 && intPanel <= 3) estado[intPanel] = texto;
    }
    void ParpadearSTB(int intPanel, int intVeces) override {
        parpadeos.append({intPanel, intVeces});
        if (alParpadear) alParpadear(intPanel, intVeces);
    }
};

class EmisorFalso : public EmisorMensajes {
public:
    QStringList enviados;
    bool EnviarMensaje(const QString& strMensaje) override {
        enviados << strMensaje;
        return true;
    }
};

// One side of a match with every collaborator recorded.
struct Mesa {
    ModPrincipal principal;
    ModOpciones opciones;
    ModCuadrosDeTexto cuadros{opciones};
    VistaFalsa vista;
    PanelesFalsos paneles;
    EmisorFalso emisor;
    Partida partida{principal, opciones, cuadros, vista};

    Mesa() { cuadros.FijarPaneles(&paneles); }
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
