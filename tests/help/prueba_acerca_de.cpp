// The about box: version, icon and the single non-modal box.
#include "carpeta_temporal.h"
#include "impresion.h"
#include "ui/help/acerca_de.h"
#include "ui/help/ayuda.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace brumaria;

namespace {

TEST(Version, SeMuestranMayorMenorYRevision) {
    EXPECT_EQ(strVersion(QStringLiteral("1.2.7.3")), QStringLiteral("Versión 1.2.3"));
    EXPECT_EQ(strVersion(QStringLiteral("01.002.0.0030")), QStringLiteral("Versión 1.2.30"));
    EXPECT_EQ(strVersion(QStringLiteral("2.5")), QStringLiteral("Versión 2.5.0"));
}

TEST(AcercaDe, UnaSolaCajaNoModalConLaVersionYElIcono) {
    prueba::CarpetaTemporal carpeta;
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
    QTest::mouseClick(caja->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(AcercaDeAbierto(), nullptr);
}

} // namespace
