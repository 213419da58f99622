// Replays the fuzzers' seed corpus through the same entry points, so every
// ordinary run checks the inputs that once mattered.
#include "entradas.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

int Replay(const char* carpeta, int (*entrada)(const std::uint8_t*, std::size_t)) {
    QDir dir(QStringLiteral(BRUMARIA_CORPUS_DIR "/") + QString::fromLatin1(carpeta));
    int n = 0;
    const auto archivos = dir.entryList(QDir::Files);
    for (const QString& nombre : archivos) {
        QFile f(dir.filePath(nombre));
        if (!f.open(QIODevice::ReadOnly)) continue;
        const QByteArray datos = f.readAll();
        entrada(reinterpret_cast<const std::uint8_t*>(datos.constData()),
                static_cast<std::size_t>(datos.size()));
        ++n;
    }
    return n;
}

} // namespace

TEST(Corpus, MarcosYDatagramas) {
    EXPECT_GT(Replay("marcos", brumaria::fuzz::EntradaMarcos), 0);
    EXPECT_GT(Replay("descubrimiento", brumaria::fuzz::EntradaDescubrimiento), 0);
}

TEST(Corpus, Mensajes) {
    EXPECT_GT(Replay("mensajes", brumaria::fuzz::EntradaMensajes), 0);
}
