#pragma once
// The invitation code the host reads out and the guest types:
// "7-ballena-faro-nube-rosa", a number 1..64 and four words of the fixed
// list (palabras.h). 6 + 4 x 11 = 50 secret bits: the keys of the whole
// rendezvous are derived from it (claves.h), so whoever guesses it can
// answer instead of the friend. At Argon2id's cost per guess (claves.h,
// some 0.1 s of a core), trying all 2^50 codes takes some 3.5 million
// core-years, and an offer is believed for ten minutes.
//
// Bits to code, b being 50 bits (b < 2^50):
//   number = (b >> 44) + 1            top 6 bits, 1..64
//   word i = (b >> (33 - 11 i)) & 0x7FF, i = 0..3, an index into the list
// so b = 0 is "1-abanico-abanico-abanico-abanico".
#include <QString>
#include <cstdint>
#include <optional>

namespace brumaria::red::invitacion {

inline constexpr int kBitsCodigo = 50;
inline constexpr std::uint64_t kMascaraCodigo = (std::uint64_t{1} << kBitsCodigo) - 1;
// A typed code longer than this is refused unread: the longest canonical
// code is 2 + 4 x 9 = 38 characters, which leaves room for generous blanks
// and still bounds the work done on pasted junk.
inline constexpr qsizetype kMaxTecleado = 100;

// The canonical code of the low 50 bits of `bits50` (higher bits ignored).
QString CodigoDesdeBits(std::uint64_t bits50);
// The 50 bits of a canonical code; nullopt for anything not canonical.
std::optional<std::uint64_t> BitsDesdeCodigo(const QString& canonico);
// A new code from the system's cryptographic random source (libsodium),
// never from the game's own draw source. Empty if libsodium cannot start.
QString CodigoNuevo();

// What the guest typed, made canonical ("N-w-w-w-w", N without leading
// zeros), or nullopt. Accepted: capitals; any run of blanks (Unicode white
// space) and hyphens between the parts, before and after them; the vowels
// á é í ó ú ü (and capitals) read as a e i o u u; the number with leading
// zeros. Refused: any other character (other accents, ñ, digits other than
// 0-9, dots...), a word not in the list, a number outside 1..64, anything
// but a number followed by four words, more than kMaxTecleado characters.
std::optional<QString> NormalizarCodigo(const QString& tecleado);

} // namespace brumaria::red::invitacion
