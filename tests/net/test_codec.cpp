// Frames: a length or a type no frame can have breaks the stream for good;
// a text field longer than any the game writes is refused.
#include "net/marco.h"

#include <gtest/gtest.h>

using namespace brumaria::red;

TEST(Marcos, LargoOTipoImposibleRompenElFlujo) {
    for (const char* hex :
         {"00000000", "00004002", "ffffffff", "0000000100", "0000000107", "00000001ff"}) {
        DecodificadorMarcos dec;
        QList<Marco> salida;
        EXPECT_FALSE(dec.Anadir(QByteArray::fromHex(hex), salida)) << hex;
        EXPECT_TRUE(dec.blnRoto());
        EXPECT_FALSE(dec.Anadir(CodificarMarco(TipoMarco::Datos, "x"), salida));
        EXPECT_TRUE(salida.isEmpty());
    }
    // A frame right after a good one is still refused, and the good one kept.
    DecodificadorMarcos dec;
    QList<Marco> salida;
    EXPECT_FALSE(dec.Anadir(
        CodificarMarco(TipoMarco::Datos, "a") + QByteArray::fromHex("7fffffff04"), salida));
    ASSERT_EQ(salida.size(), 1);
    EXPECT_EQ(salida[0].cuerpo, "a");
}

// Frames come in pieces of any size: byte by byte, both arrive whole.
TEST(Marcos, LlegandoAPedazosSeRecomponen) {
    const QByteArray flujo = CodificarMarco(TipoMarco::Datos, "primero") +
                             CodificarMarco(TipoMarco::Datos, QByteArray(300, 'z'));
    DecodificadorMarcos dec;
    QList<Marco> salida;
    for (const char c : flujo)
        ASSERT_TRUE(dec.Anadir(QByteArray(1, c), salida));
    ASSERT_EQ(salida.size(), 2);
    EXPECT_EQ(salida[0].cuerpo, "primero");
    EXPECT_EQ(salida[1].cuerpo, QByteArray(300, 'z'));
}

TEST(Marcos, UnCampoDeTextoDemasiadoLargoSeRechaza) {
    const QByteArray hola =
        CodificarHola({QStringLiteral("{ECF6F199-8B33-43D3-BB42-DB7ABDCFFAFA}"), {}, {}}).chopped(2);
    EXPECT_TRUE(LeerHola(hola + QByteArray::fromHex("0400") + QByteArray(1024, 'x')));
    EXPECT_FALSE(LeerHola(hola + QByteArray::fromHex("0401") + QByteArray(1025, 'x')));
}
