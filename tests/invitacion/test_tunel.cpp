// The tunnel between the game's own link on this computer and the
// encrypted stream: what one game writes reaches the other whole, a
// goodbye closes the other side, and a record altered on the way cuts the
// link instead of reaching the game.
#include "net/invitacion/claves.h"
#include "net/invitacion/tunel.h"

#include "red_prueba.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTimer>
#include <QTcpSocket>
#include <gtest/gtest.h>

using namespace brumaria;
using namespace brumaria::red::invitacion;
using prueba::Esperar;

namespace {

// Two tunnels wired back to back, as the ICE link would carry their bytes
// (queued, like a real link); `alterar` may change what crosses.
struct Pareja {
    QTcpServer juegoAnfitrion; // the host's session listener
    std::unique_ptr<Tunel> anfitrion, invitado;
    std::function<void(QByteArray&)> alterar;

    Pareja() {
        const Clave32 enlace{1, 2, 3};
        const ParKx a = *ParKxNuevo(), b = *ParKxNuevo();
        const auto ca = ClavesDeSesion(true, a, b.publica, enlace);
        const auto cb = ClavesDeSesion(false, b, a.publica, enlace);
        EXPECT_TRUE(ca && cb);
        auto hacia = [this](std::unique_ptr<Tunel>* destino) {
            return [this, destino](QByteArrayView b) {
                QByteArray copia = b.toByteArray();
                QTimer::singleShot(0, [this, destino, copia]() mutable {
                    if (alterar) alterar(copia);
                    if (*destino) (*destino)->Recibido(copia);
                });
                return true;
            };
        };
        anfitrion = std::make_unique<Tunel>(*ca, hacia(&invitado));
        invitado = std::make_unique<Tunel>(*cb, hacia(&anfitrion));
        EXPECT_TRUE(juegoAnfitrion.listen(QHostAddress::LocalHost));
    }
};

QByteArray LeerHasta(QTcpSocket& s, int bytes) {
    QByteArray r;
    Esperar([&] {
        r += s.readAll();
        return r.size() >= bytes;
    });
    return r;
}

} // namespace

TEST(Tunel, LoQueEscribeCadaJuegoLlegaEnteroAlOtroYUnAdiosCierraElOtroLado) {
    Pareja p;
    p.anfitrion->ConectarAlJuego(p.juegoAnfitrion.serverPort());
    ASSERT_TRUE(Esperar([&] { return p.juegoAnfitrion.hasPendingConnections(); }));
    std::unique_ptr<QTcpSocket> host(p.juegoAnfitrion.nextPendingConnection());
    const quint16 puerto = p.invitado->EscucharParaElJuego();
    ASSERT_NE(puerto, 0);
    QTcpSocket guest;
    guest.connectToHost(QHostAddress::LocalHost, puerto);
    ASSERT_TRUE(guest.waitForConnected(3000));
    // Only one game joins: a second connection is refused.
    QTcpSocket intruso;
    intruso.connectToHost(QHostAddress::LocalHost, puerto);
    EXPECT_FALSE(intruso.waitForConnected(500) && intruso.waitForReadyRead(300));

    QByteArray grande(100 * 1024, '\0');
    for (int i = 0; i < grande.size(); ++i) grande[i] = char(i * 7);
    guest.write(grande);
    EXPECT_EQ(LeerHasta(*host, grande.size()), grande);
    host->write("hola del anfitrion");
    EXPECT_EQ(LeerHasta(guest, 18), QByteArray("hola del anfitrion"));

    QSignalSpy finAnfitrion(p.anfitrion.get(), &Tunel::terminado);
    QSignalSpy finInvitado(p.invitado.get(), &Tunel::terminado);
    guest.disconnectFromHost();
    ASSERT_TRUE(Esperar([&] { return host->state() == QAbstractSocket::UnconnectedState; }));
    ASSERT_EQ(finInvitado.size(), 1);
    EXPECT_EQ(finInvitado[0][0].value<Tunel::Fin>(), Tunel::Fin::JuegoCerro);
    ASSERT_EQ(finAnfitrion.size(), 1);
    EXPECT_EQ(finAnfitrion[0][0].value<Tunel::Fin>(), Tunel::Fin::AmigoCerro);
}

TEST(Tunel, UnRegistroAlteradoPorElCaminoCortaElEnlaceYNoLlegaAlJuego) {
    Pareja p;
    p.anfitrion->ConectarAlJuego(p.juegoAnfitrion.serverPort());
    ASSERT_TRUE(Esperar([&] { return p.juegoAnfitrion.hasPendingConnections(); }));
    std::unique_ptr<QTcpSocket> host(p.juegoAnfitrion.nextPendingConnection());
    QSignalSpy fin(p.anfitrion.get(), &Tunel::terminado);
    QTest::qWait(50); // the two headers have crossed untouched
    ASSERT_TRUE(fin.isEmpty());
    // From now on, the last byte of every record is flipped on its way.
    p.alterar = [](QByteArray& b) {
        if (!b.isEmpty()) b[b.size() - 1] = char(b[b.size() - 1] ^ 1);
    };
    const quint16 puerto = p.invitado->EscucharParaElJuego();
    QTcpSocket guest;
    guest.connectToHost(QHostAddress::LocalHost, puerto);
    ASSERT_TRUE(guest.waitForConnected(3000));
    guest.write("0;2;3;4");
    ASSERT_TRUE(Esperar([&] { return fin.size() == 1; }));
    EXPECT_EQ(fin[0][0].value<Tunel::Fin>(), Tunel::Fin::Alterado);
    ASSERT_TRUE(Esperar([&] { return host->state() == QAbstractSocket::UnconnectedState; }));
    EXPECT_TRUE(host->readAll().isEmpty());
}
