// What's This popups of the dialogs and the help-file string they extend.
#include "carpeta_temporal.h"
#include "impresion.h"
#include "ui/help/ayuda.h"

#include <QCheckBox>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextDocumentFragment>
#include <QWhatsThis>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

using namespace brumaria;

namespace {

struct Control {
    const char* nombre;
    int numero;
};

// Every control of the three dialogs that carries a popup, with its number.
const std::vector<Control> kTabla = {
    {"optAlAzar", 1100},     {"optJugador", 1110},
    {"optOrdenador", 1120},  {"chkJugadorColocaSusBarcos", 1130},
    {"chkJugarEnRed", 1140}, {"cmdEmpezar", 1150},
    {"cmdCancelar", 1160},
};
const std::vector<Control> kTablaOpciones = {
    {"optMetodoRaton", 1200},
    {"optMetodoRatonFilaYColumna", 1210},
    {"optMetodoTeclado", 1220},
    {"chkHistorialMovimientosActivar", 1230},
    {"txtRutaArchivoHistorial", 1240},
    {"cmdExaminarArchivoHistorial", 1250},
    {"chkTiempoRespuesta", 1260},
    {"txtTiempoRespuesta", 1270},
    {"cmdColorAgua", 1280},
    {"cmdColorNoDescubiertas", 1290},
    {"cmdColorIndicadorAtaque", 1300},
    {"cmdColorMarcadoresExterior", 1310},
    {"cmdColorMarcadoresInterior", 1320},
    {"cmdColorRejilla", 1330},
    {"chkImagenAgua", 1340},
    {"txtRutaAgua", 1350},
    {"cmdExaminarAgua", 1360},
    {"chkImagenNoDescubierto", 1370},
    {"txtRutaNoDescubierto", 1380},
    {"cmdExaminarNoDescubierto", 1390},
    {"chkSonidosAgua", 1400},
    {"txtSonidoAgua", 1410},
    {"cmdExaminarSonidoAgua", 1420},
    {"chkSonidosBarco", 1430},
    {"txtSonidoBarco", 1440},
    {"cmdExaminarSonidoBarco", 1450},
    {"chkSonidosHundido", 1460},
    {"txtSonidoHundido", 1470},
    {"cmdExaminarSonidoHundido", 1480},
    {"chkAlertaSonido", 1490},
    {"txtAlertaSonido", 1500},
    {"cmdExaminarSonidoAlerta", 1510},
    {"chkAlertaMsgBox", 1520},
    {"txtAlertaMensajeMsgBox", 1530},
    {"chkAlertaHistorial", 1540},
    {"txtAlertaMensajeHistorial", 1550},
    {"cmdAceptar", 1560},
    {"cmdCancelar", 1570},
};

// The text a popup shows, paragraphs separated by one line break.
QString Plano(const QString& whatsThis) {
    return QTextDocumentFragment::fromHtml(whatsThis).toPlainText();
}
QString Esperado(int numero) {
    return TextoEmergente(numero).replace(QStringLiteral("\n\n"), QStringLiteral("\n"));
}

// A dialog shaped like the real ones: controls named and numbered.
class DialogoDePrueba : public QDialog {
public:
    explicit DialogoDePrueba(const std::vector<Control>& tabla) {
        setWindowFlag(Qt::WindowContextHelpButtonHint, true);
        for (const Control& c : tabla) {
            auto* w = new QPushButton(QString::fromLatin1(c.nombre), this);
            w->setObjectName(QString::fromLatin1(c.nombre));
            w->setProperty(kPropiedadAyudaEmergente, c.numero);
        }
        ayuda.Activar();
    }
    AyudaDeDialogo ayuda{this};
};

class Emergentes : public ::testing::Test {
protected:
    void SetUp() override {
        carpeta.CopiarRecursos();
        original = strArchivoAyuda();
    }
    void TearDown() override { strArchivoAyuda() = original; }
    prueba::CarpetaTemporal carpeta;
    QString original;
};

TEST_F(Emergentes, CadaControlDeLaTablaMuestraSuTexto) {
    for (const auto* tabla : {&kTabla, &kTablaOpciones}) {
        DialogoDePrueba d(*tabla);
        for (const Control& c : *tabla) {
            auto* w = d.findChild<QWidget*>(QString::fromLatin1(c.nombre));
            ASSERT_NE(w, nullptr);
            const QString esperado = TextoEmergente(c.numero);
            EXPECT_FALSE(esperado.isEmpty()) << c.numero;
            EXPECT_EQ(Plano(w->whatsThis()), Esperado(c.numero)) << c.nombre;
        }
    }
}

TEST_F(Emergentes, EditorDeFlotaMismoTextoEnTodasLasCasillasYOrientaciones) {
    QDialog d;
    AyudaDeDialogo ayuda(&d);
    std::vector<QWidget*> casillas;
    for (int k = 0; k < 100; ++k) {
        auto* img = new QLabel(&d);
        img->setObjectName(QStringLiteral("imgCelda%1").arg(k));
        img->setProperty(kPropiedadAyudaEmergente, 1010);
        casillas.push_back(img);
    }
    auto* h = new QRadioButton(QStringLiteral("Horizontal"), &d);
    auto* v = new QRadioButton(QStringLiteral("Vertical"), &d);
    h->setProperty(kPropiedadAyudaEmergente, 1000);
    v->setProperty(kPropiedadAyudaEmergente, 1000);
    auto* sin = new QCheckBox(&d); // no popup number: left alone
    sin->setWhatsThis(QStringLiteral("propio"));
    ayuda.Activar();

    const QString casilla = Esperado(1010);
    ASSERT_FALSE(casilla.isEmpty());
    for (QWidget* w : casillas)
        EXPECT_EQ(Plano(w->whatsThis()), casilla);
    EXPECT_EQ(Plano(h->whatsThis()), Esperado(1000));
    EXPECT_EQ(h->whatsThis(), v->whatsThis());
    EXPECT_EQ(sin->whatsThis(), QStringLiteral("propio"));
    for (int n : {1020, 1030})
        EXPECT_FALSE(TextoEmergente(n).isEmpty()) << n;
}

TEST_F(Emergentes, ControlesAnadidosDespuesSeCubrenAlMostrar) {
    QDialog d;
    AyudaDeDialogo ayuda(&d);
    auto* tarde = new QPushButton(&d);
    tarde->setProperty(kPropiedadAyudaEmergente, 1150);
    d.show();
    EXPECT_EQ(Plano(tarde->whatsThis()), Esperado(1150));
    d.hide();
}

TEST_F(Emergentes, MayusF1EntraEnModoQueEsEsto) {
    DialogoDePrueba d(kTabla);
    auto* sinTexto = new QPushButton(&d); // the key reaches the dialog from it
    d.show();
    QTest::keyClick(sinTexto, Qt::Key_F1, Qt::ShiftModifier);
    EXPECT_TRUE(QWhatsThis::inWhatsThisMode());
    QWhatsThis::leaveWhatsThisMode();
    QTest::keyClick(sinTexto, Qt::Key_F1); // plain F1 is not ours
    EXPECT_FALSE(QWhatsThis::inWhatsThisMode());
    d.hide();
}

TEST_F(Emergentes, CadenaDeAyudaRestauradaAlCerrar) {
    const QString antes = strArchivoAyuda();
    {
        DialogoDePrueba d(kTablaOpciones);
        EXPECT_EQ(strArchivoAyuda(), antes + QStringLiteral("::/popups.txt"));
        EXPECT_EQ(d.ayuda.strArchivoAyudaGuardado(), antes);
    }
    EXPECT_EQ(strArchivoAyuda(), antes);
}

TEST_F(Emergentes, DialogosAnidadosNoAlarganDosVecesYSeCierranEnCualquierOrden) {
    const QString antes = strArchivoAyuda();
    const QString alargada = antes + QStringLiteral("::/popups.txt");
    for (bool primeroElPrimero : {true, false}) {
        auto a = std::make_unique<DialogoDePrueba>(kTabla);
        auto b = std::make_unique<DialogoDePrueba>(kTablaOpciones);
        EXPECT_EQ(strArchivoAyuda(), alargada);
        // The inner dialog still finds its popups.
        auto* w = b->findChild<QWidget*>(QStringLiteral("cmdAceptar"));
        EXPECT_EQ(Plano(w->whatsThis()), Esperado(1560));
        if (primeroElPrimero)
            a.reset();
        else
            b.reset();
        EXPECT_EQ(strArchivoAyuda(), alargada);
        a.reset();
        b.reset();
        EXPECT_EQ(strArchivoAyuda(), antes);
    }
}

TEST_F(Emergentes, LectorDeTemas) {
    QFile f(carpeta.archivo(QStringLiteral("ayuda/popups.txt")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("; comentario\n"
            "texto suelto antes del primer tema\n"
            ".topic 7\n"
            "Primera l\xc3\xadnea\n"
            "  sigue el p\xc3\xa1rrafo\n"
            "\n"
            "; nota interna\n"
            "Segundo <b>p\xc3\xa1rrafo</b> & m\xc3\xa1s\n"
            "\n\n"
            ".topic 8\n"
            ".topic x\n"
            "sin n\xc3\xbamero v\xc3\xa1lido\n");
    f.close();
    const QString archivo = QStringLiteral("ayuda/index.html::/popups.txt");
    EXPECT_EQ(TextoEmergente(archivo, 7),
              QStringLiteral("Primera línea sigue el párrafo\n\nSegundo <b>párrafo</b> & más"));
    EXPECT_EQ(TextoEmergente(archivo, 8), QString());
    EXPECT_EQ(TextoEmergente(archivo, 9), QString());
    // Without "::/" there is no topic file to read.
    EXPECT_EQ(TextoEmergente(QStringLiteral("ayuda/index.html"), 7), QString());
    EXPECT_EQ(TextoEmergente(QStringLiteral("ayuda/index.html::/no-existe.txt"), 7), QString());

    // Markup in a text is shown as written, not interpreted.
    QDialog d;
    auto* w = new QPushButton(&d);
    w->setProperty(kPropiedadAyudaEmergente, 7);
    AyudaDeDialogo ayuda(&d);
    ayuda.Activar();
    EXPECT_TRUE(Plano(w->whatsThis()).contains(QStringLiteral("Segundo <b>párrafo</b> & más")));
}

TEST_F(Emergentes, SinArchivoDeTemasLosControlesQuedanSinTexto) {
    QFile::remove(carpeta.archivo(QStringLiteral("ayuda/popups.txt")));
    DialogoDePrueba d(kTabla);
    for (const Control& c : kTabla)
        EXPECT_TRUE(d.findChild<QWidget*>(QString::fromLatin1(c.nombre))->whatsThis().isEmpty());
}

TEST(RutaAyuda, RelativaAlProgramaYAbsolutaTalCual) {
    prueba::CarpetaTemporal carpeta;
    EXPECT_EQ(RutaArchivoAyuda(QStringLiteral("ayuda/index.html::/popups.txt")),
              carpeta.archivo(QStringLiteral("ayuda/index.html")));
    EXPECT_EQ(RutaArchivoAyuda(QStringLiteral("/otra/ayuda.html")),
              QStringLiteral("/otra/ayuda.html"));
}

} // namespace
