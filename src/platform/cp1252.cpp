#include "platform/cp1252.h"

#include <QList>
#include <array>

namespace brumaria {
namespace {

// Characters of bytes 0x80..0x9F; the rest of the code page equals Latin-1.
// The unassigned bytes keep their own number.
constexpr std::array<char16_t, 32> kAlto = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char ByteDe(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
    for (std::size_t i = 0; i < kAlto.size(); ++i)
        if (kAlto[i] == c) return static_cast<char>(0x80 + i);
    return '?';
}

} // namespace

QByteArray ACp1252(const QString& texto) {
    QByteArray salida;
    salida.reserve(texto.size());
    // Walk by code point so a character outside the basic plane gives one "?",
    // not two.
    for (const char32_t c : texto.toUcs4())
        salida.append(ByteDe(c));
    return salida;
}

QString DeCp1252(const QByteArray& bytes) {
    QString salida;
    salida.resize(bytes.size());
    QChar* destino = salida.data();
    for (const char b : bytes) {
        const auto u = static_cast<unsigned char>(b);
        *destino++ = (u >= 0x80 && u < 0xA0) ? QChar(kAlto[u - 0x80]) : QChar(u);
    }
    return salida;
}

} // namespace brumaria
