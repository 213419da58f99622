// The Config.dat fuzzer's seed corpus through its own entry point, which
// aborts on any save that changes what the player did not change.
#include "entradas_config.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

TEST(Corpus, ConfigDat) {
    const QDir dir(QStringLiteral(BRUMARIA_CORPUS_CONFIG));
    int n = 0;
    for (const QString& nombre : dir.entryList(QDir::Files)) {
        QFile f(dir.filePath(nombre));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << nombre.toStdString();
        const QByteArray d = f.readAll();
        brumaria::fuzz::EntradaConfig(reinterpret_cast<const std::uint8_t*>(d.constData()),
                                      std::size_t(d.size()));
        ++n;
    }
    EXPECT_GE(n, 20);
}
