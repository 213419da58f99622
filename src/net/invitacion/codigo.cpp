#include "net/invitacion/codigo.h"

#include "net/invitacion/claves.h"
#include "net/invitacion/palabras.h"

#include <QStringList>
#include <sodium.h>

#include <array>
#include <string>
#include <utility>
#include <vector>

namespace brumaria::red::invitacion {

namespace {

constexpr int kNumeroMaximo = 64;
constexpr int kPalabrasCodigo = 4;
constexpr int kBitsPalabra = 11;
constexpr int kBitsNumero = kBitsCodigo - kPalabrasCodigo * kBitsPalabra;
static_assert(kBitsNumero == 6 && (1 << kBitsNumero) == kNumeroMaximo);
static_assert((std::size_t{1} << kBitsPalabra) == kNumPalabras);

int DesplazamientoPalabra(int i) {
    return (kPalabrasCodigo - 1 - i) * kBitsPalabra;
}

// Accented vowels a Spanish keyboard types without thinking; every other
// letter outside a-z is refused (no word in the list has one).
char LetraSinTilde(QChar c) {
    constexpr std::array<std::pair<char16_t, char>, 12> kTildes{{
        {u'á', 'a'},
        {u'é', 'e'},
        {u'í', 'i'},
        {u'ó', 'o'},
        {u'ú', 'u'},
        {u'ü', 'u'},
        {u'Á', 'a'},
        {u'É', 'e'},
        {u'Í', 'i'},
        {u'Ó', 'o'},
        {u'Ú', 'u'},
        {u'Ü', 'u'},
    }};
    const char16_t u = c.unicode();
    if (u >= u'a' && u <= u'z') return static_cast<char>(u);
    if (u >= u'A' && u <= u'Z') return static_cast<char>(u - u'A' + u'a');
    for (const auto& [con, sin] : kTildes)
        if (u == con) return sin;
    return 0;
}

// The parts of what was typed, blanks and hyphens being separators;
// nullopt at the first other character that is neither letter nor digit.
std::optional<std::vector<std::string>> Partes(const QString& tecleado) {
    std::vector<std::string> partes;
    std::string actual;
    for (const QChar c : tecleado) {
        if (c.isSpace() || c == u'-') {
            if (!actual.empty()) partes.push_back(std::move(actual));
            actual.clear();
            // More parts than a code has: refused below anyway.
            if (partes.size() > kPalabrasCodigo + 1) return std::nullopt;
        } else if (c >= u'0' && c <= u'9') {
            actual.push_back(static_cast<char>(c.unicode()));
        } else if (const char l = LetraSinTilde(c)) {
            actual.push_back(l);
        } else {
            return std::nullopt;
        }
    }
    if (!actual.empty()) partes.push_back(std::move(actual));
    return partes;
}

std::optional<int> Numero(const std::string& parte) {
    std::size_t i = 0;
    while (i + 1 < parte.size() && parte[i] == '0')
        ++i;
    // Two digits at most once the zeros are gone: no overflow to fear.
    if (parte.size() - i > 2) return std::nullopt;
    int n = 0;
    for (; i < parte.size(); ++i) {
        if (parte[i] < '0' || parte[i] > '9') return std::nullopt;
        n = n * 10 + (parte[i] - '0');
    }
    if (n < 1 || n > kNumeroMaximo) return std::nullopt;
    return n;
}

} // namespace

QString CodigoDesdeBits(std::uint64_t bits50) {
    bits50 &= kMascaraCodigo;
    QString codigo = QString::number((bits50 >> (kPalabrasCodigo * kBitsPalabra)) + 1);
    for (int i = 0; i < kPalabrasCodigo; ++i) {
        const auto indice =
            static_cast<std::uint16_t>((bits50 >> DesplazamientoPalabra(i)) & (kNumPalabras - 1));
        const std::string_view palabra = PalabraCodigo(indice);
        codigo += u'-';
        codigo += QLatin1StringView(palabra.data(), static_cast<qsizetype>(palabra.size()));
    }
    return codigo;
}

std::optional<std::uint64_t> BitsDesdeCodigo(const QString& canonico) {
    const auto normal = NormalizarCodigo(canonico);
    if (!normal || *normal != canonico) return std::nullopt;
    const QStringList partes = canonico.split(u'-');
    std::uint64_t bits = static_cast<std::uint64_t>(partes[0].toInt() - 1)
                         << (kPalabrasCodigo * kBitsPalabra);
    for (int i = 0; i < kPalabrasCodigo; ++i) {
        const auto indice = IndicePalabraCodigo(partes[i + 1].toStdString());
        bits |= std::uint64_t{*indice} << DesplazamientoPalabra(i);
    }
    return bits;
}

QString CodigoNuevo() {
    if (!blnSodioListo()) return {};
    std::uint64_t bits = 0;
    randombytes_buf(&bits, sizeof bits);
    // Any 50 of 64 uniform bits are uniform.
    const QString codigo = CodigoDesdeBits(bits);
    sodium_memzero(&bits, sizeof bits);
    return codigo;
}

std::optional<QString> NormalizarCodigo(const QString& tecleado) {
    if (tecleado.size() > kMaxTecleado) return std::nullopt;
    const auto partes = Partes(tecleado);
    if (!partes || partes->size() != kPalabrasCodigo + 1) return std::nullopt;
    const auto numero = Numero(partes->front());
    if (!numero) return std::nullopt;
    QString codigo = QString::number(*numero);
    for (int i = 1; i <= kPalabrasCodigo; ++i) {
        const std::string& palabra = (*partes)[static_cast<std::size_t>(i)];
        if (!IndicePalabraCodigo(palabra)) return std::nullopt;
        codigo += u'-';
        codigo += QLatin1StringView(palabra.data(), static_cast<qsizetype>(palabra.size()));
    }
    return codigo;
}

} // namespace brumaria::red::invitacion
