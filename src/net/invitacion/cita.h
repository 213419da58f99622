#pragma once
// The rendezvous records the host and the guest publish on the DHT: the
// host's offer and the guest's answer, sealed with the keys of the code
// (claves.h), so only someone who knows the code can read or forge them.
//
// A record on the wire (byte layouts in docs/protocol.md, "Invitation
// code"):
//   version u8 = 1 | kind u8 (1 offer, 2 answer) | nonce 24 | body sealed | tag 16
// sealed with XChaCha20-Poly1305 under claveOferta or claveRespuesta, the
// associated data being the kind's salt text followed by the version and
// kind bytes: an offer never opens as an answer, nor under another code.
#include "net/invitacion/claves.h"
#include "net/invitacion/tipos.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

namespace brumaria::red::invitacion {

inline constexpr std::uint8_t kVersionCita = 1;

// BEP 44 bounds a DHT value at 1000 bytes bencoded, and a byte string of n
// bytes bencodes as "n:" and its bytes: 996 bytes take all 1000.
inline constexpr qsizetype kMaxCita = 996;
// Candidates per description: a host has a few interfaces, each with a
// host, a reflexive and perhaps a relayed candidate; 12 fit in a record
// with room for long credentials (12 IPv6 candidates take 684 bytes).
inline constexpr std::size_t kMaxCandidatos = 12;
inline constexpr qsizetype kMaxNombrePartida = 64; // bytes of UTF-8

using IdCita = std::array<std::uint8_t, 16>;

struct Oferta {                  // the host's
    std::int64_t creadaUnix = 0; // seconds since 1970 (UTC)
    IdCita id{};                 // random (IdCitaNuevo); the answer echoes it
    Clave32 clavePublicaKx{};
    DescripcionIce ice;
    QString guidInstancia; // "{8-4-4-4-12}": the game session the guest joins
    QString nombrePartida; // cut to kMaxNombrePartida bytes when written
    bool blnUsada = false; // republished true once a guest has been taken
    bool operator==(const Oferta&) const = default;
};

struct Respuesta { // the guest's
    std::int64_t creadaUnix = 0;
    IdCita idOferta{}; // the offer it answers
    Clave32 clavePublicaKx{};
    DescripcionIce ice;
    bool operator==(const Respuesta&) const = default;
};

// A fresh random id for an offer (all zero if libsodium cannot start).
IdCita IdCitaNuevo();

// The sealed record, at most kMaxCita bytes. Only the first kMaxCandidatos
// candidates are written, and then, while the record would not fit (long
// ICE credentials), the last ones are left out: the caller lists them best
// first. The credentials themselves are never cut (a cut one is useless);
// with ufrag and pwd of at most 127 bytes together (libnice makes 4 + 22)
// all 12 candidates fit. Empty when a field could not be read back (a GUID
// that is not one, credentials or a candidate outside the limits below), or
// when libsodium cannot start.
QByteArray SellarOferta(const ClavesCodigo& claves, const Oferta& oferta);
QByteArray SellarRespuesta(const ClavesCodigo& claves, const Respuesta& respuesta);

// nullopt unless the record is of this version and kind, at most kMaxCita
// bytes, sealed under this code, and its body is exactly well formed:
// ufrag 4..256 and pwd 22..256 bytes of [A-Za-z0-9+/], at most
// kMaxCandidatos candidates each of a known type, family 4 or 6, an address
// that is not 0.0.0.0 or ::, a port that is not 0, a foundation of 1..32 of
// those characters; an instance GUID that is not all zero; a name of valid
// UTF-8 of at most kMaxNombrePartida bytes; a used flag 0 or 1; no byte
// after the last field.
std::optional<Oferta> AbrirOferta(const ClavesCodigo& claves, QByteArrayView sellado);
std::optional<Respuesta> AbrirRespuesta(const ClavesCodigo& claves, QByteArrayView sellado);

// A record is believed for 10 minutes after it was made (the host
// republishes his offer while he waits; an old one is a replay), and up to
// a minute before: the other's clock may be a little ahead of ours.
inline constexpr std::int64_t kVidaCitaSegundos = 600;
inline constexpr std::int64_t kAdelantoRelojSegundos = 60;
enum class Frescura { Valida, Caducada, DelFuturo };
Frescura ComprobarFrescura(std::int64_t creadaUnix, std::int64_t ahoraUnix);

} // namespace brumaria::red::invitacion
