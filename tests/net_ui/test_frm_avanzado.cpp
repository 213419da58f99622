// "Avanzado…": what the player types reaches red.ini, and only when he
// accepts; what the dialog does not show survives it.
#include "carpeta_temporal.h"
#include "controles.h"
#include "grabador_mensajes.h"
#include "options/ajustes_internet.h"
#include "ui/net/frm_avanzado.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace brumaria;
using namespace brumaria::prueba;

namespace {

struct Avanzado {
    CarpetaTemporal carpeta;
    GrabadorMensajes cajas;
    QString ruta = strRutaAjustesInternet();

    Avanzado() {
        AjustesInternet a = AjustesInternet::PorDefecto();
        a.nodosDht = {QStringLiteral("127.0.0.1:6881")};
        a.blnDhtPrivada = true;
        EXPECT_TRUE(GuardarAjustesInternet(a, ruta));
    }
    template <class T = QPushButton> static T* C(FrmAvanzado& d, const char* nombre) {
        return Control<T>(d, nombre);
    }
};

} // namespace

TEST(FrmAvanzado, LoTecleadoSeGuardaAlAceptarYLoQueNoMuestraSeConserva) {
    Avanzado t;
    FrmAvanzado d;
    d.show();
    EXPECT_EQ(Avanzado::C<QPlainTextEdit>(d, "txtNodosDht")->toPlainText(), "127.0.0.1:6881");
    Avanzado::C<QPlainTextEdit>(d, "txtStun")
        ->setPlainText("stun.uno.example:3478\n\n  \nstun.dos.example:19302\n");
    Avanzado::C<QLineEdit>(d, "txtTurn")->setText("  turn.example:3478 ");
    Avanzado::C<QLineEdit>(d, "txtTurnUsuario")->setText("ana");
    Avanzado::C<QLineEdit>(d, "txtTurnClave")->setText("clave secreta");
    Avanzado::C(d, "cmdAceptar")->click();
    EXPECT_FALSE(d.isVisible());
    EXPECT_TRUE(t.cajas.mensajes().isEmpty());

    const AjustesInternet a = LeerAjustesInternet(t.ruta);
    EXPECT_EQ(a.stun, QStringList({"stun.uno.example:3478", "stun.dos.example:19302"}));
    EXPECT_EQ(a.turn, "turn.example:3478");
    EXPECT_EQ(a.turnUsuario, "ana");
    EXPECT_EQ(a.turnClave, "clave secreta");
    EXPECT_EQ(a.nodosDht, QStringList({"127.0.0.1:6881"}));
    EXPECT_TRUE(a.blnDhtPrivada) << "the private-DHT mark is not in the dialog and must survive it";
    EXPECT_EQ(QFile::permissions(t.ruta) & (QFileDevice::ReadGroup | QFileDevice::ReadOther), 0)
        << "the TURN password is readable by others";
}

TEST(FrmAvanzado, CancelarNoTocaElArchivoYValoresInicialesSoloAlAceptar) {
    Avanzado t;
    const QByteArray antes = LeerArchivo(t.ruta);
    {
        FrmAvanzado d;
        d.show();
        Avanzado::C<QLineEdit>(d, "txtTurn")->setText("turn.example");
        Avanzado::C(d, "cmdValoresIniciales")->click();
        EXPECT_EQ(Avanzado::C<QLineEdit>(d, "txtTurn")->text(), "");
        Avanzado::C(d, "cmdCancelar")->click();
        EXPECT_FALSE(d.isVisible());
    }
    EXPECT_EQ(LeerArchivo(t.ruta), antes);

    FrmAvanzado d;
    d.show();
    Avanzado::C(d, "cmdValoresIniciales")->click();
    Avanzado::C(d, "cmdAceptar")->click();
    const AjustesInternet a = LeerAjustesInternet(t.ruta);
    EXPECT_EQ(a.nodosDht, AjustesInternet::PorDefecto().nodosDht);
    EXPECT_EQ(a.stun, AjustesInternet::PorDefecto().stun);
    EXPECT_TRUE(a.blnDhtPrivada);
}

TEST(FrmAvanzado, SiNoSePuedeGuardarLoDiceYSeQuedaAbierto) {
    Avanzado t;
    ASSERT_TRUE(QFile::remove(t.ruta));
    ASSERT_TRUE(QDir().mkdir(t.ruta)); // red.ini is a folder: nothing can be written there
    FrmAvanzado d;
    d.show();
    Avanzado::C<QLineEdit>(d, "txtTurn")->setText("turn.example");
    Avanzado::C(d, "cmdAceptar")->click();
    ASSERT_EQ(t.cajas.mensajes().size(), 1);
    EXPECT_EQ(t.cajas.mensajes().front().texto,
              QStringLiteral("No se han podido guardar los servidores en ") + t.ruta + ".");
    EXPECT_TRUE(d.isVisible()) << "what was typed would be lost";
}
