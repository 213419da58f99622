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

TEST(AcercaDe, UnaSolaCajaNoModalConLaVersionYLosEnlaces) {
    prueba::CarpetaTemporal carpeta;
    QList<QUrl> abiertos; // links go to a recorder, never to the desktop
    const AbridorEnlaces previo = InstalarAbridorEnlaces([&](const QUrl& u) {
        abiertos << u;
        return true;
    });
    QWidget principal;
    principal.show();
    MostrarAcercaDe(&principal);
    MostrarAcercaDe(&principal);
    FrmAcercaDe* caja = AcercaDeAbierto();
    ASSERT_NE(caja, nullptr);
    EXPECT_EQ(principal.findChildren<FrmAcercaDe*>(), QList<FrmAcercaDe*>{caja});
    EXPECT_TRUE(caja->isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(caja->findChild<QLabel*>(QStringLiteral("lblVersion"))->text(),
              strVersion(QStringLiteral(BRUMARIA_VERSION_ESPERADA)));
    EXPECT_FALSE(caja->findChild<QLabel*>(QStringLiteral("picIcon"))->pixmap().isNull());
    QTest::mouseClick(caja->lblEmail(), Qt::LeftButton);
    QTest::mouseClick(caja->lblWeb(), Qt::LeftButton);
    QTest::mouseClick(caja->lblWeb(), Qt::RightButton); // not a click on the link
    QTest::keyClick(caja->lblWeb(), Qt::Key_Space);
    AbrirEnlace(QString()); // an empty link opens nothing
    EXPECT_EQ(abiertos, (QList<QUrl>{QUrl(QStringLiteral("mailto:brumaria@example.org")),
                                     QUrl(QStringLiteral("https://example.org/brumaria")),
                                     QUrl(QStringLiteral("https://example.org/brumaria"))}));
    QTest::mouseClick(caja->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(AcercaDeAbierto(), nullptr);
    InstalarAbridorEnlaces(previo);
}

} // namespace
