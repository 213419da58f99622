// The real main window's network side: the wait for an opponent from the
// Game menu, its cancel button, "&Terminar conexión", and closing the
// window in the middle of the wait.
#include "carpeta_temporal.h"
#include "controles.h"
#include "grabador_mensajes.h"
#include "red_prueba.h"
#include "ui/main/aplicacion.h"
#include "ui/main/frm_empezar_partida.h"
#include "ui/net/frm_conexion_dplay.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

using namespace brumaria;
using namespace brumaria::prueba;

namespace {

// Answers the new-game dialog (network ticked) and creates a game on this computer.
void GuionCrear(Aplicacion& j) {
    auto* t = new QTimer(&j.ventana);
    QObject::connect(t, &QTimer::timeout, t, [t] {
        QWidget* m = QApplication::activeModalWidget();
        if (auto* e = qobject_cast<FrmEmpezarPartida*>(m)) {
            Control<QCheckBox>(*e, "chkJugarEnRed")->setChecked(true);
            QTimer::singleShot(0, Control<QPushButton>(*e, "cmdEmpezar"), &QPushButton::click);
        } else if (auto* c = qobject_cast<FrmConexionDPlay*>(m)) {
            Control<QLineEdit>(*c, "txtNombre")->setText(QStringLiteral("Ana"));
            Control<QListWidget>(*c, "lstSP")->setCurrentRow(1);
            Control<QLineEdit>(*c, "txtGameName")->setText(QStringLiteral("Mesa de Ana"));
            QTimer::singleShot(0, Control<QPushButton>(*c, "cmdAceptar"), &QPushButton::click);
            t->stop();
        }
    });
    t->start(10);
}

struct Juego {
    CarpetaTemporal carpeta;
    Aplicacion j;
    Juego() {
        carpeta.CopiarRecursos();
        j.ventana.Cargar();
        j.ventana.show();
    }
    bool Esperando() const { return j.ventana.cmdCancelarEspera->isVisible(); }
};

} // namespace

class VentanaRed : public ::testing::Test {
protected:
    Barrido barrido;
    CarpetaEncuentros encuentros;
    GrabadorMensajes cajas;
};

TEST_F(VentanaRed, CancelarLaEsperaYTerminarLaConexion) {
    auto juego = std::make_unique<Juego>();
    Aplicacion& j = juego->j;
    GuionCrear(j);
    bool visto = false;
    auto* vigia = new QTimer(&j.ventana);
    QObject::connect(vigia, &QTimer::timeout, vigia, [&, vigia] {
        if (!juego->Esperando()) return;
        vigia->stop();
        visto = true;
        EXPECT_TRUE(j.ventana.mnuJuegoCancelarEspera->isVisible());
        EXPECT_FALSE(j.ventana.mnuJuegoEmpezar->isVisible());
        EXPECT_FALSE(j.ventana.mnuJuegoTerminarConexion->isVisible());
        EXPECT_FALSE(j.ventana.mnuJuegoOpciones->isEnabled());
        j.ventana.cmdCancelarEspera->click();
    });
    vigia->start(10);
    j.ventana.mnuJuegoEmpezar->trigger();
    ASSERT_TRUE(Esperar([&] { return visto && !juego->Esperando(); }, 10000));
    EXPECT_TRUE(j.ventana.mnuJuegoEmpezar->isVisible());
    EXPECT_TRUE(j.ventana.mnuJuegoTerminarConexion->isVisible());
    EXPECT_FALSE(j.ventana.mnuJuegoCancelarEspera->isVisible());
    EXPECT_TRUE(j.ventana.mnuJuegoOpciones->isEnabled());
    EXPECT_FALSE(j.ventana.mnuAlertar->isEnabled());
    EXPECT_TRUE(j.dplay.blnConectado());
    EXPECT_EQ(j.ventana.stbPanel[2]->text(),
              QStringLiteral("Nombre de sesión: Mesa de Ana (HOST)"));
    EXPECT_TRUE(cajas.mensajes().isEmpty());

    j.ventana.mnuJuegoTerminarConexion->trigger();
    ASSERT_TRUE(Esperar([&] { return !j.dplay.blnConectado(); }));
    EXPECT_TRUE(cajas.mensajes().isEmpty());
    EXPECT_FALSE(j.ventana.mnuJuegoTerminarConexion->isVisible());
    EXPECT_TRUE(j.ventana.mnuJuegoEmpezar->isVisible());
    EXPECT_TRUE(j.ventana.stbPanel[2]->text().isEmpty());

    // Enter sends the chat line only while the chat box has the focus.
    j.ventana.DisponerChat(2);
    QApplication::setActiveWindow(&j.ventana);
    j.ventana.txtMensaje->setFocus();
    EXPECT_TRUE(Esperar([&] { return j.ventana.cmdChatEnviar->isDefault(); }));
    j.ventana.cmdChatEnviar->setFocus();
    EXPECT_TRUE(Esperar([&] { return !j.ventana.cmdChatEnviar->isDefault(); }));
}

TEST_F(VentanaRed, CerrarMientrasEsperaAlContrincanteAcabaEnSeguida) {
    auto juego = std::make_unique<Juego>();
    Aplicacion& j = juego->j;
    GuionCrear(j);
    QElapsedTimer reloj;
    auto* vigia = new QTimer(&j.ventana);
    QObject::connect(vigia, &QTimer::timeout, vigia, [&, vigia] {
        if (!juego->Esperando()) return;
        vigia->stop();
        reloj.start();
        j.ventana.close();
    });
    vigia->start(10);
    j.ventana.mnuJuegoEmpezar->trigger();
    // The new-game sequence runs nested under this wait, which can only
    // see its condition once that sequence has come back.
    ASSERT_TRUE(Esperar([&] { return reloj.isValid() && !QApplication::overrideCursor(); }, 10000));
    EXPECT_FALSE(j.dplay.blnConectado());
    EXPECT_LT(reloj.elapsed(), 1000);
    EXPECT_TRUE(j.principal.blnCerrando);
    EXPECT_FALSE(j.ventana.isVisible());
    EXPECT_TRUE(cajas.mensajes().isEmpty());
}
