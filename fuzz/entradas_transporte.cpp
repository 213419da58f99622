#include "entradas.h"

#include "net/descubrimiento.h"
#include "net/marco.h"

#include <cstdlib>

namespace brumaria::fuzz {

namespace {
void Exigir(bool condicion) {
    if (!condicion) std::abort();
}
// A byte-order mark at the start of a text is dropped on reading, so such
// bytes do not come back the same.
bool blnConBom(QByteArrayView b) {
    return b.contains(QByteArrayView("\xEF\xBB\xBF"));
}
} // namespace

int EntradaMarcos(const std::uint8_t* datos, std::size_t tamano) {
    if (tamano == 0) return 0;
    const qsizetype paso = 1 + datos[0] % 64;
    const QByteArrayView flujo(reinterpret_cast<const char*>(datos + 1), qsizetype(tamano - 1));
    red::DecodificadorMarcos dec;
    QList<red::Marco> marcos;
    for (qsizetype i = 0; i < flujo.size(); i += paso) {
        if (!dec.Anadir(flujo.sliced(i, std::min(paso, flujo.size() - i)), marcos)) break;
        Exigir(dec.Pendientes() <= qsizetype(red::kMaxCuerpoMarco) + 5);
    }
    for (const red::Marco& m : marcos) {
        Exigir(m.cuerpo.size() <= qsizetype(red::kMaxCuerpoMarco));
        switch (m.tipo) {
        case red::TipoMarco::Hola:
            if (auto h = red::LeerHola(m.cuerpo))
                Exigir(red::LeerHola(red::CodificarHola(*h)).has_value());
            break;
        case red::TipoMarco::Bienvenida:
            if (auto b = red::LeerBienvenida(m.cuerpo))
                Exigir(blnConBom(m.cuerpo) || red::CodificarBienvenida(*b) == m.cuerpo);
            break;
        case red::TipoMarco::Rechazo:
            if (auto c = red::LeerRechazo(m.cuerpo)) Exigir(*c != 0);
            break;
        case red::TipoMarco::Datos:
            if (auto t = red::DecodificarUtf8(m.cuerpo))
                Exigir(blnConBom(m.cuerpo) || t->toUtf8() == m.cuerpo);
            break;
        default:
            break;
        }
        // What was decoded encodes back to the same bytes.
        const QByteArray otra = red::CodificarMarco(m.tipo, m.cuerpo);
        Exigir(otra.size() == m.cuerpo.size() + 5);
    }
    return 0;
}

int EntradaDescubrimiento(const std::uint8_t* datos, std::size_t tamano) {
    const QByteArrayView dg(reinterpret_cast<const char*>(datos), qsizetype(tamano));
    if (auto c = red::LeerConsulta(dg)) Exigir(blnConBom(dg) || red::CodificarConsulta(*c) == dg);
    if (auto r = red::LeerRespuesta(dg)) {
        Exigir(r->jugadores <= r->maxJugadores && r->puertoTcp != 0);
        Exigir(blnConBom(dg) || red::CodificarRespuesta(*r) == dg);
    }
    return 0;
}

} // namespace brumaria::fuzz
