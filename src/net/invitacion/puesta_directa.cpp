#include "net/invitacion/puesta_directa.h"

#include <libtorrent/bdecode.hpp>
#include <libtorrent/bencode.hpp>
#include <libtorrent/hasher.hpp>
#include <libtorrent/kademlia/ed25519.hpp>
#include <libtorrent/kademlia/item.hpp>

#include <iterator>
#include <vector>

namespace lt = libtorrent;

namespace brumaria::red::invitacion {

namespace {

std::vector<char> Bencodificado(const std::string& valor) {
    std::vector<char> b;
    lt::bencode(std::back_inserter(b), lt::entry(valor));
    return b;
}

std::string Cadena(const char* p, std::size_t n) {
    return std::string(p, n);
}

// What BEP 44 signs: the salt (when there is one), the seq and the
// bencoded value, as they would stand in a bencoded dictionary.
std::string Firmado(lt::span<char const> v, const std::string& sal, std::int64_t seq) {
    std::string m;
    if (!sal.empty()) m += "4:salt" + std::to_string(sal.size()) + ":" + sal;
    m += "3:seqi" + std::to_string(seq) + "e1:v";
    m.append(v.data(), std::size_t(v.size()));
    return m;
}

} // namespace

std::array<char, 64> FirmaDeValor(const std::string& valor, const std::string& sal,
                                  std::int64_t seq, const std::array<char, 32>& publica,
                                  const std::array<char, 64>& secreta) {
    return lt::dht::sign_mutable_item(Bencodificado(valor), sal, lt::dht::sequence_number(seq),
                                      lt::dht::public_key(publica.data()),
                                      lt::dht::secret_key(secreta.data()))
        .bytes;
}

std::array<char, 20> DestinoMutable(const std::array<char, 32>& publica, const std::string& sal) {
    lt::hasher h(publica.data(), int(publica.size()));
    if (!sal.empty()) h.update(sal.data(), int(sal.size()));
    const lt::sha1_hash d = h.final();
    std::array<char, 20> r{};
    std::copy(d.begin(), d.end(), r.begin());
    return r;
}

lt::entry PeticionToken(const std::array<char, 32>& publica, const std::string& sal) {
    const std::array<char, 20> destino = DestinoMutable(publica, sal);
    lt::entry e;
    e["q"] = "get";
    e["a"]["target"] = Cadena(destino.data(), destino.size());
    return e;
}

std::optional<TokenDeNodo> LeerToken(const lt::bdecode_node& mensaje,
                                     const std::array<char, 32>& publica, const std::string& sal) {
    if (mensaje.type() != lt::bdecode_node::dict_t) return std::nullopt;
    const lt::bdecode_node r = mensaje.dict_find_dict("r");
    if (!r) return std::nullopt;
    const lt::string_view token = r.dict_find_string_value("token");
    if (token.empty() || token.size() > kMaxTokenDht) return std::nullopt;
    TokenDeNodo t;
    t.token = std::string(token);
    // The seq counts only with a value that verifies under our key: a node
    // that made one up could otherwise push ours to the top of the range.
    const lt::bdecode_node k = r.dict_find_string("k");
    const lt::bdecode_node sig = r.dict_find_string("sig");
    const lt::bdecode_node v = r.dict_find("v");
    const std::int64_t seq = r.dict_find_int_value("seq", -1);
    if (k && sig && v && seq >= 0 && k.string_length() == int(publica.size()) &&
        std::equal(publica.begin(), publica.end(), k.string_ptr()) && sig.string_length() == 64 &&
        lt::dht::ed25519_verify(lt::dht::signature(sig.string_ptr()),
                                Firmado(v.data_section(), sal, seq),
                                lt::dht::public_key(publica.data())))
        t.seq = seq;
    return t;
}

lt::entry PeticionPut(const std::string& token, const std::array<char, 32>& publica,
                      const std::string& sal, const std::string& valor, std::int64_t seq,
                      const std::array<char, 64>& firma) {
    lt::entry e;
    e["q"] = "put";
    lt::entry& a = e["a"];
    a["token"] = token;
    a["k"] = Cadena(publica.data(), publica.size());
    a["seq"] = seq;
    a["sig"] = Cadena(firma.data(), firma.size());
    a["v"] = valor;
    if (!sal.empty()) a["salt"] = sal;
    return e;
}

bool blnAceptado(const lt::bdecode_node& mensaje) {
    return mensaje.type() == lt::bdecode_node::dict_t && mensaje.dict_find_dict("r") &&
           !mensaje.dict_find("e");
}

} // namespace brumaria::red::invitacion
