#include "net/invitacion/cita.h"

#include "net/marco.h"

#include <QUuid>
#include <sodium.h>

#include <algorithm>

// The bodies, all integers big-endian (docs/protocol.md, "Invitation code"):
//   offer   created i64 | id 16 | kx key 32 | instance 16 | name u8 n + n
//           | used u8 | description
//   answer  created i64 | offer id 16 | kx key 32 | description
//   description  ufrag u16 n + n | pwd u16 n + n | count u8 | candidate*
//   candidate    type u8 | family u8 (4, 6) | address 4 or 16 | port u16
//                | priority u32 | foundation u8 n + n

namespace brumaria::red::invitacion {

namespace {

enum class TipoCita : std::uint8_t { Oferta = 1, Respuesta = 2 };
constexpr qsizetype kCabeceraCita = 2; // version, kind

constexpr qsizetype kMinUsuario = 4, kMaxUsuario = 256;
constexpr qsizetype kMinClave = 22, kMaxClave = 256;
constexpr qsizetype kMinFundacion = 1, kMaxFundacion = 32;

QByteArrayView Sal(TipoCita t) {
    return t == TipoCita::Oferta ? QByteArrayView("brumaria-oferta")
                                 : QByteArrayView("brumaria-respuesta");
}

QByteArray DatosAsociados(TipoCita t) {
    QByteArray ad = Sal(t).toByteArray();
    ad.append(static_cast<char>(kVersionCita));
    ad.append(static_cast<char>(t));
    return ad;
}

// ICE-chars (RFC 8445): what ufrag, pwd and foundation are made of.
bool blnCaracteresIce(QByteArrayView b, qsizetype minimo, qsizetype maximo) {
    if (b.size() < minimo || b.size() > maximo) return false;
    return std::all_of(b.begin(), b.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
               c == '+' || c == '/';
    });
}

bool blnCandidatoValido(const CandidatoIce& c) {
    const auto tipo = static_cast<std::uint8_t>(c.tipo);
    const auto familia = c.direccion.protocol();
    return tipo <= static_cast<std::uint8_t>(CandidatoIce::Tipo::Retransmitido) &&
           (familia == QAbstractSocket::IPv4Protocol || familia == QAbstractSocket::IPv6Protocol) &&
           c.direccion != QHostAddress(QHostAddress::AnyIPv4) &&
           c.direccion != QHostAddress(QHostAddress::AnyIPv6) && c.puerto != 0 &&
           blnCaracteresIce(c.fundacion, kMinFundacion, kMaxFundacion);
}

// Reads fixed-size fields; any read past the end, or a length over its
// bound, makes ok() false before anything is allocated for it.
class Lector {
public:
    explicit Lector(QByteArrayView d) : d_(d) {}
    std::uint64_t Entero(int bytes) {
        if (!Hay(bytes)) return 0;
        std::uint64_t v = 0;
        for (int i = 0; i < bytes; ++i)
            v = (v << 8) | static_cast<std::uint8_t>(d_[pos_++]);
        return v;
    }
    QByteArrayView Bytes(qsizetype n) {
        if (!Hay(n)) return {};
        const QByteArrayView b = d_.sliced(pos_, n);
        pos_ += n;
        return b;
    }
    // A length of `bytesLargo` bytes, then that many bytes: minimo..maximo.
    QByteArrayView ConLargo(int bytesLargo, qsizetype minimo, qsizetype maximo) {
        const auto n = static_cast<qsizetype>(Entero(bytesLargo));
        if (n < minimo || n > maximo) ok_ = false;
        return ok_ ? Bytes(n) : QByteArrayView{};
    }
    void Falla() { ok_ = false; }
    bool ok() const { return ok_; }
    bool blnFinExacto() const { return ok_ && pos_ == d_.size(); }

private:
    bool Hay(qsizetype n) {
        if (!ok_ || d_.size() - pos_ < n) ok_ = false;
        return ok_;
    }
    QByteArrayView d_;
    qsizetype pos_ = 0;
    bool ok_ = true;
};

void Entero(QByteArray& s, std::uint64_t v, int bytes) {
    for (int i = bytes - 1; i >= 0; --i)
        s.append(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void ConLargo(QByteArray& s, QByteArrayView b, int bytesLargo) {
    Entero(s, static_cast<std::uint64_t>(b.size()), bytesLargo);
    s.append(b);
}

template <std::size_t N> void Fijo(QByteArray& s, const std::array<std::uint8_t, N>& a) {
    s.append(reinterpret_cast<const char*>(a.data()), static_cast<qsizetype>(N));
}

template <std::size_t N> void Fijo(Lector& l, std::array<std::uint8_t, N>& a) {
    const QByteArrayView b = l.Bytes(static_cast<qsizetype>(N));
    if (l.ok()) std::copy(b.begin(), b.end(), a.begin());
}

bool blnCredencialesValidas(const DescripcionIce& d) {
    return blnCaracteresIce(d.usuario, kMinUsuario, kMaxUsuario) &&
           blnCaracteresIce(d.clave, kMinClave, kMaxClave);
}

// The first `n` candidates (the caller checked them).
void EscribirDescripcion(QByteArray& s, const DescripcionIce& d, std::size_t n) {
    ConLargo(s, d.usuario, 2);
    ConLargo(s, d.clave, 2);
    Entero(s, n, 1);
    for (std::size_t i = 0; i < n; ++i) {
        const CandidatoIce& c = d.candidatos[i];
        Entero(s, static_cast<std::uint8_t>(c.tipo), 1);
        if (c.direccion.protocol() == QAbstractSocket::IPv4Protocol) {
            Entero(s, 4, 1);
            Entero(s, c.direccion.toIPv4Address(), 4);
        } else {
            Entero(s, 6, 1);
            const Q_IPV6ADDR a = c.direccion.toIPv6Address();
            s.append(reinterpret_cast<const char*>(a.c), 16);
        }
        Entero(s, c.puerto, 2);
        Entero(s, c.prioridad, 4);
        ConLargo(s, c.fundacion, 1);
    }
}

DescripcionIce LeerDescripcion(Lector& l) {
    DescripcionIce d;
    d.usuario = l.ConLargo(2, kMinUsuario, kMaxUsuario).toByteArray();
    d.clave = l.ConLargo(2, kMinClave, kMaxClave).toByteArray();
    const auto n = static_cast<std::size_t>(l.Entero(1));
    if (n > kMaxCandidatos) l.Falla();
    for (std::size_t i = 0; i < n && l.ok(); ++i) {
        CandidatoIce c;
        c.tipo = static_cast<CandidatoIce::Tipo>(l.Entero(1));
        const auto familia = l.Entero(1);
        if (familia == 4) {
            c.direccion = QHostAddress(static_cast<quint32>(l.Entero(4)));
        } else if (familia == 6) {
            const QByteArrayView b = l.Bytes(16);
            if (l.ok()) c.direccion = QHostAddress(reinterpret_cast<const quint8*>(b.data()));
        } else {
            l.Falla();
        }
        c.puerto = static_cast<std::uint16_t>(l.Entero(2));
        c.prioridad = static_cast<std::uint32_t>(l.Entero(4));
        c.fundacion = l.ConLargo(1, kMinFundacion, kMaxFundacion).toByteArray();
        if (l.ok() && !blnCandidatoValido(c)) l.Falla();
        d.candidatos.push_back(std::move(c));
    }
    if (l.ok() && !blnCredencialesValidas(d)) l.Falla();
    return d;
}

QByteArray SellarCita(const Clave32& k, TipoCita t, QByteArrayView cuerpo) {
    const QByteArray sellado = Sellar(k, cuerpo, DatosAsociados(t));
    if (sellado.isEmpty()) return {};
    QByteArray cita;
    cita.reserve(kCabeceraCita + sellado.size());
    cita.append(static_cast<char>(kVersionCita));
    cita.append(static_cast<char>(t));
    cita.append(sellado);
    return cita;
}

std::optional<QByteArray> AbrirCita(const Clave32& k, TipoCita t, QByteArrayView cita) {
    if (cita.size() < kCabeceraCita || cita.size() > kMaxCita ||
        static_cast<std::uint8_t>(cita[0]) != kVersionCita ||
        static_cast<std::uint8_t>(cita[1]) != static_cast<std::uint8_t>(t))
        return std::nullopt;
    return Abrir(k, cita.sliced(kCabeceraCita), DatosAsociados(t));
}

// Writes the body with the first kMaxCandidatos candidates, then leaves
// out the last ones while the sealed record would pass kMaxCita.
template <typename EscribirFijos>
QByteArray SellarConCandidatos(const Clave32& k, TipoCita t, const DescripcionIce& d,
                               EscribirFijos escribirFijos) {
    if (!blnCredencialesValidas(d)) return {};
    std::size_t n = std::min(d.candidatos.size(), kMaxCandidatos);
    if (!std::all_of(d.candidatos.begin(), d.candidatos.begin() + static_cast<std::ptrdiff_t>(n),
                     blnCandidatoValido))
        return {};
    for (;;) {
        QByteArray cuerpo;
        escribirFijos(cuerpo);
        EscribirDescripcion(cuerpo, d, n);
        if (kCabeceraCita + kSobreSellado + cuerpo.size() <= kMaxCita)
            return SellarCita(k, t, cuerpo);
        if (n == 0) return {};
        --n;
    }
}

QByteArray NombreCortado(const QString& nombre) {
    QByteArray utf8 = nombre.toUtf8();
    if (utf8.size() > kMaxNombrePartida) {
        qsizetype corte = kMaxNombrePartida;
        // back up to the start of a character
        while (corte > 0 && (static_cast<unsigned char>(utf8[corte]) & 0xC0) == 0x80)
            --corte;
        utf8.truncate(corte);
    }
    return utf8;
}

} // namespace

IdCita IdCitaNuevo() {
    IdCita id{};
    if (blnSodioListo()) randombytes_buf(id.data(), id.size());
    return id;
}

QByteArray SellarOferta(const ClavesCodigo& claves, const Oferta& o) {
    if (!blnGuidValido(o.guidInstancia)) return {};
    const QByteArray guid = QUuid::fromString(o.guidInstancia).toRfc4122();
    if (guid == QByteArray(16, '\0')) return {};
    const QByteArray nombre = NombreCortado(o.nombrePartida);
    return SellarConCandidatos(claves.claveOferta, TipoCita::Oferta, o.ice, [&](QByteArray& s) {
        Entero(s, static_cast<std::uint64_t>(o.creadaUnix), 8);
        Fijo(s, o.id);
        Fijo(s, o.clavePublicaKx);
        s.append(guid);
        ConLargo(s, nombre, 1);
        Entero(s, o.blnUsada ? 1 : 0, 1);
    });
}

QByteArray SellarRespuesta(const ClavesCodigo& claves, const Respuesta& r) {
    return SellarConCandidatos(claves.claveRespuesta, TipoCita::Respuesta, r.ice,
                               [&](QByteArray& s) {
                                   Entero(s, static_cast<std::uint64_t>(r.creadaUnix), 8);
                                   Fijo(s, r.idOferta);
                                   Fijo(s, r.clavePublicaKx);
                               });
}

std::optional<Oferta> AbrirOferta(const ClavesCodigo& claves, QByteArrayView sellado) {
    const auto cuerpo = AbrirCita(claves.claveOferta, TipoCita::Oferta, sellado);
    if (!cuerpo) return std::nullopt;
    Lector l(*cuerpo);
    Oferta o;
    o.creadaUnix = static_cast<std::int64_t>(l.Entero(8));
    Fijo(l, o.id);
    Fijo(l, o.clavePublicaKx);
    const QByteArray guid = l.Bytes(16).toByteArray();
    if (l.ok() && guid == QByteArray(16, '\0')) l.Falla();
    o.guidInstancia = QUuid::fromRfc4122(guid).toString(QUuid::WithBraces).toUpper();
    const auto nombre = DecodificarUtf8(l.ConLargo(1, 0, kMaxNombrePartida));
    if (!nombre) l.Falla();
    o.nombrePartida = nombre.value_or(QString());
    const auto usada = l.Entero(1);
    if (usada > 1) l.Falla();
    o.blnUsada = usada == 1;
    o.ice = LeerDescripcion(l);
    if (!l.blnFinExacto()) return std::nullopt;
    return o;
}

std::optional<Respuesta> AbrirRespuesta(const ClavesCodigo& claves, QByteArrayView sellado) {
    const auto cuerpo = AbrirCita(claves.claveRespuesta, TipoCita::Respuesta, sellado);
    if (!cuerpo) return std::nullopt;
    Lector l(*cuerpo);
    Respuesta r;
    r.creadaUnix = static_cast<std::int64_t>(l.Entero(8));
    Fijo(l, r.idOferta);
    Fijo(l, r.clavePublicaKx);
    r.ice = LeerDescripcion(l);
    if (!l.blnFinExacto()) return std::nullopt;
    return r;
}

Frescura ComprobarFrescura(std::int64_t creadaUnix, std::int64_t ahoraUnix) {
    // Differences taken in unsigned arithmetic: exact for any two int64
    // values in that order, where a signed subtraction could overflow.
    const auto diferencia = [](std::int64_t mayor, std::int64_t menor) {
        return static_cast<std::uint64_t>(mayor) - static_cast<std::uint64_t>(menor);
    };
    if (creadaUnix > ahoraUnix)
        return diferencia(creadaUnix, ahoraUnix) >
                       static_cast<std::uint64_t>(kAdelantoRelojSegundos)
                   ? Frescura::DelFuturo
                   : Frescura::Valida;
    return diferencia(ahoraUnix, creadaUnix) > static_cast<std::uint64_t>(kVidaCitaSegundos)
               ? Frescura::Caducada
               : Frescura::Valida;
}

} // namespace brumaria::red::invitacion
