// The real main window's network side: the wait for an opponent from the
// Game menu, its cancel button, "&Terminar conexión", and closing the
// window in the middle of the wait.
#include "red_prueba.h"
#include "controles.h"
#include "carpeta_temporal.h"
#include "grabador_mensajes.h"
#include "ui/net/frm_conexion_dplay.h"
#include "ui/main/aplicacion.h"
#include "ui/main/frm_empezar_partida.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <memory>
#include <gtest/gtest.h>

using namespace brumaria;
using namespace brumaria::prueba;

namespace {

// Answers the new-game dialog (network ticked) and creates a game on this computer.
void GuionCrear(Aplicacion& j) {
    auto* t = new QTimer(&j.ventana);
    QObject::connect(t, &QTimer::timeout, t, [t] {
        QWidget* m = QApplication::activeModalWidget();
        if (qobject_cast<FrmEmpezarPartida*>(m)) {
            Control<QCheckBox>(*m, "chkJugarEnRed")->setChecked(true);
            QTimer::singleShot(0, Control<QPushButton>(*m, "cmdEmpezar"), &QPushButton::click);
        } else if (qobject_cast<FrmConexionDPlay*>(m)) {
            Control<QLineEdit>(*m, "txtNombre")->setText(QStringLiteral("Ana"));
            Control<QListWidget>(*m, "lstSP")->setCurrentRow(1);
            Control<QLineEdit>(*m, "txtGameName")->setText(QStringLiteral("Mesa de Ana"));
            QTimer::singleShot(0, Control<QPushButton>(*m, "cmdAceptar"), &QPushButton::click);
            t->stop();
        }
    });
    t->start(10);
}

} // namespace

class VentanaRed : public ::testing::Test {
protected:
    Barrido barrido;
    CarpetaEncuentros encuentros;
    GrabadorMensajes cajas;
    CarpetaTemporal carpeta;
    std::unique_ptr<Aplicacion> j;

    void SetUp() override {
        carpeta.CopiarRecursos();
        j = std::make_unique<Aplicacion>();
        j->ventana.Cargar();
        j->ventana.show();
        GuionCrear(*j);
    }
    template <class T> T* c(const char* nombre) { return Control<T>(j->ventana, nombre); }
    bool Esperando() { return c<QPushButton>("cmdCancelarEspera")->isVisible(); }
    // Starts a game and runs `accion` once the window waits for the opponent.
    void AlEsperar(std::function<void()> accion) {
        auto* vigia = new QTimer(&j->ventana);
        QObject::connect(vigia, &QTimer::timeout, vigia, [this, vigia, accion] {
            if (!Esperando()) return;
            vigia->stop();
            accion();
        });
        vigia->start(10);
        c<QAction>("mnuJuegoEmpezar")->trigger();
    }
};

TEST_F(VentanaRed, CancelarLaEsperaYTerminarLaConexion) {
    bool visto = false;
    AlEsperar([&] {
        visto = true;
        c<QPushButton>("cmdCancelarEspera")->click();
    });
    ASSERT_TRUE(Esperar([&] { return visto && !Esperando(); }, 10000));
    // The session stays open for the opponent to come.
    EXPECT_TRUE(c<QAction>("mnuJuegoTerminarConexion")->isVisible());
    EXPECT_TRUE(j->dplay.blnConectado());
    EXPECT_EQ(c<QLabel>("stbPanel3")->text(), QStringLiteral("Nombre de sesión: Mesa de Ana (HOST)"));
    c<QAction>("mnuJuegoTerminarConexion")->trigger();
    ASSERT_TRUE(Esperar([&] { return !j->dplay.blnConectado(); }));
    EXPECT_TRUE(cajas.mensajes().isEmpty());
    EXPECT_TRUE(c<QLabel>("stbPanel3")->text().isEmpty());

    // Enter sends the chat line only while the chat box has the focus.
    j->ventana.DisponerChat(2);
    QApplication::setActiveWindow(&j->ventana);
    c<QLineEdit>("txtMensaje")->setFocus();
    EXPECT_TRUE(Esperar([&] { return c<QPushButton>("cmdChatEnviar")->isDefault(); }));
    c<QPushButton>("cmdChatEnviar")->setFocus();
    EXPECT_TRUE(Esperar([&] { return !c<QPushButton>("cmdChatEnviar")->isDefault(); }));
}

TEST_F(VentanaRed, CerrarMientrasEsperaAlContrincanteAcabaEnSeguida) {
    QElapsedTimer reloj;
    AlEsperar([&] {
        reloj.start();
        j->ventana.close();
    });
    ASSERT_TRUE(Esperar([&] { return reloj.isValid() && !QApplication::overrideCursor(); }, 10000));
    EXPECT_FALSE(j->dplay.blnConectado());
    EXPECT_LT(reloj.elapsed(), 1000);
    EXPECT_FALSE(j->ventana.isVisible());
    EXPECT_TRUE(cajas.mensajes().isEmpty());
}
