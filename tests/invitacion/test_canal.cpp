// The encrypted stream: what one side sends, the other reads back exactly,
// in any cuts; anything else (a changed, lost, reordered, replayed or extra
// record, a foreign header, a cut stream) breaks it for good.
#include "net/invitacion/canal_cifrado.h"

#include <gtest/gtest.h>
#include <sodium.h>

#include <random>

using namespace brumaria::red::invitacion;
using Estado = CanalCifrado::Estado;

namespace {

struct Pareja {
    ClavesSesion anfitrion, invitado;
};

Pareja ParejaNueva() {
    Clave32 enlace;
    randombytes_buf(enlace.data(), enlace.size());
    const auto a = ParKxNuevo(), i = ParKxNuevo();
    return {*ClavesDeSesion(true, *a, i->publica, enlace),
            *ClavesDeSesion(false, *i, a->publica, enlace)};
}

// What the host sends: its header, then each record on its own, then FINAL.
struct Envio {
    QByteArray cabecera;
    std::vector<QByteArray> registros;
    QByteArray claro;
    QByteArray Todo() const {
        QByteArray t = cabecera;
        for (const auto& r : registros)
            t += r;
        return t;
    }
};

Envio Enviar(const ClavesSesion& claves, const std::vector<QByteArray>& mensajes) {
    CanalCifrado canal(claves);
    Envio e;
    e.cabecera = canal.Abrir();
    for (const auto& m : mensajes) {
        e.registros.push_back(canal.Cifrar(m));
        e.claro += m;
    }
    e.registros.push_back(canal.CifrarFinal());
    return e;
}

const std::vector<QByteArray> kMensajes{"0;blnEmpiezaJugador:True", "2;3;4", "1;¡hola!"};

} // namespace

// Byte by byte, then in random cuts: all arrives, then the closing.
TEST(Canal, EnCualquierCorteLlegaTodoYElCierre) {
    const Pareja p = ParejaNueva();
    QByteArray grande(40 * 1024, '\0');
    for (qsizetype i = 0; i < grande.size(); ++i)
        grande[i] = static_cast<char>(i * 7);
    const Envio e = Enviar(p.anfitrion, {kMensajes[0], grande, kMensajes[1]});
    EXPECT_EQ(e.registros[1].size(), grande.size() + 3 * (2 + kSobreRegistro)); // 3 records
    const QByteArray todo = e.Todo();
    std::mt19937 azar(7);
    for (int vuelta = 0; vuelta < 20; ++vuelta) {
        CanalCifrado receptor(p.invitado);
        QByteArray claro;
        for (qsizetype pos = 0; pos < todo.size();) {
            const qsizetype n =
                vuelta == 0 ? 1 : std::min<qsizetype>(todo.size() - pos, azar() % 5000);
            const Estado s = receptor.Recibir(todo.sliced(pos, n), claro);
            pos += n;
            ASSERT_EQ(s, pos < todo.size() ? Estado::Abierto : Estado::Cerrado) << pos;
            ASSERT_LE(receptor.Pendientes(), 2 + kMaxCifradoRegistro);
        }
        ASSERT_EQ(claro, e.claro);
        ASSERT_EQ(receptor.FinDelTransporte(), Estado::Cerrado);
    }
}

TEST(Canal, CadaSentidoTieneSuClave) {
    const Pareja p = ParejaNueva();
    const Envio delInvitado = Enviar(p.invitado, kMensajes);
    CanalCifrado anfitrion(p.anfitrion);
    QByteArray claro;
    EXPECT_EQ(anfitrion.Recibir(delInvitado.Todo(), claro), Estado::Cerrado);
    EXPECT_EQ(claro, delInvitado.claro);
    // What the host sent, played back to him, does not pass for the guest's.
    const Envio propio = Enviar(p.anfitrion, kMensajes);
    CanalCifrado otra(p.anfitrion);
    QByteArray nada;
    EXPECT_EQ(otra.Recibir(propio.Todo(), nada), Estado::Roto);
    EXPECT_TRUE(nada.isEmpty());
}

// Every bit of header, lengths, records and closing: the receiver never
// gives a byte that was not sent, and ends broken.
TEST(Canal, UnBitCambiadoDondeSeaLoRompe) {
    const Pareja p = ParejaNueva();
    const Envio e = Enviar(p.anfitrion, kMensajes);
    const QByteArray todo = e.Todo();
    for (qsizetype bit = 0; bit < todo.size() * 8; ++bit) {
        QByteArray roto = todo;
        roto[bit / 8] = static_cast<char>(roto[bit / 8] ^ (1 << (bit % 8)));
        CanalCifrado receptor(p.invitado);
        QByteArray claro;
        receptor.Recibir(roto, claro);
        ASSERT_EQ(receptor.FinDelTransporte(), Estado::Roto) << "bit " << bit;
        ASSERT_TRUE(e.claro.startsWith(claro)) << "bit " << bit;
    }
}

TEST(Canal, UnRegistroPerdidoCambiadoDeSitioORepetidoLoRompe) {
    const Pareja p = ParejaNueva();
    const Envio e = Enviar(p.anfitrion, kMensajes);
    const auto& r = e.registros; // three messages, then FINAL
    const std::pair<const char*, QByteArray> casos[] = {
        {"perdido", e.cabecera + r[0] + r[2] + r[3]},
        {"cambiado de sitio", e.cabecera + r[1] + r[0] + r[2] + r[3]},
        {"repetido", e.cabecera + r[0] + r[0] + r[1] + r[2] + r[3]},
        {"cabecera de otra sesion", Enviar(p.anfitrion, kMensajes).cabecera + r[0]},
        {"cortado antes del cierre", e.cabecera + r[0] + r[1]},
        {"un byte tras el cierre", e.Todo() + '\0'},
        {"un registro tras el cierre", e.Todo() + r[0]},
    };
    for (const auto& [caso, flujo] : casos) {
        CanalCifrado receptor(p.invitado);
        QByteArray claro;
        receptor.Recibir(flujo, claro);
        EXPECT_EQ(receptor.FinDelTransporte(), Estado::Roto) << caso;
        EXPECT_TRUE(e.claro.startsWith(claro)) << caso;
    }
    // Nor do we send anything after our own closing.
    CanalCifrado emisor(p.anfitrion);
    emisor.Abrir();
    emisor.CifrarFinal();
    EXPECT_TRUE(emisor.Cifrar("x").isEmpty());
    EXPECT_TRUE(emisor.CifrarFinal().isEmpty());
}

// A length no record can have breaks the stream as soon as it is read,
// before any of the bytes it announces are waited for.
TEST(Canal, UnLargoImposibleLoRompeSinEsperarSusBytes) {
    const Pareja p = ParejaNueva();
    const Envio e = Enviar(p.anfitrion, kMensajes);
    for (const std::uint16_t largo :
         {std::uint16_t(0), std::uint16_t(kSobreRegistro - 1),
          std::uint16_t(kMaxCifradoRegistro + 1), std::uint16_t(0xFFFF)}) {
        CanalCifrado receptor(p.invitado);
        QByteArray claro;
        const char bytes[] = {char(largo >> 8), char(largo & 0xFF)};
        EXPECT_EQ(receptor.Recibir(e.cabecera + QByteArray(bytes, 2), claro), Estado::Roto)
            << largo;
        EXPECT_EQ(receptor.Pendientes(), 0);
    }
}

// A broken receiver forgets its keys; what it is fed afterwards, even a
// record made with a blank state (all a forger could know of it), is not
// read.
TEST(Canal, RotoNoSeLeeNiLoHechoConUnEstadoEnBlanco) {
    const Pareja p = ParejaNueva();
    const Envio e = Enviar(p.anfitrion, kMensajes);
    CanalCifrado receptor(p.invitado);
    QByteArray claro;
    ASSERT_EQ(receptor.Recibir(e.cabecera + e.registros[1], claro), Estado::Roto);

    crypto_secretstream_xchacha20poly1305_state enBlanco{};
    QByteArray registro(2 + 1 + kSobreRegistro, '\0');
    registro[1] = static_cast<char>(1 + kSobreRegistro);
    crypto_secretstream_xchacha20poly1305_push(
        &enBlanco, reinterpret_cast<unsigned char*>(registro.data()) + 2, nullptr,
        reinterpret_cast<const unsigned char*>("x"), 1, nullptr, 0,
        crypto_secretstream_xchacha20poly1305_TAG_MESSAGE);
    EXPECT_EQ(receptor.Recibir(registro, claro), Estado::Roto);
    EXPECT_TRUE(claro.isEmpty());
}
