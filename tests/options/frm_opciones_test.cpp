// The options dialog, driven as a player would.
#include "ui/options/frm_opciones.h"

#include "carpeta_temporal.h"
#include "controles.h"
#include "grabador_mensajes.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace brumaria;
using prueba::Control;

namespace {

const QString kErrorTiempo = QStringLiteral("Tienes que introducir un número entre 0,001 y 65,534");

void AlAbrirse(std::function<void()> accion) {
    QTimer::singleShot(0, std::move(accion));
}

// A record loaded from an empty Config.dat in a folder holding the files
// it names, and the dialog over it.
class Opciones : public ::testing::Test, public DestinoOpciones {
protected:
    prueba::CarpetaTemporal carpeta;
    prueba::GrabadorMensajes mensajes;
    ModOpciones modulo;
    int aplicadas = 0;
    std::unique_ptr<FrmOpciones> dlg;

    void SetUp() override {
        for (const char* f : {"imagenes/agua.jpg", "alerta.wav", "mar.bmp", "agua.wav"})
            Crear(f);
        modulo.blnCargarOpcionesDeArchivo();
    }
    void AplicarOpciones() override { ++aplicadas; }
    QString Crear(const QString& nombre) {
        QDir().mkpath(QFileInfo(carpeta.archivo(nombre)).path());
        QFile(carpeta.archivo(nombre)).open(QIODevice::WriteOnly);
        return carpeta.archivo(nombre);
    }
    FrmOpciones& Abrir() {
        dlg = std::make_unique<FrmOpciones>(modulo, this);
        return *dlg;
    }
    template <class T = QWidget> T* C(const char* nombre) { return Control<T>(*dlg, nombre); }
    QLineEdit* Txt(const char* nombre) { return C<QLineEdit>(nombre); }
    QCheckBox* Chk(const char* nombre) { return C<QCheckBox>(nombre); }
    QString Foco() const {
        return dlg->focusWidget() ? dlg->focusWidget()->objectName() : QString();
    }
};

} // namespace

TEST_F(Opciones, CadaCasillaHabilitaLoSuyo) {
    Abrir();
    const std::vector<std::vector<const char*>> filas = {
        {"chkTiempoRespuesta", "txtTiempoRespuesta", "lblTiempoRespuesta"},
        {"chkImagenAgua", "txtRutaAgua", "cmdExaminarAgua", "lblRutaAgua"},
        {"chkAlertaSonido", "txtAlertaSonido", "cmdExaminarSonidoAlerta"},
        {"chkAlertaMsgBox"}}; // its message is always editable
    for (const auto& f : filas)
        for (bool marcada : {true, false, true}) {
            Chk(f[0])->setChecked(marcada);
            for (std::size_t i = 1; i < f.size(); ++i)
                EXPECT_EQ(C(f[i])->isEnabled(), marcada) << f[i];
            EXPECT_TRUE(Txt("txtAlertaMensajeMsgBox")->isEnabled());
        }
}

TEST_F(Opciones, ArchivosQueFaltanEnOrdenConFocoYPagina) {
    Abrir().show();
    // Everything ticked and every path wrong; each fix reveals the next one.
    const struct {
        const char *casilla, *texto, *malo, *que;
        int pagina;
    } pasos[] = {
        {"chkImagenAgua", "txtRutaAgua", "", "de imagen del agua", 2},
        {"chkSonidosHundido", "txtSonidoHundido", "imagenes", "de sonido de barco hundido", 3},
        {"chkAlertaSonido", "txtAlertaSonido", "%1.wav", "de sonido de alerta", 4},
    };
    for (const auto& p : pasos) {
        Chk(p.casilla)->setChecked(true);
        Txt(p.texto)->setText(*p.malo ? carpeta.archivo(p.malo) : QString());
    }
    const RegistroOpciones antes = modulo.Opciones;
    for (const auto& p : pasos) {
        mensajes.Limpiar();
        C<QTabWidget>("tabSeparador")->setCurrentIndex(0);
        C<QPushButton>("cmdAceptar")->click();
        ASSERT_EQ(mensajes.mensajes().size(), 1);
        const Mensaje& m = mensajes.mensajes().first();
        EXPECT_EQ(m.texto, QStringLiteral("El archivo %1 '%2' no existe")
                               .arg(QString::fromUtf8(p.que), Txt(p.texto)->text()));
        EXPECT_EQ(m.titulo, "Error");
        EXPECT_EQ(m.icono, Icono::Critico);
        EXPECT_EQ(dlg->intPagina(), p.pagina);
        EXPECT_EQ(Foco(), p.texto);
        EXPECT_EQ(modulo.Opciones, antes);
        Txt(p.texto)->setText(Crear(QStringLiteral("%1.bien").arg(p.texto)));
    }
    // All found: "Aceptar" writes Config.dat and applies the result once.
    mensajes.Limpiar();
    C<QPushButton>("cmdAceptar")->click();
    EXPECT_TRUE(mensajes.mensajes().isEmpty());
    EXPECT_EQ(aplicadas, 1);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(prueba::LeerArchivo(ModOpciones::strRutaConfig()), CodificarOpciones(modulo.Opciones));
}

// A colour the file could not read shows as its default; "Aceptar" writes
// that default, so the next start reads every option again.
TEST_F(Opciones, AceptarEscribeLoQueMuestraAunqueElArchivoEstuvieraDanado) {
    QByteArray datos = CodificarOpciones(RegistroOpciones::PorDefecto());
    datos.replace(264, 8, "abc     ");
    ASSERT_TRUE(prueba::EscribirArchivo(ModOpciones::strRutaConfig(), datos));
    ASSERT_FALSE(modulo.blnCargarOpcionesDeArchivo());
    EXPECT_EQ(modulo.strIlegibles(), QStringList{QStringLiteral("color del agua")});
    // Closing without the dialog keeps the file's bytes, damaged or not.
    ASSERT_TRUE(modulo.blnGuardarOpcionesEnArchivo());
    EXPECT_EQ(prueba::LeerArchivo(ModOpciones::strRutaConfig()).mid(264, 8), "abc     ");

    Abrir().show();
    C<QPushButton>("cmdAceptar")->click();
    EXPECT_EQ(prueba::LeerArchivo(ModOpciones::strRutaConfig()).mid(264, 8), "16777152");
    ModOpciones otro;
    EXPECT_TRUE(otro.blnCargarOpcionesDeArchivo());
    EXPECT_TRUE(otro.strIlegibles().isEmpty());
}

// {text, on leaving the box: still ticked, complaint; on "Aceptar" (ticked
// or not): accepted, still in use, stored ms}. The record held 1500 ms.
TEST_F(Opciones, TiempoDeRespuesta) {
    const std::tuple<const char*, bool, bool, bool, bool, int> filas[] = {
        {"0,5", true, false, true, true, 500},      {"0.5", true, false, true, true, 500},
        {"65,535", true, false, true, true, 65535}, {"0", false, false, true, false, 1500},
        {"", false, false, true, false, 1500},      {"65,536", true, true, false, true, 1500},
        {"abc", true, true, false, true, 1500}};
    for (const auto& [texto, marcada, queja, acepta, enUso, ms] : filas) {
        modulo.Opciones.intTiempoRespuesta = 1500;
        Abrir().show();
        dlg->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
        QCheckBox* chk = Chk("chkTiempoRespuesta");
        QLineEdit* txt = Txt("txtTiempoRespuesta");
        chk->setChecked(true);
        txt->setFocus();
        txt->setText(texto);
        mensajes.Limpiar();
        C("optMetodoTeclado")->setFocus();
        EXPECT_EQ(chk->isChecked(), marcada) << texto;
        EXPECT_EQ(mensajes.Contar(kErrorTiempo), queja ? 1 : 0) << texto;
        EXPECT_EQ(txt->text(), texto); // left as typed
        mensajes.Limpiar();
        C<QTabWidget>("tabSeparador")->setCurrentIndex(3);
        chk->setChecked(true);
        EXPECT_EQ(dlg->blnGuardarOpciones(), acepta) << texto;
        EXPECT_EQ(mensajes.Contar(kErrorTiempo), acepta ? 0 : 1) << texto;
        EXPECT_EQ(modulo.Opciones.intTiempoRespuesta, ms) << texto;
        if (acepta) {
            EXPECT_EQ(modulo.Opciones.blnTiempoRespuesta, enUso) << texto;
        } else {
            EXPECT_EQ(dlg->intPagina(), 1) << texto;
            EXPECT_EQ(Foco(), "txtTiempoRespuesta") << texto;
        }
        // Not in use, whatever the box holds, the record keeps its pause.
        chk->setChecked(false);
        txt->setText(texto);
        EXPECT_TRUE(dlg->blnGuardarOpciones()) << texto;
        EXPECT_FALSE(modulo.Opciones.blnTiempoRespuesta);
        EXPECT_EQ(modulo.Opciones.intTiempoRespuesta, ms) << texto;
    }
    EXPECT_EQ(aplicadas, 0);
    // Shown in seconds, without trailing zeros.
    modulo.Opciones.intTiempoRespuesta = 2000;
    EXPECT_EQ(Abrir().findChild<QLineEdit*>("txtTiempoRespuesta")->text(), "2");
}

TEST_F(Opciones, AbrirEnLaPaginaYElControlPedidos) {
    modulo.Opciones.blnSonidosBarco = true;
    modulo.Opciones.blnAlertaSonido = false;
    // An unticked box sends the focus to its check box.
    const std::tuple<const char*, int, const char*> casos[] = {
        {"txtAlertaMensajeHistorial", 4, "txtAlertaMensajeHistorial"},
        {"txtAlertaSonido", 4, "chkAlertaSonido"},
        {"txtSonidoBarco", 3, "txtSonidoBarco"},
        {"txtRutaNoDescubierto", 2, "chkImagenNoDescubierto"},
        {"otraCosa", 1, nullptr}};
    for (const auto& [nombre, pagina, foco] : casos) {
        Abrir();
        std::pair<int, QString> visto;
        AlAbrirse([&] {
            visto = {dlg->intPagina(), Foco()};
            dlg->reject();
        });
        EXPECT_EQ(dlg->Abrir(QString::fromLatin1(nombre)), QDialog::Rejected);
        EXPECT_EQ(visto.first, pagina) << nombre;
        if (foco) {
            EXPECT_EQ(visto.second, foco) << nombre;
        }
    }
}
