#include "net/marco.h"

#include <QStringDecoder>

namespace brumaria::red {

namespace {
constexpr qsizetype kCabecera = 4;

bool TipoConocido(std::uint8_t t) {
    return t >= static_cast<std::uint8_t>(TipoMarco::Hola) &&
           t <= static_cast<std::uint8_t>(TipoMarco::Adios);
}
} // namespace

QByteArray CodificarMarco(TipoMarco tipo, QByteArrayView cuerpo) {
    const auto largo = static_cast<std::uint32_t>(cuerpo.size() + 1);
    QByteArray marco;
    marco.reserve(kCabecera + largo);
    marco.append(static_cast<char>((largo >> 24) & 0xFF));
    marco.append(static_cast<char>((largo >> 16) & 0xFF));
    marco.append(static_cast<char>((largo >> 8) & 0xFF));
    marco.append(static_cast<char>(largo & 0xFF));
    marco.append(static_cast<char>(tipo));
    marco.append(cuerpo);
    return marco;
}

bool DecodificadorMarcos::Anadir(QByteArrayView datos, QList<Marco>& salida) {
    if (roto_) return false;
    buffer_.append(datos);
    qsizetype pos = 0;
    while (buffer_.size() - pos >= kCabecera) {
        const auto* p = reinterpret_cast<const unsigned char*>(buffer_.constData() + pos);
        const std::uint32_t largo = (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) |
                                    (std::uint32_t(p[2]) << 8) | std::uint32_t(p[3]);
        if (largo == 0 || largo > kMaxCuerpoMarco + 1) {
            roto_ = true;
            buffer_.clear();
            return false;
        }
        if (buffer_.size() - pos >= 1 + kCabecera && !TipoConocido(p[4])) {
            roto_ = true;
            buffer_.clear();
            return false;
        }
        if (buffer_.size() - pos < kCabecera + qsizetype(largo)) break;
        Marco m;
        m.tipo = static_cast<TipoMarco>(p[4]);
        m.cuerpo = buffer_.mid(pos + kCabecera + 1, qsizetype(largo) - 1);
        salida.append(std::move(m));
        pos += kCabecera + qsizetype(largo);
    }
    if (pos > 0) buffer_.remove(0, pos);
    return true;
}

std::optional<QString> DecodificarUtf8(QByteArrayView bytes) {
    // Without ConvertInitialBom the decoder drops a byte-order mark at the
    // very start: every str field and DATOS body comes through here, so no
    // name, session name or message begins with an invisible U+FEFF.
    QStringDecoder dec(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    QString s = dec.decode(bytes);
    if (dec.hasError()) return std::nullopt;
    return s;
}

EscritorCampos& EscritorCampos::u8(std::uint8_t v) {
    datos_.append(static_cast<char>(v));
    return *this;
}

EscritorCampos& EscritorCampos::u16(std::uint16_t v) {
    datos_.append(static_cast<char>((v >> 8) & 0xFF));
    datos_.append(static_cast<char>(v & 0xFF));
    return *this;
}

EscritorCampos& EscritorCampos::u32(std::uint32_t v) {
    u16(static_cast<std::uint16_t>(v >> 16));
    return u16(static_cast<std::uint16_t>(v & 0xFFFF));
}

EscritorCampos& EscritorCampos::cadena(const QString& s) {
    QByteArray utf8 = s.toUtf8();
    if (utf8.size() > kMaxCadenaCampo) {
        qsizetype corte = kMaxCadenaCampo;
        // back up to the start of a character
        while (corte > 0 && (static_cast<unsigned char>(utf8[corte]) & 0xC0) == 0x80)
            --corte;
        utf8.truncate(corte);
    }
    u16(static_cast<std::uint16_t>(utf8.size()));
    datos_.append(utf8);
    return *this;
}

EscritorCampos& EscritorCampos::bytes(QByteArrayView b) {
    datos_.append(b);
    return *this;
}

bool LectorCampos::Hay(qsizetype n) {
    if (!ok_ || datos_.size() - pos_ < n) {
        ok_ = false;
        return false;
    }
    return true;
}

std::uint8_t LectorCampos::u8() {
    if (!Hay(1)) return 0;
    return static_cast<std::uint8_t>(datos_[pos_++]);
}

std::uint16_t LectorCampos::u16() {
    if (!Hay(2)) return 0;
    const auto a = static_cast<std::uint8_t>(datos_[pos_]);
    const auto b = static_cast<std::uint8_t>(datos_[pos_ + 1]);
    pos_ += 2;
    return static_cast<std::uint16_t>((a << 8) | b);
}

std::uint32_t LectorCampos::u32() {
    const std::uint32_t alto = u16();
    const std::uint32_t bajo = u16();
    return ok_ ? (alto << 16) | bajo : 0;
}

QString LectorCampos::cadena() {
    const std::uint16_t largo = u16();
    if (!ok_ || largo > kMaxCadenaCampo || !Hay(largo)) {
        ok_ = false;
        return {};
    }
    auto texto = DecodificarUtf8(datos_.sliced(pos_, largo));
    pos_ += largo;
    if (!texto) {
        ok_ = false;
        return {};
    }
    return *texto;
}

bool LectorCampos::bytes(QByteArrayView esperado) {
    if (!Hay(esperado.size())) return false;
    if (datos_.sliced(pos_, esperado.size()) != esperado) {
        ok_ = false;
        return false;
    }
    pos_ += esperado.size();
    return true;
}

namespace {
constexpr QByteArrayView kMagiaSaludo("BRUMARIA");
}

QByteArray CodificarHola(const Hola& h) {
    EscritorCampos e;
    e.bytes(kMagiaSaludo).u8(h.intVersion).cadena(h.guidAplicacion);
    e.cadena(h.guidInstancia).cadena(h.nombre);
    return e.datos();
}

QByteArray CodificarBienvenida(const Bienvenida& b) {
    EscritorCampos e;
    e.u32(0)
        .u32(static_cast<std::uint32_t>(b.idInvitado))
        .u32(static_cast<std::uint32_t>(b.idHost))
        .cadena(b.nombreHost)
        .cadena(b.nombreSesion)
        .u32(static_cast<std::uint32_t>(b.maxJugadores))
        .cadena(b.guidInstancia)
        .cadena(b.guidAplicacion);
    return e.datos();
}

QByteArray CodificarRechazo(std::int32_t codigo) {
    EscritorCampos e;
    e.u32(static_cast<std::uint32_t>(codigo));
    return e.datos();
}

std::optional<Hola> LeerHola(QByteArrayView cuerpo) {
    LectorCampos l(cuerpo);
    const bool magia = l.bytes(kMagiaSaludo);
    Hola h;
    h.intVersion = l.u8();
    if (!magia || !l.ok()) return std::nullopt;
    if (h.intVersion != kVersionProtocolo) return Hola{{}, {}, {}, h.intVersion};
    h.guidAplicacion = l.cadena();
    h.guidInstancia = l.cadena();
    h.nombre = l.cadena();
    if (!l.ok() || !l.alFinal() || !blnGuidValido(h.guidAplicacion) ||
        (!h.guidInstancia.isEmpty() && !blnGuidValido(h.guidInstancia)))
        return std::nullopt;
    return h;
}

std::optional<Bienvenida> LeerBienvenida(QByteArrayView cuerpo) {
    LectorCampos l(cuerpo);
    const std::uint32_t codigo = l.u32();
    Bienvenida b;
    b.idInvitado = static_cast<std::int32_t>(l.u32());
    b.idHost = static_cast<std::int32_t>(l.u32());
    b.nombreHost = l.cadena();
    b.nombreSesion = l.cadena();
    b.maxJugadores = static_cast<std::int32_t>(l.u32());
    b.guidInstancia = l.cadena();
    b.guidAplicacion = l.cadena();
    if (!l.ok() || !l.alFinal() || codigo != 0 || b.idInvitado == 0 || b.idHost == 0 ||
        b.idInvitado == b.idHost || b.maxJugadores < 2 || b.maxJugadores > 64 ||
        !blnGuidValido(b.guidInstancia) || !blnGuidValido(b.guidAplicacion))
        return std::nullopt;
    return b;
}

std::optional<std::int32_t> LeerRechazo(QByteArrayView cuerpo) {
    LectorCampos l(cuerpo);
    const auto codigo = static_cast<std::int32_t>(l.u32());
    if (!l.ok() || !l.alFinal() || codigo == 0) return std::nullopt;
    return codigo;
}

bool blnGuidValido(const QString& guid) {
    if (guid.size() != 38 || guid.front() != u'{' || guid.back() != u'}') return false;
    for (int i = 1; i < 37; ++i) {
        const QChar c = guid[i];
        if (i == 9 || i == 14 || i == 19 || i == 24) {
            if (c != u'-') return false;
        } else if (!c.isDigit() && !(c >= u'a' && c <= u'f') && !(c >= u'A' && c <= u'F')) {
            return false;
        }
    }
    return true;
}

} // namespace brumaria::red
