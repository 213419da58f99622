// red.ini: the invitation game's servers survive a round trip, keep the
// relay's password private, and a damaged file never costs more than the
// defaults.
#include "options/ajustes_internet.h"

#include "carpeta_temporal.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace brumaria;

TEST(AjustesInternet, LoGuardadoSeLeeIgualYSoloLoLeeSuDueno) {
    prueba::CarpetaTemporal carpeta;
    const QString ruta = carpeta.archivo(QStringLiteral("red.ini"));
    AjustesInternet a;
    a.stun = {QStringLiteral("stun.ejemplo.org:3478"), QStringLiteral("[2001:db8::1]:3478")};
    a.turn = QStringLiteral("turn.ejemplo.org:3478");
    a.turnUsuario = QStringLiteral("ana");
    a.turnClave = QStringLiteral("clave con espacios y ñ");
    a.nodosDht = {QStringLiteral("192.0.2.7:6881")};
    a.blnDhtPrivada = true;
    ASSERT_TRUE(GuardarAjustesInternet(a, ruta));
    EXPECT_EQ(LeerAjustesInternet(ruta), a);
    EXPECT_EQ(QFile::permissions(ruta) & (QFileDevice::ReadGroup | QFileDevice::ReadOther), 0);
}

TEST(AjustesInternet, SinArchivoOConUnArchivoQueNoEsNuestroSonLosDeSiempre) {
    prueba::CarpetaTemporal carpeta;
    const QString ruta = carpeta.archivo(QStringLiteral("red.ini"));
    EXPECT_EQ(LeerAjustesInternet(ruta), AjustesInternet::PorDefecto());
    EXPECT_FALSE(AjustesInternet::PorDefecto().blnHayTurn());
    EXPECT_FALSE(AjustesInternet::PorDefecto().nodosDht.isEmpty());
    // Too large to be ours: not read at all.
    ASSERT_TRUE(prueba::EscribirArchivo(
        ruta, "[Internet]\nturn=x:1\n" + QByteArray(kMaxArchivoAjustes, '#')));
    EXPECT_EQ(LeerAjustesInternet(ruta), AjustesInternet::PorDefecto());
}

TEST(AjustesInternet, UnArchivoEditadoAManoSeAcotaYLoQueFaltaQuedaComoEra) {
    prueba::CarpetaTemporal carpeta;
    const QString ruta = carpeta.archivo(QStringLiteral("red.ini"));
    QByteArray muchos;
    for (int i = 0; i < kMaxServidores + 3; ++i) muchos += "  n" + QByteArray::number(i) + ":1 ";
    ASSERT_TRUE(prueba::EscribirArchivo(ruta, "[Internet]\ndht=" + muchos + "\nturn=" +
                                                  QByteArray(kMaxTextoAjuste + 1, 'x') + "\n"));
    const AjustesInternet a = LeerAjustesInternet(ruta);
    ASSERT_EQ(a.nodosDht.size(), kMaxServidores);
    EXPECT_EQ(a.nodosDht.front(), QStringLiteral("n0:1"));
    EXPECT_TRUE(a.turn.isEmpty());
    EXPECT_EQ(a.stun, AjustesInternet::PorDefecto().stun);
    // An empty list written on purpose stays empty (no STUN at all).
    ASSERT_TRUE(prueba::EscribirArchivo(ruta, "[Internet]\nstun=\n"));
    EXPECT_TRUE(LeerAjustesInternet(ruta).stun.isEmpty());
}
