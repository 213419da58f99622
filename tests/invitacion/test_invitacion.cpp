// The whole invitation flow on this computer: a private DHT of three nodes,
// ICE on 127.0.0.1, and two transports whose session runs through the
// tunnel. The stories a player meets: a friend joins with the code; a code
// nobody made, an expired one, a spent one; a host nobody answers; and a
// stale answer that must not be taken for the friend.
#include "net/invitacion/cita_dht.h"
#include "net/invitacion/codigo.h"
#include "net/invitacion/invitacion.h"

#include "red_de_encuentro.h"
#include "red_prueba.h"

#include <QDateTime>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace brumaria;
using namespace brumaria::red::invitacion;
using prueba::Esperar;

namespace {

struct Mesa {
    prueba::Barrido barrido;
    prueba::CarpetaEncuentros encuentros;
    prueba::RedDeEncuentro dht{QStringLiteral(BRUMARIA_NODO_DHT)};
    prueba::Par ana{QStringLiteral("Ana")}, bea{QStringLiteral("Bea")};
    Invitacion anfitrion, invitado;

    Mesa() {
        EXPECT_TRUE(dht.blnLista()) << "la red de encuentro no arranca";
        for (prueba::Par* p : {&ana, &bea}) p->peer.FijarTiempos(prueba::TiemposCortos());
        anfitrion.FijarEntorno(Entorno());
        invitado.FijarEntorno(Entorno());
    }
    Invitacion::Entorno Entorno() const {
        Invitacion::Entorno e;
        e.ajustes.stun.clear();
        e.ajustes.nodosDht = dht.direcciones();
        e.blnRedPrivada = true;
        e.direccionesLocales = {QHostAddress(QHostAddress::LocalHost)};
        e.interfacesDht = QStringLiteral("127.0.0.1:0");
        e.limiteBusquedaMs = 8000;
        e.limiteConexionMs = 8000;
        e.pausaSondeoMs = 200;
        return e;
    }
    // Ana hosts a session on this computer and invites through a code.
    QString Invitar() {
        if (ana.peer.Host(prueba::Sesion(QStringLiteral("Mesa de Ana")), red::kGuidProveedorLocal) !=
            red::DPN_OK)
            return QString();
        QSignalSpy publicado(&anfitrion, &Invitacion::paso);
        anfitrion.Anfitrionar(ana.peer.PuertoTcp(), ana.peer.GetApplicationDesc().guidInstance,
                              QStringLiteral("Mesa de Ana"));
        // The code is read out once the offer is out.
        Esperar([&] { return anfitrion.Estado() == EstadoInvitacion::EsperandoAmigo; }, 15000);
        return anfitrion.Codigo();
    }
    // Bea's game joins where her invitation says, as the dialog does.
    void UnirseCuandoEsteLista() {
        QObject::connect(&invitado, &Invitacion::listaParaUnirse, &invitado,
                         [this](quint16 puerto, const QString& guid, const QString& nombre) {
                             red::DPN_APPLICATION_DESC d = prueba::Sesion(nombre);
                             d.guidInstance = guid;
                             bea.peer.Connect(d, QStringLiteral("127.0.0.1:%1").arg(puerto),
                                              red::kGuidProveedorLocal);
                         });
    }
};

Invitacion::Fallo FalloDe(const QSignalSpy& s) {
    return s.isEmpty() ? Invitacion::Fallo::Interno : s[0][0].value<Invitacion::Fallo>();
}

} // namespace

TEST(Invitacion, ConElCodigoLeidoEnVozAltaLosDosJueganPorElTunelYElCodigoQuedaGastado) {
    Mesa m;
    const QString codigo = m.Invitar();
    ASSERT_EQ(m.anfitrion.Estado(), EstadoInvitacion::EsperandoAmigo);
    QSignalSpy conectadoInvitado(&m.invitado, &Invitacion::conectada);
    QSignalSpy conectadoAnfitrion(&m.anfitrion, &Invitacion::conectada);
    m.UnirseCuandoEsteLista();
    const auto tecleado = NormalizarCodigo(codigo.toUpper().replace(u'-', u' '));
    ASSERT_TRUE(tecleado);
    m.invitado.Unirse(*tecleado);
    ASSERT_TRUE(Esperar([&] { return m.bea.registro.resultadosUnion.size() == 1; }, 20000));
    EXPECT_EQ(m.bea.registro.resultadosUnion.front(), red::DPN_OK);
    ASSERT_TRUE(Esperar([&] { return m.ana.registro.creados.size() == 2; }));
    ASSERT_EQ(conectadoInvitado.size(), 1);
    ASSERT_EQ(conectadoAnfitrion.size(), 1);
    EXPECT_FALSE(conectadoInvitado[0][0].toBool()) << "en el mismo equipo no hace falta relé";

    // The game's strings go through unchanged, both ways.
    ASSERT_TRUE(m.bea.peer.SendTo(red::DPNID_ALL_PLAYERS_GROUP, QStringLiteral("0;2;3;4")));
    ASSERT_TRUE(m.ana.peer.SendTo(red::DPNID_ALL_PLAYERS_GROUP, QStringLiteral("1;¡Hola, Bea!")));
    ASSERT_TRUE(Esperar([&] {
        return !m.ana.registro.recibidos.isEmpty() && !m.bea.registro.recibidos.isEmpty();
    }));
    EXPECT_EQ(m.ana.registro.recibidos.front().strDatos, QStringLiteral("0;2;3;4"));
    EXPECT_EQ(m.bea.registro.recibidos.front().strDatos, QStringLiteral("1;¡Hola, Bea!"));

    // Once the code is marked spent neither stays a node of the DHT for
    // the match; the nodes still hold the mark.
    EXPECT_TRUE(Esperar([&] { return !m.anfitrion.blnEnLaDht() && !m.invitado.blnEnLaDht(); }, 5000));

    // A third with the same code hears it is spent.
    Invitacion tercero;
    tercero.FijarEntorno(m.Entorno());
    QSignalSpy fallo(&tercero, &Invitacion::fallida);
    tercero.Unirse(*tecleado);
    ASSERT_TRUE(Esperar([&] { return !fallo.isEmpty(); }, 15000));
    EXPECT_EQ(FalloDe(fallo), Invitacion::Fallo::CodigoUsado);

    // Bea leaves: Ana's session sees her go.
    m.bea.peer.Close();
    EXPECT_TRUE(Esperar([&] { return !m.ana.registro.destruidos.isEmpty(); }));
}

TEST(Invitacion, UnCodigoQueNadieHaCreadoSeDiceDentroDelLimite) {
    Mesa m;
    QSignalSpy fallo(&m.invitado, &Invitacion::fallida);
    QElapsedTimer reloj;
    reloj.start();
    m.invitado.Unirse(CodigoDesdeBits(0x2D5A5A5A5A5A5ull));
    ASSERT_TRUE(Esperar([&] { return !fallo.isEmpty(); }, 15000));
    EXPECT_EQ(FalloDe(fallo), Invitacion::Fallo::CodigoDesconocido);
    EXPECT_LT(reloj.elapsed(), m.Entorno().limiteBusquedaMs + 2000);
    EXPECT_EQ(fallo[0][1].toString(), Invitacion::TextoFallo(Invitacion::Fallo::CodigoDesconocido));
}

TEST(Invitacion, UnaOfertaDeHaceMasDeDiezMinutosHaCaducado) {
    Mesa m;
    Invitacion::Entorno viejo = m.Entorno();
    const qint64 hace11 = QDateTime::currentSecsSinceEpoch() - 11 * 60;
    viejo.relojUnix = [hace11] { return hace11; };
    m.anfitrion.FijarEntorno(viejo);
    const QString codigo = m.Invitar();
    ASSERT_FALSE(codigo.isEmpty());
    QSignalSpy fallo(&m.invitado, &Invitacion::fallida);
    m.invitado.Unirse(codigo);
    ASSERT_TRUE(Esperar([&] { return !fallo.isEmpty(); }, 15000));
    EXPECT_EQ(FalloDe(fallo), Invitacion::Fallo::CodigoCaducado);
}

TEST(Invitacion, SiNadieUsaElCodigoElAnfitrionLoSabeAlCaducarYPuedeCancelarAntes) {
    Mesa m;
    Invitacion::Entorno corto = m.Entorno();
    corto.vidaCodigoMs = 3000;
    m.anfitrion.FijarEntorno(corto);
    QSignalSpy fallo(&m.anfitrion, &Invitacion::fallida);
    ASSERT_FALSE(m.Invitar().isEmpty());
    ASSERT_TRUE(Esperar([&] { return !fallo.isEmpty(); }, 10000));
    EXPECT_EQ(FalloDe(fallo), Invitacion::Fallo::NadieRespondio);

    // Cancelled while it searches, a guest hears nothing more.
    QSignalSpy nada(&m.invitado, &Invitacion::fallida);
    m.invitado.Unirse(CodigoDesdeBits(12345));
    ASSERT_TRUE(Esperar([&] { return m.invitado.Estado() == EstadoInvitacion::Buscando; }, 10000));
    m.invitado.Cancelar();
    EXPECT_EQ(m.invitado.Estado(), EstadoInvitacion::Inactiva);
    QTest::qWait(m.Entorno().limiteBusquedaMs + 500);
    EXPECT_TRUE(nada.isEmpty());
}

// Someone who knows the code leaves an answer to another offer (an old
// one, replayed): the host must not take it for his friend.
TEST(Invitacion, UnaRespuestaAOtraOfertaNoSeTomaPorElAmigo) {
    Mesa m;
    const QString codigo = m.Invitar();
    ASSERT_FALSE(codigo.isEmpty());
    const std::optional<ClavesCodigo> claves = DerivarClaves(codigo);
    ASSERT_TRUE(claves);
    Respuesta vieja;
    vieja.creadaUnix = QDateTime::currentSecsSinceEpoch();
    vieja.idOferta[0] = 0x55; // not this offer's
    vieja.clavePublicaKx = ParKxNuevo()->publica;
    CandidatoIce c;
    c.direccion = QHostAddress(QHostAddress::LocalHost);
    c.puerto = 9;
    c.prioridad = 1;
    c.fundacion = "1";
    vieja.ice = {QByteArray("abcd"), QByteArray(22, 'x'), {c}};
    CitaDht::Ajustes ad;
    for (const QString& n : m.dht.direcciones()) ad.nodosArranque.push_back(n);
    ad.interfaces = QStringLiteral("127.0.0.1:0");
    ad.blnRedPrivada = true;
    CitaDht intruso(ad);
    QSignalSpy listo(&intruso, &CitaDht::arrancada);
    ASSERT_TRUE(Esperar([&] { return !listo.isEmpty(); }, 10000));
    QSignalSpy publicada(&intruso, &CitaDht::publicada);
    intruso.Publicar(claves->semillaFirma, QByteArrayLiteral("brumaria-respuesta"),
                     SellarRespuesta(*claves, vieja));
    ASSERT_TRUE(Esperar([&] { return !publicada.isEmpty(); }, 10000));
    QTest::qWait(1000);
    EXPECT_EQ(m.anfitrion.Estado(), EstadoInvitacion::EsperandoAmigo);

    // The real friend still gets in.
    m.UnirseCuandoEsteLista();
    m.invitado.Unirse(codigo);
    ASSERT_TRUE(Esperar([&] { return m.bea.registro.resultadosUnion.size() == 1; }, 20000));
    EXPECT_EQ(m.bea.registro.resultadosUnion.front(), red::DPN_OK);
}
