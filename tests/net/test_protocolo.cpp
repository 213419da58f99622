// The game's messages: the grammar read and written, and what the network
// side does with each message it receives.
#include "mesa_en_red.h"
#include "net/marco.h"
#include "net/mensajes.h"

#include <gtest/gtest.h>

using namespace brumaria;
using namespace brumaria::prueba;
namespace p = brumaria::protocolo;

namespace {

template <class T> bool Es(const p::Mensaje& m) {
    return std::holds_alternative<T>(m);
}

TEST(Mensajes, CadaMensajeSeLeeComoSeEscribe) {
    const std::pair<p::Mensaje, const char*> todos[] = {
        {p::QuienEmpieza{true}, "0;0;blnEmpiezaJugador:True"},
        {p::QuienEmpieza{false}, "0;0;blnEmpiezaJugador:False"},
        {p::CasillaFlota{9, 0}, "0;1;9;0"},
        {p::Compromiso{QByteArray(32, '\xab')}, "0;5;abababababababababababababababababababababababababababababababab"},
        {p::SalFlota{QByteArray::fromHex("00112233445566778899aabbccddeeff")},
         "0;6;00112233445566778899aabbccddeeff"},
        {p::BarcosListos{}, "0;0;BarcosListos:Sí"},
        {p::FinDePartida{}, "0;0;FinDePartida:Sí"},
        {p::Ataque{4, 2}, "0;2;4;2"},
        {p::RespuestaAtaque{4, 2, 1}, "0;3;4;2;1"},
        {p::RespuestaAtaque{0, 9, 3}, "0;3;0;9;3"},
        {p::Alerta{0, {}}, "0;4;0"},
        {p::Alerta{1, QStringLiteral("¡Despierta; ya: 1;2")}, "0;4;1;¡Despierta; ya: 1;2"},
        {p::Alerta{2, QStringLiteral("mira")}, "0;4;2;mira"},
        {p::AlertaRechazada{2}, "0;4;9;2"},
        {p::Chat{QStringLiteral("a;b:c")}, "1;a;b:c"},
        {p::Chat{QString()}, "1;"},
        {p::Historial{QStringLiteral("Ana está colocando sus barcos")}, "2;Ana está colocando sus barcos"}};
    for (const auto& [mensaje, texto] : todos) {
        EXPECT_EQ(p::Escribir(mensaje), QString::fromUtf8(texto));
        EXPECT_EQ(p::Escribir(p::Leer(QString::fromUtf8(texto))), QString::fromUtf8(texto));
    }
    // Texts from the other side cross no line or column.
    EXPECT_EQ(p::strTextoSeguro(QStringLiteral("a\tb\rc\nd")), QStringLiteral("a b c d"));
    // The value of these two is not read.
    EXPECT_TRUE(Es<p::BarcosListos>(p::Leer(QStringLiteral("0;0;BarcosListos:No"))));
    EXPECT_TRUE(Es<p::FinDePartida>(p::Leer(QStringLiteral("0;0;FinDePartida:"))));
}

TEST(Mensajes, LoQueNoEsUnMensajeSeDescarta) {
    for (const char* s : {"", ";", "0", "0;", "x;1", "00;0;FinDePartida:Sí",
                          " 0;0;FinDePartida:Sí", "-0;2;1;1", "3;hola", "9;9", "0;9;1", "0;2;",
                          "0;2;1", "0;2;10;1", "0;2;1;10", "0;2;a;b", "0;2;1;1;", "0;2;1,1",
                          "0;02;1;1", "0;3;1;1", "0;3;1;1;4", "0;3;1;1;7", "0;3;1;1;", "0;3;1;1;11", "0;4;",
                          "0;4;1", "0;4;0;x", "0;4;9;", "0;4;9;3", "0;4;9;12", "0;4;5;x",
                          "0;0;FinDePartida", "0;0;", "0;0;blnEmpiezaJugador:true",
                          "0;0;blnEmpiezaJugador:", "0;0;Otra:Sí", "0;1;", "0;1;99",
                          "0;5;ababababababababababababababababababababababababababababababab",
                          "0;5;ABABABABABABABABABABABABABABABABABABABABABABABABABABABABABABABAB",
                          "0;5;abababababababababababababababababababababababababababababababab;",
                          "0;5;gbababababababababababababababababababababababababababababababab",
                          "0;6;00112233445566778899aabbccddee", "0;6;00112233445566778899aabbccddeeff00",
                          "0;6; 0112233445566778899aabbccddeeff", "0;6;"})
        EXPECT_TRUE(Es<std::monostate>(p::Leer(QString::fromLatin1(s)))) << s;
}

// The network side of one copy, the other player replaced by a recorder.
struct Lado : ::testing::Test, MesaEnRed {
    CarpetaTemporal carpeta; // whatever it writes goes there
    GrabadorMensajes cajas;
    QStringList salida;

    void SetUp() override {
        dp.SustituirTransporte(
            [this](const QString& s) {
                salida << s;
                return true;
            },
            false);
    }
    void Recibir(const char* s) { dp.RecibirMensaje(QString::fromUtf8(s), QStringLiteral("Rival")); }
};

TEST_F(Lado, AlertasAceptadasRechazadasYRechazosDelOtro) {
    m.opciones.Opciones.strAlertaSonido = QStringLiteral("/x/alerta.wav");
    Recibir("0;4;0");
    EXPECT_EQ(m.vista.sonidos, QStringList{QStringLiteral("/x/alerta.wav")});
    Recibir("0;4;1;<b>¡Eh!</b>; con ; y :");
    ASSERT_EQ(cajas.mensajes().size(), 1);
    EXPECT_EQ(cajas.mensajes()[0].texto, QStringLiteral("<b>¡Eh!</b>; con ; y :"));
    EXPECT_EQ(cajas.mensajes()[0].titulo, QStringLiteral("Alerta de tu adversario"));
    EXPECT_EQ(cajas.mensajes()[0].icono, Icono::Exclamacion);
    dp.RecibirMensaje(QStringLiteral("0;4;1;") + QString(5000, u'x'), QStringLiteral("Rival"));
    EXPECT_EQ(cajas.mensajes().at(1).texto, QString(p::kMaxTextoAlerta, u'x'));
    cajas.Limpiar();
    Recibir("0;4;2;mira;aquí");
    ASSERT_FALSE(m.paneles.historial.isEmpty());
    EXPECT_EQ(m.paneles.historial.back(), QStringLiteral("ALERTA DE TU ADVERSARIO: mira;aquí"));
    EXPECT_TRUE(salida.isEmpty());

    RegistroOpciones& o = m.opciones.Opciones;
    o.blnAlertaSonido = o.blnAlertaMsgBox = o.blnAlertaHistorial = false;
    Recibir("0;4;0");
    Recibir("0;4;1;hola");
    Recibir("0;4;2;hola");
    EXPECT_EQ(salida, (QStringList{QStringLiteral("0;4;9;0"), QStringLiteral("0;4;9;1"),
                                   QStringLiteral("0;4;9;2")}));
    EXPECT_TRUE(cajas.mensajes().isEmpty());

    Recibir("0;4;9;0");
    Recibir("0;4;9;1");
    Recibir("0;4;9;2");
    EXPECT_EQ(m.paneles.historial.mid(m.paneles.historial.size() - 3),
              (QStringList{QStringLiteral("Rival no tiene activadas las alertas con sonido"),
                           QStringLiteral("Rival no tiene activadas las alertas con cuadro de texto"),
                           QStringLiteral("Rival no tiene activadas las alertas en el historial")}));

}

// The other gives the first match up and begins the next before the host
// does: his lines of it, come while the host is idle or in his new-game
// dialog, go in the host's block of that match.
TEST_F(Lado, LoQueElOtroDiceDeLaPartidaQueEmpezoAntesVaEnElBloqueDeEsa) {
    dp.SustituirTransporte([](const QString&) { return true; }, true);
    m.vista.eleccion = {QuienEmpieza::Contrincante, false, true};
    m.preparacion.EmpezarPartida();
    ASSERT_EQ(m.preparacion.Estado(), EstadoPreparacion::EsperandoFlotaContraria);
    Recibir("0;0;FinDePartida:Sí");
    ASSERT_EQ(m.preparacion.Estado(), EstadoPreparacion::Inactiva);

    const QString kColocando = QStringLiteral("Bea está colocando sus barcos");
    const QString kTerminado = QStringLiteral("Bea ha terminado de colocar sus barcos");
    Recibir("2;Bea está colocando sus barcos");
    m.vista.alElegir = [this] { Recibir("2;Bea ha terminado de colocar sus barcos"); };
    m.preparacion.EmpezarPartida();
    const QStringList& h = m.paneles.historial;
    const qsizetype empieza = h.lastIndexOf(QStringLiteral("EMPIEZA UNA PARTIDA"));
    EXPECT_GT(h.indexOf(kColocando), h.indexOf(QStringLiteral("Tu contrincante empieza"), empieza));
    EXPECT_GT(h.indexOf(kTerminado), h.indexOf(kColocando));
    EXPECT_EQ(h.count(kColocando) + h.count(kTerminado), 2);
    // Once his match has its block here, his lines are written as they come.
    Recibir("2;Ay ay ay, tu adversario te quería engañar...");
    EXPECT_EQ(h.back(), QStringLiteral("Ay ay ay, tu adversario te quería engañar..."));
}

} // namespace
