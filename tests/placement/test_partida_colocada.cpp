// A whole match against the computer, played with a fleet placed by hand in
// the editor.
#include "../match/fakes.h"
#include "carpeta_temporal.h"
#include "core/azar.h"
#include "core/flota.h"
#include "grabador_mensajes.h"
#include "ui/placement/colocar_barcos.h"

#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace brumaria;

namespace {

void Clic(FrmColocarBarcos& editor, int f, int c) {
    QWidget* w = editor.celda(f * 10 + c);
    QTest::mouseMove(w, w->rect().center());
    QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
}

void Orientar(FrmColocarBarcos& editor, const char* nombre) {
    QTest::mouseClick(editor.findChild<QRadioButton*>(QString::fromLatin1(nombre)), Qt::LeftButton);
}

TEST(PartidaConFlotaColocada, SeJuegaHastaElFinConLaFlotaPuestaAMano) {
    prueba::CarpetaTemporal carpeta;
    prueba::GrabadorMensajes grabador;
    Azar::FijarDeterminista(2024);
    prueba::Mesa mesa;
    Partida& partida = mesa.partida;
    ModPrincipal& principal = mesa.principal;

    // The new-game steps before the editor: the player's board is water.
    principal.LlenarPanel(0, CASILLA_AGUA);
    partida.blnBarcosColocados = false;
    auto* editor =
        new FrmColocarBarcos(principal, mesa.opciones.Opciones, partida.blnBarcosColocados);
    editor->setAttribute(Qt::WA_DeleteOnClose);
    editor->show();
    Clic(*editor, 9, 6); // G10..J10
    Orientar(*editor, "optVertical");
    Clic(*editor, 0, 0); // A1..A3
    Clic(*editor, 5, 0); // A6..A8
    Orientar(*editor, "optHorizontal");
    Clic(*editor, 0, 2); // C1..D1
    Clic(*editor, 0, 8); // I1..J1
    Clic(*editor, 4, 4); // E5..F5
    Clic(*editor, 2, 5);
    Clic(*editor, 6, 8);
    Clic(*editor, 7, 3);
    Clic(*editor, 9, 1);
    QTest::mouseClick(editor->findChild<QPushButton*>(QStringLiteral("cmdAceptar")),
                      Qt::LeftButton);
    // The main window's wait for the editor.
    for (int i = 0; i < 200 && !partida.blnBarcosColocados && !principal.blnCerrando; ++i)
        Pausa(5);
    ASSERT_TRUE(partida.blnBarcosColocados);
    ASSERT_TRUE(blnFlotaValida(principal.intBarcosJugador));
    const Panel aMano = principal.intBarcosJugador;

    partida.EmpezarContraOrdenador(false, true);
    EXPECT_EQ(principal.intBarcosJugador, aMano); // the hand fleet is the one played
    ASSERT_TRUE(partida.blnEnPartida);

    int casilla = 0;
    for (int paso = 0; paso < 1000 && partida.blnEnPartida; ++paso) {
        if (partida.blnEsperandoRespuesta()) {
            prueba::Responder(partida, prueba::intRespuestaVerdadera(principal));
        } else if (partida.blnTurnoJugadorAtaque) {
            // The player sweeps the board square by square.
            while (casilla < 100 &&
                   principal.intLeerCasilla(casilla / 10, casilla % 10, 3) != CASILLA_OCULTA)
                ++casilla;
            ASSERT_LT(casilla, 100);
            partida.TurnoJugador2(casilla / 10, casilla % 10);
        } else {
            Pausa(1);
        }
    }
    EXPECT_FALSE(partida.blnEnPartida);
    const int ganador = principal.intTerminarPartida();
    EXPECT_NE(ganador, 0);
    EXPECT_EQ(grabador.Contar(QStringLiteral("¡Tramposo!")), 0);
    for (const Mensaje& m : grabador.mensajes())
        EXPECT_NE(m.titulo, QStringLiteral("¡Tramposo!"));
    EXPECT_EQ(principal.intBarcosJugador, aMano);
    // Every hit the computer scored is a square of the hand-placed fleet.
    int tocadas = 0;
    for (int f = 0; f < 10; ++f)
        for (int c = 0; c < 10; ++c)
            if (principal.intLeerCasilla(f, c, 1) == CASILLA_BARCO) {
                ++tocadas;
                EXPECT_EQ(aMano[f][c], CASILLA_BARCO);
            }
    if (ganador == 2) {
        EXPECT_EQ(tocadas, 20);
        int hundidos = 0;
        for (int n = 1; n <= 4; ++n)
            hundidos += mesa.vista.hundidos[1][n];
        EXPECT_EQ(hundidos, 10);
    }
    Azar::Liberar();
}

} // namespace
