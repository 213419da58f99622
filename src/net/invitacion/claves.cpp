#include "net/invitacion/claves.h"

#include <sodium.h>

namespace brumaria::red::invitacion {

namespace {

static_assert(sizeof(Clave32) == crypto_kdf_KEYBYTES);
static_assert(sizeof(Clave32) == crypto_kx_PUBLICKEYBYTES);
static_assert(sizeof(Clave32) == crypto_kx_SESSIONKEYBYTES);
static_assert(sizeof(Clave32) == crypto_aead_xchacha20poly1305_ietf_KEYBYTES);
static_assert(sizeof(Clave32) == crypto_sign_SEEDBYTES);
static_assert(kSalInvitacion.size() == crypto_pwhash_SALTBYTES);
static_assert(kSobreSellado == crypto_aead_xchacha20poly1305_ietf_NPUBBYTES +
                                   crypto_aead_xchacha20poly1305_ietf_ABYTES);

// crypto_kdf's context: exactly 8 characters, the same for every subkey.
constexpr char kContextoKdf[crypto_kdf_CONTEXTBYTES + 1] = "brumaria";

// The subkey ids are part of the format: never renumber them.
enum class IdSubclave : std::uint64_t { Firma = 1, Oferta = 2, Respuesta = 3, Enlace = 4 };

const unsigned char* U(QByteArrayView v) {
    return reinterpret_cast<const unsigned char*>(v.data());
}

bool Subclave(Clave32& sub, IdSubclave id, const Clave32& maestra) {
    return crypto_kdf_derive_from_key(sub.data(), sub.size(), static_cast<std::uint64_t>(id),
                                      kContextoKdf, maestra.data()) == 0;
}

bool Ligar(Clave32& clave, const Clave32& claveEnlace) {
    Clave32 ligada{};
    const bool ok = crypto_generichash(ligada.data(), ligada.size(), clave.data(), clave.size(),
                                       claveEnlace.data(), claveEnlace.size()) == 0;
    clave = ligada;
    sodium_memzero(ligada.data(), ligada.size());
    return ok;
}

} // namespace

bool blnSodioListo() {
    // sodium_init is itself thread-safe; the static keeps its answer.
    static const bool listo = sodium_init() >= 0;
    return listo;
}

std::optional<ClavesCodigo> DerivarClaves(const QString& codigoNormalizado) {
    if (!blnSodioListo()) return std::nullopt;
    const QByteArray clave = codigoNormalizado.toUtf8();
    Clave32 maestra{};
    if (crypto_pwhash(maestra.data(), maestra.size(), clave.constData(),
                      static_cast<unsigned long long>(clave.size()), kSalInvitacion.data(),
                      crypto_pwhash_OPSLIMIT_INTERACTIVE, crypto_pwhash_MEMLIMIT_INTERACTIVE,
                      crypto_pwhash_ALG_ARGON2ID13) != 0)
        return std::nullopt; // out of memory
    ClavesCodigo c;
    const bool ok = Subclave(c.semillaFirma, IdSubclave::Firma, maestra) &&
                    Subclave(c.claveOferta, IdSubclave::Oferta, maestra) &&
                    Subclave(c.claveRespuesta, IdSubclave::Respuesta, maestra) &&
                    Subclave(c.claveEnlace, IdSubclave::Enlace, maestra);
    sodium_memzero(maestra.data(), maestra.size());
    if (!ok) return std::nullopt;
    return c;
}

QByteArray Sellar(const Clave32& k, QByteArrayView claro, QByteArrayView datosAsociados) {
    if (!blnSodioListo() || claro.size() > kMaxSellado - kSobreSellado) return {};
    QByteArray sellado(kSobreSellado + claro.size(), Qt::Uninitialized);
    auto* nonce = reinterpret_cast<unsigned char*>(sellado.data());
    randombytes_buf(nonce, crypto_aead_xchacha20poly1305_ietf_NPUBBYTES);
    unsigned long long largo = 0;
    crypto_aead_xchacha20poly1305_ietf_encrypt(
        nonce + crypto_aead_xchacha20poly1305_ietf_NPUBBYTES, &largo, U(claro),
        static_cast<unsigned long long>(claro.size()), U(datosAsociados),
        static_cast<unsigned long long>(datosAsociados.size()), nullptr, nonce, k.data());
    return sellado;
}

std::optional<QByteArray> Abrir(const Clave32& k, QByteArrayView sellado,
                                QByteArrayView datosAsociados) {
    if (!blnSodioListo() || sellado.size() < kSobreSellado || sellado.size() > kMaxSellado)
        return std::nullopt;
    QByteArray claro(sellado.size() - kSobreSellado, Qt::Uninitialized);
    const unsigned char* nonce = U(sellado);
    const unsigned char* cifrado = nonce + crypto_aead_xchacha20poly1305_ietf_NPUBBYTES;
    unsigned long long largo = 0;
    if (crypto_aead_xchacha20poly1305_ietf_decrypt(
            reinterpret_cast<unsigned char*>(claro.data()), &largo, nullptr, cifrado,
            static_cast<unsigned long long>(sellado.size() -
                                            crypto_aead_xchacha20poly1305_ietf_NPUBBYTES),
            U(datosAsociados), static_cast<unsigned long long>(datosAsociados.size()), nonce,
            k.data()) != 0)
        return std::nullopt;
    return claro;
}

std::optional<ParKx> ParKxNuevo() {
    if (!blnSodioListo()) return std::nullopt;
    ParKx par;
    crypto_kx_keypair(par.publica.data(), par.secreta.data());
    return par;
}

std::optional<ClavesSesion> ClavesDeSesion(bool blnAnfitrion, const ParKx& propio,
                                           const Clave32& publicaAjena,
                                           const Clave32& claveEnlace) {
    if (!blnSodioListo()) return std::nullopt;
    ClavesSesion s;
    const int r =
        blnAnfitrion
            ? crypto_kx_server_session_keys(s.rx.data(), s.tx.data(), propio.publica.data(),
                                            propio.secreta.data(), publicaAjena.data())
            : crypto_kx_client_session_keys(s.rx.data(), s.tx.data(), propio.publica.data(),
                                            propio.secreta.data(), publicaAjena.data());
    if (r != 0 || !Ligar(s.rx, claveEnlace) || !Ligar(s.tx, claveEnlace)) return std::nullopt;
    return s;
}

} // namespace brumaria::red::invitacion
