// The messages of a direct put: BEP 44's own test vectors for the
// signature and the target, and every kind of reply a node may send.
#include "net/invitacion/puesta_directa.h"

#include <gtest/gtest.h>
#include <libtorrent/bdecode.hpp>
#include <libtorrent/bencode.hpp>
#include <libtorrent/hex.hpp>

#include <iterator>
#include <vector>

namespace lt = libtorrent;
using namespace brumaria::red::invitacion;

namespace {

template <std::size_t N> std::array<char, N> DeHex(const char* hex) {
    std::array<char, N> r{};
    EXPECT_TRUE(lt::aux::from_hex({hex, N * 2}, r.data()));
    return r;
}

template <std::size_t N> std::string Hex(const std::array<char, N>& a) {
    return lt::aux::to_hex({a.data(), N});
}

// BEP 44, "Test vectors".
const auto kPublica = DeHex<32>("77ff84905a91936367c01360803104f92432fcd904a43511876df5cdf3e7e548");
const auto kSecreta = DeHex<64>("e06d3183d14159228433ed599221b80bd0a5ce8352e4bdf0262f76786ef1c74d"
                                "b7e7a9fea2c0eb269d61e3b38e450a22e754941ac78479d6c54e1faf6037881d");
const std::string kValor = "Hello World!";

// A reply message as a node sends it, decoded; the buffer outlives the node.
struct Respuesta {
    std::string bytes;
    lt::bdecode_node nodo;
    explicit Respuesta(const lt::entry& e) {
        lt::bencode(std::back_inserter(bytes), e);
        lt::error_code ec;
        nodo = lt::bdecode(bytes, ec);
        EXPECT_FALSE(ec) << ec.message();
    }
};

lt::entry ConToken(const std::string& token) {
    lt::entry e;
    e["y"] = "r";
    e["r"]["id"] = std::string(20, 'n');
    e["r"]["token"] = token;
    return e;
}

// A get reply that also carries an item under key k at seq.
lt::entry ConItem(const std::array<char, 32>& k, std::int64_t seq, std::array<char, 64> firma) {
    lt::entry e = ConToken("tk");
    e["r"]["k"] = std::string(k.data(), k.size());
    e["r"]["seq"] = seq;
    e["r"]["sig"] = std::string(firma.data(), firma.size());
    e["r"]["v"] = kValor;
    return e;
}

} // namespace

TEST(PuestaDirecta, FirmaYDestinoSonLosDeLosVectoresDePrueba) {
    EXPECT_EQ(Hex(FirmaDeValor(kValor, "", 1, kPublica, kSecreta)),
              "305ac8aeb6c9c151fa120f120ea2cfb923564e11552d06a5d856091e5e853cff"
              "1260d3f39e4999684aa92eb73ffd136e6f4f3ecbfda0ce53a1608ecd7ae21f01");
    EXPECT_EQ(Hex(DestinoMutable(kPublica, "")), "4a533d47ec9c7d95b1ad75f576cffc641853b750");
    EXPECT_EQ(Hex(FirmaDeValor(kValor, "foobar", 1, kPublica, kSecreta)),
              "6834284b6b24c3204eb2fea824d82f88883a3d95e8b4a21b8c0ded553d17d17d"
              "df9a8a7104b1258f30bed3787e6cb896fca78c58f8e03b5f18f14951a87d9a08");
    EXPECT_EQ(Hex(DestinoMutable(kPublica, "foobar")), "411eba73b6f087ca51a3795d9c8c938d365e32c1");
}

TEST(PuestaDirecta, LasPeticionesLlevanLoQuePideElProtocolo) {
    const Respuesta token(PeticionToken(kPublica, "foobar"));
    EXPECT_EQ(token.nodo.dict_find_string_value("q"), "get");
    EXPECT_EQ(token.nodo.dict_find_dict("a").dict_find_string_value("target"),
              std::string(DestinoMutable(kPublica, "foobar").data(), 20));

    const auto firma = FirmaDeValor(kValor, "foobar", 7, kPublica, kSecreta);
    for (const std::string sal : {"foobar", ""}) {
        const Respuesta put(PeticionPut("tk", kPublica, sal, kValor, 7, firma));
        EXPECT_EQ(put.nodo.dict_find_string_value("q"), "put");
        const lt::bdecode_node a = put.nodo.dict_find_dict("a");
        EXPECT_EQ(a.dict_find_string_value("token"), "tk");
        EXPECT_EQ(a.dict_find_string_value("k"), std::string(kPublica.data(), 32));
        EXPECT_EQ(a.dict_find_int_value("seq"), 7);
        EXPECT_EQ(a.dict_find_string_value("sig"), std::string(firma.data(), 64));
        EXPECT_EQ(std::string(a.dict_find("v").data_section().data(),
                              a.dict_find("v").data_section().size()),
                  "12:Hello World!");
        EXPECT_EQ(bool(a.dict_find("salt")), !sal.empty()) << "salt «" << sal << "»";
        if (!sal.empty()) {
            EXPECT_EQ(a.dict_find_string_value("salt"), sal);
        }
    }
}

TEST(PuestaDirecta, CadaRespuestaDeUnNodoSeLeeComoDice) {
    const std::string sal = "foobar";
    const auto buena = FirmaDeValor(kValor, sal, 5, kPublica, kSecreta);
    auto mala = buena;
    mala[10] ^= 1;
    auto otraClave = kPublica;
    otraClave[0] ^= 1;
    lt::entry error;
    error["y"] = "e";
    error["e"] = lt::entry::list_type{lt::entry(203), lt::entry("mal")};
    lt::entry ambas = ConToken("tk");
    ambas["e"] = lt::entry::list_type{lt::entry(302), lt::entry("seq")};

    struct Caso {
        const char* que;
        lt::entry mensaje;
        bool blnToken;
        std::int64_t seq;
        bool blnPutAceptado;
    };
    const std::vector<Caso> casos{
        {"un token y nada más", ConToken("abcd"), true, 0, true},
        {"un token de 64 bytes", ConToken(std::string(kMaxTokenDht, 't')), true, 0, true},
        {"un token de 65 bytes", ConToken(std::string(kMaxTokenDht + 1, 't')), false, 0, true},
        {"un token vacío", ConToken(""), false, 0, true},
        {"un error", error, false, 0, false},
        {"respuesta y error a la vez", ambas, true, 0, false},
        {"un ítem bien firmado", ConItem(kPublica, 5, buena), true, 5, true},
        {"un ítem con la firma alterada", ConItem(kPublica, 5, mala), true, 0, true},
        {"un ítem firmado con otra seq", ConItem(kPublica, 6, buena), true, 0, true},
        {"un ítem de otra clave", ConItem(otraClave, 5, buena), true, 0, true},
        {"un ítem con seq negativa",
         ConItem(kPublica, -3, FirmaDeValor(kValor, sal, -3, kPublica, kSecreta)), true, 0, true},
    };
    for (const Caso& c : casos) {
        const Respuesta r(c.mensaje);
        const std::optional<TokenDeNodo> t = LeerToken(r.nodo, kPublica, sal);
        EXPECT_EQ(t.has_value(), c.blnToken) << c.que;
        if (t) {
            EXPECT_EQ(t->seq, c.seq) << c.que;
            EXPECT_EQ(t->token, r.nodo.dict_find_dict("r").dict_find_string_value("token"))
                << c.que;
        }
        EXPECT_EQ(blnAceptado(r.nodo), c.blnPutAceptado) << c.que;
    }
    // A request that timed out comes back with no message at all.
    EXPECT_FALSE(LeerToken(lt::bdecode_node(), kPublica, sal).has_value());
    EXPECT_FALSE(blnAceptado(lt::bdecode_node()));
}
