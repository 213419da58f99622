// Every byte bound a peer can push against, one below it, at it and one
// past it: a frame's body, a text field, a game message, an alert's text.
#include "net/marco.h"
#include "net/mensajes.h"

#include <gtest/gtest.h>

using namespace brumaria;
using namespace brumaria::red;

TEST(Limites, CadaLimiteUnoAntesEnElYUnoDespues) {
    for (const int d : {-1, 0, 1}) {
        const qsizetype n = qsizetype(kMaxCuerpoMarco) + d;
        DecodificadorMarcos dec;
        QList<Marco> salida;
        EXPECT_EQ(dec.Anadir(CodificarMarco(TipoMarco::Datos, QByteArray(n, 'x')), salida), d <= 0)
            << "cuerpo de " << n;
        EXPECT_EQ(salida.size() == 1 && salida[0].cuerpo.size() == n, d <= 0) << "cuerpo de " << n;

        const qsizetype campo = kMaxCadenaCampo + d;
        EscritorCampos e;
        e.cadena(QString(campo, u'x')).u8(7);
        LectorCampos l(e.datos());
        EXPECT_EQ(l.cadena().size(), std::min<qsizetype>(campo, kMaxCadenaCampo)) << campo;
        EXPECT_EQ(l.u8(), 7) << "what follows a cut field is read where it is";

        // "1;" and the chat line: the whole message fits one frame, or is not sent.
        const protocolo::Chat chat{QString(n - 2, u'x')};
        EXPECT_EQ(protocolo::blnCabeEnUnMarco(chat), d <= 0) << "mensaje de " << n;

        const int texto = protocolo::kMaxTextoAlerta + d;
        const auto alerta =
            protocolo::Leer(protocolo::Escribir(protocolo::Alerta{1, QString(texto, u'a')}));
        ASSERT_TRUE(std::holds_alternative<protocolo::Alerta>(alerta));
        EXPECT_EQ(std::get<protocolo::Alerta>(alerta).strTexto.size(),
                  std::min(texto, protocolo::kMaxTextoAlerta));
    }
}

// A field that runs past the end of what came is no field: whatever is
// read after it, the reader stays failed.
TEST(Limites, UnCampoCortadoDejaElLectorFallido) {
    EscritorCampos e;
    e.u8(1).u16(2).u32(3).cadena(QStringLiteral("abc"));
    const QByteArray entero = e.datos();
    for (qsizetype n = 0; n < entero.size(); ++n) {
        LectorCampos l(QByteArrayView(entero).first(n));
        l.u8();
        l.u16();
        l.u32();
        l.cadena();
        EXPECT_FALSE(l.ok()) << n << " of " << entero.size() << " bytes";
    }
    LectorCampos l(entero);
    EXPECT_EQ(l.u8(), 1);
    EXPECT_EQ(l.u16(), 2);
    EXPECT_EQ(l.u32(), 3u);
    EXPECT_EQ(l.cadena(), QStringLiteral("abc"));
    EXPECT_TRUE(l.ok() && l.alFinal());
    EXPECT_FALSE(LectorCampos(QByteArrayView("BRUMARI")).bytes("BRUMARIA"));
}
