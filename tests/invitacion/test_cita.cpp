// The offer and the answer: what one side seals the other opens as it was;
// a record laid out as docs/protocol.md says opens, and one field outside
// its range, a cut, a stray byte, the other kind or another code does not.
#include "net/invitacion/cita.h"

#include <gtest/gtest.h>
#include <sodium.h>

#include <QUuid>
#include <limits>

using namespace brumaria::red::invitacion;

namespace {

ClavesCodigo ClavesAlAzar() {
    ClavesCodigo c;
    for (Clave32* k : {&c.semillaFirma, &c.claveOferta, &c.claveRespuesta, &c.claveEnlace})
        randombytes_buf(k->data(), k->size());
    return c;
}

CandidatoIce Candidato(const char* ip, QByteArray fundacion = "1") {
    return {CandidatoIce::Tipo::Reflejado, QHostAddress(QString::fromLatin1(ip)), 40000, 1 << 30,
            fundacion};
}

Oferta OfertaDePrueba() {
    Oferta o{1'765'000'000,         IdCitaNuevo(), {}, {}, "{0AF3C1D2-8B33-43D3-BB42-DB7ABDCFFAFA}",
             "La partida de Íñigo", true};
    randombytes_buf(o.clavePublicaKx.data(), o.clavePublicaKx.size());
    o.ice = {"Ab+/",
             "0123456789abcdefABCDEF",
             {Candidato("192.0.2.7"), Candidato("2001:db8::7", "a+/Z9")}};
    return o;
}

// Big-endian n in `ancho` bytes, then `resto`.
QByteArray N(std::uint64_t n, int ancho, QByteArrayView resto = {}) {
    QByteArray b;
    for (int i = ancho - 1; i >= 0; --i)
        b.append(static_cast<char>(n >> (8 * i)));
    return b + resto.toByteArray();
}
QByteArray L1(QByteArrayView b) {
    return N(b.size(), 1, b);
} // u8 length + bytes
QByteArray L2(QByteArrayView b) {
    return N(b.size(), 2, b);
} // u16 length + bytes
QByteArray Cand(int tipo, int familia, QByteArray dir, int puerto, QByteArray fundacion) {
    return N(tipo, 1) + N(familia, 1, dir) + N(puerto, 2) + N(1, 4) + L1(fundacion);
}
const QByteArray kV4(4, '\x0A'), kV6(16, '\x20');
const QByteArray kCand = Cand(0, 4, kV4, 5000, "f");

// A good offer body, field by field as the document lays it out.
struct Campos {
    QByteArray creada = N(1'765'000'000, 8), id = QByteArray(16, 2), kx = QByteArray(32, 3),
               guid = QByteArray(16, 4), nombre = L1("Mar!"), usada = N(0, 1), usuario = L2("ufrg"),
               clave = L2(QByteArray(22, 'p')), candidatos = N(1, 1, kCand), extra;
    QByteArray Cuerpo() const {
        return creada + id + kx + guid + nombre + usada + usuario + clave + candidatos + extra;
    }
};

QByteArray SellarComo(const Clave32& k, std::uint8_t version, QByteArrayView cuerpo) {
    const QByteArray cabecera = N(version, 1) + N(1, 1);
    return cabecera + Sellar(k, cuerpo, "brumaria-oferta" + cabecera);
}

} // namespace

TEST(Cita, LaOfertaYLaRespuestaSeAbrenComoSeSellaron) {
    const ClavesCodigo c = ClavesAlAzar();
    const Oferta o = OfertaDePrueba();
    EXPECT_EQ(AbrirOferta(c, SellarOferta(c, o)), o);
    const Respuesta r{1'765'000'100, o.id, o.clavePublicaKx, o.ice};
    EXPECT_EQ(AbrirRespuesta(c, SellarRespuesta(c, r)), r);
}

TEST(Cita, UnaOfertaNoSeAbreComoRespuestaNiConOtroCodigo) {
    const ClavesCodigo c = ClavesAlAzar();
    const QByteArray oferta = SellarOferta(c, OfertaDePrueba());
    EXPECT_FALSE(AbrirRespuesta(c, oferta));
    // Even sealed with the answer's key and marked as an answer.
    ClavesCodigo cruzadas = c;
    cruzadas.claveOferta = c.claveRespuesta;
    QByteArray comoRespuesta = SellarOferta(cruzadas, OfertaDePrueba());
    comoRespuesta[1] = 2;
    EXPECT_FALSE(AbrirRespuesta(c, comoRespuesta));
    EXPECT_FALSE(AbrirOferta(ClavesAlAzar(), oferta));
}

TEST(Cita, UnRegistroCortadoNoSeAbreEnNingunLargo) {
    const ClavesCodigo c = ClavesAlAzar();
    const QByteArray oferta = SellarOferta(c, OfertaDePrueba());
    for (qsizetype n = 0; n < oferta.size(); ++n)
        ASSERT_FALSE(AbrirOferta(c, oferta.first(n)));
    // Nor a body cut anywhere, even if it was sealed that way.
    const QByteArray cuerpo = Campos().Cuerpo();
    for (qsizetype n = 0; n < cuerpo.size(); ++n)
        ASSERT_FALSE(AbrirOferta(c, SellarComo(c.claveOferta, 1, cuerpo.first(n)))) << n;
}

TEST(Cita, UnCampoFueraDeSuRangoRechazaLaOferta) {
    struct Fila {
        const char* caso;
        QByteArray Campos::*campo;
        QByteArray valor;
        bool blnVale;
    };
    // clang-format off
    const Fila tabla[] = {
        {"ufrag de 4", &Campos::usuario, L2("ufrg"), true},
        {"ufrag de 3", &Campos::usuario, L2("abc"), false},
        {"ufrag de 256", &Campos::usuario, L2(QByteArray(256, 'u')), true},
        {"ufrag de 257", &Campos::usuario, L2(QByteArray(257, 'u')), false},
        {"ufrag con '-'", &Campos::usuario, L2("uf-g"), false},
        {"pwd de 21", &Campos::clave, L2(QByteArray(21, 'p')), false},
        {"pwd de 256", &Campos::clave, L2(QByteArray(256, 'p')), true},
        {"pwd de 257", &Campos::clave, L2(QByteArray(257, 'p')), false},
        {"pwd con '='", &Campos::clave, L2(QByteArray(21, 'p') + '='), false},
        {"sin candidatos", &Campos::candidatos, N(0, 1), true},
        {"12 candidatos", &Campos::candidatos, N(12, 1, kCand.repeated(12)), true},
        {"13 candidatos", &Campos::candidatos, N(13, 1, kCand.repeated(13)), false},
        {"retransmitido", &Campos::candidatos, N(1, 1, Cand(3, 4, kV4, 1, "f")), true},
        {"tipo 4", &Campos::candidatos, N(1, 1, Cand(4, 4, kV4, 1, "f")), false},
        {"IPv6", &Campos::candidatos, N(1, 1, Cand(0, 6, kV6, 1, "f")), true},
        {"familia 5", &Campos::candidatos, N(1, 1, Cand(0, 5, kV4, 1, "f")), false},
        {"0.0.0.0", &Campos::candidatos, N(1, 1, Cand(0, 4, QByteArray(4, 0), 1, "f")), false},
        {"::", &Campos::candidatos, N(1, 1, Cand(0, 6, QByteArray(16, 0), 1, "f")), false},
        {"puerto 0", &Campos::candidatos, N(1, 1, Cand(0, 4, kV4, 0, "f")), false},
        {"fundacion vacia", &Campos::candidatos, N(1, 1, Cand(0, 4, kV4, 1, "")), false},
        {"fundacion de 32", &Campos::candidatos, N(1, 1, Cand(0, 4, kV4, 1, QByteArray(32, 'f'))), true},
        {"fundacion de 33", &Campos::candidatos, N(1, 1, Cand(0, 4, kV4, 1, QByteArray(33, 'f'))), false},
        {"fundacion con '_'", &Campos::candidatos, N(1, 1, Cand(0, 4, kV4, 1, "f_")), false},
        {"GUID de ceros", &Campos::guid, QByteArray(16, 0), false},
        {"nombre vacio", &Campos::nombre, L1(""), true},
        {"nombre de 64", &Campos::nombre, L1(QByteArray(64, 'n')), true},
        {"nombre de 65", &Campos::nombre, L1(QByteArray(65, 'n')), false},
        {"nombre no UTF-8", &Campos::nombre, L1("\xC3\x28"), false},
        {"usada 1", &Campos::usada, N(1, 1), true},
        {"usada 2", &Campos::usada, N(2, 1), false},
        {"un byte de mas", &Campos::extra, N(0, 1), false},
    };
    // clang-format on
    const ClavesCodigo c = ClavesAlAzar();
    for (const Fila& f : tabla) {
        Campos campos;
        campos.*f.campo = f.valor;
        EXPECT_EQ(AbrirOferta(c, SellarComo(c.claveOferta, 1, campos.Cuerpo())).has_value(),
                  f.blnVale)
            << f.caso;
    }
    // Another version is not read at all.
    EXPECT_FALSE(AbrirOferta(c, SellarComo(c.claveOferta, 2, Campos().Cuerpo())));
}

// The largest offer there can be: 12 IPv6 candidates with the longest
// foundations and a 64-byte name. With credentials as long as ICE allows,
// the last candidates give way; with 127 bytes of them, none does.
TEST(Cita, LaOfertaMasGrandeCabeEnLaDht) {
    const ClavesCodigo c = ClavesAlAzar();
    Oferta o = OfertaDePrueba();
    o.nombrePartida = QString(70, u'n');
    o.ice.candidatos.assign(13, Candidato("2001:db8:ffff::ffff", QByteArray(32, 'F')));
    o.ice.usuario = QByteArray(32, 'u');
    o.ice.clave = QByteArray(95, 'p');
    const QByteArray justa = SellarOferta(c, o);
    EXPECT_EQ(justa.size(), kMaxCita);
    const auto abierta = AbrirOferta(c, justa);
    ASSERT_TRUE(abierta);
    EXPECT_EQ(abierta->ice.candidatos.size(), kMaxCandidatos);
    EXPECT_EQ(abierta->nombrePartida, QString(64, u'n'));

    o.ice.usuario = QByteArray(256, 'u');
    o.ice.clave = QByteArray(256, 'p');
    const auto recortada = AbrirOferta(c, SellarOferta(c, o));
    ASSERT_TRUE(recortada);
    EXPECT_EQ(recortada->ice.usuario, o.ice.usuario);
    EXPECT_EQ(recortada->ice.clave, o.ice.clave);
    EXPECT_EQ(recortada->ice.candidatos.size(), 5u);
}

TEST(Cita, ElNombreSeCortaSinPartirUnaLetra) {
    const ClavesCodigo c = ClavesAlAzar();
    Oferta o = OfertaDePrueba();
    o.nombrePartida = QString(63, u'a') + QStringLiteral("ñu");
    const auto abierta = AbrirOferta(c, SellarOferta(c, o));
    ASSERT_TRUE(abierta);
    EXPECT_EQ(abierta->nombrePartida, QString(63, u'a'));
}

TEST(Cita, LoQueNoSePodriaLeerNoSeSella) {
    const ClavesCodigo c = ClavesAlAzar();
    const std::pair<const char*, void (*)(Oferta&)> casos[] = {
        {"GUID sin llaves", [](Oferta& o) { o.guidInstancia = o.guidInstancia.mid(1, 36); }},
        {"GUID de ceros", [](Oferta& o) { o.guidInstancia = QUuid().toString(); }},
        {"pwd con espacio", [](Oferta& o) { o.ice.clave = QByteArray(21, 'p') + ' '; }},
        {"puerto 0", [](Oferta& o) { o.ice.candidatos[0].puerto = 0; }},
    };
    for (const auto& [caso, cambio] : casos) {
        Oferta o = OfertaDePrueba();
        cambio(o);
        EXPECT_TRUE(SellarOferta(c, o).isEmpty()) << caso;
    }
}

TEST(Cita, UnaCitaValeDiezMinutosYUnMinutoDeAdelanto) {
    const std::int64_t t = 1'765'000'000, kMin = std::numeric_limits<std::int64_t>::min(),
                       kMax = std::numeric_limits<std::int64_t>::max();
    EXPECT_EQ(ComprobarFrescura(t, t), Frescura::Valida);
    EXPECT_EQ(ComprobarFrescura(t - 600, t), Frescura::Valida);
    EXPECT_EQ(ComprobarFrescura(t - 601, t), Frescura::Caducada);
    EXPECT_EQ(ComprobarFrescura(t + 60, t), Frescura::Valida);
    EXPECT_EQ(ComprobarFrescura(t + 61, t), Frescura::DelFuturo);
    EXPECT_EQ(ComprobarFrescura(kMin, kMax), Frescura::Caducada); // no overflow either way
    EXPECT_EQ(ComprobarFrescura(kMax, kMin), Frescura::DelFuturo);
}
