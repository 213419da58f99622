#pragma once
// Shared pieces of the network window tests: recording panes, an event
// recorder and bounded waits. Everything runs on 127.0.0.1.
#include "net/dplay.h"
#include "ui/logs/cuadros_de_texto.h"

#include <QCoreApplication>
#include <QEvent>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

namespace brumaria::prueba {

inline const QString kGuidJuego = QStringLiteral("{ECF6F199-8B33-43D3-BB42-DB7ABDCFFAFA}");

// Declared first in a test, so it runs last: deletes what was handed to
// deleteLater (peers and dialogs let go inside events), so nothing is
// left behind when the test's process ends.
struct Barrido {
    Barrido() = default;
    Barrido(const Barrido&) = delete;
    Barrido& operator=(const Barrido&) = delete;
    ~Barrido() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
};

inline bool Esperar(const std::function<bool()>& condicion, int ms = 5000) {
    return QTest::qWaitFor(condicion, ms);
}

inline red::DirectPlay8Peer::Tiempos TiemposCortos() {
    red::DirectPlay8Peer::Tiempos t;
    t.latidoMs = 100;
    t.silencioMs = 800;
    t.saludoMs = 800;
    t.intervaloBusquedaMs = 100;
    return t;
}

struct PanelesGrabados : PanelesTexto {
    QStringList historial, chat;
    QString estado[4];
    void AnadirLineaHistorial(const QString& l) override { historial << l; }
    void AnadirLineaChat(const QString& l) override { chat << l; }
    void EscribirEstado(int p, const QString& t) override {
        if (p >= 1 && p <= 3) estado[p] = t;
    }
    void ParpadearSTB(int, int) override {}
};

struct EventosGrabados : red::DirectPlay8Event {
    QStringList eventos;
    void DirectPlay8Event_CreatePlayer(std::int32_t id) override {
        eventos << QStringLiteral("Create %1").arg(id);
    }
    void DirectPlay8Event_DestroyPlayer(std::int32_t id, std::int32_t) override {
        eventos << QStringLiteral("Destroy %1").arg(id);
    }
    void DirectPlay8Event_Receive(const red::DPNMSG_RECEIVE& r) override {
        eventos << QStringLiteral("Receive ") + r.strDatos;
    }
    void DirectPlay8Event_ConnectComplete(const red::DPNMSG_CONNECT_COMPLETE& c) override {
        eventos << QStringLiteral("Connect %1").arg(c.hResultCode);
    }
};

// Hosts announce themselves in a private folder, so parallel tests never
// see each other's games.
struct CarpetaEncuentros {
    QTemporaryDir dir;
    CarpetaEncuentros() { red::DirectPlay8Peer::FijarCarpetaEncuentros(dir.path()); }
    ~CarpetaEncuentros() { red::DirectPlay8Peer::FijarCarpetaEncuentros(QString()); }
};

inline red::DPN_APPLICATION_DESC Sesion(const QString& nombre) {
    red::DPN_APPLICATION_DESC d;
    d.SessionName = nombre;
    d.guidApplication = kGuidJuego;
    d.lMaxPlayers = 2;
    return d;
}

} // namespace brumaria::prueba
