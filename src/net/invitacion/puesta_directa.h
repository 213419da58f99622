#pragma once
// A BEP 44 put made straight to one node we know, in two messages: "get"
// for the node's write token (and the sequence number it holds), then
// "put" with that token. On a private DHT every node is known and listed,
// so this skips the traversal's wait on nodes that no longer answer (a
// player who left stays in the others' tables for minutes, and a
// traversal waits 15 s on each such node before it ends).
//
// The messages are built and read here, and the records of a put in
// flight are declared; libtorrent's dht_direct_request adds "y", "t" and
// our node id, and matches the reply.
#include <libtorrent/entry.hpp>
#include <libtorrent/fwd.hpp>
#include <libtorrent/socket.hpp>

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace brumaria::red::invitacion {

// What a node's reply to "get" gives us. A token longer than this is not
// an honest node's (libtorrent's are 4 bytes) and is not echoed back.
inline constexpr std::size_t kMaxTokenDht = 64;

struct TokenDeNodo {
    std::string token;
    // The sequence number of a correctly signed item it holds under our
    // key and salt; 0 when it holds none (or one that does not verify).
    std::int64_t seq = 0;
};

// What a CitaDht last wrote under one (key, salt), read by every put in
// flight, libtorrent's traversal on its own thread too: a put that was
// started for an older value still writes the newest, so a late one can
// never bury what came after it under a higher sequence number.
struct Escrito {
    std::mutex m;
    std::int64_t seq = 0;
    std::string valor;
    // The sequence number for a put, given what the node (or the DHT)
    // holds; the caller holds m.
    std::int64_t Siguiente(std::int64_t suya) {
        constexpr std::int64_t kTope = std::numeric_limits<std::int64_t>::max();
        seq = std::max(seq, suya < kTope ? suya + 1 : kTope);
        return seq;
    }
};

// One direct put to one node: first its token, then the put.
struct PeticionDirecta {
    enum class Paso { Token, Put } paso = Paso::Token;
    int operacion = 0;
    std::shared_ptr<Escrito> escrito;
    std::array<char, 32> publica{};
    std::array<char, 64> secreta{};
    std::string sal;
    lt::udp::endpoint nodo;
};

// The BEP 44 signature of bencoded string `valor` at `seq` under `sal`.
std::array<char, 64> FirmaDeValor(const std::string& valor, const std::string& sal,
                                  std::int64_t seq, const std::array<char, 32>& publica,
                                  const std::array<char, 64>& secreta);

// The target of a mutable item: SHA-1 of the key followed by the salt.
std::array<char, 20> DestinoMutable(const std::array<char, 32>& publica, const std::string& sal);

// {"q": "get", "a": {"target": ...}}
libtorrent::entry PeticionToken(const std::array<char, 32>& publica, const std::string& sal);

// The token from a whole reply message; nothing for an error, a timeout
// (an empty node) or a token that is missing, empty or too long.
std::optional<TokenDeNodo> LeerToken(const libtorrent::bdecode_node& mensaje,
                                     const std::array<char, 32>& publica, const std::string& sal);

// {"q": "put", "a": {"token", "k", "seq", "sig", "v"[, "salt"]}}
libtorrent::entry PeticionPut(const std::string& token, const std::array<char, 32>& publica,
                              const std::string& sal, const std::string& valor, std::int64_t seq,
                              const std::array<char, 64>& firma);

// The node answered the put with "r" (stored), not "e" or nothing.
bool blnAceptado(const libtorrent::bdecode_node& mensaje);

} // namespace brumaria::red::invitacion
