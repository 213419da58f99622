// The session dialog: providers, creating, searching, joining, full and
// failed joins, and the found-games list as games come and go.
#include "../match/fakes.h"
#include "red_prueba.h"
#include "carpeta_temporal.h"
#include "grabador_mensajes.h"
#include "ui/net/frm_conexion_dplay.h"
#include "net/moddplay.h"
#include "options/opciones.h"
#include "platform/pausa.h"

#include <QGroupBox>
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
struct Lado {
    CarpetaTemporal carpeta;
    Mesa m;
    ModDPlay dp{m.partida, m.preparacion, m.opciones, m.cuadros, m.vista};
    QPointer<FrmConexionDPlay> frm;
    ResultadoConexion r;

    Lado() {
        RegistroOpciones& o = m.opciones.Opciones;
        o = RegistroOpciones::PorDefecto();
        o.blnHistorialMovimientosActivar = false;
        o.strNombreJugador = QStringLiteral("Ana");
        o.strNombrePartida = QStringLiteral("Mesa de Ana");
        m.partida.FijarRed(&dp);
        m.preparacion.FijarRed(&dp);
        dp.tiempos = TiemposCortos();
        dp.IniciarDPlay();
        frm = new FrmConexionDPlay(dp, m.opciones, m.cuadros);
    }
    ~Lado() { delete frm.data(); }
    red::DirectPlay8Peer& peer() { return *dp.oDPP(); }

    // Opens the dialog and runs `guion` inside it; whatever the script
    // leaves open is cancelled.
    bool Abrir(const std::function<void()>& guion) {
        QTimer::singleShot(0, frm, [this, guion] {
            guion();
            if (frm && frm->isVisible()) frm->cmdCancelar->click();
        });
        r = frm->StartConnectWizard();
        return r.blnConectado;
    }
    void ElegirLocal() { frm->lstSP->setCurrentRow(1); }
};

} // namespace

TEST(FrmConexionDPlay, AbreConLosProveedoresYElTcpElegido) {
    GrabadorMensajes cajas;
    Lado a;
    const bool ok = a.Abrir([&] {
        ASSERT_EQ(a.frm->windowTitle(), QStringLiteral("Conexión para multijugador"));
        ASSERT_EQ(a.frm->lstSP->count(), 2);
        EXPECT_TRUE(a.frm->lstSP->currentItem()->text().contains(QStringLiteral("TCP")));
        EXPECT_EQ(a.frm->lstSP->item(1)->text(), QStringLiteral("Este equipo (local)"));
        EXPECT_EQ(a.frm->txtNombre->text(), QStringLiteral("Ana"));
        EXPECT_EQ(a.frm->txtGameName->text(), QStringLiteral("Mesa de Ana"));
        EXPECT_TRUE(a.frm->optHost->isChecked());
        EXPECT_TRUE(a.frm->optAlAzar->isChecked());
        EXPECT_FALSE(a.frm->fraDevice->isEnabled());
        EXPECT_FALSE(a.frm->cmdRefresh->isEnabled());
        EXPECT_TRUE(a.frm->cmdAceptar->isDefault());
        a.frm->optDevice->click();
        EXPECT_TRUE(a.frm->cmdRefresh->isEnabled());
        EXPECT_FALSE(a.frm->txtGameName->isEnabled());
        // Joining with nothing chosen only asks for a choice.
        a.frm->cmdAceptar->click();
        EXPECT_EQ(
            cajas.Contar(QStringLiteral("Primero tienes que seleccionar una sesión de la lista.")),
            1);
        EXPECT_EQ(cajas.mensajes().back().titulo, QStringLiteral("Seleccionar juego"));
        EXPECT_TRUE(a.frm->isVisible());
    });
    EXPECT_FALSE(ok);
    EXPECT_FALSE(a.peer().blnEnSesion());
    EXPECT_EQ(a.dp.Estado(), EstadoConexion::Buscando);
}

TEST(FrmConexionDPlay, CrearPideNombreYGuardaLoEscrito) {
    CarpetaEncuentros encuentros;
    GrabadorMensajes cajas;
    Lado a;
    const bool ok = a.Abrir([&] {
        a.ElegirLocal();
        a.frm->txtGameName->clear();
        a.frm->cmdAceptar->click();
        ASSERT_EQ(cajas.mensajes().size(), 1);
        EXPECT_EQ(cajas.mensajes()[0].titulo, QStringLiteral("No name."));
        EXPECT_EQ(cajas.mensajes()[0].icono, Icono::Informacion);
        EXPECT_TRUE(a.frm->isVisible());
        EXPECT_FALSE(a.peer().blnEnSesion());
        a.frm->txtNombre->setText(QStringLiteral("Capitán Ñu"));
        a.frm->txtGameName->setText(QStringLiteral("La mesa; de \"todos\""));
        a.frm->optJugador->click();
        a.frm->cmdAceptar->click();
    });
    ASSERT_TRUE(ok);
    EXPECT_TRUE(a.frm->IsHost());
    EXPECT_EQ(a.r.blnEmpiezaJugador, std::optional<bool>(true));
    EXPECT_EQ(a.frm->SessionName(), QStringLiteral("La mesa; de \"todos\""));
    EXPECT_EQ(a.frm->UserName(), QStringLiteral("Capitán Ñu"));
    EXPECT_EQ(a.m.opciones.Opciones.strNombreJugador, QStringLiteral("Capitán Ñu"));
    EXPECT_EQ(a.m.opciones.Opciones.strNombrePartida, QStringLiteral("La mesa; de \"todos\""));
    EXPECT_EQ(a.m.paneles.historial.back(),
              QStringLiteral("Sesión 'La mesa; de \"todos\"' creada con éxito."));
    EXPECT_TRUE(a.peer().blnEsHost());
    EXPECT_EQ(a.peer().GetApplicationDesc().SessionName, QStringLiteral("La mesa; de \"todos\""));
    EXPECT_EQ(a.dp.Estado(), EstadoConexion::Anfitrion);
    EXPECT_EQ(a.dp.strNombreUsuario(), QStringLiteral("Capitán Ñu"));
}

TEST(FrmConexionDPlay, BuscaSeUneYElTerceroEncuentraLleno) {
    CarpetaEncuentros encuentros;
    GrabadorMensajes cajas;
    red::DirectPlay8Peer host;
    host.FijarTiempos(TiemposCortos());
    host.SetPeerInfo(QStringLiteral("Hugo"));
    RegistroEventos eventosHost;
    host.RegisterMessageHandler(&eventosHost);
    ASSERT_EQ(host.Host(Sesion(QStringLiteral("Mesa de Hugo")), red::kGuidProveedorLocal),
              red::DPN_OK);

    Lado b;
    const bool ok = b.Abrir([&] {
        b.ElegirLocal();
        b.frm->optDevice->click();
        b.frm->cmdRefresh->click();
        EXPECT_EQ(b.frm->cmdRefresh->text(), QStringLiteral("Detener búsqueda"));
        ASSERT_TRUE(Esperar([&] { return b.frm->lstPartidas->count() == 1; }));
        EXPECT_TRUE(b.frm->lstPartidas->item(0)->text().startsWith(
            QStringLiteral("Mesa de Hugo - Latencia:")));
        EXPECT_TRUE(b.frm->lstPartidas->item(0)->text().endsWith(QStringLiteral(" ms")));
        // Later answers of the same game only refresh its line.
        Pausa(400);
        EXPECT_EQ(b.frm->lstPartidas->count(), 1);
        b.frm->lstPartidas->setCurrentRow(0);
        b.frm->cmdAceptar->click();
        // The join's outcome comes later; the dialog stays usable meanwhile.
        EXPECT_FALSE(b.frm->cmdAceptar->isEnabled());
        Esperar([&] { return !b.frm->isVisible(); });
    });
    ASSERT_TRUE(ok);
    EXPECT_FALSE(b.frm->IsHost());
    EXPECT_EQ(b.frm->SessionName(), QStringLiteral("Mesa de Hugo"));
    EXPECT_EQ(b.m.paneles.historial.back(), QStringLiteral("Te has unido a la sesión."));
    EXPECT_TRUE(cajas.mensajes().isEmpty());
    EXPECT_EQ(b.dp.Estado(), EstadoConexion::Conectados);
    EXPECT_FALSE(b.r.blnEmpiezaJugador.has_value()); // the host says it, later
    EXPECT_EQ(b.frm->cmdRefresh->text(), QStringLiteral("Iniciar búsqueda"));
    ASSERT_TRUE(Esperar([&] { return host.NumeroJugadores() == 2; }));

    // A third player finds the game full and may still choose or create.
    Lado c;
    const bool okC = c.Abrir([&] {
        c.ElegirLocal();
        c.frm->optDevice->click();
        c.frm->cmdRefresh->click();
        ASSERT_TRUE(Esperar([&] { return c.frm->lstPartidas->count() == 1; }));
        c.frm->lstPartidas->setCurrentRow(0);
        c.frm->cmdAceptar->click();
        Esperar([&] { return cajas.mensajes().size() > 0; });
        EXPECT_EQ(cajas.Contar(QStringLiteral(
                      "Ya hay dos personas jugando, puedes elegir otra sesión o crear tú una.")),
                  1);
        EXPECT_EQ(cajas.mensajes().back().titulo, QStringLiteral("Lleno"));
        EXPECT_TRUE(c.frm->isVisible());
        EXPECT_TRUE(c.frm->cmdAceptar->isEnabled());
    });
    EXPECT_FALSE(okC);
    EXPECT_FALSE(c.peer().blnEnSesion());
    EXPECT_EQ(c.dp.Estado(), EstadoConexion::Buscando);
    EXPECT_FALSE(c.m.paneles.historial.contains(QStringLiteral("Te has unido a la sesión.")));
}

TEST(FrmConexionDPlay, UnaUnionFallidaSeAvisaYNoCuentaComoUnida) {
    CarpetaEncuentros encuentros;
    GrabadorMensajes cajas;
    Lado b;
    const bool ok = b.Abrir([&] {
        b.ElegirLocal();
        b.frm->optDevice->click();
        b.frm->cmdRefresh->click();
        // A game that answered the search but whose address takes no joins.
        red::DPNMSG_ENUM_HOSTS_RESPONSE r;
        r.ApplicationDescription = Sesion(QStringLiteral("Fantasma"));
        r.ApplicationDescription.guidInstance =
            QStringLiteral("{11111111-2222-3333-4444-555555555555}");
        r.HostAddressUrl = QStringLiteral("127.0.0.1:1");
        r.DeviceAddressUrl = red::kGuidProveedorLocal;
        r.lRoundTripLatencyMS = 3;
        b.frm->DirectPlay8Event_EnumHostsResponse(r);
        ASSERT_EQ(b.frm->lstPartidas->count(), 1);
        b.frm->lstPartidas->setCurrentRow(0);
        b.frm->cmdAceptar->click();
        ASSERT_TRUE(Esperar([&] { return cajas.mensajes().size() == 1; }));
        EXPECT_EQ(cajas.mensajes()[0].texto,
                  QStringLiteral("No se ha podido conectar con la partida elegida."));
        EXPECT_EQ(cajas.mensajes()[0].titulo, QStringLiteral("Error"));
        EXPECT_EQ(cajas.mensajes()[0].icono, Icono::Critico);
        EXPECT_TRUE(b.frm->isVisible());
    });
    EXPECT_FALSE(ok);
    EXPECT_EQ(b.dp.Estado(), EstadoConexion::Buscando);
    EXPECT_TRUE(b.m.paneles.historial.isEmpty());
}

TEST(FrmConexionDPlay, LasPartidasMudasCaducanYLasDemasSiguenBien) {
    GrabadorMensajes cajas;
    Lado b;
    qint64 ahora = 0;
    b.frm->FijarReloj([&] { return ahora; });
    auto respuesta = [](const QString& nombre, int n, int latencia) {
        red::DPNMSG_ENUM_HOSTS_RESPONSE r;
        r.ApplicationDescription = Sesion(nombre);
        r.ApplicationDescription.guidInstance =
            QStringLiteral("{00000000-0000-0000-0000-00000000000%1}").arg(n);
        r.HostAddressUrl = QStringLiteral("127.0.0.1:%1").arg(40000 + n);
        r.DeviceAddressUrl = red::kGuidProveedorLocal;
        r.lRoundTripLatencyMS = latencia;
        return r;
    };
    b.Abrir([&] {
        b.ElegirLocal();
        b.frm->optDevice->click();
        b.frm->cmdRefresh->click();
        FrmConexionDPlay& f = *b.frm;
        f.DirectPlay8Event_EnumHostsResponse(respuesta(QStringLiteral("Uno"), 1, 5));
        f.DirectPlay8Event_EnumHostsResponse(respuesta(QStringLiteral("Dos"), 2, 6));
        f.DirectPlay8Event_EnumHostsResponse(respuesta(QStringLiteral("Tres"), 3, 7));
        ASSERT_EQ(f.lstPartidas->count(), 3);
        EXPECT_EQ(f.lstPartidas->item(1)->text(), QStringLiteral("Dos - Latencia:6 ms"));

        // "Dos" and "Tres" go on answering; "Dos" with a new latency, in place.
        ahora = 1000;
        f.DirectPlay8Event_EnumHostsResponse(respuesta(QStringLiteral("Dos"), 2, 12));
        f.DirectPlay8Event_EnumHostsResponse(respuesta(QStringLiteral("Tres"), 3, 7));
        ASSERT_EQ(f.lstPartidas->count(), 3);
        EXPECT_EQ(f.lstPartidas->item(1)->text(), QStringLiteral("Dos - Latencia:12 ms"));

        // "Uno" is still listed two seconds after its answer...
        ahora = 2000;
        f.tmrExpire_Timer();
        EXPECT_EQ(f.lstPartidas->count(), 3);
        // ...and gone by the next sweep.
        ahora = 2500;
        f.tmrExpire_Timer();
        ASSERT_EQ(f.lstPartidas->count(), 2);
        EXPECT_EQ(f.lstPartidas->item(0)->text(), QStringLiteral("Dos - Latencia:12 ms"));
        EXPECT_EQ(f.lstPartidas->item(1)->text(), QStringLiteral("Tres - Latencia:7 ms"));
        for (int k = 0; k < 2; ++k) {
            const int i = f.lstPartidas->item(k)->data(Qt::UserRole).toInt();
            ASSERT_LT(i, static_cast<int>(f.Partidas().size()));
            EXPECT_TRUE(f.lstPartidas->item(k)->text().startsWith(
                f.Partidas()[static_cast<std::size_t>(i)].desc.SessionName));
        }
        // A late answer of "Tres" updates its record, not a new one.
        ahora = 2600;
        f.DirectPlay8Event_EnumHostsResponse(respuesta(QStringLiteral("Tres"), 3, 9));
        EXPECT_EQ(f.lstPartidas->count(), 2);
        EXPECT_EQ(f.lstPartidas->item(1)->text(), QStringLiteral("Tres - Latencia:9 ms"));
        // Both silent: "Dos" goes first, then "Tres" keeps pointing at itself.
        ahora = 3100;
        f.tmrExpire_Timer();
        ASSERT_EQ(f.lstPartidas->count(), 1);
        EXPECT_EQ(f.lstPartidas->item(0)->data(Qt::UserRole).toInt(), 0);
        EXPECT_EQ(f.Partidas()[0].desc.SessionName, QStringLiteral("Tres"));
        ahora = 5000;
        f.tmrExpire_Timer();
        EXPECT_EQ(f.lstPartidas->count(), 0);
        EXPECT_TRUE(f.Partidas().empty());
        // Answers after the search stopped are ignored.
        f.cmdRefresh->click();
        f.DirectPlay8Event_EnumHostsResponse(respuesta(QStringLiteral("Uno"), 1, 5));
        EXPECT_EQ(f.lstPartidas->count(), 0);
    });
}
