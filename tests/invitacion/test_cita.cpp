// The offer and the answer: what one side seals the other opens as it was;
// a record laid out as docs/protocol.md says opens, and one field outside
// its range, a cut, a stray byte, the other kind or another code does not.
#include "net/invitacion/cita.h"

#include <gtest/gtest.h>
#include <sodium.h>

#include <functional>
#include <limits>
#include <tuple>

using namespace brumaria::red::invitacion;

namespace {

ClavesCodigo ClavesAlAzar() {
    ClavesCodigo c;
    for (Clave32* k : {&c.semillaFirma, &c.claveOferta, &c.claveRespuesta, &c.claveEnlace})
        randombytes_buf(k->data(), k->size());
    return c;
}

CandidatoIce Candidato(const char* ip, std::uint16_t puerto, QByteArray fundacion = "1") {
    return {CandidatoIce::Tipo::Reflejado, QHostAddress(QString::fromLatin1(ip)), puerto,
            2130706431, fundacion};
}

Oferta OfertaDePrueba() {
    Oferta o;
    o.creadaUnix = 1'765'000'000;
    o.id = IdCitaNuevo();
    randombytes_buf(o.clavePublicaKx.data(), o.clavePublicaKx.size());
    o.ice = {"Ab+/",
             "0123456789abcdefABCDEF",
             {Candidato("192.0.2.7", 40000), Candidato("2001:db8::7", 40001, "a+/Z9")}};
    o.guidInstancia = QStringLiteral("{0AF3C1D2-8B33-43D3-BB42-DB7ABDCFFAFA}");
    o.nombrePartida = QStringLiteral("La partida de Íñigo");
    o.blnUsada = true;
    return o;
}

// A body byte by byte, as the document lays it out.
struct Bytes {
    QByteArray b;
    Bytes& n(std::uint64_t v, int ancho) {
        for (int i = ancho - 1; i >= 0; --i)
            b.append(static_cast<char>(v >> (8 * i)));
        return *this;
    }
    Bytes& s(QByteArrayView v) { return b.append(v), *this; }
};

// The fields of a good offer body, each a piece the table below changes.
struct Campos {
    QByteArray creada = QByteArray(8, '\x01'), id = QByteArray(16, '\x02'),
               kx = QByteArray(32, '\x03'), guid = QByteArray(16, '\x04');
    QByteArray nombre = Bytes().n(4, 1).s("Mar!").b, usada = QByteArray(1, '\0');
    QByteArray usuario = Bytes().n(4, 2).s("ufrg").b;
    QByteArray clave = Bytes().n(22, 2).s(QByteArray(22, 'p')).b;
    QByteArray cuenta = QByteArray(1, '\x01');
    QByteArray candidato =
        Bytes().n(0, 1).n(4, 1).n(0x7F000001, 4).n(5000, 2).n(99, 4).n(1, 1).s("f").b;
    QByteArray extra;
    QByteArray Cuerpo() const {
        return creada + id + kx + guid + nombre + usada + usuario + clave + cuenta + candidato +
               extra;
    }
};

QByteArray SellarComo(const Clave32& k, std::uint8_t version, std::uint8_t tipo, QByteArrayView sal,
                      QByteArrayView cuerpo) {
    const QByteArray cabecera = Bytes().n(version, 1).n(tipo, 1).b;
    return cabecera + Sellar(k, cuerpo, sal.toByteArray() + cabecera);
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
    QByteArray comoRespuesta = oferta;
    comoRespuesta[1] = 2;
    EXPECT_FALSE(AbrirRespuesta(c, comoRespuesta));
    // Even sealed with the answer's key, an offer is laid out as one.
    ClavesCodigo cruzadas = c;
    cruzadas.claveOferta = c.claveRespuesta;
    EXPECT_FALSE(AbrirRespuesta(c, SellarOferta(cruzadas, OfertaDePrueba())));
    EXPECT_FALSE(AbrirOferta(ClavesAlAzar(), oferta));
}

TEST(Cita, UnRegistroCortadoNoSeAbreEnNingunLargo) {
    const ClavesCodigo c = ClavesAlAzar();
    const QByteArray oferta = SellarOferta(c, OfertaDePrueba());
    for (qsizetype n = 0; n < oferta.size(); ++n)
        ASSERT_FALSE(AbrirOferta(c, oferta.first(n))) << n;
    // Nor a body cut anywhere, even if it was sealed that way.
    const QByteArray cuerpo = Campos().Cuerpo();
    ASSERT_TRUE(AbrirOferta(c, SellarComo(c.claveOferta, 1, 1, "brumaria-oferta", cuerpo)));
    for (qsizetype n = 0; n < cuerpo.size(); ++n)
        ASSERT_FALSE(
            AbrirOferta(c, SellarComo(c.claveOferta, 1, 1, "brumaria-oferta", cuerpo.first(n))))
            << n;
}

TEST(Cita, UnCampoFueraDeSuRangoRechazaLaOferta) {
    const ClavesCodigo c = ClavesAlAzar();
    struct Fila {
        const char* caso;
        std::function<void(Campos&)> cambio;
        bool blnVale;
    };
    auto Cand = [](int tipo, int familia, QByteArray dir, int puerto, QByteArray fund) {
        return Bytes()
            .n(tipo, 1)
            .n(familia, 1)
            .s(dir)
            .n(puerto, 2)
            .n(1, 4)
            .n(fund.size(), 1)
            .s(fund)
            .b;
    };
    const QByteArray v4(4, '\x0A'), v6(16, '\x20');
    const Fila tabla[] = {
        {"tal cual", [](Campos&) {}, true},
        {"ufrag de 3", [](Campos& f) { f.usuario = Bytes().n(3, 2).s("abc").b; }, false},
        {"ufrag de 256", [](Campos& f) { f.usuario = Bytes().n(256, 2).s(QByteArray(256, 'u')).b; },
         true},
        {"ufrag de 257", [](Campos& f) { f.usuario = Bytes().n(257, 2).s(QByteArray(257, 'u')).b; },
         false},
        {"ufrag con '-'", [](Campos& f) { f.usuario = Bytes().n(4, 2).s("uf-g").b; }, false},
        {"pwd de 21", [](Campos& f) { f.clave = Bytes().n(21, 2).s(QByteArray(21, 'p')).b; },
         false},
        {"pwd de 256", [](Campos& f) { f.clave = Bytes().n(256, 2).s(QByteArray(256, 'p')).b; },
         true},
        {"pwd de 257", [](Campos& f) { f.clave = Bytes().n(257, 2).s(QByteArray(257, 'p')).b; },
         false},
        {"pwd con '='",
         [](Campos& f) { f.clave = Bytes().n(22, 2).s(QByteArray(21, 'p') + '=').b; }, false},
        {"sin candidatos",
         [](Campos& f) {
             f.cuenta[0] = 0;
             f.candidato.clear();
         },
         true},
        {"13 candidatos",
         [](Campos& f) {
             f.cuenta[0] = 13;
             f.candidato = f.candidato.repeated(13);
         },
         false},
        {"12 candidatos",
         [](Campos& f) {
             f.cuenta[0] = 12;
             f.candidato = f.candidato.repeated(12);
         },
         true},
        {"retransmitido", [&](Campos& f) { f.candidato = Cand(3, 4, v4, 1, "f"); }, true},
        {"tipo 4", [&](Campos& f) { f.candidato = Cand(4, 4, v4, 1, "f"); }, false},
        {"IPv6", [&](Campos& f) { f.candidato = Cand(0, 6, v6, 1, "f"); }, true},
        {"familia 5", [&](Campos& f) { f.candidato = Cand(0, 5, v4, 1, "f"); }, false},
        {"0.0.0.0", [&](Campos& f) { f.candidato = Cand(0, 4, QByteArray(4, '\0'), 1, "f"); },
         false},
        {"::", [&](Campos& f) { f.candidato = Cand(0, 6, QByteArray(16, '\0'), 1, "f"); }, false},
        {"puerto 0", [&](Campos& f) { f.candidato = Cand(0, 4, v4, 0, "f"); }, false},
        {"fundacion vacia", [&](Campos& f) { f.candidato = Cand(0, 4, v4, 1, ""); }, false},
        {"fundacion de 32",
         [&](Campos& f) { f.candidato = Cand(0, 4, v4, 1, QByteArray(32, 'f')); }, true},
        {"fundacion de 33",
         [&](Campos& f) { f.candidato = Cand(0, 4, v4, 1, QByteArray(33, 'f')); }, false},
        {"fundacion con '_'", [&](Campos& f) { f.candidato = Cand(0, 4, v4, 1, "f_"); }, false},
        {"GUID todo ceros", [](Campos& f) { f.guid.fill('\0'); }, false},
        {"nombre vacio", [](Campos& f) { f.nombre = QByteArray(1, '\0'); }, true},
        {"nombre de 64", [](Campos& f) { f.nombre = Bytes().n(64, 1).s(QByteArray(64, 'n')).b; },
         true},
        {"nombre de 65", [](Campos& f) { f.nombre = Bytes().n(65, 1).s(QByteArray(65, 'n')).b; },
         false},
        {"nombre no UTF-8", [](Campos& f) { f.nombre = Bytes().n(2, 1).s("\xC3\x28").b; }, false},
        {"usada 1", [](Campos& f) { f.usada[0] = 1; }, true},
        {"usada 2", [](Campos& f) { f.usada[0] = 2; }, false},
        {"un byte de mas", [](Campos& f) { f.extra = QByteArray(1, '\0'); }, false},
    };
    for (const Fila& fila : tabla) {
        Campos campos;
        fila.cambio(campos);
        const QByteArray cita = SellarComo(c.claveOferta, 1, 1, "brumaria-oferta", campos.Cuerpo());
        EXPECT_EQ(AbrirOferta(c, cita).has_value(), fila.blnVale) << fila.caso;
    }
    // Another version is not read at all.
    EXPECT_FALSE(
        AbrirOferta(c, SellarComo(c.claveOferta, 2, 1, "brumaria-oferta", Campos().Cuerpo())));
}

// The largest offer there can be: 12 IPv6 candidates with the longest
// foundations and a 64-byte name. With credentials as long as ICE allows,
// the last candidates give way; with 127 bytes of them, none does.
TEST(Cita, LaOfertaMasGrandeCabeEnLaDht) {
    const ClavesCodigo c = ClavesAlAzar();
    Oferta o = OfertaDePrueba();
    o.nombrePartida = QString(70, u'n');
    o.ice.candidatos.clear();
    for (int i = 0; i < 13; ++i)
        o.ice.candidatos.push_back(
            Candidato("2001:db8:ffff:ffff:ffff:ffff:ffff:ffff", 65535, QByteArray(32, 'F')));
    o.ice.usuario = QByteArray(32, 'u');
    o.ice.clave = QByteArray(95, 'p');
    const QByteArray justa = SellarOferta(c, o);
    ASSERT_EQ(justa.size(), kMaxCita); // the largest record is exactly that
    const auto abierta = AbrirOferta(c, justa);
    ASSERT_TRUE(abierta);
    EXPECT_EQ(abierta->ice.candidatos.size(), kMaxCandidatos);
    EXPECT_EQ(abierta->nombrePartida, QString(64, u'n'));

    o.ice.usuario = QByteArray(256, 'u');
    o.ice.clave = QByteArray(256, 'p');
    const QByteArray llena = SellarOferta(c, o);
    ASSERT_LE(llena.size(), kMaxCita);
    const auto recortada = AbrirOferta(c, llena);
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
    const std::pair<const char*, std::function<void(Oferta&)>> casos[] = {
        {"GUID sin llaves", [](Oferta& o) { o.guidInstancia.remove(0, 1); }},
        {"GUID de ceros",
         [](Oferta& o) { o.guidInstancia = "{00000000-0000-0000-0000-000000000000}"; }},
        {"ufrag corto", [](Oferta& o) { o.ice.usuario = "abc"; }},
        {"pwd con espacio", [](Oferta& o) { o.ice.clave = QByteArray(21, 'p') + ' '; }},
        {"puerto 0", [](Oferta& o) { o.ice.candidatos[0].puerto = 0; }},
        {"sin direccion", [](Oferta& o) { o.ice.candidatos[1].direccion.clear(); }},
    };
    for (const auto& [caso, cambio] : casos) {
        Oferta o = OfertaDePrueba();
        cambio(o);
        EXPECT_TRUE(SellarOferta(c, o).isEmpty()) << caso;
    }
}

TEST(Cita, UnaCitaValeDiezMinutosYUnMinutoDeAdelanto) {
    const std::int64_t ahora = 1'765'000'000;
    const std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
    const std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    const std::tuple<std::int64_t, std::int64_t, Frescura> tabla[] = {
        {ahora, ahora, Frescura::Valida},         {ahora - 600, ahora, Frescura::Valida},
        {ahora - 601, ahora, Frescura::Caducada}, {ahora + 60, ahora, Frescura::Valida},
        {ahora + 61, ahora, Frescura::DelFuturo}, {kMin, kMax, Frescura::Caducada},
        {kMax, kMin, Frescura::DelFuturo},        {0, ahora, Frescura::Caducada},
    };
    for (const auto& [creada, cuando, esperada] : tabla)
        EXPECT_EQ(ComprobarFrescura(creada, cuando), esperada) << creada << " " << cuando;
}
