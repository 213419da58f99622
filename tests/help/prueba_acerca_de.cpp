// The about box: version, links and the single non-modal box.
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
    EXPECT_EQ(strVersion(QStringLiteral("1.2.7.3")), QStringLiteral("Versión 1.2.3"));
    EXPECT_EQ(strVersion(QStringLiteral("01.002.0.0030")), QStringLiteral("Versión 1.2.30"));
    EXPECT_EQ(strVersion(QStringLiteral("2.5")), QStringLiteral("Versión 2.5.0"));
}

// Links go to a recorder, never to the desktop.
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

TEST_F(AcercaDe, VersionDelProgramaYEnlacesDeCorreoYWeb) {
    FrmAcercaDe caja;
    EXPECT_EQ(caja.findChild<QLabel*>(QStringLiteral("lblVersion"))->text(),
              strVersion(QStringLiteral(BRUMARIA_VERSION_ESPERADA)));
    EXPECT_FALSE(caja.findChild<QLabel*>(QStringLiteral("picIcon"))->pixmap().isNull());
    caja.show();
    QTest::mouseClick(caja.lblEmail(), Qt::LeftButton);
    QTest::mouseClick(caja.lblWeb(), Qt::LeftButton);
    QTest::mouseClick(caja.lblWeb(), Qt::RightButton); // not a click on the link
    QTest::keyClick(caja.lblWeb(), Qt::Key_Space);
    EXPECT_EQ(abiertos, (QList<QUrl>{QUrl(QStringLiteral("mailto:brumaria@example.org")),
                                     QUrl(QStringLiteral("https://example.org/brumaria")),
                                     QUrl(QStringLiteral("https://example.org/brumaria"))}));
    EXPECT_TRUE(caja.isVisible());
}

TEST_F(AcercaDe, UnaSolaCajaNoModalQueAceptarCierra) {
    QWidget principal;
    principal.show();
    MostrarAcercaDe(&principal);
    FrmAcercaDe* caja = AcercaDeAbierto();
    ASSERT_NE(caja, nullptr);
    EXPECT_TRUE(caja->isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    MostrarAcercaDe(&principal);
    EXPECT_EQ(principal.findChildren<FrmAcercaDe*>(), QList<FrmAcercaDe*>{caja});
    QTest::mouseClick(caja->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(AcercaDeAbierto(), nullptr);
}

TEST(Enlaces, FallaEnSilencioYNoAbreUnoVacio) {
    int llamadas = 0;
    auto previo = InstalarAbridorEnlaces([&](const QUrl&) {
        ++llamadas;
        return false; // the desktop could not open it
    });
    AbrirEnlace(QStringLiteral("https://example.org/brumaria"));
    AbrirEnlace(QString());
    EXPECT_EQ(llamadas, 1);
    InstalarAbridorEnlaces(previo);
}

} // namespace
