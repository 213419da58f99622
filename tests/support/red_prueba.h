#pragma once
// Shared helpers of the network tests: a recording event sink, bounded
// waits, short transport timings and a private meeting folder. Everything
// runs on 127.0.0.1.
#include "net/dplay.h"

#include <QCoreApplication>
#include <QEvent>
#include <QList>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

namespace brumaria::prueba {

inline constexpr const char* kGuidJuego = "{ECF6F199-8B33-43D3-BB42-DB7ABDCFFAFA}";

// Waits on the event loop until the condition holds or the time is up.
inline bool Esperar(const std::function<bool()>& condicion, int ms = 5000) {
    return QTest::qWaitFor(condicion, ms);
}

// Declared first in a test, so it runs last: deletes what was handed to
// deleteLater (peers let go inside events), so nothing is left behind
// when the test's process ends.
struct Barrido {
    Barrido() = default;
    Barrido(const Barrido&) = delete;
    Barrido& operator=(const Barrido&) = delete;
    ~Barrido() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
};

inline red::DirectPlay8Peer::Tiempos TiemposCortos() {
    red::DirectPlay8Peer::Tiempos t;
    t.latidoMs = 100;
    t.silencioMs = 800;
    t.saludoMs = 800;
    t.intervaloBusquedaMs = 100;
    return t;
}

class RegistroEventos : public red::DirectPlay8Event {
public:
    QList<red::DPNMSG_RECEIVE> recibidos;
    QList<red::DPNMSG_ENUM_HOSTS_RESPONSE> respuestas;
    QList<std::int32_t> resultadosUnion;
    QList<std::int32_t> creados;
    QList<std::int32_t> destruidos;
    QList<std::int32_t> razones;
    QList<red::DPNMSG_ASYNC_OP_COMPLETE> terminadas;

    void DirectPlay8Event_CreatePlayer(std::int32_t id) override { creados << id; }
    void DirectPlay8Event_DestroyPlayer(std::int32_t id, std::int32_t razon) override {
        destruidos << id;
        razones << razon;
    }
    void DirectPlay8Event_Receive(const red::DPNMSG_RECEIVE& r) override { recibidos << r; }
    void DirectPlay8Event_ConnectComplete(const red::DPNMSG_CONNECT_COMPLETE& c) override {
        resultadosUnion << c.hResultCode;
    }
    void DirectPlay8Event_AsyncOpComplete(const red::DPNMSG_ASYNC_OP_COMPLETE& r) override {
        terminadas << r;
    }
    void DirectPlay8Event_EnumHostsResponse(const red::DPNMSG_ENUM_HOSTS_RESPONSE& r) override {
        respuestas << r;
    }
};

// A peer with its own recorder; hosts announce themselves in a private folder.
struct Par {
    red::DirectPlay8Peer peer;
    RegistroEventos registro;
    explicit Par(const QString& nombre) {
        peer.RegisterMessageHandler(&registro);
        peer.SetPeerInfo(nombre);
    }
};

struct CarpetaEncuentros {
    QTemporaryDir dir;
    CarpetaEncuentros() { red::DirectPlay8Peer::FijarCarpetaEncuentros(dir.path()); }
    ~CarpetaEncuentros() { red::DirectPlay8Peer::FijarCarpetaEncuentros(QString()); }
};

inline red::DPN_APPLICATION_DESC Sesion(const QString& nombre,
                                        const QString& guid = QString::fromLatin1(kGuidJuego)) {
    red::DPN_APPLICATION_DESC d;
    d.SessionName = nombre;
    d.guidApplication = guid;
    d.lMaxPlayers = 2;
    return d;
}

// Host `host` and join it from `invitado` directly by its address.
inline bool Unir(Par& host, Par& invitado, const QString& proveedor = red::kGuidProveedorLocal) {
    if (host.peer.Host(Sesion(QStringLiteral("Partida")), proveedor) != red::DPN_OK) return false;
    const auto antes = invitado.registro.resultadosUnion.size();
    invitado.peer.Connect(host.peer.GetApplicationDesc(),
                          QStringLiteral("127.0.0.1:%1").arg(host.peer.PuertoTcp()), proveedor);
    return Esperar([&] {
               return invitado.registro.resultadosUnion.size() > antes &&
                      host.registro.creados.size() == 2;
           }) &&
           invitado.registro.resultadosUnion.back() == red::DPN_OK;
}

} // namespace brumaria::prueba
