// The help window: default topic, navigation, index, and a missing help.
#include "carpeta_temporal.h"
#include "grabador_mensajes.h"
#include "impresion.h"
#include "platform/visor_ayuda.h"
#include "ui/help/ayuda.h"

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QWidget>
#include <gtest/gtest.h>

using namespace brumaria;

namespace {

class Visor : public ::testing::Test {
protected:
    void TearDown() override {
        delete VisorAyudaAbierto();
        strArchivoAyuda() = original;
    }
    prueba::CarpetaTemporal carpeta;
    prueba::GrabadorMensajes mensajes;
    QString original = strArchivoAyuda();
};

TEST_F(Visor, AyudaAbreElTemaPorDefecto) {
    carpeta.CopiarRecursos();
    QWidget principal;
    MostrarAyuda(&principal);
    VisorAyuda* v = VisorAyudaAbierto();
    ASSERT_NE(v, nullptr);
    EXPECT_TRUE(v->isVisible());
    EXPECT_TRUE(v->ayudaEncontrada());
    EXPECT_EQ(v->windowTitle(), QStringLiteral("Ayuda de Brumaria"));
    EXPECT_EQ(v->temaActual(), QStringLiteral("index.html"));
    EXPECT_TRUE(v->navegador()->toPlainText().contains(QStringLiteral("Bienvenido a Brumaria")));

    // Asked again: the same window, back at the default topic.
    ASSERT_TRUE(v->MostrarTema(QStringLiteral("07-opciones.html")));
    MostrarAyuda(&principal);
    EXPECT_EQ(VisorAyudaAbierto(), v);
    EXPECT_EQ(v->temaActual(), QStringLiteral("index.html"));
    EXPECT_TRUE(mensajes.mensajes().isEmpty());
}

TEST_F(Visor, TrasUnDialogoConEmergentesLaAyudaSigueAbriendoLaPortada) {
    carpeta.CopiarRecursos();
    QWidget principal;
    {
        QDialog opciones;
        AyudaDeDialogo ayuda(&opciones);
        // Even while a dialog has the string pointing at the popup topics.
        MostrarAyuda(&principal);
        EXPECT_EQ(VisorAyudaAbierto()->temaActual(), QStringLiteral("index.html"));
    }
    delete VisorAyudaAbierto();
    MostrarAyuda(&principal);
    EXPECT_EQ(VisorAyudaAbierto()->temaActual(), QStringLiteral("index.html"));
}

TEST_F(Visor, NavegacionEIndice) {
    carpeta.CopiarRecursos();
    QWidget principal;
    MostrarAyuda(&principal);
    VisorAyuda* v = VisorAyudaAbierto();
    auto* atras = v->findChild<QAction*>(QStringLiteral("accAtras"));
    auto* adelante = v->findChild<QAction*>(QStringLiteral("accAdelante"));
    auto* inicio = v->findChild<QAction*>(QStringLiteral("accInicio"));
    ASSERT_TRUE(atras && adelante && inicio);
    EXPECT_FALSE(atras->isEnabled());

    // One index entry per page, the default page first, named by its title.
    const QStringList paginas = QDir(carpeta.archivo(QStringLiteral("ayuda")))
                                    .entryList({QStringLiteral("*.html")}, QDir::Files);
    ASSERT_EQ(v->indice()->count(), paginas.size());
    EXPECT_EQ(v->indice()->item(0)->text(), QStringLiteral("Bienvenido a Brumaria"));

    ASSERT_TRUE(v->MostrarTema(QStringLiteral("06-red.html")));
    EXPECT_EQ(v->indice()->currentItem()->data(Qt::UserRole).toString(),
              QStringLiteral("06-red.html"));
    EXPECT_TRUE(atras->isEnabled());
    atras->trigger();
    EXPECT_EQ(v->temaActual(), QStringLiteral("index.html"));
    EXPECT_TRUE(adelante->isEnabled());
    adelante->trigger();
    EXPECT_EQ(v->temaActual(), QStringLiteral("06-red.html"));
    inicio->trigger();
    EXPECT_EQ(v->temaActual(), QStringLiteral("index.html"));

    emit v->indice()->itemClicked(v->indice()->item(3));
    EXPECT_EQ(v->temaActual(), v->indice()->item(3)->data(Qt::UserRole).toString());
    EXPECT_FALSE(v->MostrarTema(QStringLiteral("no-existe.html")));
    EXPECT_EQ(v->temaActual(), v->indice()->item(3)->data(Qt::UserRole).toString());
}

TEST_F(Visor, AyudaQueFaltaLoDiceLaPropiaVentana) {
    // No resources copied: the folder has no help at all.
    QWidget principal;
    MostrarAyuda(&principal);
    VisorAyuda* v = VisorAyudaAbierto();
    ASSERT_NE(v, nullptr);
    EXPECT_TRUE(v->isVisible());
    EXPECT_FALSE(v->ayudaEncontrada());
    const QString texto = v->navegador()->toPlainText();
    EXPECT_TRUE(texto.contains(QStringLiteral("No se encuentra la ayuda")));
    EXPECT_TRUE(texto.contains(carpeta.archivo(QStringLiteral("ayuda/index.html"))));
    EXPECT_EQ(v->indice()->count(), 0);
    EXPECT_TRUE(v->temaActual().isEmpty());
    EXPECT_FALSE(v->MostrarTema(QStringLiteral("01-como-jugar.html")));
    v->findChild<QAction*>(QStringLiteral("accInicio"))->trigger(); // harmless
    EXPECT_TRUE(mensajes.mensajes().isEmpty());

    // Once the help is there, asking again finds it.
    carpeta.CopiarRecursos();
    MostrarAyuda(&principal);
    EXPECT_TRUE(v->ayudaEncontrada());
    EXPECT_EQ(v->temaActual(), QStringLiteral("index.html"));
}

TEST_F(Visor, TodosLosEnlacesDeLasPaginasLlevanAUnaPagina) {
    const QDir fuente(QStringLiteral(BRUMARIA_AYUDA_FUENTE));
    static const QRegularExpression enlace(QStringLiteral("href=\"([^\"#:]+)(#[^\"]*)?\""));
    for (const QString& p : fuente.entryList({QStringLiteral("*.html")}, QDir::Files)) {
        QFile f(fuente.filePath(p));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(f.readAll());
        EXPECT_TRUE(html.contains(QStringLiteral("<title>"))) << p.toStdString();
        auto it = enlace.globalMatch(html);
        while (it.hasNext()) {
            const QString destino = it.next().captured(1);
            EXPECT_TRUE(fuente.exists(destino))
                << p.toStdString() << " -> " << destino.toStdString();
        }
    }
}

} // namespace
