// Frames and search datagrams: split anywhere, bounded, hostile bytes refused.
#include "net/descubrimiento.h"
#include "net/marco.h"

#include <gtest/gtest.h>

using namespace brumaria::red;

TEST(Marcos, SeRecomponenCortadosPorCualquierSitio) {
    QByteArray flujo;
    QList<QByteArray> cuerpos = {"", "1;hola", QString::fromUtf8("0;4;1;¡Ay! ñ").toUtf8(),
                                 QByteArray(kMaxCuerpoMarco, 'z')};
    for (const auto& c : cuerpos)
        flujo += CodificarMarco(TipoMarco::Datos, c);
    flujo += CodificarMarco(TipoMarco::Latido);
    for (qsizetype paso : {1, 2, 3, 5, 7, 4096, 100000}) {
        DecodificadorMarcos dec;
        QList<Marco> salida;
        for (qsizetype i = 0; i < flujo.size(); i += paso)
            ASSERT_TRUE(dec.Anadir(
                QByteArrayView(flujo).sliced(i, std::min(paso, flujo.size() - i)), salida));
        ASSERT_EQ(salida.size(), 5);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(salida[i].cuerpo, cuerpos[i]);
        EXPECT_EQ(salida[4].tipo, TipoMarco::Latido);
        EXPECT_EQ(dec.Pendientes(), 0);
    }
}

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

TEST(Marcos, CamposAcotados) {
    EscritorCampos e;
    e.cadena(QString(3000, QChar(u'ñ')));
    LectorCampos l(e.datos());
    const QString s = l.cadena();
    EXPECT_EQ(s.toUtf8().size(), kMaxCadenaCampo); // cut on a character boundary
    EXPECT_TRUE(l.ok() && l.alFinal());
    EXPECT_EQ(l.u8(), 0);
    EXPECT_FALSE(l.ok());

    const QByteArray bytesCorta = QByteArray::fromHex("0005616263");
    LectorCampos corta(bytesCorta);
    EXPECT_TRUE(corta.cadena().isEmpty());
    EXPECT_FALSE(corta.ok());
    const QByteArray bytesMal = QByteArray::fromHex("0002c328");
    LectorCampos malUtf8(bytesMal);
    malUtf8.cadena();
    EXPECT_FALSE(malUtf8.ok());

    EXPECT_TRUE(blnGuidValido(QStringLiteral("{ECF6F199-8B33-43D3-BB42-DB7ABDCFFAFA}")));
    EXPECT_FALSE(blnGuidValido(QStringLiteral("{ECF6F199-8B33-43D3-BB42-DB7ABDCFFAFG}")));
    EXPECT_FALSE(blnGuidValido(QStringLiteral("ECF6F199-8B33-43D3-BB42-DB7ABDCFFAFA")));
}

TEST(Datagramas, CualquierRecorteOCampoImposibleSeRechaza) {
    ConsultaBusqueda c{QStringLiteral("{ECF6F199-8B33-43D3-BB42-DB7ABDCFFAFA}"), 123456};
    const QByteArray dc = CodificarConsulta(c);

    RespuestaBusqueda r;
    r.marca = 99;
    r.guidInstancia = QStringLiteral("{11111111-2222-3333-4444-555555555555}");
    r.guidAplicacion = c.guidAplicacion;
    r.maxJugadores = 2;
    r.jugadores = 1;
    r.puertoTcp = 40123;
    r.nombreSesion = QStringLiteral("La partida de Íñigo");
    const QByteArray dr = CodificarRespuesta(r);
    ASSERT_TRUE(LeerRespuesta(dr) && LeerConsulta(dc)); // read in full by every search test

    for (qsizetype n = 0; n < dr.size(); ++n)
        EXPECT_FALSE(LeerRespuesta(dr.left(n))) << n;
    for (qsizetype n = 0; n < dc.size(); ++n)
        EXPECT_FALSE(LeerConsulta(dc.left(n))) << n;
    EXPECT_FALSE(LeerRespuesta(dr + "x"));
    EXPECT_FALSE(LeerConsulta(dr));
    EXPECT_FALSE(LeerRespuesta(dc));
    r.jugadores = 3;
    EXPECT_FALSE(LeerRespuesta(CodificarRespuesta(r)));
    r.jugadores = 1;
    r.puertoTcp = 0;
    EXPECT_FALSE(LeerRespuesta(CodificarRespuesta(r)));
    EXPECT_FALSE(LeerConsulta(QByteArray(kMaxDatagrama + 1, 'B')));
}
