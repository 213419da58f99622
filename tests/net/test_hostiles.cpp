// A hostile peer over 127.0.0.1, one row per attack, against the game's
// network side hosting a session. Whatever the attack, the window keeps
// its timer, the attacker is dropped or ignored, memory stays bounded and
// no text from him forges a history line (pane or file).
#include "medidas.h"
#include "mesa_en_red.h"
#include "net/descubrimiento.h"
#include "net/marco.h"
#include "platform/cp1252.h"
#include "platform/pausa.h"

#include <QRegularExpression>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>
#include <gtest/gtest.h>

using namespace brumaria;
using namespace brumaria::prueba;

namespace {

// What the whole table may add to the process, in KiB: the per-player
// queue bound (2 MiB of messages) with room for the allocator; the flood
// row alone would hold 16 MiB without the bound.
constexpr long kCrecimientoMaxKiB = 16 * 1024;

QByteArray Hola(const QString& guid, std::uint8_t intVersion) {
    red::Hola h{guid, {}, QStringLiteral("crudo")};
    h.intVersion = intVersion;
    return red::CodificarMarco(red::TipoMarco::Hola, red::CodificarHola(h));
}

QByteArray Datos(const QString& texto) {
    return red::CodificarMarco(red::TipoMarco::Datos, texto.toUtf8());
}

// A client that speaks the frames by hand.
struct Crudo {
    QTcpSocket sock;
    bool Conectar(quint16 puerto) {
        sock.connectToHost(QHostAddress(QHostAddress::LocalHost), puerto);
        return sock.waitForConnected(3000);
    }
    // The host's first frame after our hello (a DATOS one when none came).
    red::Marco Saludar(quint16 puerto, const char* guid = kGuidJuego,
                       std::uint8_t intVersion = red::kVersionProtocolo) {
        QList<red::Marco> marcos;
        if (Conectar(puerto)) sock.write(Hola(QString::fromLatin1(guid), intVersion));
        red::DecodificadorMarcos dec;
        Esperar([&] { return !dec.Anadir(sock.readAll(), marcos) || !marcos.isEmpty(); });
        return marcos.value(0);
    }
    bool Unirse(quint16 puerto) { return Saludar(puerto).tipo == red::TipoMarco::Bienvenida; }
    bool Cerrado() {
        return Esperar([&] { return sock.state() == QAbstractSocket::UnconnectedState; });
    }
};

// The game's network side hosting "Mesa de Ana", its history going to a
// file in its own folder.
struct Anfitrion : MesaEnRed {
    CarpetaTemporal carpeta;
    CarpetaEncuentros encuentros;
    GrabadorMensajes cajas;

    Anfitrion() {
        m.opciones.Opciones.blnHistorialMovimientosActivar = true;
        m.opciones.Opciones.strRutaArchivoHistorial =
            carpeta.archivo(QStringLiteral("Historial.txt"));
        dp.tiempos = TiemposCortos();
        dp.IniciarDPlay();
        dp.HospedarSesion(QStringLiteral("Ana"), QStringLiteral("Mesa de Ana"),
                          red::kGuidProveedorLocal);
    }
    quint16 Puerto() const { return dp.oDPP()->PuertoTcp(); }
    bool Solo() {
        return Esperar([&] { return dp.Estado() == EstadoConexion::RivalIdo; });
    }
    QStringList Archivo() const {
        return DeCp1252(LeerArchivo(m.opciones.Opciones.strRutaArchivoHistorial))
            .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    }
};

struct Fila {
    const char* nombre;
    std::function<void(Anfitrion&)> atacar; // and checks that the attacker got nowhere
};

// The row's name, one word, as CTest names the case.
void PrintTo(const Fila& f, std::ostream* os) {
    std::string n = f.nombre;
    std::replace(n.begin(), n.end(), ' ', '_');
    *os << n;
}

// Bytes where a hello should be: the link is closed, at once or when the
// handshake's time runs out.
Fila EnVezDeSaludo(const char* nombre, const QByteArray& bytes) {
    return {nombre, [bytes](Anfitrion& a) {
                Crudo c;
                ASSERT_TRUE(c.Conectar(a.Puerto()));
                c.sock.write(bytes);
                EXPECT_TRUE(c.Cerrado());
            }};
}

// 8 MiB of chat, four times the queue's bound and twice what a player may
// send in 10 s, while the game sits in the first alert's box or not.
Fila Inundacion(const char* nombre, bool blnOcupado) {
    return {
        nombre, [blnOcupado](Anfitrion& a) {
            Crudo c;
            ASSERT_TRUE(c.Unirse(a.Puerto()));
            const QByteArray linea = Datos(QStringLiteral("1;") + QString(16000, u'x'));
            auto inundar = [&] {
                for (int i = 0; i < 8 * 64 && c.sock.state() == QAbstractSocket::ConnectedState;)
                    if (c.sock.bytesToWrite() > 256 * 1024)
                        Pausa(1);
                    else
                        i += c.sock.write(linea) > 0;
                c.Cerrado();
            };
            const auto previo = InstalarManejadorMensajes([&](const Mensaje& m) {
                if (m.titulo == QStringLiteral("Alerta de tu adversario")) inundar();
                return Respuesta::Aceptar;
            });
            c.sock.write(Datos(blnOcupado ? QStringLiteral("0;4;1;espera") : QStringLiteral("1;")));
            if (!blnOcupado) inundar();
            EXPECT_TRUE(a.Solo());
            InstalarManejadorMensajes(previo);
            EXPECT_EQ(c.sock.state(), QAbstractSocket::UnconnectedState);
            EXPECT_LE(a.m.paneles.chat.size(), (4 << 20) / (linea.size() - 5) + 1); // 4 MiB
        }};
}

const Fila kFilas[] = {
    EnVezDeSaludo("basura en vez de saludo", "GET / HTTP/1.1\r\nHost: x\r\n\r\n"),
    EnVezDeSaludo("un marco de 1 GiB", QByteArray::fromHex("40000000") + QByteArray(1000, 'x')),
    EnVezDeSaludo("un largo que miente", QByteArray::fromHex("0000006401") + QByteArray(10, 'x')),
    // Closed at once, long before the handshake's time would close it.
    {"un marco de datos en vez de saludo",
     [](Anfitrion& a) {
         a.dp.oDPP()->FijarTiempos({100, 800, 5000, 100});
         Crudo c;
         ASSERT_TRUE(c.Conectar(a.Puerto()));
         c.sock.write(Datos(QStringLiteral("1;hola")));
         EXPECT_TRUE(Esperar([&] { return c.sock.state() == QAbstractSocket::UnconnectedState; },
                             1500));
         EXPECT_EQ(c.sock.readAll(), QByteArray()) << "closed without answer";
     }},
    // A joined player who says nothing but heartbeats hears the game's.
    {"latidos de ida y vuelta",
     [](Anfitrion& a) {
         Crudo c;
         ASSERT_TRUE(c.Unirse(a.Puerto()));
         red::DecodificadorMarcos dec;
         QList<red::Marco> marcos;
         QTimer latido;
         QObject::connect(&latido, &QTimer::timeout,
                          [&] { c.sock.write(red::CodificarMarco(red::TipoMarco::Latido, {})); });
         latido.start(50);
         EXPECT_TRUE(Esperar([&] {
             dec.Anadir(c.sock.readAll(), marcos);
             return std::any_of(marcos.begin(), marcos.end(), [](const red::Marco& m) {
                 return m.tipo == red::TipoMarco::Latido;
             });
         }, 2000));
         EXPECT_EQ(a.dp.Estado(), EstadoConexion::Conectados);
     }},
    // Hosting again or joining while hosting is refused: the session and its
    // host's name stay as they were. Alone, chat has no one to go to.
    {"otra sesion mientras hospeda",
     [](Anfitrion& a) {
         EXPECT_EQ(a.dp.HospedarSesion(QStringLiteral("Eva"), QStringLiteral("Otra"),
                                       red::kGuidProveedorLocal),
                   red::DPNERR_ALREADYINITIALIZED);
         EXPECT_EQ(a.dp.UnirseASesion(QStringLiteral("Eva"), a.dp.oDPP()->GetApplicationDesc(),
                                      QStringLiteral("127.0.0.1:%1").arg(a.Puerto()),
                                      red::kGuidProveedorLocal),
                   0);
         EXPECT_EQ(a.dp.Estado(), EstadoConexion::Anfitrion);
         a.dp.EnviarChat(QStringLiteral("¿hay alguien?"));
         EXPECT_EQ(a.cajas.Contar(QStringLiteral(
                       "No hay nadie a quien enviar.\n\nSi no estás en ninguna sesión puedes "
                       "empezar una nueva partida en red, para eso inicia una nueva partida "
                       "y activa 'Partida multijugador en red'.")),
                   1);
         Crudo c;
         const red::Marco m = c.Saludar(a.Puerto());
         ASSERT_EQ(m.tipo, red::TipoMarco::Bienvenida);
         const auto b = red::LeerBienvenida(m.cuerpo);
         ASSERT_TRUE(b);
         EXPECT_EQ(b->nombreHost, QStringLiteral("Ana"));
         EXPECT_EQ(b->nombreSesion, QStringLiteral("Mesa de Ana"));
     }},
    {"otra aplicacion o un tercer jugador",
     [](Anfitrion& a) {
         Crudo otra, uno, tercero;
         EXPECT_EQ(red::LeerRechazo(
                       otra.Saludar(a.Puerto(), "{00000000-1111-2222-3333-444444444444}").cuerpo),
                   red::DPNERR_INVALIDAPPLICATION);
         ASSERT_TRUE(uno.Unirse(a.Puerto()));
         EXPECT_EQ(red::LeerRechazo(tercero.Saludar(a.Puerto()).cuerpo), red::DPNERR_SESSIONFULL);
         EXPECT_TRUE(otra.Cerrado() && tercero.Cerrado());
         EXPECT_EQ(a.dp.Estado(), EstadoConexion::Conectados);
     }},
    // Refused with the version's own code, so the old copy can say why.
    {"una copia de la version anterior",
     [](Anfitrion& a) {
         Crudo vieja;
         const red::Marco m = vieja.Saludar(a.Puerto(), kGuidJuego, red::kVersionProtocolo - 1);
         ASSERT_EQ(m.tipo, red::TipoMarco::Rechazo);
         EXPECT_EQ(red::LeerRechazo(m.cuerpo), red::DPNERR_OTRAVERSION);
         EXPECT_TRUE(vieja.Cerrado());
         EXPECT_EQ(a.dp.Estado(), EstadoConexion::Anfitrion);
     }},
    {"silencio tras unirse",
     [](Anfitrion& a) {
         Crudo c;
         ASSERT_TRUE(c.Unirse(a.Puerto()));
         EXPECT_TRUE(a.Solo());
         EXPECT_TRUE(
             a.m.paneles.historial.contains(QStringLiteral("El contrincante se ha desconectado.")));
         EXPECT_EQ(a.cajas.Contar(
                       QStringLiteral("'crudo' se ha desconectado. Se terminará la partida.")),
                   1);
     }},
    // Gone without a goodbye (his program killed): seen at once, not when
    // his silence runs out.
    {"se corta sin despedirse",
     [](Anfitrion& a) {
         a.dp.oDPP()->FijarTiempos({100, 10000, 800, 100});
         Crudo c;
         ASSERT_TRUE(c.Unirse(a.Puerto()));
         c.sock.abort();
         EXPECT_TRUE(Esperar([&] { return a.dp.Estado() == EstadoConexion::RivalIdo; }, 2000));
     }},
    // A frame only a host sends, then chat in the same packet: the link is
    // dropped at the first, and nothing after it is read.
    {"un marco que no le toca",
     [](Anfitrion& a) {
         Crudo c;
         ASSERT_TRUE(c.Unirse(a.Puerto()));
         c.sock.write(red::CodificarMarco(red::TipoMarco::Bienvenida, {}) +
                      Datos(QStringLiteral("1;tras el marco")));
         EXPECT_TRUE(a.Solo());
         Pausa(50);
         EXPECT_TRUE(a.m.paneles.chat.isEmpty());
     }},
    {"un byte de vez en cuando",
     [](Anfitrion& a) {
         Crudo c;
         ASSERT_TRUE(c.Unirse(a.Puerto()));
         c.sock.write(QByteArray::fromHex("0000400104")); // a chat frame that never ends
         QTimer goteo;
         QObject::connect(&goteo, &QTimer::timeout, [&] { c.sock.write("x"); });
         goteo.start(50);
         EXPECT_TRUE(a.Solo()); // bytes are no sign of life, frames are
     }},
    // His last words and his leaving come while the game shows his alert:
    // both are taken once the box closes.
    {"se va mientras el juego muestra su alerta",
     [](Anfitrion& a) {
         Crudo c;
         ASSERT_TRUE(c.Unirse(a.Puerto()));
         const auto previo = InstalarManejadorMensajes([&](const Mensaje& m) {
             if (m.titulo == QStringLiteral("Alerta de tu adversario")) {
                 c.sock.write(Datos(QStringLiteral("1;adiós")));
                 c.sock.disconnectFromHost();
                 c.Cerrado();
                 Pausa(100);
             }
             return Respuesta::Aceptar;
         });
         c.sock.write(Datos(QStringLiteral("0;4;1;me voy")));
         EXPECT_TRUE(a.Solo());
         InstalarManejadorMensajes(previo);
         EXPECT_TRUE(a.m.paneles.chat.contains(QStringLiteral("<crudo> adiós")));
     }},
    Inundacion("megas de chat mientras el juego espera", true),
    Inundacion("megas de chat sin pausa", false),
    // Two links waiting for their hello: the first is not dropped for the second.
    {"dos saludos tardios",
     [](Anfitrion& a) {
         Crudo primero, segundo;
         ASSERT_TRUE(primero.Conectar(a.Puerto()) && segundo.Conectar(a.Puerto()));
         Pausa(50);
         primero.sock.write(Hola(QString::fromLatin1(kGuidJuego), red::kVersionProtocolo));
         red::DecodificadorMarcos dec;
         QList<red::Marco> marcos;
         Esperar([&] { return !dec.Anadir(primero.sock.readAll(), marcos) || !marcos.isEmpty(); });
         EXPECT_EQ(marcos.value(0).tipo, red::TipoMarco::Bienvenida);
     }},
    {"saludos que no llegan",
     [](Anfitrion& a) {
         a.dp.oDPP()->FijarTiempos({100, 800, 3000, 100}); // handshakes outlive the row
         Crudo mudos[12], honrado;
         for (Crudo& m : mudos)
             ASSERT_TRUE(m.Conectar(a.Puerto()));
         Pausa(50);
         EXPECT_TRUE(honrado.Unirse(a.Puerto()));
         for (Crudo& m : mudos)
             EXPECT_TRUE(m.Cerrado());
     }},
    {"chat con tabuladores y saltos de linea",
     [](Anfitrion& a) {
         Crudo c;
         ASSERT_TRUE(c.Unirse(a.Puerto()));
         const QString raro = QStringLiteral("a\tb\rc\nd") + QChar(0x2028) + QChar(0) +
                              QChar(0x85) + QStringLiteral("[2J");
         for (const QString& s :
              {QStringLiteral("1;") + raro, QStringLiteral("2;Jugador\tA1\tHundido\nHas ganado"),
               QStringLiteral("0;4;2;") + raro})
             c.sock.write(Datos(s));
         ASSERT_TRUE(Esperar([&] { return a.m.paneles.chat.size() == 1; }));
         ASSERT_TRUE(Esperar([&] { return a.m.paneles.historial.size() >= 4; }));
         EXPECT_EQ(a.m.paneles.chat.front(), QStringLiteral("<crudo> a b c d   [2J"));
         EXPECT_TRUE(a.m.paneles.historial.contains(
             QStringLiteral("ALERTA DE TU ADVERSARIO: a b c d   [2J")));
         EXPECT_FALSE(a.m.paneles.historial.contains(QStringLiteral("Has ganado")));
     }},
};

class Hostil : public ::testing::TestWithParam<Fila> {};

} // namespace

TEST_P(Hostil, ElJuegoSigueYElAtacanteNoLlegaANada) {
    Barrido barrido;
    static const long rssInicial = VmRssKiB();
    MedidorDeHuecos reloj;
    {
        Anfitrion a;
        ASSERT_EQ(a.dp.Estado(), EstadoConexion::Anfitrion);
        GetParam().atacar(a);
        Pausa(20);
        // Nothing of his crosses a line or a column, in the pane or the file.
        for (const QString& l : a.m.paneles.historial + a.m.paneles.chat)
            EXPECT_FALSE(
                l.contains(QRegularExpression(QStringLiteral("[\\x00-\\x1f\\x{2028}\\x{2029}]"))))
                << l.toStdString();
        EXPECT_EQ(a.Archivo(),
                  a.m.paneles.historial.filter(QRegularExpression(QStringLiteral("."))));
    }
    EXPECT_TRUE(reloj.blnHaLatido() && reloj.hueco() < 1000)
        << "the window's timer stalled: " << reloj.hueco() << " ms";
    RecordProperty("crecimiento_VmRSS_KiB", int(VmRssKiB() - rssInicial));
#ifndef __SANITIZE_ADDRESS__
    // AddressSanitizer keeps freed memory in quarantine: the bound holds
    // only for a normal build.
    EXPECT_LT(VmRssKiB() - rssInicial, kCrecimientoMaxKiB);
#endif
}

INSTANTIATE_TEST_SUITE_P(Red, Hostil, ::testing::ValuesIn(kFilas));

// A byte-order mark at the very start of a name, a session name or a
// message is dropped as it arrives: it shows nowhere, and a message that
// begins with one is read as the message it carries.
TEST(TextoDelOtro, SinLaMarcaDeOrdenDelPrincipio) {
    Barrido barrido;
    const QString kMarca = QString(QChar(0xFEFF));
    Anfitrion a;
    Crudo c;
    ASSERT_TRUE(c.Conectar(a.Puerto()));
    c.sock.write(red::CodificarMarco(
        red::TipoMarco::Hola,
        red::CodificarHola({QString::fromLatin1(kGuidJuego), {}, kMarca + QStringLiteral("Pitón")})));
    ASSERT_TRUE(Esperar([&] { return a.dp.Estado() == EstadoConexion::Conectados; }));
    EXPECT_TRUE(a.m.paneles.historial.contains(QStringLiteral("Se ha agregado 'Pitón' a la partida")));
    c.sock.write(red::CodificarMarco(red::TipoMarco::Datos, QByteArray("\xEF\xBB\xBF" "1;hola")));
    ASSERT_TRUE(Esperar([&] { return !a.m.paneles.chat.isEmpty(); }));
    EXPECT_EQ(a.m.paneles.chat.front(), QStringLiteral("<Pitón> hola"));
    // His name as he writes it into his own texts.
    c.sock.write(red::CodificarMarco(
        red::TipoMarco::Datos, (QStringLiteral("0;4;2;") + kMarca + QStringLiteral("Pitón")).toUtf8()));
    c.sock.write(red::CodificarMarco(red::TipoMarco::Datos,
                                     (QStringLiteral("1;") + kMarca + QStringLiteral("adiós")).toUtf8()));
    ASSERT_TRUE(Esperar([&] { return a.m.paneles.chat.size() == 2; }));
    EXPECT_EQ(a.m.paneles.chat.back(), QStringLiteral("<Pitón> adiós"));
    EXPECT_TRUE(a.m.paneles.historial.contains(QStringLiteral("ALERTA DE TU ADVERSARIO: Pitón")));

    red::RespuestaBusqueda r;
    r.guidInstancia = QStringLiteral("{00000000-0000-0000-0000-000000000001}");
    r.guidAplicacion = QString::fromLatin1(kGuidJuego);
    r.maxJugadores = 2;
    r.jugadores = 1;
    r.puertoTcp = 47811;
    r.nombreSesion = kMarca + QStringLiteral("Marca");
    const auto leida = red::LeerRespuesta(red::CodificarRespuesta(r));
    ASSERT_TRUE(leida);
    EXPECT_EQ(leida->nombreSesion, QStringLiteral("Marca"));
}
