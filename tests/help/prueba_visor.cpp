// The help window: default topic, navigation, index, and a missing help.
#include "carpeta_temporal.h"
#include "grabador_mensajes.h"
#include "impresion.h"
#include "platform/visor_ayuda.h"
#include "ui/help/ayuda.h"

#include <QAction>
#include <QDir>
#include <QListWidget>
#include <QTextBrowser>
#include <gtest/gtest.h>

using namespace brumaria;

namespace {

class Visor : public ::testing::Test {
protected:
    void TearDown() override { delete VisorAyudaAbierto(); }
    VisorAyuda* Abrir() {
        MostrarAyuda(&principal);
        return VisorAyudaAbierto();
    }
    void Pulsar(VisorAyuda* v, const char* accion) {
        v->findChild<QAction*>(QLatin1String(accion))->trigger();
    }
    prueba::CarpetaTemporal carpeta;
    prueba::GrabadorMensajes mensajes;
    QWidget principal;
};

// No help installed: the window itself says so. Once it is there, asking
// again finds it: default topic, index, navigation.
TEST_F(Visor, SinAyudaLoDiceYConAyudaPortadaNavegacionEIndice) {
    VisorAyuda* v = Abrir();
    ASSERT_NE(v, nullptr);
    EXPECT_TRUE(v->navegador()->toPlainText().contains(QStringLiteral("No se encuentra la ayuda")));
    EXPECT_TRUE(v->navegador()->toPlainText().contains(carpeta.archivo("ayuda/index.html")));
    EXPECT_EQ(v->indice()->count(), 0);
    Pulsar(v, "accInicio"); // harmless
    carpeta.CopiarRecursos();
    EXPECT_EQ(Abrir(), v);
    EXPECT_TRUE(v->isVisible());
    EXPECT_EQ(v->temaActual(), QStringLiteral("index.html"));
    EXPECT_TRUE(v->navegador()->toPlainText().contains(QStringLiteral("Bienvenido a Brumaria")));
    // One index entry per page, the default page first, named by its title.
    const QStringList paginas = QDir(carpeta.archivo(QStringLiteral("ayuda")))
                                    .entryList({QStringLiteral("*.html")}, QDir::Files);
    ASSERT_EQ(v->indice()->count(), paginas.size());
    EXPECT_EQ(v->indice()->item(0)->text(), QStringLiteral("Bienvenido a Brumaria"));
    ASSERT_TRUE(v->MostrarTema(QStringLiteral("06-red.html")));
    EXPECT_EQ(v->indice()->currentItem()->data(Qt::UserRole).toString(),
              QStringLiteral("06-red.html"));
    Pulsar(v, "accAtras");
    EXPECT_EQ(v->temaActual(), QStringLiteral("index.html"));
    Pulsar(v, "accAdelante");
    EXPECT_EQ(v->temaActual(), QStringLiteral("06-red.html"));
    emit v->indice()->itemClicked(v->indice()->item(3));
    const QString tercero = v->indice()->item(3)->data(Qt::UserRole).toString();
    EXPECT_EQ(v->temaActual(), tercero);
    EXPECT_FALSE(v->MostrarTema(QStringLiteral("no-existe.html")));
    EXPECT_EQ(v->temaActual(), tercero);
    // Asked again, even while a dialog points the string at its popups: the
    // same window, back at the default topic.
    QWidget dialogo;
    AyudaDeDialogo ayuda(&dialogo);
    EXPECT_EQ(Abrir(), v);
    EXPECT_EQ(v->temaActual(), QStringLiteral("index.html"));
    EXPECT_TRUE(mensajes.mensajes().isEmpty());
}

} // namespace
