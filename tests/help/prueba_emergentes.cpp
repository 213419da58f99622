// What's This popups: the topic file they read, Shift+F1, and the help-file
// string that open dialogs extend.
#include "carpeta_temporal.h"
#include "grabador_mensajes.h"
#include "impresion.h"
#include "ui/help/ayuda.h"

#include <QDialog>
#include <QPushButton>
#include <QTest>
#include <QTextDocumentFragment>
#include <QWhatsThis>
#include <gtest/gtest.h>
#include <memory>

using namespace brumaria;

namespace {

// The text a popup shows, and the topic it should show: paragraphs
// separated by one line break.
QString Plano(const QWidget* w) {
    return QTextDocumentFragment::fromHtml(w->whatsThis()).toPlainText();
}
QString Esperado(int numero) {
    return TextoEmergente(numero).replace(QStringLiteral("\n\n"), QStringLiteral("\n"));
}

// A dialog shaped like the real ones: controls numbered, popups activated.
class DialogoDePrueba : public QDialog {
public:
    explicit DialogoDePrueba(std::initializer_list<int> numeros) {
        for (int n : numeros)
            Boton(n);
        ayuda.Activar();
    }
    QPushButton* Boton(int numero) {
        auto* w = new QPushButton(this);
        w->setProperty(kPropiedadAyudaEmergente, numero);
        return w;
    }
    AyudaDeDialogo ayuda{this};
};

class Emergentes : public ::testing::Test {
protected:
    void SetUp() override { carpeta.CopiarRecursos(); }
    void TearDown() override { strArchivoAyuda() = antes; }
    prueba::CarpetaTemporal carpeta;
    prueba::GrabadorMensajes mensajes;
    const QString antes = strArchivoAyuda();
};

TEST_F(Emergentes, AlMostrarseCubreLosControlesNuevosYMayusF1EntraEnQueEsEsto) {
    DialogoDePrueba d{1100};
    QPushButton* tarde = d.Boton(1150);
    auto* sinTexto = new QPushButton(&d); // the key reaches the dialog from it
    d.show();
    EXPECT_EQ(Plano(tarde), Esperado(1150));
    QTest::keyClick(sinTexto, Qt::Key_F1, Qt::ShiftModifier);
    EXPECT_TRUE(QWhatsThis::inWhatsThisMode());
    QWhatsThis::leaveWhatsThisMode();
    QTest::keyClick(sinTexto, Qt::Key_F1); // plain F1 is not ours
    EXPECT_FALSE(QWhatsThis::inWhatsThisMode());
    d.hide();
}

TEST_F(Emergentes, DialogosAnidadosNoAlarganDosVecesYSeCierranEnCualquierOrden) {
    const QString alargada = antes + QStringLiteral("::/popups.txt");
    for (bool primeroElPrimero : {true, false}) {
        auto a = std::make_unique<DialogoDePrueba>(std::initializer_list<int>{1100});
        auto b = std::make_unique<DialogoDePrueba>(std::initializer_list<int>{1560});
        EXPECT_EQ(strArchivoAyuda(), alargada);
        EXPECT_EQ(Plano(b->findChild<QPushButton*>()), Esperado(1560)); // the inner one too
        (primeroElPrimero ? a : b).reset();
        EXPECT_EQ(strArchivoAyuda(), alargada);
        a.reset();
        b.reset();
        EXPECT_EQ(strArchivoAyuda(), antes);
    }
}

TEST_F(Emergentes, LectorDeTemas) {
    ASSERT_TRUE(prueba::EscribirArchivo(carpeta.archivo(QStringLiteral("ayuda/popups.txt")),
                                        "; comentario\n"
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
                                        "sin n\xc3\xbamero v\xc3\xa1lido\n"));
    const QString archivo = QStringLiteral("ayuda/index.html::/popups.txt");
    EXPECT_EQ(TextoEmergente(archivo, 7),
              QStringLiteral("Primera línea sigue el párrafo\n\nSegundo <b>párrafo</b> & más"));
    EXPECT_EQ(TextoEmergente(archivo, 8), QString());
    EXPECT_EQ(TextoEmergente(archivo, 9), QString());
    // Without "::/" there is no topic file to read.
    EXPECT_EQ(TextoEmergente(QStringLiteral("ayuda/index.html"), 7), QString());
    // Markup in a text is shown as written, not interpreted.
    DialogoDePrueba d{7};
    EXPECT_TRUE(
        Plano(d.findChild<QPushButton*>()).contains(QStringLiteral("<b>párrafo</b> & más")));
}

} // namespace
