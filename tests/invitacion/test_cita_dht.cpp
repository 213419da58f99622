// The rendezvous on a private DHT of four brumaria_nodo_dht processes on
// 127.0.0.1. Separate processes rather than sessions in this one: each is
// a real node with its own routing table and storage, as in the lab, and
// none shares our alert queue or our threads.
#include "net/invitacion/cita_dht.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QThread>
#include <QTest>
#include <QNetworkDatagram>
#include <QUdpSocket>
#include <gtest/gtest.h>
#include <libtorrent/bdecode.hpp>
#include <libtorrent/bencode.hpp>
#include <libtorrent/kademlia/ed25519.hpp>
#include <libtorrent/kademlia/item.hpp>
#include <cstring>
#include <iostream>
#include <memory>

using brumaria::red::invitacion::CitaDht;
using brumaria::red::invitacion::Clave32;
using brumaria::red::invitacion::kMaxValorDht;

namespace {

const QByteArray kSalOferta = "brumaria-oferta";
const QByteArray kSalRespuesta = "brumaria-respuesta";

Clave32 Semilla(const char* codigo) {
    Clave32 s{};
    std::strncpy(reinterpret_cast<char*>(s.data()), codigo, s.size());
    return s;
}

void Medida(const char* que, qint64 ms) { std::cout << "[medida] " << que << ": " << ms << " ms\n"; }

// Four nodes: the first alone, the others bootstrapping from it.
class RedPrivada {
public:
    RedPrivada() {
        for (int i = 0; i < 4; ++i) {
            auto p = std::make_unique<QProcess>();
            QStringList args{"--escuchar", "127.0.0.1:0", "--red-privada"};
            if (i > 0) args << "--arranque" << nodos_.front();
            p->start(QStringLiteral(BRUMARIA_NODO_DHT), args);
            if (!p->waitForReadyRead(5000)) return;
            const QList<QByteArray> linea = p->readLine().trimmed().split(' ');
            if (linea.size() != 2 || linea[0] != "listo") return;
            nodos_.push_back(QStringLiteral("127.0.0.1:") + QString::fromLatin1(linea[1]));
            procesos_.push_back(std::move(p));
        }
    }
    ~RedPrivada() {
        for (auto& p : procesos_) {
            p->terminate();
            if (!p->waitForFinished(2000)) p->kill();
        }
    }
    bool blnLista() const { return nodos_.size() == 4; }
    // Players are given every node: one that only heard from another keeps
    // it aside until it has pinged it, seconds later, and does not pass it on.
    CitaDht::Ajustes Ajustes() const { return {nodos_, {}, true}; }

private:
    std::vector<QString> nodos_;
    std::vector<std::unique_ptr<QProcess>> procesos_;
};

struct Jugador {
    CitaDht cita;
    QSignalSpy arrancada{&cita, &CitaDht::arrancada};
    QSignalSpy publicada{&cita, &CitaDht::publicada};
    QSignalSpy encontrada{&cita, &CitaDht::encontrada};
    QSignalSpy noEncontrada{&cita, &CitaDht::noEncontrada};
    QSignalSpy fallo{&cita, &CitaDht::fallo};
    explicit Jugador(const CitaDht::Ajustes& a) : cita(a) {}
    bool blnArranca() { return !arrancada.isEmpty() || arrancada.wait(10'000); }
    int Publica(const Clave32& semilla, const QByteArray& sal, const QByteArray& valor) {
        publicada.clear();
        cita.Publicar(semilla, sal, valor);
        if (!publicada.wait(15'000)) return -1;
        return publicada.front().at(1).toInt();
    }
    // The value found, or a null array.
    QByteArray Busca(const Clave32& clave, const QByteArray& sal) {
        encontrada.clear();
        noEncontrada.clear();
        cita.Buscar(clave, sal);
        (void)QTest::qWaitFor([&] { return !encontrada.isEmpty() || !noEncontrada.isEmpty(); }, 20'000);
        return encontrada.isEmpty() ? QByteArray() : encontrada.front().at(1).toByteArray();
    }
};

// A fresh DHT for each case: the players of an earlier case would linger in
// the nodes' tables, and a lookup waits 15 s on each silent node it is given.
class UnaDhtPrivada : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(red_->blnLista()) << "the DHT nodes did not start"; }
    std::unique_ptr<RedPrivada> red_ = std::make_unique<RedPrivada>();
};

} // namespace

TEST_F(UnaDhtPrivada, ElInvitadoEncuentraLaOfertaYElAnfitrionLaRespuesta) {
    const Clave32 semilla = Semilla("7-ballena-faro-nube");
    const Clave32 clave = CitaDht::ClavePublica(semilla);
    QElapsedTimer reloj;
    reloj.start();
    Jugador anfitrion(red_->Ajustes()), invitado(red_->Ajustes());
    ASSERT_TRUE(anfitrion.blnArranca() && invitado.blnArranca());
    Medida("arranque", reloj.restart());
    EXPECT_GE(anfitrion.cita.NodosConocidos(), 3);

    const QByteArray oferta("\x00oferta sellada\xff", 16);
    EXPECT_GE(anfitrion.Publica(semilla, kSalOferta, oferta), 3);
    Medida("publicar", reloj.restart());
    EXPECT_EQ(invitado.Busca(clave, kSalOferta), oferta);
    Medida("buscar", reloj.restart());
    EXPECT_TRUE(invitado.Busca(clave, kSalRespuesta).isNull()) << "no answer was written yet";

    EXPECT_GE(invitado.Publica(semilla, kSalRespuesta, "respuesta"), 3);
    EXPECT_EQ(anfitrion.Busca(clave, kSalRespuesta), "respuesta");
    EXPECT_EQ(anfitrion.Busca(clave, kSalOferta), oferta) << "the answer did not overwrite the offer";
}

TEST_F(UnaDhtPrivada, UnaOfertaRepublicadaSeVeConSuSecuenciaNueva) {
    const Clave32 semilla = Semilla("8-pulpo-ancla-sal");
    Jugador anfitrion(red_->Ajustes()), invitado(red_->Ajustes());
    ASSERT_TRUE(anfitrion.blnArranca() && invitado.blnArranca());
    ASSERT_GT(anfitrion.Publica(semilla, kSalOferta, "oferta"), 0);
    ASSERT_GT(anfitrion.Publica(semilla, kSalOferta, "oferta usada"), 0);
    ASSERT_EQ(invitado.Busca(CitaDht::ClavePublica(semilla), kSalOferta), "oferta usada");
    const qint64 seq = invitado.encontrada.front().at(2).toLongLong();

    // A host started again remembers nothing: the DHT's own seq is what it must beat.
    Jugador otraVez(red_->Ajustes());
    ASSERT_TRUE(otraVez.blnArranca());
    ASSERT_GT(otraVez.Publica(semilla, kSalOferta, "oferta nueva"), 0);
    EXPECT_EQ(invitado.Busca(CitaDht::ClavePublica(semilla), kSalOferta), "oferta nueva");
    EXPECT_GT(invitado.encontrada.front().at(2).toLongLong(), seq);
}

// A player who has left stays in the nodes' tables for minutes, and a
// traversal waits 15 s on him; the direct puts to the listed nodes do not.
TEST_F(UnaDhtPrivada, UnJugadorQueYaNoContestaNoRetrasaLaPuesta) {
    const Clave32 semilla = Semilla("3-gaviota-muelle-red");
    {
        Jugador ido(red_->Ajustes());
        ASSERT_TRUE(ido.blnArranca());
        (void)ido.Busca(CitaDht::ClavePublica(semilla), kSalOferta); // the nodes now know him
    }
    Jugador anfitrion(red_->Ajustes());
    ASSERT_TRUE(anfitrion.blnArranca());
    QElapsedTimer reloj;
    reloj.start();
    EXPECT_GE(anfitrion.Publica(semilla, kSalOferta, "oferta"), 3);
    Medida("publicar con un jugador ido", reloj.elapsed());
    EXPECT_LT(reloj.elapsed(), 7000);
}

TEST_F(UnaDhtPrivada, UnaClaveQueNadiePublicoNoSeEncuentraEnPocosSegundos) {
    Jugador invitado(red_->Ajustes());
    ASSERT_TRUE(invitado.blnArranca());
    QElapsedTimer reloj;
    reloj.start();
    EXPECT_TRUE(invitado.Busca(CitaDht::ClavePublica(Semilla("nadie")), kSalOferta).isNull());
    EXPECT_EQ(invitado.noEncontrada.size(), 1);
    Medida("buscar lo que no hay", reloj.elapsed());
    EXPECT_LT(reloj.elapsed(), 5000);
}

TEST_F(UnaDhtPrivada, ElDatoMasLargoQueCabeSeGuardaYUnoMasLargoSeRechaza) {
    const Clave32 semilla = Semilla("9-faro-roca-ola");
    Jugador anfitrion(red_->Ajustes());
    ASSERT_TRUE(anfitrion.blnArranca());
    EXPECT_GT(anfitrion.Publica(semilla, kSalOferta, QByteArray(kMaxValorDht, 'x')), 0);

    anfitrion.cita.Publicar(semilla, kSalOferta, QByteArray(kMaxValorDht + 1, 'y'));
    ASSERT_TRUE(anfitrion.fallo.wait(1000));
    EXPECT_EQ(anfitrion.fallo.front().at(0).toString(), "El dato ocupa 997 bytes; en la DHT caben 996.");
    EXPECT_EQ(anfitrion.Busca(CitaDht::ClavePublica(semilla), kSalOferta), QByteArray(kMaxValorDht, 'x'));
}

TEST_F(UnaDhtPrivada, DestruirlaMientrasBuscaNoEsperaALaRedNiLeeDespues) {
    auto invitado = std::make_unique<Jugador>(red_->Ajustes());
    ASSERT_TRUE(invitado->blnArranca());
    invitado->cita.Publicar(Semilla("pendiente"), kSalOferta, "x");
    invitado->cita.Buscar(CitaDht::ClavePublica(Semilla("pendiente")), kSalOferta);
    // The network thread answers meanwhile and queues a read on our thread,
    // which must never run once the object is gone.
    QThread::msleep(50);
    QElapsedTimer reloj;
    reloj.start();
    invitado.reset();
    Medida("destruir con una busqueda en curso", reloj.elapsed());
    EXPECT_LT(reloj.elapsed(), 500);
    QTest::qWait(200);
}

namespace {

// A DHT node that answers every query, and every "get" with one item we
// made up: what a hostile node could serve.
class NodoFalso {
public:
    NodoFalso() {
        socket_.bind(QHostAddress::LocalHost, 0);
        QObject::connect(&socket_, &QUdpSocket::readyRead, [this] { Contestar(); });
    }
    QString Direccion() const { return QStringLiteral("127.0.0.1:%1").arg(socket_.localPort()); }
    // The item as served: v, k, sig and seq, signed with `semilla` over
    // `firmado` (which is `v` unless the row forges it).
    void Servir(const Clave32& semilla, const QByteArray& sal, const lt::entry& v, const lt::entry& firmado) {
        std::array<char, 32> s{};
        std::memcpy(s.data(), semilla.data(), s.size());
        const auto [publica, secreta] = lt::dht::ed25519_create_keypair(s);
        std::vector<char> b;
        lt::bencode(std::back_inserter(b), firmado);
        const auto firma = lt::dht::sign_mutable_item(b, {sal.constData(), sal.size()},
                                                      lt::dht::sequence_number(1), publica, secreta);
        item_ = lt::entry::dictionary_type{};
        item_["v"] = v;
        item_["k"] = std::string(publica.bytes.data(), publica.bytes.size());
        item_["sig"] = std::string(firma.bytes.data(), firma.bytes.size());
        item_["seq"] = 1;
    }

private:
    void Contestar() {
        while (socket_.hasPendingDatagrams()) {
            const QNetworkDatagram d = socket_.receiveDatagram(1500);
            lt::error_code ec;
            const lt::bdecode_node q = lt::bdecode({d.data().constData(), d.data().size()}, ec);
            if (ec || q.type() != lt::bdecode_node::dict_t) continue;
            lt::entry r;
            r["t"] = std::string(q.dict_find_string_value("t"));
            r["y"] = "r";
            r["r"] = q.dict_find_string_value("q") == "get" ? item_ : lt::entry::dictionary_type{};
            r["r"]["id"] = std::string(20, '\x42');
            r["r"]["token"] = "ficha";
            std::vector<char> b;
            lt::bencode(std::back_inserter(b), r);
            socket_.writeDatagram(b.data(), qint64(b.size()), d.senderAddress(), quint16(d.senderPort()));
        }
    }
    QUdpSocket socket_;
    lt::entry item_ = lt::entry::dictionary_type{};
};

} // namespace

// libtorrent checks the signature; we check what is signed is ours.
TEST(CitaDhtNodoHostil, SoloSeCreeUnaCadenaFirmadaDeNuestroTamano) {
    struct Fila {
        const char* que;
        lt::entry servido, firmado;
        bool blnSeEncuentra;
    } const filas[] = {
        {"a string, well signed", lt::entry("oferta"), lt::entry("oferta"), true},
        {"signature over other bytes", lt::entry("oferta falsa"), lt::entry("oferta"), false},
        {"a number, well signed", lt::entry(7), lt::entry(7), false},
        {"a list, well signed", lt::entry(lt::entry::list_type{}), lt::entry(lt::entry::list_type{}), false},
        {"one byte too long, well signed", lt::entry(std::string(kMaxValorDht + 1, 'x')),
         lt::entry(std::string(kMaxValorDht + 1, 'x')), false},
    };
    const Clave32 semilla = Semilla("1-nodo-hostil");
    NodoFalso nodo;
    for (const Fila& f : filas) {
        SCOPED_TRACE(f.que);
        nodo.Servir(semilla, kSalOferta, f.servido, f.firmado);
        Jugador j(CitaDht::Ajustes{{nodo.Direccion()}, {}, true});
        ASSERT_TRUE(j.blnArranca());
        const QByteArray hallado = j.Busca(CitaDht::ClavePublica(semilla), kSalOferta);
        EXPECT_EQ(j.encontrada.size() + j.noEncontrada.size(), 1);
        EXPECT_EQ(!hallado.isNull(), f.blnSeEncuentra);
        if (f.blnSeEncuentra) {
            EXPECT_EQ(hallado, "oferta");
        }
    }
}

// The test main runs in local-only mode.
TEST(CitaDhtSoloLocal, UnNodoDeArranqueDeFueraSeRechazaSinArrancarNada) {
    Jugador j(CitaDht::Ajustes{{"127.0.0.1:6881", "192.0.2.1:6881"}, {}, true});
    ASSERT_TRUE(j.fallo.wait(1000));
    EXPECT_EQ(j.fallo.front().at(0).toString(),
              "El nodo de arranque «192.0.2.1:6881» no está permitido en modo solo local.");
    j.cita.Buscar(CitaDht::ClavePublica(Semilla("x")), kSalOferta);
    ASSERT_TRUE(j.fallo.wait(1000));
    EXPECT_EQ(j.fallo.back().at(0).toString(), "La DHT no está en marcha.");
}

TEST(CitaDhtSoloLocal, SoloEscuchaEnLoopback) {
    Jugador j(CitaDht::Ajustes{{"127.0.0.1:6881"}, "127.0.0.1:0,0.0.0.0:0", true});
    ASSERT_TRUE(j.fallo.wait(1000));
    EXPECT_EQ(j.fallo.front().at(0).toString(),
              "En modo solo local sólo se escucha en loopback, no en «0.0.0.0:0».");
}

TEST(CitaDhtSoloLocal, UnPuertoOcupadoEsUnFallo) {
    QUdpSocket ocupado;
    ASSERT_TRUE(ocupado.bind(QHostAddress::LocalHost, 0, QUdpSocket::DontShareAddress));
    Jugador j(CitaDht::Ajustes{{"127.0.0.1:6881"}, QStringLiteral("127.0.0.1:%1").arg(ocupado.localPort()), true});
    ASSERT_TRUE(j.fallo.wait(2000));
    EXPECT_TRUE(j.fallo.front().at(0).toString().startsWith("La DHT no puede escuchar: "))
        << j.fallo.front().at(0).toString().toStdString();
}

TEST(CitaDhtSoloLocal, UnaListaDeArranqueVaciaEsUnFalloYNoLaListaDeLibtorrent) {
    Jugador j(CitaDht::Ajustes{{}, {}, true});
    ASSERT_TRUE(j.fallo.wait(1000));
    EXPECT_EQ(j.fallo.front().at(0).toString(), "No hay ningún nodo de arranque para la DHT.");
}
