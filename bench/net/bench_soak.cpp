// Soak run (not a test, not in CI): two copies of the game in two processes,
// each the scripted driver of the two-process tests, play N matches in a row
// in one connection over 127.0.0.1, the host choosing who starts at random
// each time. Reports failed matches, the median match time and how much
// each process's resident memory grew from the first match to the last.
//
//   bench_soak [matches=200] [minutes limit=60]
#include "core/azar.h"
#include "platform/solo_local.h"
#include "medidas.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>

using namespace brumaria;
using prueba::VmRssKiB;

namespace {

// The game's files, beside the program, for each copy's own folder.
void CopiarRecursos(const QString& destino) {
    const QString origen = QStringLiteral(BRUMARIA_BIN_DIR);
    QDirIterator it(origen, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString ruta = it.next();
        const QString relativa = QDir(origen).relativeFilePath(ruta);
        if (QFileInfo(ruta).isExecutable() || relativa == u"Config.dat" ||
            relativa == u"Historial.txt")
            continue;
        const QString a = QDir(destino).filePath(relativa);
        QDir().mkpath(QFileInfo(a).path());
        QFile::copy(ruta, a);
    }
}

// Matches begun so far, as the host's history file tells.
int Empezadas(const QString& carpeta) {
    QFile f(QDir(carpeta).filePath(QStringLiteral("Historial.txt")));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    return int(f.readAll().count("EMPIEZA UNA PARTIDA"));
}

} // namespace

int main(int argc, char** argv) {
    FijarSoloLocal(true);
    // The two copies run with no screen and no desktop bus.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
    QCoreApplication app(argc, argv);
    const int n = argc > 1 ? std::max(1, atoi(argv[1])) : 200;
    const int minutos = argc > 2 ? std::max(1, atoi(argv[2])) : 60;

    QStringList elecciones;
    static const char* const kQuien[] = {"tu", "rival", "azar0", "azar1"};
    for (int i = 0; i < n; ++i)
        elecciones << QString::fromLatin1(kQuien[Azar::intAleatorio(4)]);
    const QString guion = elecciones.join(u',');

    QTemporaryDir dirHost, dirInvitado, encuentros;
    CopiarRecursos(dirHost.path());
    CopiarRecursos(dirInvitado.path());
    QProcess host, invitado;
    QByteArray registroHost, registroInvitado;
    QObject::connect(&host, &QProcess::readyReadStandardError,
                     [&] { registroHost += host.readAllStandardError(); });
    QObject::connect(&invitado, &QProcess::readyReadStandardError,
                     [&] { registroInvitado += invitado.readAllStandardError(); });
    const QString limite = QString::number(minutos * 60 * 1000);
    host.start(QStringLiteral(BRUMARIA_CONDUCTOR),
               {QStringLiteral("host"), dirHost.path(), encuentros.path(), guion, limite});
    invitado.start(
        QStringLiteral(BRUMARIA_CONDUCTOR),
        {QStringLiteral("invitado"), dirInvitado.path(), encuentros.path(), guion, limite});
    if (!host.waitForStarted(10000) || !invitado.waitForStarted(10000)) {
        std::fprintf(stderr, "no arrancan los conductores\n");
        return 1;
    }

    QElapsedTimer reloj;
    reloj.start();
    // At the start of each match: the time and both processes' memory.
    QList<qint64> inicios;
    QList<long> rssHost, rssInvitado;
    while (host.state() != QProcess::NotRunning || invitado.state() != QProcess::NotRunning) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(20);
        const int e = Empezadas(dirHost.path());
        while (inicios.size() < e) {
            inicios << reloj.elapsed();
            rssHost << VmRssKiB(host.processId());
            rssInvitado << VmRssKiB(invitado.processId());
        }
    }
    host.waitForFinished(5000);
    invitado.waitForFinished(5000);
    const qint64 total = reloj.elapsed();
    registroHost += host.readAllStandardError();
    registroInvitado += invitado.readAllStandardError();

    QList<qint64> duraciones;
    for (qsizetype i = 1; i < inicios.size(); ++i)
        duraciones << inicios[i] - inicios[i - 1];
    std::sort(duraciones.begin(), duraciones.end());
    const int fallos = int(registroHost.count("fallo:") + registroInvitado.count("fallo:")) +
                       (host.exitCode() != 0) + (invitado.exitCode() != 0);
    const int jugadas = int(inicios.size());
    // From the start of the second match (start-up's fonts and pictures
    // are not growth) to the start of the last.
    auto crecimiento = [](const QList<long>& rss) {
        const long antes = rss.value(1), despues = rss.isEmpty() ? 0 : rss.back();
        std::printf("%ld -> %ld KiB (%+.1f %%)", antes, despues,
                    antes > 0 ? 100.0 * double(despues - antes) / double(antes) : 0.0);
    };
    std::printf("partidas pedidas %d, empezadas %d, fallos %d (código host %d, invitado %d)\n", n,
                jugadas, fallos + std::max(0, n - jugadas), host.exitCode(), invitado.exitCode());
    std::printf("tiempo total %.1f s, mediana por partida %.2f s\n", double(total) / 1000.0,
                duraciones.isEmpty() ? 0.0 : double(duraciones[duraciones.size() / 2]) / 1000.0);
    std::printf("memoria residente: host ");
    crecimiento(rssHost);
    std::printf(", invitado ");
    crecimiento(rssInvitado);
    std::printf("\n");
    // Where the growth happens: a rise that flattens is a cache filling,
    // a steady one is a leak.
    std::printf("a lo largo (KiB, cada %d partidas):", std::max(1, jugadas / 8));
    for (int i = 0; i < jugadas; i += std::max(1, jugadas / 8))
        std::printf(" %ld/%ld", rssHost[i], rssInvitado[i]);
    std::printf("\n");
    if (fallos > 0) {
        std::fprintf(stderr, "%s\n%s\n", registroHost.right(4000).constData(),
                     registroInvitado.right(4000).constData());
    }
    return fallos == 0 && jugadas == n ? 0 : 1;
}
