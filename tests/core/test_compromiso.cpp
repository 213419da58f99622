// The commitment to a fleet and the check of the answers given against it.
#include "ayudas.h"
#include "core/compromiso.h"

#include <gtest/gtest.h>

using namespace brumaria;
using namespace brumaria::prueba;

namespace {

// The fixed fleet, as the tests draw it:
//      A B C D E F G H I J
//   1  # # # # . . . . . #
//   2  . . . . . . . . . #
//   3  # . . . . # . . . .
//   4  # . . . . . . . . .
//   5  # . . . # # . . . .
//   6  . . . . . . . . . .
//   7  . . # . . . . . . #
//   8  . . # . . # . . . .
//   9  . . . . . . . . . .
//  10  # . . . . . . # # #

TEST(Compromiso, SeHaceSobreLasCasillasEnOrdenYLaSal) {
    QByteArray sal;
    for (int i = 0; i < kBytesSal; ++i)
        sal.append(char(i));
    // Worked out by hand from the documented layout: (row, column) bytes
    // of the 20 squares, 0000 0001 ... 0909, then the salt, SHA-256.
    EXPECT_EQ(CompromisoFlota(FlotaFija(), sal).toHex(),
              "8f1ad2bd14bdefc87ecc15a8a1db3539bf38e4b40941c907457eefc7b1dc0d70");
    Panel otra = FlotaFija();
    otra[9][0] = CASILLA_AGUA;
    otra[8][0] = CASILLA_BARCO;
    EXPECT_NE(CompromisoFlota(otra, sal), CompromisoFlota(FlotaFija(), sal));
    sal[0] = 1;
    EXPECT_NE(CompromisoFlota(FlotaFija(), sal).toHex(),
              "8f1ad2bd14bdefc87ecc15a8a1db3539bf38e4b40941c907457eefc7b1dc0d70");

    // The salt is secret: fixing the game's random draws does not fix it.
    Semilla semilla(7);
    const QByteArray a = Azar::SalSecreta(kBytesSal);
    Azar::FijarDeterminista(7);
    EXPECT_EQ(a.size(), kBytesSal);
    EXPECT_NE(Azar::SalSecreta(kBytesSal), a);
}

struct Fila {
    const char* historia;
    QList<RespuestaDada> respuestas; // row, column, answer given
    QList<Mentira> mentiras;         // row, column, truth, said
};

TEST(Mentiras, CadaRespuestaSeComparaConLaFlotaEnSuMomento) {
    const Fila filas[] = {
        {"todo verdad: el barco de 4 tocado tres veces y hundido, agua, J1-J2, A10",
         {{0, 0, 1}, {0, 1, 1}, {0, 2, 1}, {0, 3, 2}, {1, 1, 0}, {0, 9, 1}, {1, 9, 2}, {9, 0, 2}},
         {}},
        {"Agua en A1, que es barco", {{0, 0, 0}}, {{0, 0, 1, 0}}},
        {"Tocado en B2, que es agua", {{1, 1, 1}}, {{1, 1, 0, 1}}},
        {"Hundido en A1 con el resto del barco sin tocar", {{0, 0, 2}}, {{0, 0, 1, 2}}},
        {"Tocado en A10, un barco de uno", {{9, 0, 1}}, {{9, 0, 2, 1}}},
        {"Hundido en J2 sin haber tocado J1", {{1, 9, 2}}, {{1, 9, 1, 2}}},
        {"ya descubierta de verdad, y mentira en una nueva",
         {{0, 0, 1}, {0, 0, 3}, {1, 1, 3}},
         {{1, 1, 0, 3}}},
        {"una casilla ya descubierta contestada otra vez", {{1, 1, 0}, {1, 1, 0}}, {{1, 1, 3, 0}}},
        {"la mentira de 'ya descubierta' no descubre nada", {{1, 1, 3}, {1, 1, 0}}, {{1, 1, 0, 3}}},
    };
    for (const Fila& f : filas)
        EXPECT_EQ(Mentiras(FlotaFija(), f.respuestas), f.mentiras) << f.historia;
}

} // namespace
