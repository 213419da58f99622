// The session dialog: providers, creating, searching, joining, a full
// game, and the found-games list as games come and go.
#include "../net/mesa_en_red.h"
#include "controles.h"
#include "ui/net/frm_conexion_dplay.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <gtest/gtest.h>

using namespace brumaria;
using namespace brumaria::prueba;

namespace {

// One copy's network side with the dialog over it.
struct Lado : MesaEnRed {
    CarpetaTemporal carpeta;
    GrabadorMensajes cajas;
    std::unique_ptr<FrmConexionDPlay> dlg;
    ResultadoConexion r;

    Lado() {
        m.opciones.Opciones.strNombreJugador = QStringLiteral("Ana");
        m.opciones.Opciones.strNombrePartida = QStringLiteral("Mesa de Ana");
        dp.tiempos = TiemposCortos();
        dp.IniciarDPlay();
        dlg = std::make_unique<FrmConexionDPlay>(dp, m.opciones, m.cuadros);
    }
    FrmConexionDPlay& frm() { return *dlg; }
    red::DirectPlay8Peer& peer() { return *dp.oDPP(); }
    template <class T = QPushButton> T* C(const char* nombre) { return Control<T>(*dlg, nombre); }
    QListWidget* Partidas() { return C<QListWidget>("lstPartidas"); }
    // Opens the dialog and runs `guion` inside it; what it leaves open is
    // cancelled.
    bool Abrir(const std::function<void()>& guion) {
        QTimer::singleShot(0, dlg.get(), [this, guion] {
            guion();
            if (dlg->isVisible()) C("cmdCancelar")->click();
        });
        r = dlg->StartConnectWizard();
        return r.blnConectado;
    }
    // The local provider, join mode, search started.
    void Buscar() {
        C<QListWidget>("lstSP")->setCurrentRow(1);
        C<QRadioButton>("optDevice")->click();
        C("cmdRefresh")->click();
    }
};

// Session n answering from its own socket.
red::DPNMSG_ENUM_HOSTS_RESPONSE RespuestaDe(const QString& nombre, int n, int latencia) {
    red::DPNMSG_ENUM_HOSTS_RESPONSE r;
    r.ApplicationDescription = Sesion(nombre);
    r.ApplicationDescription.guidInstance =
        QStringLiteral("{00000000-0000-0000-0000-00000000000%1}").arg(n);
    r.HostAddressUrl = QStringLiteral("127.0.0.1:%1").arg(n);
    r.DeviceAddressUrl = red::kGuidProveedorLocal;
    r.SenderAddressUrl = QStringLiteral("127.0.0.1:%1").arg(50000 + n);
    r.lRoundTripLatencyMS = latencia;
    return r;
}

} // namespace

TEST(FrmConexionDPlay, CreaConElNombreYQuienEmpiezaElegidos) {
    CarpetaEncuentros encuentros;
    Lado a;
    const bool ok = a.Abrir([&] {
        // Creating with no name only asks.
        a.C<QListWidget>("lstSP")->setCurrentRow(1);
        a.C<QLineEdit>("txtGameName")->clear();
        a.C("cmdAceptar")->click();
        ASSERT_EQ(a.cajas.mensajes().size(), 1);
        EXPECT_EQ(a.cajas.mensajes()[0].titulo, QStringLiteral("No name."));
        EXPECT_FALSE(a.peer().blnEnSesion());
        a.C<QLineEdit>("txtNombre")->setText(QStringLiteral("Capitán Ñu"));
        a.C<QLineEdit>("txtGameName")->setText(QStringLiteral("La mesa; de \"todos\""));
        a.C<QRadioButton>("optJugador")->click();
        a.C("cmdAceptar")->click();
    });
    ASSERT_TRUE(ok);
    EXPECT_TRUE(a.frm().IsHost());
    EXPECT_EQ(a.r.quienEmpieza, std::optional(QuienEmpieza::Jugador));
    EXPECT_EQ(a.r.strNombreSesion, QStringLiteral("La mesa; de \"todos\""));
    EXPECT_EQ(a.m.opciones.Opciones.strNombreJugador, QStringLiteral("Capitán Ñu"));
    EXPECT_EQ(a.m.opciones.Opciones.strNombrePartida, QStringLiteral("La mesa; de \"todos\""));
    EXPECT_EQ(a.m.paneles.historial.back(),
              QStringLiteral("Sesión 'La mesa; de \"todos\"' creada con éxito."));
    EXPECT_EQ(a.dp.Estado(), EstadoConexion::Anfitrion);
    EXPECT_EQ(a.dp.strNombreUsuario(), QStringLiteral("Capitán Ñu"));
}

TEST(FrmConexionDPlay, BuscaSeUneYElTerceroEncuentraLleno) {
    CarpetaEncuentros encuentros;
    red::DirectPlay8Peer host;
    host.FijarTiempos(TiemposCortos());
    ASSERT_EQ(host.Host(Sesion(QStringLiteral("Mesa de Hugo")), red::kGuidProveedorLocal),
              red::DPN_OK);
    Lado b, c;
    for (Lado* l : {&b, &c}) {
        const bool ok = l->Abrir([&] {
            l->Buscar();
            ASSERT_TRUE(Esperar([&] { return l->Partidas()->count() == 1; }));
            l->Partidas()->setCurrentRow(0);
            l->C("cmdAceptar")->click();
            EXPECT_FALSE(l->C("cmdAceptar")->isEnabled()); // the outcome comes later
            Esperar([&] { return !l->frm().isVisible() || !l->cajas.mensajes().isEmpty(); });
            if (l == &c) {
                EXPECT_TRUE(l->C("cmdAceptar")->isEnabled());
            }
        });
        EXPECT_EQ(ok, l == &b);
        if (l == &b) {
            ASSERT_TRUE(Esperar([&] { return host.NumeroJugadores() == 2; }));
        }
    }
    EXPECT_FALSE(b.frm().IsHost());
    EXPECT_EQ(b.r.strNombreSesion, QStringLiteral("Mesa de Hugo"));
    EXPECT_FALSE(b.r.quienEmpieza.has_value()); // the host says it, later
    EXPECT_EQ(b.m.paneles.historial.back(), QStringLiteral("Te has unido a la sesión."));
    EXPECT_EQ(b.dp.Estado(), EstadoConexion::Conectados);
    EXPECT_TRUE(b.cajas.mensajes().isEmpty());
    // The third finds it full and may still choose or create.
    ASSERT_EQ(c.cajas.mensajes().size(), 1);
    EXPECT_EQ(c.cajas.mensajes()[0].titulo, QStringLiteral("Lleno"));
    EXPECT_EQ(c.dp.Estado(), EstadoConexion::Buscando);
    EXPECT_TRUE(c.m.paneles.historial.isEmpty());
}

TEST(FrmConexionDPlay, LasPartidasMudasCaducan) {
    CarpetaEncuentros encuentros;
    Lado b;
    qint64 ahora = 0;
    b.frm().FijarReloj([&] { return ahora; });
    b.Abrir([&] {
        b.Buscar();
        FrmConexionDPlay& f = b.frm();
        QListWidget* l = b.Partidas();
        auto lineas = [&] {
            QStringList s;
            for (int k = 0; k < l->count(); ++k) {
                const auto i = static_cast<std::size_t>(l->item(k)->data(Qt::UserRole).toInt());
                EXPECT_TRUE(i < f.Partidas().size() &&
                            l->item(k)->text().startsWith(f.Partidas()[i].desc.SessionName));
                s << l->item(k)->text();
            }
            return s.join(QStringLiteral(", "));
        };
        for (int n : {1, 2, 3})
            f.DirectPlay8Event_EnumHostsResponse(RespuestaDe(QString::number(n), n, 5));
        ahora = 1000; // "2" and "3" go on answering, "2" with a new latency
        f.DirectPlay8Event_EnumHostsResponse(RespuestaDe(QStringLiteral("2"), 2, 12));
        f.DirectPlay8Event_EnumHostsResponse(RespuestaDe(QStringLiteral("3"), 3, 7));
        EXPECT_EQ(lineas(), "1 - Latencia:5 ms, 2 - Latencia:12 ms, 3 - Latencia:7 ms");
        ahora = 2000; // "1" still listed two seconds after its answer, gone by the
                      // next sweep
        f.tmrExpire_Timer();
        EXPECT_EQ(l->count(), 3);
        ahora = 2500;
        f.tmrExpire_Timer();
        EXPECT_EQ(lineas(), "2 - Latencia:12 ms, 3 - Latencia:7 ms");
        ahora = 2600; // a late answer of "3" updates its record, not a new one
        f.DirectPlay8Event_EnumHostsResponse(RespuestaDe(QStringLiteral("3"), 3, 9));
        EXPECT_EQ(lineas(), "2 - Latencia:12 ms, 3 - Latencia:9 ms");
    });
    EXPECT_EQ(b.dp.Estado(), EstadoConexion::Buscando);
    EXPECT_TRUE(b.m.paneles.historial.isEmpty());
}
