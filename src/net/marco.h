#pragma once
// The byte level of a session: length-prefixed frames over TCP and the
// bounded field reader/writer shared with the discovery datagrams.
// Pure functions, no sockets, so they can be fuzzed and tested alone.
#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <cstdint>
#include <optional>

namespace brumaria::red {

// Largest body of one frame. An alert text is at most 1024 characters
// (4 KiB of UTF-8 at worst), so 16 KiB leaves room and still bounds what a
// hostile peer can make us buffer.
inline constexpr std::uint32_t kMaxCuerpoMarco = 16 * 1024;
// Largest string inside a handshake or discovery field, in bytes.
inline constexpr std::uint16_t kMaxCadenaCampo = 1024;

enum class TipoMarco : std::uint8_t {
    Hola = 1,       // joiner -> host: ask to join
    Bienvenida = 2, // host -> joiner: accepted
    Rechazo = 3,    // host -> joiner: refused, with a result code
    Datos = 4,      // either way: one UTF-8 string
    Latido = 5,     // either way: still here
    Adios = 6,      // either way: leaving the session
};

struct Marco {
    TipoMarco tipo = TipoMarco::Datos;
    QByteArray cuerpo;
};

// One frame: 4-byte big-endian length of (type byte + body), type, body.
// The body must not exceed kMaxCuerpoMarco (the caller checks).
QByteArray CodificarMarco(TipoMarco tipo, QByteArrayView cuerpo = {});

// Cuts a byte stream into frames. Once the stream is found broken (a length
// of 0 or beyond the bound, an unknown type) it stays broken and the
// connection must be dropped.
class DecodificadorMarcos {
public:
    // Appends bytes and moves every complete frame to `salida`.
    // False when the stream is broken.
    bool Anadir(QByteArrayView datos, QList<Marco>& salida);
    bool blnRoto() const { return roto_; }
    // Bytes held waiting for the rest of a frame.
    qsizetype Pendientes() const { return buffer_.size(); }

private:
    QByteArray buffer_;
    bool roto_ = false;
};

// Strict UTF-8 to text, without a byte-order mark at its start; nullopt
// for invalid bytes.
std::optional<QString> DecodificarUtf8(QByteArrayView bytes);

// Big-endian fields and length-prefixed UTF-8 strings.
class EscritorCampos {
public:
    EscritorCampos& u8(std::uint8_t v);
    EscritorCampos& u16(std::uint16_t v);
    EscritorCampos& u32(std::uint32_t v);
    // u16 byte length + UTF-8; cut at kMaxCadenaCampo bytes on a character
    // boundary.
    EscritorCampos& cadena(const QString& s);
    EscritorCampos& bytes(QByteArrayView b);
    const QByteArray& datos() const { return datos_; }

private:
    QByteArray datos_;
};

// Reads fields without ever reading past the end; any failure makes ok()
// false and every later read returns zero/empty.
class LectorCampos {
public:
    explicit LectorCampos(QByteArrayView datos) : datos_(datos) {}
    // It only looks at the bytes: they must outlive it.
    explicit LectorCampos(QByteArray&&) = delete;
    std::uint8_t u8();
    std::uint16_t u16();
    std::uint32_t u32();
    QString cadena();
    bool bytes(QByteArrayView esperado); // consumes and compares
    bool ok() const { return ok_; }
    bool alFinal() const { return pos_ == datos_.size(); }

private:
    bool Hay(qsizetype n);
    QByteArrayView datos_;
    qsizetype pos_ = 0;
    bool ok_ = true;
};

// Handshake bodies. Version 2: the fleets travel as a commitment when they
// are placed and in the clear only at the end of a match; a copy that
// speaks version 1 would wait for squares that never come, so the two are
// refused to each other at the handshake.
inline constexpr std::uint8_t kVersionProtocolo = 2;

struct Hola {
    QString guidAplicacion;
    QString guidInstancia; // empty: whichever session listens there
    QString nombre;
    // The version the joiner speaks (written right after the magic). A HOLA
    // of another version is read no further: its fields may be laid out
    // otherwise.
    std::uint8_t intVersion = kVersionProtocolo;
};

struct Bienvenida {
    std::int32_t idInvitado = 0;
    std::int32_t idHost = 0;
    QString nombreHost;
    QString nombreSesion;
    std::int32_t maxJugadores = 0;
    QString guidInstancia;
    QString guidAplicacion;
};

QByteArray CodificarHola(const Hola& h);
QByteArray CodificarBienvenida(const Bienvenida& b);
QByteArray CodificarRechazo(std::int32_t codigo);
// nullopt for a malformed body (short, junk after it, wrong magic, zero or
// equal ids, bad GUIDs). A HOLA of another version comes back with only
// its version set.
std::optional<Hola> LeerHola(QByteArrayView cuerpo);
std::optional<Bienvenida> LeerBienvenida(QByteArrayView cuerpo);
// The refusal's code; nullopt when malformed or 0 (a refusal is never success).
std::optional<std::int32_t> LeerRechazo(QByteArrayView cuerpo);

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" with hex digits.
bool blnGuidValido(const QString& guid);

} // namespace brumaria::red
