// The invitation code: 50 bits read as a number and four words, and what a
// guest may type for it. The tables are written from codigo.h.
#include "net/invitacion/codigo.h"
#include "net/invitacion/palabras.h"

#include <gtest/gtest.h>

#include <random>

using namespace brumaria::red::invitacion;

TEST(Codigo, LosBitsSeLeenDelNumeroALaUltimaPalabra) {
    EXPECT_EQ(CodigoDesdeBits(0), "1-abanico-abanico-abanico-abanico");
    EXPECT_EQ(CodigoDesdeBits(kMascaraCodigo), "64-zurdo-zurdo-zurdo-zurdo");
    const std::uint64_t bits =
        (std::uint64_t{6} << 44) | (std::uint64_t{1} << 33) | (2 << 22) | (3 << 11) | 4;
    EXPECT_EQ(CodigoDesdeBits(bits), "7-abeja-abejorro-abeto-abierto");
    // Bits above the 50 are not the code's.
    EXPECT_EQ(CodigoDesdeBits(bits | (std::uint64_t{1} << 50)), CodigoDesdeBits(bits));
}

TEST(Codigo, DeLosBitsAlCodigoYVueltaNoSePierdeNada) {
    std::vector<std::uint64_t> valores{0, 1, kMascaraCodigo, kMascaraCodigo - 1};
    for (int b = 0; b < kBitsCodigo; ++b)
        valores.push_back(std::uint64_t{1} << b);
    std::mt19937_64 azar(20261209);
    for (int i = 0; i < 2000; ++i)
        valores.push_back(azar() & kMascaraCodigo);
    for (const std::uint64_t v : valores) {
        const QString codigo = CodigoDesdeBits(v);
        ASSERT_EQ(BitsDesdeCodigo(codigo), v) << codigo.toStdString();
        ASSERT_EQ(NormalizarCodigo(codigo), codigo);
    }
}

TEST(Codigo, LaListaTieneSus2048PalabrasYCadaUnaSuSitio) {
    for (std::uint16_t i = 0; i < kNumPalabras; ++i)
        ASSERT_EQ(IndicePalabraCodigo(PalabraCodigo(i)), i);
    EXPECT_TRUE(PalabraCodigo(kNumPalabras).empty());
    EXPECT_FALSE(IndicePalabraCodigo("ballenas"));
}

TEST(Codigo, UnCodigoNuevoEsCanonicoYCadaVezOtro) {
    const QString a = CodigoNuevo(), b = CodigoNuevo();
    EXPECT_EQ(NormalizarCodigo(a), a);
    EXPECT_TRUE(BitsDesdeCodigo(b));
    EXPECT_NE(a, b); // one chance in 2^50 of a false alarm
}

TEST(Codigo, LoQueTecleaElInvitadoSeEntiendeComoElCodigo) {
    struct Fila {
        const char* tecleado;
        const char* canonico;
    };
    const Fila tabla[] = {
        {"7-ballena-faro-nube-rosa", "7-ballena-faro-nube-rosa"},
        {"7 BALLENA Faro nUBE rosa", "7-ballena-faro-nube-rosa"},
        {"   7--ballena - faro \t nube---rosa  ", "7-ballena-faro-nube-rosa"},
        {"-7-ballena-faro-nube-rosa-", "7-ballena-faro-nube-rosa"},
        {"7\nballena\u00A0faro\u3000nube rosa", "7-ballena-faro-nube-rosa"}, // any white space
        {"007-ballena-faro-nube-rosa", "7-ballena-faro-nube-rosa"},
        {"0064-zurdo-zurdo-zurdo-zurdo", "64-zurdo-zurdo-zurdo-zurdo"},
        {"1-abanico-abanico-abanico-abanico", "1-abanico-abanico-abanico-abanico"},
        {"7-ballena-fáro-nübe-rósa", "7-ballena-faro-nube-rosa"}, // an accent typed in passing
        {"7-BALLÉNA-FÁRO-NÜBE-RÍSA", "7-ballena-faro-nube-risa"},
        {"7-ÁBEJA-ÉRIZÓ-ÍSLA-NÚBE", "7-abeja-erizo-isla-nube"},
        {"7-ábejá-érízó-ísla-núbe", "7-abeja-erizo-isla-nube"},
    };
    for (const Fila& f : tabla) {
        const auto n = NormalizarCodigo(QString::fromUtf8(f.tecleado));
        EXPECT_EQ(n, QString::fromUtf8(f.canonico)) << f.tecleado;
    }
}

TEST(Codigo, LoQueNoEsUnCodigoSeRechaza) {
    // clang-format off
    const char* const tabla[] = {
        "", "   - -  ",
        "0-ballena-faro-nube-rosa", "00-ballena-faro-nube-rosa", // numbers are 1..64
        "65-ballena-faro-nube-rosa", "100-ballena-faro-nube-rosa",
        "99999999999999999999999-ballena-faro-nube-rosa",
        "7-ballena-faro-nube", "7-ballena-faro-nube-rosa-rosa",   // three words, five
        "ballena-7-faro-nube-rosa", "ballena-faro-nube-rosa-7",   // the number comes first
        "7ballena-faro-nube-rosa", "7-ballenafaro-nube-rosa",     // parts run together
        "7-ball ena-faro-nube-rosa",                              // a word cut in two
        "7-ballenas-faro-nube-rosa", "7-ballena-faro-nube-r0sa",  // not in the list
        "7-ÁLAMO-ABEJA-ÉRIZO-ÍSLA",             // an accent makes no word ("alamo")
        "7-ballena-faro-nube-roña", "7-ballena-faro-nube-rosà",   // ñ, another accent
        "7.ballena.faro.nube.rosa", "7_ballena_faro_nube_rosa",   // other separators,
        "7–ballena–faro–nube–rosa",                               // an en dash too
        "７-ballena-faro-nube-rosa", "٧-ballena-faro-nube-rosa",  // other digits
        "7-ballena-faro-nube-rosa\u0301",                         // a combining accent
        "7-ballena-faro-nube-rosa\U0001F40B",                     // a whale
    };
    // clang-format on
    for (const char* t : tabla)
        EXPECT_FALSE(NormalizarCodigo(QString::fromUtf8(t))) << t;
}

TEST(Codigo, MasDeCienCaracteresNoSeLeen) {
    const QString codigo = QStringLiteral("7-ballena-faro-nube-rosa");
    const QString relleno(kMaxTecleado - codigo.size(), u' ');
    EXPECT_EQ(NormalizarCodigo(relleno + codigo), codigo);
    EXPECT_FALSE(NormalizarCodigo(relleno + codigo + u' '));
}
