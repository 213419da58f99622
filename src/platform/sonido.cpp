#include "platform/sonido.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLibrary>
#include <QTemporaryDir>
#include <QtEndian>
#include <memory>

namespace brumaria {
namespace {

struct FormatoWav {
    int canales = 0;
    int bitsPorMuestra = 0;
    int bytesPorSegundo = 0;
    int alineacion = 0;
    qsizetype inicioDatos = -1; // offset of the data chunk's payload
    qsizetype tamañoDatos = 0;
};

// Reads the RIFF chunks; false for anything but uncompressed PCM.
bool LeerFormato(const QByteArray& b, FormatoWav& f) {
    if (b.size() < 12 || !b.startsWith("RIFF") || b.mid(8, 4) != "WAVE") return false;
    qsizetype pos = 12;
    bool hayFmt = false;
    while (pos + 8 <= b.size()) {
        const QByteArray id = b.mid(pos, 4);
        const quint32 tam = qFromLittleEndian<quint32>(b.constData() + pos + 4);
        const qsizetype cuerpo = pos + 8;
        if (id == "fmt " && tam >= 16 && cuerpo + 16 <= b.size()) {
            const char* p = b.constData() + cuerpo;
            if (qFromLittleEndian<quint16>(p) != 1) return false; // compressed
            f.canales = qFromLittleEndian<quint16>(p + 2);
            f.bytesPorSegundo = int(qFromLittleEndian<quint32>(p + 8));
            f.alineacion = qFromLittleEndian<quint16>(p + 12);
            f.bitsPorMuestra = qFromLittleEndian<quint16>(p + 14);
            hayFmt = true;
        } else if (id == "data") {
            f.inicioDatos = cuerpo;
            f.tamañoDatos = qMin<qsizetype>(tam, b.size() - cuerpo);
            break;
        }
        pos = cuerpo + tam + (tam & 1);
    }
    return hayFmt && f.inicioDatos >= 0 && f.canales > 0 && f.alineacion > 0 &&
           f.bytesPorSegundo > 0 && (f.bitsPorMuestra == 8 || f.bitsPorMuestra == 16);
}

// True when the last kSilencioFinalMs of the samples are (near) silent.
bool TerminaEnSilencio(const QByteArray& b, const FormatoWav& f) {
    const qsizetype cola = qsizetype(f.bytesPorSegundo) * kSilencioFinalMs / 1000;
    if (f.tamañoDatos < cola) return false;
    const char* p = b.constData() + f.inicioDatos + f.tamañoDatos - cola;
    if (f.bitsPorMuestra == 8) {
        for (qsizetype i = 0; i < cola; ++i)
            if (qAbs(int(quint8(p[i])) - 128) > 2) return false;
    } else {
        for (qsizetype i = 0; i + 1 < cola; i += 2)
            if (qAbs(int(qFromLittleEndian<qint16>(p + i))) > 64) return false;
    }
    return true;
}

QTemporaryDir& CarpetaCache() {
    static QTemporaryDir dir;
    return dir;
}

QString CopiaConSilencio(const QByteArray& b, const FormatoWav& f, const QString& clave) {
    if (!CarpetaCache().isValid()) return {};
    qsizetype relleno = qsizetype(f.bytesPorSegundo) * (kSilencioFinalMs + 20) / 1000;
    relleno -= relleno % f.alineacion;
    QByteArray salida = b.left(f.inicioDatos + f.tamañoDatos);
    if (f.tamañoDatos & 1) salida.append('\0'); // keep the sample frames aligned as written
    salida.append(QByteArray(relleno, f.bitsPorMuestra == 8 ? char(0x80) : '\0'));
    const quint32 datos = quint32(salida.size() - f.inicioDatos);
    qToLittleEndian<quint32>(datos, salida.data() + f.inicioDatos - 4);
    qToLittleEndian<quint32>(quint32(salida.size() - 8), salida.data() + 4);
    const QString ruta = CarpetaCache().filePath(
        QString::fromLatin1(
            QCryptographicHash::hash(clave.toUtf8(), QCryptographicHash::Sha1).toHex()) +
        QStringLiteral(".wav"));
    QFile archivo(ruta);
    if (!archivo.open(QIODevice::WriteOnly) || archivo.write(salida) != salida.size()) return {};
    return ruta;
}

using FnReproducir = void (*)(const QString&);

// The engine module, beside the program or where the build put it; null
// when it cannot be loaded (then sounds are silent).
FnReproducir Reproductor() {
    static const FnReproducir fn = [] {
        const QString junto = QCoreApplication::applicationDirPath() +
                              QStringLiteral("/" BRUMARIA_NOMBRE_MODULO_SONIDO);
        for (const QString& ruta : {junto, QStringLiteral(BRUMARIA_MODULO_SONIDO)}) {
            if (!QFileInfo::exists(ruta)) continue;
            QLibrary modulo(ruta);
            if (auto f = reinterpret_cast<FnReproducir>(modulo.resolve("BrumariaReproducir")))
                return f;
        }
        return FnReproducir(nullptr);
    }();
    return fn;
}

} // namespace

QString strArchivoReproducible(const QString& strArchivo) {
    static QHash<QString, QString> cache; // "path|mtime|size" -> playable file
    const QFileInfo info(strArchivo);
    if (strArchivo.isEmpty() || !info.isFile()) return {};
    const QString clave = info.absoluteFilePath() + QLatin1Char('|') +
                          QString::number(info.lastModified().toMSecsSinceEpoch()) +
                          QLatin1Char('|') + QString::number(info.size());
    if (auto it = cache.constFind(clave); it != cache.constEnd()) return *it;
    QFile archivo(strArchivo);
    if (info.size() > 64 * 1024 * 1024 || !archivo.open(QIODevice::ReadOnly)) return {};
    const QByteArray b = archivo.readAll();
    FormatoWav f;
    QString resultado;
    if (LeerFormato(b, f))
        resultado =
            TerminaEnSilencio(b, f) ? info.absoluteFilePath() : CopiaConSilencio(b, f, clave);
    cache.insert(clave, resultado);
    return resultado;
}

void Sonido(const QString& strArchivo) {
    if (!QCoreApplication::instance()) return;
    const QString ruta = strArchivoReproducible(strArchivo);
    if (ruta.isEmpty()) {
        QApplication::beep();
        return;
    }
    if (const FnReproducir reproducir = Reproductor()) reproducir(ruta);
}

} // namespace brumaria
