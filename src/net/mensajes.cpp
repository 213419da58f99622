// The game's message grammar. A message is the whole text of one transport
// frame (UTF-8 on the wire); fields are separated by ";".
//
//   mensaje       = juego / chat / historial
//   juego         = "0;" ( control / casilla-flota / ataque / respuesta / alerta
//                          / compromiso / sal )
//   control       = "0;" clave ":" valor
//                   ; clave "blnEmpiezaJugador", valor "True" / "False"
//                   ; clave "BarcosListos" or "FinDePartida", valor not read ("Sí")
//   casilla-flota = "1;" casilla                ; shown at the end of a match
//   compromiso    = "5;" 64hex                  ; SHA-256 of the fleet and its salt
//   sal           = "6;" 32hex                  ; closes the fleet shown
//   ataque        = "2;" casilla
//   respuesta     = "3;" casilla ";" ( "0" / "1" / "2" / "3" )
//   alerta        = "4;" ( "0" / "1;" texto / "2;" texto / "9;" ( "0" / "1" / "2" ) )
//   chat          = "1;" texto
//   historial     = "2;" texto
//   casilla       = digito ";" digito      ; row then column, 0-based
//   digito        = "0" .. "9"
//   hex           = "0" .. "9" / "a" .. "f"   ; lowercase only
//   texto         = any characters, ";" and ":" included
//
// Kind and subkind are exactly one digit; so is every coordinate. Anything
// else (no ";", an unknown key, a value that is not True/False, a field
// with blanks, signs or leading zeros) is not a message and is dropped.
#include "net/mensajes.h"

#include "core/compromiso.h"
#include "net/marco.h"

namespace brumaria::protocolo {

namespace {

int intDigito(QChar c) {
    return (c >= u'0' && c <= u'9') ? c.unicode() - u'0' : -1;
}

// "d;d".
bool blnLeerCasilla(QStringView s, int& intFila, int& intColumna) {
    if (s.size() != 3 || s[1] != u';') return false;
    intFila = intDigito(s[0]);
    intColumna = intDigito(s[2]);
    return intFila >= 0 && intColumna >= 0;
}

// The digit before the first ";" and what follows it.
bool blnPartir(QStringView s, int& intCampo, QStringView& resto) {
    if (s.size() < 2 || s[1] != u';') return false;
    intCampo = intDigito(s[0]);
    resto = s.mid(2);
    return intCampo >= 0;
}

// Exactly `bytes` bytes written as lowercase hex digits.
bool blnLeerHex(QStringView s, int bytes, QByteArray& salida) {
    if (s.size() != 2 * bytes) return false;
    for (const QChar c : s)
        if (intDigito(c) < 0 && !(c >= u'a' && c <= u'f')) return false;
    salida = QByteArray::fromHex(s.toLatin1());
    return salida.size() == bytes;
}

Mensaje LeerControl(QStringView cuerpo) {
    const qsizetype dp = cuerpo.indexOf(u':');
    if (dp < 0) return {};
    const QStringView clave = cuerpo.left(dp);
    const QStringView valor = cuerpo.mid(dp + 1);
    if (clave == u"blnEmpiezaJugador") {
        if (valor == u"True") return QuienEmpieza{true};
        if (valor == u"False") return QuienEmpieza{false};
        return {};
    }
    if (clave == u"BarcosListos") return BarcosListos{};
    if (clave == u"FinDePartida") return FinDePartida{};
    return {};
}

Mensaje LeerAlerta(QStringView cuerpo) {
    if (cuerpo.isEmpty()) return {};
    const int tipo = intDigito(cuerpo[0]);
    if (tipo == 0) return cuerpo.size() == 1 ? Mensaje{Alerta{0, {}}} : Mensaje{};
    if (cuerpo.size() < 2 || cuerpo[1] != u';') return {};
    if (tipo == 1 || tipo == 2)
        return Alerta{tipo, strTextoSeguro(cuerpo.mid(2).left(kMaxTextoAlerta).toString())};
    if (tipo == 9 && cuerpo.size() == 3) {
        const int n = intDigito(cuerpo[2]);
        if (n >= 0 && n <= 2) return AlertaRechazada{n};
    }
    return {};
}

Mensaje LeerJuego(QStringView s) {
    int subtipo = -1;
    QStringView cuerpo;
    if (!blnPartir(s, subtipo, cuerpo)) return {};
    int f = 0, c = 0;
    switch (subtipo) {
    case 0:
        return LeerControl(cuerpo);
    case 1:
        return blnLeerCasilla(cuerpo, f, c) ? Mensaje{CasillaFlota{f, c}} : Mensaje{};
    case 2:
        return blnLeerCasilla(cuerpo, f, c) ? Mensaje{Ataque{f, c}} : Mensaje{};
    case 3: {
        if (cuerpo.size() != 5 || cuerpo[3] != u';' || !blnLeerCasilla(cuerpo.left(3), f, c))
            return {};
        const int r = intDigito(cuerpo[4]);
        if (r < 0 || r > 3) return {};
        return RespuestaAtaque{f, c, r};
    }
    case 4:
        return LeerAlerta(cuerpo);
    case 5: {
        QByteArray h;
        return blnLeerHex(cuerpo, kBytesCompromiso, h) ? Mensaje{Compromiso{h}} : Mensaje{};
    }
    case 6: {
        QByteArray sal;
        return blnLeerHex(cuerpo, kBytesSal, sal) ? Mensaje{SalFlota{sal}} : Mensaje{};
    }
    default:
        return {};
    }
}

QString Casilla(int intFila, int intColumna) {
    return QStringLiteral("%1;%2").arg(intFila).arg(intColumna);
}

} // namespace

QString strTextoSeguro(const QString& strTexto) {
    QString r;
    r.reserve(strTexto.size());
    for (const QChar c : strTexto) {
        const char16_t u = c.unicode();
        // A byte-order mark shows as nothing, or as "?" in the history
        // file: a name that begins with one comes inside other lines too.
        if (u == 0xFEFF) continue;
        if (u < 0x20 || u == 0x7F || (u >= 0x80 && u < 0xA0) || u == 0x2028 || u == 0x2029)
            r += u' ';
        else
            r += c;
    }
    return r;
}

Mensaje Leer(const QString& strTexto) {
    int tipo = -1;
    QStringView resto;
    if (!blnPartir(strTexto, tipo, resto)) return {};
    switch (tipo) {
    case 0:
        return LeerJuego(resto);
    case 1:
        return Chat{strTextoSeguro(resto.toString())};
    case 2:
        return Historial{strTextoSeguro(resto.toString())};
    default:
        return {};
    }
}

namespace {
struct Escritor {
    QString operator()(std::monostate) const { return {}; }
    QString operator()(const QuienEmpieza& m) const {
        return QStringLiteral("0;0;blnEmpiezaJugador:") +
               (m.blnEmpiezaJugador ? QStringLiteral("True") : QStringLiteral("False"));
    }
    QString operator()(const CasillaFlota& m) const {
        return QStringLiteral("0;1;") + Casilla(m.intFila, m.intColumna);
    }
    QString operator()(const Compromiso& m) const {
        return QStringLiteral("0;5;") + QString::fromLatin1(m.huella.toHex());
    }
    QString operator()(const SalFlota& m) const {
        return QStringLiteral("0;6;") + QString::fromLatin1(m.sal.toHex());
    }
    QString operator()(const BarcosListos&) const { return QStringLiteral("0;0;BarcosListos:Sí"); }
    QString operator()(const FinDePartida&) const { return QStringLiteral("0;0;FinDePartida:Sí"); }
    QString operator()(const Ataque& m) const {
        return QStringLiteral("0;2;") + Casilla(m.intFila, m.intColumna);
    }
    QString operator()(const RespuestaAtaque& m) const {
        return QStringLiteral("0;3;") + Casilla(m.intFila, m.intColumna) + QLatin1Char(';') +
               QString::number(m.intResultado);
    }
    QString operator()(const Alerta& m) const {
        if (m.intTipo == 0) return QStringLiteral("0;4;0");
        return QStringLiteral("0;4;%1;").arg(m.intTipo) + m.strTexto;
    }
    QString operator()(const AlertaRechazada& m) const {
        return QStringLiteral("0;4;9;%1").arg(m.intTipo);
    }
    QString operator()(const Chat& m) const { return QStringLiteral("1;") + m.strTexto; }
    QString operator()(const Historial& m) const { return QStringLiteral("2;") + m.strTexto; }
};
} // namespace

QString Escribir(const Mensaje& mensaje) {
    return std::visit(Escritor{}, mensaje);
}

bool blnCabeEnUnMarco(const Mensaje& mensaje) {
    return Escribir(mensaje).toUtf8().size() <= qsizetype(red::kMaxCuerpoMarco);
}

} // namespace brumaria::protocolo
