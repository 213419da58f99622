// The Game menu of each pair of set-up and connection states. (The moves
// of the set-up are played through in test_preparacion.cpp.)
#include "match/maquina_preparacion.h"

#include <QString>
#include <gtest/gtest.h>

using namespace brumaria;

namespace {

using E = EstadoPreparacion;

} // namespace

// The Game menu, as the menu table has it: Empezar, Terminar partida,
// Cancelar la espera, Ver los barcos, Terminar conexión (shown), Opciones,
// Alertar (enabled), and the busy pointer.
TEST(MaquinaPreparacion, MenusDeCadaEstado) {
    using C = EstadoConexion;
    auto texto = [](const MenusJuego& m) {
        return QStringLiteral("%1%2%3%4%5 %6%7 %8")
            .arg(m.blnEmpezar)
            .arg(m.blnTerminarPartida)
            .arg(m.blnCancelarEspera)
            .arg(m.blnVerLosBarcosDelContrincante)
            .arg(m.blnTerminarConexion)
            .arg(m.blnOpciones)
            .arg(m.blnAlertar)
            .arg(m.blnOcupado)
            .toStdString();
    };
    struct Caso {
        E p;
        C c;
        const char* menus;
    };
    const Caso casos[] = {
        // after start-up, and between matches
        {E::Inactiva, C::SinConexion, "10000 10 0"},
        {E::Inactiva, C::Conectados, "10001 11 0"},
        {E::Inactiva, C::Anfitrion, "10001 10 0"},
        {E::Inactiva, C::RivalIdo, "10001 10 0"},
        // a dialog is open: no second "&Empezar"
        {E::Eligiendo, C::SinConexion, "00000 10 0"},
        {E::Conectando, C::Buscando, "00000 10 0"},
        {E::Conectando, C::Conectados, "00000 11 0"},
        // waiting for a network opponent
        {E::EsperandoContrincante, C::Anfitrion, "00100 00 1"},
        // match set up: against the computer, and over the network
        {E::Colocando, C::SinConexion, "01010 10 0"},
        {E::Colocando, C::Conectados, "01011 11 0"},
        {E::EsperandoFlotaContraria, C::Conectados, "01011 11 0"},
        {E::EsperandoQuienEmpieza, C::Conectados, "01011 11 0"},
        {E::EnPartida, C::SinConexion, "01010 10 0"},
        {E::EnPartida, C::Conectados, "01011 11 0"},
        {E::EnPartida, C::RivalIdo, "01011 10 0"},
        {E::Cerrando, C::SinConexion, "00000 10 0"},
    };
    for (const Caso& k : casos)
        EXPECT_EQ(texto(CalcularMenus(k.p, k.c)), k.menus)
            << NombreEstado(k.p) << " / " << NombreEstado(k.c);
}
