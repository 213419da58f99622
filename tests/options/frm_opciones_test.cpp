// The options dialog and the colour picker, driven as a player would.
#include "ui/options/frm_color.h"
#include "ui/options/frm_opciones.h"

#include "carpeta_temporal.h"
#include "grabador_mensajes.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace brumaria;

namespace {

struct DestinoFalso : DestinoOpciones {
    int llamadas = 0;
    void AplicarOpciones() override { ++llamadas; }
};

void Crear(const QString& ruta) {
    QFile f(ruta);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("RIFF");
}

QByteArray Leer(const QString& ruta) {
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A folder with every file the defaults and the test name, and a record
// loaded from an empty Config.dat.
struct Entorno {
    prueba::CarpetaTemporal carpeta;
    prueba::GrabadorMensajes mensajes;
    ModOpciones modulo;
    DestinoFalso destino;
    Entorno() {
        for (const char* f : {"imagenes/agua.jpg", "alerta.wav", "nube.gif", "agua.wav",
                              "barco.wav", "hundido.wav", "otra.wav", "mar.bmp"}) {
            QDir().mkpath(QFileInfo(carpeta.archivo(f)).path());
            Crear(carpeta.archivo(f));
        }
        modulo.blnCargarOpcionesDeArchivo();
    }
    QString Archivo(const char* nombre) const { return carpeta.archivo(nombre); }
};

// Runs `accion` once the dialog's event loop is running.
void AlAbrirse(std::function<void()> accion) {
    QTimer::singleShot(0, std::move(accion));
}

} // namespace

TEST(FrmOpciones, ControlesConNombresTextosYAyudas) {
    Entorno e;
    FrmOpciones dlg(e.modulo, &e.destino);
    EXPECT_EQ(dlg.windowTitle(), "Opciones");
    EXPECT_TRUE(dlg.windowFlags() & Qt::WindowContextHelpButtonHint);
    auto* tab = dlg.findChild<QTabWidget*>("tabSeparador");
    ASSERT_NE(tab, nullptr);
    ASSERT_EQ(tab->count(), 4);
    EXPECT_EQ(tab->tabText(0), "&General");
    EXPECT_EQ(tab->tabText(1), QStringLiteral("&Colores e imágenes"));
    EXPECT_EQ(tab->tabText(2), "&Sonidos");
    EXPECT_EQ(tab->tabText(3), "&Alertas");
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(tab->widget(i)->objectName(), QStringLiteral("fraMarco%1").arg(i + 1));
    EXPECT_EQ(dlg.intPagina(), 1);

    const QList<QPair<const char*, int>> ayudas = {{"optMetodoRaton", 1200},
                                                   {"txtRutaArchivoHistorial", 1240},
                                                   {"txtTiempoRespuesta", 1270},
                                                   {"cmdColorRejilla", 1330},
                                                   {"cmdExaminarNoDescubierto", 1390},
                                                   {"txtSonidoHundido", 1470},
                                                   {"cmdExaminarSonidoAlerta", 1510},
                                                   {"txtAlertaMensajeHistorial", 1550},
                                                   {"cmdCancelar", 1570}};
    for (const auto& [nombre, numero] : ayudas) {
        auto* w = dlg.findChild<QWidget*>(nombre);
        ASSERT_NE(w, nullptr) << nombre;
        EXPECT_EQ(w->property("ayudaEmergente").toInt(), numero) << nombre;
    }
    EXPECT_EQ(dlg.findChild<QCheckBox*>("chkImagenNoDescubierto")->text(),
              "Usar imagen para las casillas no descubiertas");
    EXPECT_EQ(dlg.findChild<QRadioButton*>("optMetodoRatonFilaYColumna")->text(),
              QStringLiteral("Haciendo clic con el ratón en la fila y en la columna"));

    // Defaults shown, with each check box enabling its controls.
    EXPECT_TRUE(dlg.optMetodoRaton->isChecked());
    EXPECT_EQ(dlg.txtTiempoRespuesta->text(), "1");
    EXPECT_EQ(FrmOpciones::lngColorDeBoton(dlg.cmdColorAgua), RGB(192, 255, 255));
    EXPECT_TRUE(dlg.txtRutaAgua->isEnabled());
    EXPECT_FALSE(dlg.txtRutaNoDescubierto->isEnabled());
    EXPECT_FALSE(dlg.cmdExaminarSonidoBarco->isEnabled());
    dlg.chkSonidosBarco->setChecked(true);
    EXPECT_TRUE(dlg.txtSonidoBarco->isEnabled());
    EXPECT_TRUE(dlg.cmdExaminarSonidoBarco->isEnabled());
    dlg.chkTiempoRespuesta->setChecked(false);
    EXPECT_FALSE(dlg.txtTiempoRespuesta->isEnabled());
    dlg.chkAlertaMsgBox->setChecked(false);
    EXPECT_TRUE(dlg.txtAlertaMensajeMsgBox->isEnabled());
}

TEST(FrmOpciones, AceptarGuardaTodoYAplicaUnaVez) {
    Entorno e;
    FrmOpciones dlg(e.modulo, &e.destino);
    int colores = 0;
    dlg.FijarElegirColor([&](QWidget*, std::int32_t& c) {
        c = RGB(10, 20, 30 + colores++);
        return true;
    });
    dlg.FijarElegirArchivo([&](QWidget*, const QString& titulo, const QString& filtro,
                               const QString&, bool debeExistir) {
        if (titulo == "Abrir o crear archivo de texto") {
            EXPECT_FALSE(debeExistir);
            EXPECT_EQ(filtro, "Archivo de texto (*.txt)");
            return e.Archivo("nuevo historial.txt");
        }
        EXPECT_TRUE(debeExistir);
        if (titulo == "Abrir imagen") {
            EXPECT_EQ(filtro, QStringLiteral("Imágenes (*.bmp *.gif *.jpeg *.jpg)"));
            return e.Archivo("nube.gif");
        }
        EXPECT_EQ(titulo, "Abrir sonido");
        EXPECT_EQ(filtro, "Sonidos (*.wav)");
        return e.Archivo("otra.wav");
    });

    dlg.optMetodoTeclado->setChecked(true);
    dlg.txtTiempoRespuesta->setText("2,25");
    dlg.cmdExaminarArchivoHistorial->click();
    for (QPushButton* b :
         {dlg.cmdColorAgua, dlg.cmdColorNoDescubiertas, dlg.cmdColorIndicadorAtaque,
          dlg.cmdColorMarcadoresExterior, dlg.cmdColorMarcadoresInterior, dlg.cmdColorRejilla})
        b->click();
    dlg.chkImagenAgua->setChecked(false);
    dlg.chkImagenNoDescubierto->setChecked(true);
    dlg.cmdExaminarNoDescubierto->click();
    dlg.chkSonidosHundido->setChecked(true);
    dlg.cmdExaminarSonidoHundido->click();
    dlg.chkAlertaSonido->setChecked(false);
    dlg.chkAlertaHistorial->setChecked(false);
    dlg.txtAlertaMensajeMsgBox->setText(QStringLiteral("¡Dispara ya!"));

    RegistroOpciones esperado = e.modulo.Opciones;
    esperado.intMetodoAtaque = 3;
    esperado.intTiempoRespuesta = 2250;
    esperado.strRutaArchivoHistorial = e.Archivo("nuevo historial.txt");
    esperado.lngColorAgua = RGB(10, 20, 30);
    esperado.lngColorNoDescubiertas = RGB(10, 20, 31);
    esperado.lngColorIndicadorAtaque = RGB(10, 20, 32);
    esperado.lngColorMarcadoresExterior = RGB(10, 20, 33);
    esperado.lngColorMarcadoresInterior = RGB(10, 20, 34);
    esperado.lngColorRejilla = RGB(10, 20, 35);
    esperado.blnImagenAgua = false;
    esperado.blnImagenNoDescubierto = true;
    esperado.strRutaNoDescubierto = e.Archivo("nube.gif");
    esperado.blnSonidosHundido = true;
    esperado.strSonidoHundido = e.Archivo("otra.wav");
    esperado.blnAlertaSonido = false;
    esperado.blnAlertaHistorial = false;
    esperado.strAlertaMensajeMsgBox = QStringLiteral("¡Dispara ya!");

    AlAbrirse([&] { dlg.cmdAceptar->click(); });
    EXPECT_EQ(dlg.Mostrar(), QDialog::Accepted);
    EXPECT_EQ(e.modulo.Opciones, esperado);
    EXPECT_EQ(e.destino.llamadas, 1);
    EXPECT_TRUE(e.mensajes.mensajes().isEmpty());
    EXPECT_EQ(Leer(ModOpciones::strRutaConfig()), CodificarOpciones(esperado));
}

TEST(FrmOpciones, CancelarNoCambiaNada) {
    Entorno e;
    const RegistroOpciones antes = e.modulo.Opciones;
    FrmOpciones dlg(e.modulo, &e.destino);
    dlg.FijarElegirColor([](QWidget*, std::int32_t& c) {
        c = 5;
        return true;
    });
    dlg.cmdColorRejilla->click();
    dlg.optMetodoRatonFilaYColumna->setChecked(true);
    dlg.txtAlertaMensajeHistorial->setText("otra cosa");
    dlg.chkImagenAgua->setChecked(false);
    AlAbrirse([&] { dlg.cmdCancelar->click(); });
    EXPECT_EQ(dlg.Mostrar(), QDialog::Rejected);
    EXPECT_EQ(e.modulo.Opciones, antes);
    EXPECT_EQ(e.destino.llamadas, 0);
    EXPECT_EQ(QFileInfo(ModOpciones::strRutaConfig()).size(), 0);
}

TEST(FrmOpciones, ExaminarCanceladoDejaElTexto) {
    Entorno e;
    FrmOpciones dlg(e.modulo, &e.destino);
    dlg.FijarElegirArchivo(
        [](QWidget*, const QString&, const QString&, const QString& inicial, bool) {
            EXPECT_FALSE(inicial.isEmpty());
            return QString();
        });
    const QString antes = dlg.txtAlertaSonido->text();
    dlg.cmdExaminarSonidoAlerta->click();
    EXPECT_EQ(dlg.txtAlertaSonido->text(), antes);
}

TEST(FrmOpciones, ArchivosQueFaltanEnOrdenConFocoYPagina) {
    Entorno e;
    FrmOpciones dlg(e.modulo, &e.destino);
    dlg.show();
    // Everything ticked and every path wrong; each fix reveals the next one.
    for (QCheckBox* c : {dlg.chkImagenAgua, dlg.chkImagenNoDescubierto, dlg.chkSonidosAgua,
                         dlg.chkSonidosBarco, dlg.chkSonidosHundido, dlg.chkAlertaSonido})
        c->setChecked(true);
    dlg.txtRutaAgua->clear();
    dlg.txtRutaNoDescubierto->setText(e.Archivo("no.gif"));
    dlg.txtSonidoAgua->setText(e.Archivo("no1.wav"));
    dlg.txtSonidoBarco->setText(e.Archivo("no2.wav"));
    dlg.txtSonidoHundido->setText(e.Archivo("imagenes")); // a folder is no file
    dlg.txtAlertaSonido->setText(e.Archivo("%1.wav"));
    const struct {
        QString mensaje;
        QLineEdit* texto;
        int pagina;
        QString bueno;
    } pasos[] = {
        {"El archivo de imagen del agua '' no existe", dlg.txtRutaAgua, 2, e.Archivo("mar.bmp")},
        {"El archivo de imagen de casillas no descubiertas '" + e.Archivo("no.gif") + "' no existe",
         dlg.txtRutaNoDescubierto, 2, e.Archivo("nube.gif")},
        {"El archivo de sonido de agua '" + e.Archivo("no1.wav") + "' no existe", dlg.txtSonidoAgua,
         3, e.Archivo("agua.wav")},
        {"El archivo de sonido de ataque a barco '" + e.Archivo("no2.wav") + "' no existe",
         dlg.txtSonidoBarco, 3, e.Archivo("barco.wav")},
        {"El archivo de sonido de barco hundido '" + e.Archivo("imagenes") + "' no existe",
         dlg.txtSonidoHundido, 3, e.Archivo("hundido.wav")},
        {"El archivo de sonido de alerta '" + e.Archivo("%1.wav") + "' no existe",
         dlg.txtAlertaSonido, 4, e.Archivo("alerta.wav")},
    };
    const RegistroOpciones antes = e.modulo.Opciones;
    for (const auto& p : pasos) {
        e.mensajes.Limpiar();
        dlg.tabSeparador->setCurrentIndex(0);
        dlg.cmdAceptar->click();
        ASSERT_EQ(e.mensajes.mensajes().size(), 1);
        const Mensaje& m = e.mensajes.mensajes().first();
        EXPECT_EQ(m.texto, p.mensaje);
        EXPECT_EQ(m.titulo, "Error");
        EXPECT_EQ(m.icono, Icono::Critico);
        EXPECT_EQ(dlg.intPagina(), p.pagina);
        EXPECT_EQ(dlg.focusWidget(), p.texto) << qPrintable(p.mensaje);
        EXPECT_TRUE(dlg.isVisible());
        EXPECT_EQ(e.modulo.Opciones, antes);
        EXPECT_EQ(e.destino.llamadas, 0);
        p.texto->setText(p.bueno);
    }
    e.mensajes.Limpiar();
    dlg.cmdAceptar->click();
    EXPECT_TRUE(e.mensajes.mensajes().isEmpty());
    EXPECT_EQ(e.destino.llamadas, 1);
    EXPECT_EQ(e.modulo.Opciones.strSonidoHundido, e.Archivo("hundido.wav"));
    EXPECT_FALSE(dlg.isVisible());
}

TEST(FrmOpciones, TiempoDeRespuestaAlSalirDeLaCasilla) {
    Entorno e;
    const QString error = QStringLiteral("Tienes que introducir un número entre 0,001 y 65,534");
    FrmOpciones dlg(e.modulo, &e.destino);
    dlg.show();
    dlg.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
    auto salir = [&](const QString& texto) {
        dlg.chkTiempoRespuesta->setChecked(true);
        dlg.txtTiempoRespuesta->setFocus();
        dlg.txtTiempoRespuesta->setText(texto);
        e.mensajes.Limpiar();
        dlg.optMetodoTeclado->setFocus();
    };
    for (const char* t : {"0", "", "0,000"}) {
        salir(t);
        EXPECT_FALSE(dlg.chkTiempoRespuesta->isChecked()) << t;
        EXPECT_TRUE(e.mensajes.mensajes().isEmpty()) << t;
    }
    for (const char* t : {"0,5", "0.5", "65,535", "0,001", " 3 "}) {
        salir(t);
        EXPECT_TRUE(dlg.chkTiempoRespuesta->isChecked()) << t;
        EXPECT_TRUE(e.mensajes.mensajes().isEmpty()) << t;
    }
    for (const char* t : {"abc", "65,536", "0,0004", "-1", "1e3", "1,2,3"}) {
        salir(t);
        ASSERT_EQ(e.mensajes.mensajes().size(), 1) << t;
        EXPECT_EQ(e.mensajes.mensajes().first().texto, error);
        EXPECT_EQ(e.mensajes.mensajes().first().icono, Icono::Critico);
        EXPECT_EQ(dlg.txtTiempoRespuesta->text(), t); // left as typed
        EXPECT_TRUE(dlg.chkTiempoRespuesta->isChecked());
    }
    // Moving to "Cancelar" raises no complaint; "Aceptar" complains once, itself.
    salir("abc");
    dlg.txtTiempoRespuesta->setFocus();
    e.mensajes.Limpiar();
    dlg.cmdCancelar->setFocus();
    EXPECT_TRUE(e.mensajes.mensajes().isEmpty());
    dlg.txtTiempoRespuesta->setFocus();
    dlg.cmdAceptar->setFocus();
    EXPECT_TRUE(e.mensajes.mensajes().isEmpty());
    dlg.cmdAceptar->click();
    EXPECT_EQ(e.mensajes.Contar(error), 1);
    EXPECT_EQ(dlg.focusWidget(), dlg.txtTiempoRespuesta);
    EXPECT_EQ(e.destino.llamadas, 0);
}

TEST(FrmOpciones, TiempoDeRespuestaAlAceptar) {
    Entorno e;
    auto aceptarCon = [&](const QString& texto, bool marcado) {
        FrmOpciones dlg(e.modulo, &e.destino);
        dlg.chkTiempoRespuesta->setChecked(marcado);
        dlg.txtTiempoRespuesta->setText(texto);
        e.mensajes.Limpiar();
        return dlg.blnGuardarOpciones();
    };
    EXPECT_TRUE(aceptarCon("0,5", true));
    EXPECT_EQ(e.modulo.Opciones.intTiempoRespuesta, 500);
    EXPECT_TRUE(aceptarCon("65,535", true));
    EXPECT_EQ(e.modulo.Opciones.intTiempoRespuesta, 65535);
    EXPECT_EQ(Leer(ModOpciones::strRutaConfig()).mid(259, 5), "65535");
    EXPECT_TRUE(aceptarCon("1.5", true));
    EXPECT_EQ(e.modulo.Opciones.intTiempoRespuesta, 1500);

    // Not a number while in use: refused, nothing stored, back to the box.
    {
        FrmOpciones dlg(e.modulo, &e.destino);
        dlg.show();
        dlg.tabSeparador->setCurrentIndex(3);
        dlg.txtTiempoRespuesta->setText("abc");
        e.mensajes.Limpiar();
        EXPECT_FALSE(dlg.blnGuardarOpciones());
        EXPECT_EQ(e.mensajes.Contar(
                      QStringLiteral("Tienes que introducir un número entre 0,001 y 65,534")),
                  1);
        EXPECT_EQ(dlg.intPagina(), 1);
        EXPECT_EQ(dlg.focusWidget(), dlg.txtTiempoRespuesta);
        EXPECT_EQ(e.modulo.Opciones.intTiempoRespuesta, 1500);
    }
    EXPECT_FALSE(aceptarCon("70", true));
    EXPECT_EQ(e.modulo.Opciones.intTiempoRespuesta, 1500);

    // Not in use: whatever the box holds, the previous pause is kept.
    for (const char* t : {"", "abc", "70"}) {
        EXPECT_TRUE(aceptarCon(t, false)) << t;
        EXPECT_FALSE(e.modulo.Opciones.blnTiempoRespuesta);
        EXPECT_EQ(e.modulo.Opciones.intTiempoRespuesta, 1500) << t;
        EXPECT_TRUE(e.mensajes.mensajes().isEmpty());
    }
    // In use but emptied: the pause is switched off, not made zero.
    EXPECT_TRUE(aceptarCon("", true));
    EXPECT_FALSE(e.modulo.Opciones.blnTiempoRespuesta);
    EXPECT_EQ(e.modulo.Opciones.intTiempoRespuesta, 1500);
    // And shown again in seconds.
    FrmOpciones dlg(e.modulo, &e.destino);
    EXPECT_EQ(FrmOpciones::blnLeerSegundos(dlg.txtTiempoRespuesta->text(),
                                           e.modulo.Opciones.intTiempoRespuesta),
              true);
    EXPECT_EQ(e.modulo.Opciones.intTiempoRespuesta, 1500);
}

TEST(FrmOpciones, AbrirEnLaPaginaYElControlPedidos) {
    Entorno e;
    e.modulo.Opciones.blnSonidosBarco = true;
    e.modulo.Opciones.blnImagenNoDescubierto = false;
    const struct {
        const char* nombre;
        int pagina;
        const char* foco;
    } casos[] = {
        {"txtAlertaMensajeHistorial", 4, "txtAlertaMensajeHistorial"},
        {"txtAlertaMensajeMsgBox", 4, "txtAlertaMensajeMsgBox"},
        {"txtAlertaSonido", 4, "txtAlertaSonido"},
        {"txtSonidoHundido", 3, "chkSonidosHundido"},
        {"txtSonidoBarco", 3, "txtSonidoBarco"},
        {"txtSonidoAgua", 3, "chkSonidosAgua"},
        {"txtRutaNoDescubierto", 2, "chkImagenNoDescubierto"},
        {"txtRutaAgua", 2, "txtRutaAgua"},
        {"otraCosa", 1, nullptr},
    };
    for (const auto& c : casos) {
        FrmOpciones dlg(e.modulo, &e.destino);
        int pagina = 0;
        QString foco;
        AlAbrirse([&] {
            pagina = dlg.intPagina();
            foco = QApplication::focusWidget() ? QApplication::focusWidget()->objectName()
                   : dlg.focusWidget()         ? dlg.focusWidget()->objectName()
                                               : QString();
            dlg.reject();
        });
        EXPECT_EQ(dlg.Abrir(QString::fromLatin1(c.nombre)), QDialog::Rejected);
        EXPECT_EQ(pagina, c.pagina) << c.nombre;
        if (c.foco) {
            EXPECT_EQ(foco, c.foco) << c.nombre;
        }
    }
    // The alert sound unticked: the check box gets the focus.
    e.modulo.Opciones.blnAlertaSonido = false;
    FrmOpciones dlg(e.modulo, &e.destino);
    QString foco;
    AlAbrirse([&] {
        foco = dlg.focusWidget()->objectName();
        dlg.reject();
    });
    dlg.Abrir(QStringLiteral("txtAlertaSonido"));
    EXPECT_EQ(foco, "chkAlertaSonido");
}

TEST(FrmColor, AceptarYCancelar) {
    EstadoColor estado{RGB(12, 34, 56), true};
    {
        FrmColor dlg(estado);
        EXPECT_EQ(dlg.windowTitle(), "Elegir color");
        EXPECT_FALSE(estado.blnColorElegido);
        EXPECT_EQ(dlg.sldRojo->value(), 12);
        EXPECT_EQ(dlg.sldVerde->value(), 34);
        EXPECT_EQ(dlg.sldAzul->value(), 56);
        EXPECT_EQ(dlg.sldAzul->maximum(), 255);
        dlg.sldRojo->setValue(255);
        EXPECT_EQ(dlg.shpCuadro->palette().color(QPalette::Window), QColor(255, 34, 56));
        AlAbrirse([&] { dlg.findChild<QPushButton*>("cmdCancelar")->click(); });
        dlg.Mostrar();
        EXPECT_FALSE(estado.blnColorElegido);
        EXPECT_EQ(estado.lngColorElegido, RGB(12, 34, 56));
    }
    {
        FrmColor dlg(estado);
        dlg.sldVerde->setValue(0);
        dlg.sldAzul->setValue(200);
        auto* aceptar = dlg.findChild<QPushButton*>("cmdAceptar");
        EXPECT_TRUE(aceptar->isDefault());
        AlAbrirse([&] { aceptar->click(); });
        EXPECT_EQ(dlg.Mostrar(), QDialog::Accepted);
        EXPECT_TRUE(estado.blnColorElegido);
        EXPECT_EQ(estado.lngColorElegido, RGB(12, 0, 200));
    }
}

TEST(FrmOpciones, BotonDeColorConElSelectorReal) {
    Entorno e;
    FrmOpciones dlg(e.modulo, &e.destino);
    const std::int32_t antes = FrmOpciones::lngColorDeBoton(dlg.cmdColorRejilla);
    // Cancelled: the button keeps its colour.
    AlAbrirse([] {
        auto* c = qobject_cast<FrmColor*>(QApplication::activeModalWidget());
        ASSERT_NE(c, nullptr);
        c->sldRojo->setValue(99);
        c->reject();
    });
    dlg.cmdColorRejilla->click();
    EXPECT_EQ(FrmOpciones::lngColorDeBoton(dlg.cmdColorRejilla), antes);
    AlAbrirse([] {
        auto* c = qobject_cast<FrmColor*>(QApplication::activeModalWidget());
        ASSERT_NE(c, nullptr);
        c->sldRojo->setValue(99);
        c->findChild<QPushButton*>("cmdAceptar")->click();
    });
    dlg.cmdColorRejilla->click();
    EXPECT_EQ(FrmOpciones::lngColorDeBoton(dlg.cmdColorRejilla), RGB(99, 0, 0));
    EXPECT_TRUE(dlg.cmdColorRejilla->styleSheet().contains("#630000"));
}
