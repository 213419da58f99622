#pragma once
// The game's byte stream, end to end encrypted (libsodium's secretstream,
// XChaCha20-Poly1305). Bytes in, bytes out, no sockets: the link under it
// is ICE's reliable stream, and tests feed it by hand.
//
// Each direction, on the wire:
//   header     24 bytes, sent first (crypto_secretstream's header)
//   record*    u16 big-endian length L, then L bytes of ciphertext:
//              one pushed message, TAG_MESSAGE, at most 16 KiB of plain bytes
//   closing    a record of an empty message with TAG_FINAL; nothing after it
// A record that fails authentication (a flipped bit, a dropped, reordered
// or replayed record, a header from another session), a length outside
// 17..16401, any other tag, a FINAL with bytes in it, anything after FINAL,
// or the link ending before FINAL: the stream is broken for good.
#include "net/invitacion/claves.h"

#include <QByteArray>
#include <QByteArrayView>
#include <sodium.h>

namespace brumaria::red::invitacion {

// One record carries at most this much plain data: the frames of the game
// (net/marco.h) are at most 16 KiB + 5 bytes, so most go in one record, and
// the receiver never holds more than one record's worth of our memory.
inline constexpr qsizetype kMaxClaroRegistro = 16 * 1024;
inline constexpr qsizetype kCabeceraFlujo = crypto_secretstream_xchacha20poly1305_HEADERBYTES;
inline constexpr qsizetype kSobreRegistro = crypto_secretstream_xchacha20poly1305_ABYTES;
inline constexpr qsizetype kMaxCifradoRegistro = kMaxClaroRegistro + kSobreRegistro;
static_assert(kMaxCifradoRegistro <= 0xFFFF, "the length field is a u16");

class CanalCifrado {
public:
    explicit CanalCifrado(const ClavesSesion& claves);
    ~CanalCifrado();
    CanalCifrado(const CanalCifrado&) = delete;
    CanalCifrado& operator=(const CanalCifrado&) = delete;

    // Our header, to be sent before anything else. Once only: a second call,
    // or libsodium not ready, gives nothing.
    QByteArray Abrir();
    // The records of `claro`, cut into pieces of at most kMaxClaroRegistro.
    // Nothing before Abrir() or after CifrarFinal(), nor for empty input.
    QByteArray Cifrar(QByteArrayView claro);
    // The closing record; after it we send nothing more.
    QByteArray CifrarFinal();

    enum class Estado { Abierto, Cerrado /* got FINAL */, Roto };
    // Takes bytes from the other side, in any cuts; appends to `claro` the
    // plain bytes of every record completed, in order (those before a fault
    // too: they were authentic). Once Cerrado or Roto it stays so and
    // gives nothing more.
    Estado Recibir(QByteArrayView cifrado, QByteArray& claro);
    // The link under us ended: a stream cut before its FINAL is Roto (the
    // end of what the other said could be missing).
    Estado FinDelTransporte();
    Estado estado() const { return estado_; }
    // Bytes held waiting for the rest of a header or record: never more
    // than kCabeceraFlujo, or 2 + kMaxCifradoRegistro, since each is used
    // as soon as it is whole and a length is checked before its bytes are
    // waited for.
    qsizetype Pendientes() const { return pendiente_.size(); }

private:
    Estado Romper();

    Clave32 claveTx_{};
    Clave32 claveRx_{};
    crypto_secretstream_xchacha20poly1305_state tx_{};
    crypto_secretstream_xchacha20poly1305_state rx_{};
    bool abiertoTx_ = false;
    bool cerradoTx_ = false;
    bool cabeceraRx_ = false; // the other's header has been taken
    Estado estado_ = Estado::Abierto;
    QByteArray pendiente_;
};

} // namespace brumaria::red::invitacion
