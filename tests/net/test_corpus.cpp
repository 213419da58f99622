// Replays the fuzzers' seed corpus (sanitizer builds only) through their
// entry points, which abort on a broken invariant; and whatever parses,
// datagram or game message, writes back to what reads the same.
#include "entradas.h"
#include "net/descubrimiento.h"
#include "net/mensajes.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace brumaria;

namespace {
QList<QByteArray> Corpus(const char* carpeta, int (*entrada)(const std::uint8_t*, std::size_t)) {
    QDir dir(QStringLiteral(BRUMARIA_CORPUS_DIR "/") + QString::fromLatin1(carpeta));
    QList<QByteArray> r;
    for (const QString& nombre : dir.entryList(QDir::Files)) {
        QFile f(dir.filePath(nombre));
        if (!f.open(QIODevice::ReadOnly)) continue;
        r << f.readAll();
        entrada(reinterpret_cast<const std::uint8_t*>(r.back().constData()),
                std::size_t(r.back().size()));
    }
    return r;
}
} // namespace

TEST(Corpus, LoQueSeLeeSeEscribeIgual) {
    EXPECT_FALSE(Corpus("marcos", fuzz::EntradaMarcos).isEmpty());
    int leidos = 0; // the seeds hold a query and an answer
    for (const QByteArray& d : Corpus("descubrimiento", fuzz::EntradaDescubrimiento))
        leidos += (red::LeerRespuesta(d) && red::CodificarRespuesta(*red::LeerRespuesta(d)) == d) +
                  (red::LeerConsulta(d) && red::CodificarConsulta(*red::LeerConsulta(d)) == d);
    EXPECT_GE(leidos, 2);
    int mensajes = 0;
    for (const QByteArray& d : Corpus("mensajes", fuzz::EntradaMensajes))
        for (const QString& l : QString::fromUtf8(d).split(u'\n')) {
            const QString escrito = protocolo::Escribir(protocolo::Leer(l));
            if (escrito.isEmpty()) continue;
            ++mensajes;
            EXPECT_EQ(protocolo::Escribir(protocolo::Leer(escrito)), escrito) << l.toStdString();
        }
    EXPECT_GT(mensajes, 0);
}
