// The popups of the game's own dialogs, built as the game builds them.
#include "carpeta_temporal.h"
#include "grabador_mensajes.h"
#include "impresion.h"
#include "ui/help/ayuda.h"

#include <QTextDocumentFragment>
#include <QWidget>
#include <gtest/gtest.h>

#include "core/modprincipal.h"
#include "ui/options/frm_opciones.h"
#include "ui/main/frm_empezar_partida.h"
#include "ui/placement/colocar_barcos.h"

using namespace brumaria;

namespace {

// Every control with a popup number must show that popup's text, and the
// numbers found must be exactly the expected set.
void ComprobarEmergentes(QWidget& dialogo, QList<int> esperados) {
    QList<int> vistos;
    const auto controles = dialogo.findChildren<QWidget*>();
    for (QWidget* w : controles) {
        const QVariant n = w->property(kPropiedadAyudaEmergente);
        if (!n.isValid()) continue;
        vistos << n.toInt();
        const QString texto = TextoEmergente(n.toInt());
        EXPECT_FALSE(texto.isEmpty()) << n.toInt();
        EXPECT_EQ(QTextDocumentFragment::fromHtml(w->whatsThis()).toPlainText(),
                  QString(texto).replace(QStringLiteral("\n\n"), QStringLiteral("\n")))
            << w->objectName().toStdString();
    }
    std::sort(vistos.begin(), vistos.end());
    vistos.erase(std::unique(vistos.begin(), vistos.end()), vistos.end());
    std::sort(esperados.begin(), esperados.end());
    EXPECT_EQ(vistos, esperados);
}

QList<int> Serie(int desde, int hasta) {
    QList<int> r;
    for (int n = desde; n <= hasta; n += 10)
        r << n;
    return r;
}

class DialogosReales : public ::testing::Test {
protected:
    void SetUp() override { carpeta.CopiarRecursos(); }
    prueba::CarpetaTemporal carpeta;
    prueba::GrabadorMensajes mensajes;
    QString antes = strArchivoAyuda();
};

TEST_F(DialogosReales, Opciones) {
    {
        ModOpciones opciones;
        opciones.Opciones = RegistroOpciones::PorDefecto();
        FrmOpciones d(opciones, nullptr);
        EXPECT_EQ(strArchivoAyuda(), antes + kTemasEmergentes);
        EXPECT_TRUE(d.windowFlags().testFlag(Qt::WindowContextHelpButtonHint));
        ComprobarEmergentes(d, Serie(1200, 1570));
    }
    EXPECT_EQ(strArchivoAyuda(), antes);
}

TEST_F(DialogosReales, ColocarBarcos) {
    {
        ModPrincipal principal;
        FrmColocarBarcos d(principal, RegistroOpciones::PorDefecto());
        EXPECT_EQ(strArchivoAyuda(), antes + kTemasEmergentes);
        ComprobarEmergentes(d, {1000, 1010, 1020, 1030});
        int casillas = 0;
        for (QWidget* w : d.findChildren<QWidget*>())
            casillas += w->property(kPropiedadAyudaEmergente).toInt() == 1010;
        EXPECT_EQ(casillas, 100);
    }
    EXPECT_EQ(strArchivoAyuda(), antes);
}

TEST_F(DialogosReales, EmpezarPartida) {
    {
        FrmEmpezarPartida d;
        EXPECT_EQ(strArchivoAyuda(), antes + kTemasEmergentes);
        ComprobarEmergentes(d, Serie(1100, 1160));
    }
    EXPECT_EQ(strArchivoAyuda(), antes);
}

TEST_F(DialogosReales, AnidadosSeCierranEnCualquierOrden) {
    auto a = std::make_unique<FrmEmpezarPartida>();
    ModOpciones opciones;
    opciones.Opciones = RegistroOpciones::PorDefecto();
    auto b = std::make_unique<FrmOpciones>(opciones, nullptr);
    EXPECT_EQ(strArchivoAyuda(), antes + kTemasEmergentes);
    a.reset();
    ComprobarEmergentes(*b, Serie(1200, 1570));
    b.reset();
    EXPECT_EQ(strArchivoAyuda(), antes);
}

TEST_F(DialogosReales, CadenaIntacta) {
    EXPECT_EQ(strArchivoAyuda(), antes);
}

} // namespace
