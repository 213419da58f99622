#pragma once
// The keys an invitation code gives, the sealing of the rendezvous records
// and the key exchange of the stream, all on libsodium.
//
// code --Argon2id--> master key --BLAKE2b KDF--> one subkey per use:
//   semillaFirma   ed25519 seed that signs the DHT items (both sides find
//                  them under its public key)
//   claveOferta    seals the host's offer
//   claveRespuesta seals the guest's answer
//   claveEnlace    binds the stream keys to the code
// Every parameter is in docs/protocol.md ("Invitation code").
#include "net/invitacion/tipos.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <optional>

namespace brumaria::red::invitacion {

// Starts libsodium once (thread-safe); false if it cannot start, and then
// every function here fails cleanly (empty or nullopt).
bool blnSodioListo();

struct ClavesCodigo {
    Clave32 semillaFirma{};
    Clave32 claveOferta{};
    Clave32 claveRespuesta{};
    Clave32 claveEnlace{};
};

// The application's fixed Argon2id salt: BLAKE2b with a 16-byte output,
// unkeyed, of the ASCII text "brumaria-invitacion-1".
inline constexpr std::array<std::uint8_t, 16> kSalInvitacion{
    0xde, 0xf3, 0x1c, 0x15, 0xd1, 0x10, 0x68, 0xbe, 0x95, 0xdc, 0x22, 0x9b, 0x7b, 0xbe, 0x13, 0x21};

// The keys of a canonical code (NormalizarCodigo). Argon2id at libsodium's
// "interactive" cost: 64 MiB and some 0.1 to 0.5 s of one core, on purpose
// (each guess at a code costs that much), so call it off the UI thread.
// nullopt when libsodium cannot start or cannot have the memory.
std::optional<ClavesCodigo> DerivarClaves(const QString& codigoNormalizado);

// Sealed records go to the DHT, whose values are at most 1000 bytes: a
// longer one is refused before it is read, whatever it claims to be.
inline constexpr qsizetype kMaxSellado = 1000;
inline constexpr qsizetype kSobreSellado = 24 + 16; // nonce + tag

// XChaCha20-Poly1305-IETF with a fresh random 24-byte nonce:
// nonce || ciphertext || tag. Empty if libsodium cannot start or the result
// would pass kMaxSellado.
QByteArray Sellar(const Clave32& k, QByteArrayView claro, QByteArrayView datosAsociados);
// The plain bytes; nullopt if shorter than kSobreSellado, longer than
// kMaxSellado, or not sealed with this key and these associated data.
std::optional<QByteArray> Abrir(const Clave32& k, QByteArrayView sellado,
                                QByteArrayView datosAsociados);

// An ephemeral X25519 key pair (crypto_kx), one per attempt.
struct ParKx {
    Clave32 publica{};
    Clave32 secreta{};
};
// nullopt if libsodium cannot start.
std::optional<ParKx> ParKxNuevo();

// rx decrypts what the other side sends, tx encrypts what we send: the
// host's tx is the guest's rx and the other way round.
struct ClavesSesion {
    Clave32 rx{};
    Clave32 tx{};
};
// The host is crypto_kx's server, the guest its client. Each key crypto_kx
// gives is then hashed with BLAKE2b keyed with claveEnlace: the stream keys
// need the code as well as an ephemeral secret, so whoever swapped a key on
// the way without knowing the code cannot read the stream. nullopt when
// crypto_kx refuses the other's public key (a low-order point).
std::optional<ClavesSesion> ClavesDeSesion(bool blnAnfitrion, const ParKx& propio,
                                           const Clave32& publicaAjena, const Clave32& claveEnlace);

} // namespace brumaria::red::invitacion
