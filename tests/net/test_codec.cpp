// Frames: a length or a type no frame can have breaks the stream for good;
// a text field longer than any the game writes is refused; a welcome or a
// search answer is taken only with every field in its documented range.
#include "net/descubrimiento.h"
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
        CodificarHola({QStringLiteral("{ECF6F199-8B33-43D3-BB42-DB7ABDCFFAFA}"), {}, {}})
            .chopped(2);
    EXPECT_TRUE(LeerHola(hola + QByteArray::fromHex("0400") + QByteArray(1024, 'x')));
    EXPECT_FALSE(LeerHola(hola + QByteArray::fromHex("0401") + QByteArray(1025, 'x')));
}

namespace {
const QString kGuid1 = QStringLiteral("{ECF6F199-8B33-43D3-BB42-DB7ABDCFFAFA}");
const QString kGuid2 = QStringLiteral("{00000000-0000-0000-0000-000000000001}");

// One field of a good message changed, and whether the reader takes it.
template <class M> struct Fila {
    const char* caso;
    void (*cambio)(M&);
    bool blnVale;
};

// Each row over the good message; then the good one with a byte after its
// last field, or cut short by one, is refused.
template <class M, class Codificar, class Leer>
void Comprobar(const M& buena, std::initializer_list<Fila<M>> filas, Codificar codificar,
               Leer leer) {
    for (const Fila<M>& f : filas) {
        M m = buena;
        f.cambio(m);
        EXPECT_EQ(leer(codificar(m)).has_value(), f.blnVale) << f.caso;
    }
    EXPECT_FALSE(leer(codificar(buena) + '\0')) << "a byte after the last field";
    EXPECT_FALSE(leer(codificar(buena).chopped(1))) << "cut short";
}
} // namespace

TEST(Campos, LaBienvenidaSoloConCadaCampoEnSuRango) {
    const Bienvenida buena{7, 1, QStringLiteral("Ana"), QStringLiteral("Mesa"), 2, kGuid2, kGuid1};
    Comprobar<Bienvenida>(
        buena,
        {
            {"buena", [](Bienvenida&) {}, true},
            {"invitado 0", [](Bienvenida& b) { b.idInvitado = 0; }, false},
            {"host 0", [](Bienvenida& b) { b.idHost = 0; }, false},
            {"mismo id", [](Bienvenida& b) { b.idHost = b.idInvitado; }, false},
            {"1 jugador", [](Bienvenida& b) { b.maxJugadores = 1; }, false},
            {"64 jugadores", [](Bienvenida& b) { b.maxJugadores = 64; }, true},
            {"65 jugadores", [](Bienvenida& b) { b.maxJugadores = 65; }, false},
            {"instancia rota", [](Bienvenida& b) { b.guidInstancia = QStringLiteral("{x}"); },
             false},
            {"aplicacion rota", [](Bienvenida& b) { b.guidAplicacion.chop(1); }, false},
        },
        CodificarBienvenida, LeerBienvenida);
    QByteArray conCodigo = CodificarBienvenida(buena);
    conCodigo[3] = 1;
    EXPECT_FALSE(LeerBienvenida(conCodigo)) << "a result other than 0";
}

TEST(Campos, LaRespuestaDeBusquedaSoloConCadaCampoEnSuRango) {
    const RespuestaBusqueda buena{99, kGuid2, kGuid1, 2, 1, 47810, QStringLiteral("Mesa")};
    Comprobar<RespuestaBusqueda>(
        buena,
        {
            {"buena", [](RespuestaBusqueda&) {}, true},
            {"instancia rota", [](RespuestaBusqueda& r) { r.guidInstancia.chop(1); }, false},
            {"aplicacion rota", [](RespuestaBusqueda& r) { r.guidAplicacion.chop(1); }, false},
            {"puerto 0", [](RespuestaBusqueda& r) { r.puertoTcp = 0; }, false},
            {"0 jugadores como maximo",
             [](RespuestaBusqueda& r) {
                 r.maxJugadores = 0;
                 r.jugadores = 0;
             },
             false},
            {"1 como maximo", [](RespuestaBusqueda& r) { r.maxJugadores = 1; }, true},
            {"64 como maximo", [](RespuestaBusqueda& r) { r.maxJugadores = 64; }, true},
            {"65 como maximo", [](RespuestaBusqueda& r) { r.maxJugadores = 65; }, false},
            {"lleno", [](RespuestaBusqueda& r) { r.jugadores = 2; }, true},
            {"mas que el maximo", [](RespuestaBusqueda& r) { r.jugadores = 3; }, false},
        },
        CodificarRespuesta, LeerRespuesta);
    // The header: magic, kind (an answer is 2, a query 1) and version.
    const QByteArray bytes = CodificarRespuesta(buena);
    for (const int i : {0, 7, 8, 9}) {
        QByteArray otra = bytes;
        otra[i] = char(otra[i] ^ 0x03);
        EXPECT_FALSE(LeerRespuesta(otra)) << "header byte " << i;
    }
    EXPECT_FALSE(LeerConsulta(bytes)) << "an answer is no query";
}

// A GUID as the protocol writes it: 38 characters, braces, hex digits of
// either case and hyphens at 9, 14, 19 and 24.
TEST(Campos, ElGuidTalComoLoEscribeElProtocolo) {
    const struct {
        const char* guid;
        bool blnVale;
    } filas[] = {
        {"{ECF6F199-8B33-43D3-BB42-DB7ABDCFFAFA}", true},
        {"{abcdef09-aaaa-ffff-0000-a0b1c2d3e4f5}", true},
        {"{00000000-0000-0000-0000-000000000000}", true},
        {"{ECF6F199-8B33-43D3-BB42-DB7ABDCFFAFG}", false}, // G
        {"{ecf6f199-8b33-43d3-bb42-db7abdcffafg}", false}, // g
        {"{ECF6F199-8B33-43D3-BB42-DB7ABDCFFAF@}", false}, // the character before A
        {"{ECF6F199-8B33-43D3-BB42-DB7ABDCFFAF`}", false}, // the one before a
        {"{ECF6F1998-B33-43D3-BB42-DB7ABDCFFAFA}", false}, // a hyphen out of place
        {"{ECF6F199-8B33-43D3-BB42-DB7ABDCFFAF-}", false},
        {"{ECF6F199-8B33-43D3-BB42DDB7ABDCFFAFA}", false},  // a digit where a hyphen goes
        {"{ECF6F199-8B33-43D3-BB42-DB7ABDCFFAF}", false},   // 37
        {"{ECF6F199-8B33-43D3-BB42-DB7ABDCFFAFAA}", false}, // 39
        {"ECF6F199-8B33-43D3-BB42-DB7ABDCFFAFA00", false},
        {"(ECF6F199-8B33-43D3-BB42-DB7ABDCFFAFA)", false},
        {"", false},
    };
    for (const auto& f : filas)
        EXPECT_EQ(blnGuidValido(QString::fromLatin1(f.guid)), f.blnVale) << f.guid;
}
