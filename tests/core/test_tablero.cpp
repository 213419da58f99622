#include "ayudas.h"
#include "core/flota.h"
#include "core/modprincipal.h"

#include <climits>
#include <gtest/gtest.h>

using namespace brumaria;
using prueba::PonerBarco;

TEST(Tablero, LecturaYEscrituraNuncaSalenDelTablero) {
    ModPrincipal m;
    for (int p = 0; p < 4; ++p) {
        m.panel(p)->at(0).at(0) = 1;
        m.panel(p)->at(9).at(9) = 2;
        EXPECT_EQ(m.intLeerCasilla(0, 0, p), 1);
        EXPECT_EQ(m.intLeerCasilla(9, 9, p), 2);
        for (auto [f, c] :
             {std::pair{-1, 0}, {0, -1}, {10, 5}, {5, 10}, {INT_MIN, 0}, {0, INT_MAX}})
            EXPECT_EQ(m.intLeerCasilla(f, c, p), CASILLA_FUERA);
    }
    EXPECT_EQ(m.intLeerCasilla(0, 0, 4), CASILLA_AGUA);
    EXPECT_EQ(m.intLeerCasilla(0, 0, -1), CASILLA_AGUA);
    EXPECT_EQ(m.panel(4), nullptr);

    const ModPrincipal antes = m;
    EXPECT_FALSE(m.blnEscribirCasilla(10, 0, 0, 1));
    EXPECT_FALSE(m.blnEscribirCasilla(0, -1, 1, 1));
    EXPECT_FALSE(m.blnEscribirCasilla(3, 3, 7, 1));
    EXPECT_EQ(m.intBarcosJugador, antes.intBarcosJugador);
    EXPECT_EQ(m.intDescubiertoJugador, antes.intDescubiertoJugador);
    EXPECT_TRUE(m.blnEscribirCasilla(3, 3, 2, 1));
    EXPECT_EQ(m.intBarcosOrdenador[3][3], 1);
}

TEST(Tablero, ImagenSegunLosVecinosInclusoEnLosBordes) {
    ModPrincipal m;
    PonerBarco(m.intBarcosJugador, 0, 0, 4, true);  // along the top, from column A
    PonerBarco(m.intBarcosJugador, 7, 9, 3, false); // down the last column to row 10
    PonerBarco(m.intBarcosJugador, 9, 0, 1, true);  // bottom-left corner
    PonerBarco(m.intBarcosJugador, 4, 4, 2, false);
    using I = ImagenCasilla;
    const auto img = [&](int f, int c) { return m.CargarImagenCasilla(f, c, 0); };
    EXPECT_EQ(img(0, 0), I::BarcoH1);
    EXPECT_EQ(img(0, 1), I::BarcoH2);
    EXPECT_EQ(img(0, 2), I::BarcoH2);
    EXPECT_EQ(img(0, 3), I::BarcoH3);
    EXPECT_EQ(img(7, 9), I::BarcoV1);
    EXPECT_EQ(img(8, 9), I::BarcoV2);
    EXPECT_EQ(img(9, 9), I::BarcoV3);
    EXPECT_EQ(img(9, 0), I::BarcoH4);
    EXPECT_EQ(img(4, 4), I::BarcoV1);
    EXPECT_EQ(img(5, 4), I::BarcoV3);
    EXPECT_EQ(m.CargarImagenCasilla(10, 0, 0), I::Ninguna);

    m.intDescubiertoOrdenador[2][2] = CASILLA_BARCO;
    m.intDescubiertoOrdenador[2][3] = CASILLA_AGUA;
    m.intDescubiertoOrdenador[2][4] = CASILLA_OCULTA;
    EXPECT_EQ(m.CargarImagenCasilla(2, 2, 3), I::Ataque);
    EXPECT_EQ(m.CargarImagenCasilla(2, 3, 3), I::Ninguna);
    EXPECT_EQ(m.CargarImagenCasilla(2, 4, 3), I::Ninguna);
}

TEST(Tablero, ArchivosDeImagen) {
    using I = ImagenCasilla;
    EXPECT_EQ(strArchivoImagen(I::BarcoH1), QStringLiteral("imagenes/barcoh1.gif"));
    EXPECT_EQ(strArchivoImagen(I::BarcoH4), QStringLiteral("imagenes/barcoh4.gif"));
    EXPECT_EQ(strArchivoImagen(I::BarcoV3), QStringLiteral("imagenes/barcov3.gif"));
    EXPECT_EQ(strArchivoImagen(I::Ataque), QStringLiteral("imagenes/ataque.gif"));
    EXPECT_EQ(strArchivoImagen(I::BarcoH4, true), QStringLiteral("imagenes/barcoh42.gif"));
    EXPECT_EQ(strArchivoImagen(I::BarcoH2, true), QStringLiteral("imagenes/barcoh22.gif"));
    EXPECT_EQ(strArchivoImagen(I::BarcoV1, true), QStringLiteral("imagenes/barcov12.gif"));
    EXPECT_TRUE(strArchivoImagen(I::Ninguna).isEmpty());
}

TEST(Tablero, ValidacionDeFlotasAjenas) {
    EXPECT_TRUE(blnFlotaValida(prueba::FlotaFija()));
    Panel p = prueba::FlotaFija();
    p[5][7] = 2; // a code no fleet holds
    EXPECT_FALSE(blnFlotaValida(p));
    p = prueba::FlotaFija();
    p[3][8] = 1; // an extra piece, diagonal to the ship in column J
    EXPECT_FALSE(blnFlotaValida(p));
    p = prueba::FlotaFija();
    p[7][5] = 0;
    p[6][6] = 1; // the ship of 1 moved elsewhere: still legal
    EXPECT_TRUE(blnFlotaValida(p));
    p[6][7] = 1; // now an extra ship of 2 replaces a ship of 1
    EXPECT_FALSE(blnFlotaValida(p));
    Panel l{};
    PonerBarco(l, 0, 0, 3, true);
    l[1][0] = 1; // an L shape is no ship
    EXPECT_EQ(ComponerFlota(l)[0], 4);
}
