// The version the about box shows.
#include "impresion.h"
#include "ui/help/acerca_de.h"

#include <gtest/gtest.h>

using namespace brumaria;

namespace {

TEST(Version, SeMuestranMayorMenorYRevision) {
    EXPECT_EQ(strVersion(QStringLiteral("1.2.7.3")), QStringLiteral("Versión 1.2.3"));
    EXPECT_EQ(strVersion(QStringLiteral("01.002.0.0030")), QStringLiteral("Versión 1.2.30"));
    EXPECT_EQ(strVersion(QStringLiteral("2.5")), QStringLiteral("Versión 2.5.0"));
}

} // namespace
