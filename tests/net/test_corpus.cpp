// Replays the fuzzers' seed corpus (sanitizer builds only): every input goes
// through the fuzzers' own entry points, which abort on a broken invariant,
// and what parses must write back to bytes that parse the same.
#include "entradas.h"
#include "net/descubrimiento.h"
#include "net/marco.h"
#include "net/mensajes.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace brumaria;

namespace {

QList<QByteArray> Corpus(const char* carpeta) {
    QDir dir(QStringLiteral(BRUMARIA_CORPUS_DIR "/") + QString::fromLatin1(carpeta));
    QList<QByteArray> r;
    for (const QString& nombre : dir.entryList(QDir::Files)) {
        QFile f(dir.filePath(nombre));
        if (f.open(QIODevice::ReadOnly)) r << f.readAll();
    }
    return r;
}

int Pasar(const QByteArray& d, int (*entrada)(const std::uint8_t*, std::size_t)) {
    return entrada(reinterpret_cast<const std::uint8_t*>(d.constData()), std::size_t(d.size()));
}

} // namespace

TEST(Corpus, LoQueSeLeeSeEscribeIgual) {
    const auto datagramas = Corpus("descubrimiento");
    ASSERT_FALSE(datagramas.isEmpty());
    int leidos = 0;
    for (const QByteArray& d : datagramas) {
        EXPECT_EQ(Pasar(d, fuzz::EntradaDescubrimiento), 0);
        if (const auto r = red::LeerRespuesta(d)) {
            EXPECT_EQ(red::CodificarRespuesta(*r), d);
            ++leidos;
        }
        if (const auto c = red::LeerConsulta(d)) {
            EXPECT_EQ(red::CodificarConsulta(*c), d);
            ++leidos;
        }
    }
    EXPECT_GT(leidos, 0);

    const auto flujos = Corpus("marcos");
    ASSERT_FALSE(flujos.isEmpty());
    for (const QByteArray& d : flujos)
        EXPECT_EQ(Pasar(d, fuzz::EntradaMarcos), 0);

    const auto guiones = Corpus("mensajes");
    ASSERT_FALSE(guiones.isEmpty());
    int mensajes = 0;
    for (const QByteArray& d : guiones) {
        EXPECT_EQ(Pasar(d, fuzz::EntradaMensajes), 0);
        for (const QString& l : QString::fromUtf8(d).split(u'\n')) {
            const auto m = protocolo::Leer(l);
            if (std::holds_alternative<std::monostate>(m)) continue;
            ++mensajes;
            EXPECT_EQ(protocolo::Escribir(protocolo::Leer(protocolo::Escribir(m))),
                      protocolo::Escribir(m))
                << l.toStdString();
        }
    }
    EXPECT_GT(mensajes, 0);
}
