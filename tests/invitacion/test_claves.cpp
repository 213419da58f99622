// The keys of a code, the sealing of a rendezvous record, and the key
// exchange that gives the stream its keys only to whoever knows the code.
#include "net/invitacion/claves.h"

#include <gtest/gtest.h>
#include <sodium.h>

using namespace brumaria::red::invitacion;

namespace {
QByteArray Hex(const Clave32& k) {
    return QByteArray(reinterpret_cast<const char*>(k.data()), k.size()).toHex();
}
Clave32 ClaveAlAzar() {
    Clave32 k;
    randombytes_buf(k.data(), k.size());
    return k;
}
} // namespace

TEST(Claves, LaSalDeLaAplicacionEsLaQueDiceElDocumento) {
    ASSERT_TRUE(blnSodioListo());
    std::array<std::uint8_t, 16> sal{};
    crypto_generichash(sal.data(), sal.size(),
                       reinterpret_cast<const unsigned char*>("brumaria-invitacion-1"), 21, nullptr,
                       0);
    EXPECT_EQ(sal, kSalInvitacion);
}

// The example in docs/protocol.md: another program checks its derivation
// against these, and a change of any parameter here (which would strand
// every copy already out) shows.
TEST(Claves, LasClavesDeUnCodigoSonLasDeSiempre) {
    const auto c = DerivarClaves(QStringLiteral("7-ballena-faro-nube-rosa"));
    ASSERT_TRUE(c);
    EXPECT_EQ(Hex(c->semillaFirma),
              "bd07ccda801cc31961694eca519dad075474cb4d8e2d65f18eaa02e2d3ab6cf3");
    EXPECT_EQ(Hex(c->claveOferta),
              "9b476a61581aec0cc73295ce3896cc0f4ca1827c3407813b1e25127fd8067cf4");
    EXPECT_EQ(Hex(c->claveRespuesta),
              "9d49d02d0b5667c02de4afe026222cbf4f00416b10f00a5ab4be80adab102b2f");
    EXPECT_EQ(Hex(c->claveEnlace),
              "8a87902b718065f5d5db810a9982ed920d6401d993c08e36beafe3cb19c331f6");
}

TEST(Sellado, LoSelladoSoloSeAbreConSuClaveYSusDatosAsociados) {
    const Clave32 k = ClaveAlAzar();
    const QByteArray sellado = Sellar(k, "tesoro", "ad");
    ASSERT_EQ(sellado.size(), kSobreSellado + 6);
    EXPECT_EQ(Abrir(k, sellado, "ad"), QByteArray("tesoro"));
    EXPECT_FALSE(Abrir(k, sellado, "ae"));
    EXPECT_FALSE(Abrir(ClaveAlAzar(), sellado, "ad"));
    // A fresh nonce each time: the same text never seals the same twice.
    EXPECT_NE(Sellar(k, "tesoro", "ad"), sellado);
    for (qsizetype bit = 0; bit < sellado.size() * 8; ++bit) {
        QByteArray roto = sellado;
        roto[bit / 8] = static_cast<char>(roto[bit / 8] ^ (1 << (bit % 8)));
        ASSERT_FALSE(Abrir(k, roto, "ad")) << "bit " << bit;
    }
}

TEST(Sellado, LoCortoOLoQueNoCabeEnLaDhtNoSeAbre) {
    const Clave32 k = ClaveAlAzar();
    const QByteArray lleno = Sellar(k, QByteArray(kMaxSellado - kSobreSellado, 'x'), {});
    ASSERT_EQ(lleno.size(), kMaxSellado);
    EXPECT_TRUE(Abrir(k, lleno, {}));
    EXPECT_TRUE(Sellar(k, QByteArray(kMaxSellado - kSobreSellado + 1, 'x'), {}).isEmpty());
    // One byte more is refused unopened, though rightly sealed.
    QByteArray grande(kMaxSellado + 1, '\0');
    auto* p = reinterpret_cast<unsigned char*>(grande.data());
    const QByteArray claro(grande.size() - kSobreSellado, 'x');
    crypto_aead_xchacha20poly1305_ietf_encrypt(p + 24, nullptr,
                                               reinterpret_cast<const unsigned char*>(claro.data()),
                                               claro.size(), nullptr, 0, nullptr, p, k.data());
    EXPECT_FALSE(Abrir(k, grande, {}));
    const QByteArray vacio = Sellar(k, {}, {});
    EXPECT_EQ(Abrir(k, vacio, {}), QByteArray());
    EXPECT_FALSE(Abrir(k, vacio.chopped(1), {}));
}

// The host's tx is the guest's rx and back; someone who put his own key in
// the guest's place, without the code, gets other keys than the host's.
TEST(ClavesSesion, SoloQuienSabeElCodigoTieneLasClavesDelOtro) {
    const Clave32 enlace = ClaveAlAzar();
    const auto anfitrion = ParKxNuevo(), invitado = ParKxNuevo();
    ASSERT_TRUE(anfitrion && invitado);
    const auto a = ClavesDeSesion(true, *anfitrion, invitado->publica, enlace);
    const auto i = ClavesDeSesion(false, *invitado, anfitrion->publica, enlace);
    const auto x = ClavesDeSesion(false, *invitado, anfitrion->publica, ClaveAlAzar());
    ASSERT_TRUE(a && i && x);
    EXPECT_EQ(a->tx, i->rx);
    EXPECT_EQ(a->rx, i->tx);
    EXPECT_NE(a->tx, a->rx);
    EXPECT_NE(a->tx, x->rx);
    EXPECT_NE(a->rx, x->tx);
}

TEST(ClavesSesion, UnaClavePublicaDeOrdenPequenoSeRechaza) {
    const auto propio = ParKxNuevo();
    ASSERT_TRUE(propio);
    EXPECT_FALSE(ClavesDeSesion(true, *propio, Clave32{}, ClaveAlAzar()));
    EXPECT_FALSE(ClavesDeSesion(false, *propio, Clave32{}, ClaveAlAzar()));
}
