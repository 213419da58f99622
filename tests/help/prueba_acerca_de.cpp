// The about box: texts, version, links and the single non-modal box.
#include "carpeta_temporal.h"
#include "impresion.h"
#include "platform/enlaces.h"
#include "ui/help/acerca_de.h"
#include "ui/help/ayuda.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

using namespace brumaria;

namespace {

TEST(Version, SeMuestranMayorMenorYRevision) {
    EXPECT_EQ(strVersion(QStringLiteral("1.2.0.3")), QStringLiteral("Versión 1.2.3"));
    EXPECT_EQ(strVersion(QStringLiteral("1.2.7.3")), QStringLiteral("Versión 1.2.3"));
    EXPECT_EQ(strVersion(QStringLiteral("01.002.0.0030")), QStringLiteral("Versión 1.2.30"));
    EXPECT_EQ(strVersion(QStringLiteral("2.5")), QStringLiteral("Versión 2.5.0"));
}

class AcercaDe : public ::testing::Test {
protected:
    void SetUp() override {
        previo = InstalarAbridorEnlaces([this](const QUrl& u) {
            abiertos << u;
            return true;
        });
    }
    void TearDown() override {
        delete AcercaDeAbierto();
        InstalarAbridorEnlaces(previo);
    }
    prueba::CarpetaTemporal carpeta;
    AbridorEnlaces previo;
    QList<QUrl> abiertos;
};

TEST_F(AcercaDe, TextosYVersionDelPrograma) {
    FrmAcercaDe caja;
    EXPECT_EQ(caja.windowTitle(), QStringLiteral("Acerca de Brumaria"));
    EXPECT_EQ(caja.findChild<QLabel*>(QStringLiteral("lblTitle"))->text(),
              QStringLiteral("Brumaria"));
    EXPECT_EQ(caja.findChild<QLabel*>(QStringLiteral("lblVersion"))->text(),
              strVersion(QStringLiteral(BRUMARIA_VERSION_ESPERADA)));
    for (const char* nombre : {"lblDescription", "lblFreeware", "lblDisclaimer"})
        EXPECT_FALSE(caja.findChild<QLabel*>(QLatin1String(nombre))->text().isEmpty()) << nombre;
    EXPECT_EQ(caja.findChildren<QWidget*>(QStringLiteral("Line1")).size(), 2);
    EXPECT_FALSE(caja.findChild<QLabel*>(QStringLiteral("picIcon"))->pixmap().isNull());
    EXPECT_EQ(caja.findChild<QPushButton*>(QStringLiteral("cmdOK"))->text(),
              QStringLiteral("Aceptar"));
    EXPECT_EQ(caja.lblEmail()->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(caja.lblWeb()->cursor().shape(), Qt::PointingHandCursor);
}

TEST_F(AcercaDe, EnlacesAbrenCorreoYWeb) {
    FrmAcercaDe caja;
    caja.show();
    QTest::mouseClick(caja.lblEmail(), Qt::LeftButton);
    QTest::mouseClick(caja.lblWeb(), Qt::LeftButton);
    QTest::mouseClick(caja.lblWeb(), Qt::RightButton); // not a click on the link
    ASSERT_EQ(abiertos.size(), 2);
    EXPECT_EQ(abiertos[0], QUrl(QStringLiteral("mailto:brumaria@example.org")));
    EXPECT_EQ(abiertos[1], QUrl(QStringLiteral("https://example.org/brumaria")));
    EXPECT_EQ(abiertos[1].toString(), caja.lblWeb()->text());
    EXPECT_TRUE(caja.isVisible());
}

TEST_F(AcercaDe, UnaSolaCajaNoModalQueAceptarCierra) {
    QWidget principal;
    principal.show();
    MostrarAcercaDe(&principal);
    FrmAcercaDe* caja = AcercaDeAbierto();
    ASSERT_NE(caja, nullptr);
    EXPECT_TRUE(caja->isVisible());
    EXPECT_FALSE(caja->isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    MostrarAcercaDe(&principal);
    EXPECT_EQ(AcercaDeAbierto(), caja);
    EXPECT_EQ(principal.findChildren<FrmAcercaDe*>().size(), 1);

    QTest::mouseClick(caja->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(AcercaDeAbierto(), nullptr);
    MostrarAcercaDe(&principal);
    EXPECT_NE(AcercaDeAbierto(), nullptr);
}

TEST(Enlaces, FallaEnSilencio) {
    int llamadas = 0;
    auto previo = InstalarAbridorEnlaces([&](const QUrl&) {
        ++llamadas;
        return false; // the desktop could not open it
    });
    AbrirEnlace(QStringLiteral("https://example.org/brumaria"));
    AbrirEnlace(QString()); // nothing to open
    EXPECT_EQ(llamadas, 1);
    InstalarAbridorEnlaces(previo);
}

} // namespace
