// The set-up's state machine and the Game menu of each state, read as
// tables: every state meets every event, and every pair of set-up and
// connection states has its menu.
#include "match/maquina_preparacion.h"

#include <QString>
#include <gtest/gtest.h>
#include <vector>

using namespace brumaria;

namespace {

using E = EstadoPreparacion;
using V = EventoPreparacion;

constexpr E kEstados[] = {E::Inactiva,
                          E::Eligiendo,
                          E::Conectando,
                          E::EsperandoContrincante,
                          E::Colocando,
                          E::EsperandoFlotaContraria,
                          E::EsperandoQuienEmpieza,
                          E::EnPartida,
                          E::Cerrando};
constexpr V kEventos[] = {V::Empezar,        V::ContraOrdenador,     V::Conectar,
                          V::SesionSinRival, V::SesionConRival,      V::LlegaRival,
                          V::FlotaColocada,  V::FlotaContrariaLista, V::QuienEmpiezaSabido,
                          V::Cancelar,       V::RivalSeVa,           V::ConexionTerminada,
                          V::FinDePartida,   V::Cerrar};

struct Fila {
    E desde;
    V evento;
    int red;    // over the network: 1, not: 0, either: -1
    int sabido; // who starts is known: 1, not: 0, either: -1
    E hacia;
};

// Every move there is; any state meeting any other event stays where it is.
// (Cerrar takes every state to Cerrando, which nothing leaves.)
const std::vector<Fila> kMovimientos = {
    {E::Inactiva, V::Empezar, -1, -1, E::Eligiendo},
    {E::Eligiendo, V::Cancelar, -1, -1, E::Inactiva},
    {E::Eligiendo, V::ContraOrdenador, -1, -1, E::Colocando},
    {E::Eligiendo, V::Conectar, -1, -1, E::Conectando},
    {E::Eligiendo, V::SesionSinRival, -1, -1, E::EsperandoContrincante},
    {E::Eligiendo, V::SesionConRival, -1, -1, E::Colocando},
    {E::Conectando, V::Cancelar, -1, -1, E::Inactiva},
    {E::Conectando, V::SesionSinRival, -1, -1, E::EsperandoContrincante},
    {E::Conectando, V::SesionConRival, -1, -1, E::Colocando},
    {E::EsperandoContrincante, V::LlegaRival, -1, -1, E::Colocando},
    {E::EsperandoContrincante, V::Cancelar, -1, -1, E::Inactiva},
    {E::EsperandoContrincante, V::ConexionTerminada, -1, -1, E::Inactiva},
    {E::EsperandoContrincante, V::FinDePartida, -1, -1, E::Inactiva},
    {E::Colocando, V::FlotaColocada, 0, -1, E::EnPartida},
    {E::Colocando, V::FlotaColocada, 1, -1, E::EsperandoFlotaContraria},
    {E::Colocando, V::Cancelar, -1, -1, E::Inactiva},
    {E::Colocando, V::FinDePartida, -1, -1, E::Inactiva},
    {E::Colocando, V::RivalSeVa, 1, -1, E::Inactiva},
    {E::Colocando, V::ConexionTerminada, 1, -1, E::Inactiva},
    {E::EsperandoFlotaContraria, V::FlotaContrariaLista, -1, 1, E::EnPartida},
    {E::EsperandoFlotaContraria, V::FlotaContrariaLista, -1, 0, E::EsperandoQuienEmpieza},
    {E::EsperandoFlotaContraria, V::Cancelar, -1, -1, E::Inactiva},
    {E::EsperandoFlotaContraria, V::RivalSeVa, -1, -1, E::Inactiva},
    {E::EsperandoFlotaContraria, V::ConexionTerminada, -1, -1, E::Inactiva},
    {E::EsperandoFlotaContraria, V::FinDePartida, -1, -1, E::Inactiva},
    {E::EsperandoQuienEmpieza, V::QuienEmpiezaSabido, -1, -1, E::EnPartida},
    {E::EsperandoQuienEmpieza, V::Cancelar, -1, -1, E::Inactiva},
    {E::EsperandoQuienEmpieza, V::RivalSeVa, -1, -1, E::Inactiva},
    {E::EsperandoQuienEmpieza, V::ConexionTerminada, -1, -1, E::Inactiva},
    {E::EsperandoQuienEmpieza, V::FinDePartida, -1, -1, E::Inactiva},
    {E::EnPartida, V::FinDePartida, -1, -1, E::Inactiva},
    {E::EnPartida, V::RivalSeVa, 1, -1, E::Inactiva},
    {E::EnPartida, V::ConexionTerminada, 1, -1, E::Inactiva},
};

const Fila* Buscar(E e, V v, bool red, bool sabido) {
    for (const Fila& f : kMovimientos)
        if (f.desde == e && f.evento == v && (f.red < 0 || f.red == red) &&
            (f.sabido < 0 || f.sabido == sabido))
            return &f;
    return nullptr;
}

} // namespace

TEST(MaquinaPreparacion, CadaEstadoAnteCadaEvento) {
    for (E e : kEstados)
        for (V v : kEventos)
            for (bool red : {false, true})
                for (bool sabido : {false, true}) {
                    E esperado = e;
                    if (e == E::Cerrando || v == V::Cerrar)
                        esperado = E::Cerrando;
                    else if (const Fila* f = Buscar(e, v, red, sabido))
                        esperado = f->hacia;
                    EXPECT_EQ(SiguienteEstado(e, v, red, sabido), esperado)
                        << NombreEstado(e) << " + " << NombreEvento(v) << (red ? " en red" : "")
                        << (sabido ? " sabiendo quién empieza" : "");
                }
}

TEST(MaquinaPreparacion, UnaConexionQueSobraNoMueveUnaPartidaContraElOrdenador) {
    for (E e : {E::Colocando, E::EnPartida})
        for (V v : {V::RivalSeVa, V::ConexionTerminada})
            EXPECT_EQ(SiguienteEstado(e, v, false, true), e) << NombreEstado(e);
}

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
