// The game's port mapping alone, for the lab: asks the home's router to
// open a port, listens on it as a host would, and says every change.
//
//   abrir_puerto <puerto> <arriendo en s>
//
// Prints "estado <n> <what the host is told>" at each change; reads
// "cerrar" (the session ends), "salir" (the program closes) and "terminar"
// (both at once, as the game's window closing ends its session) on stdin.
// Whoever connects to the port is greeted with "hola".
#include "net/mapeo_puertos.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTcpServer>
#include <QTcpSocket>
#include <cstdio>
#include <memory>
#include <unistd.h>

using brumaria::red::MapeoPuertos;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "uso: abrir_puerto <puerto> <arriendo en s>\n");
        return 64;
    }
    const auto puerto = static_cast<quint16>(QString::fromLatin1(argv[1]).toUInt());
    QTcpServer servidor;
    if (!servidor.listen(QHostAddress::Any, puerto)) return 1;
    QObject::connect(&servidor, &QTcpServer::newConnection, [&] {
        while (QTcpSocket* s = servidor.nextPendingConnection()) {
            s->write("hola\n");
            s->disconnectFromHost();
            QObject::connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
        }
    });
    auto m = std::make_unique<MapeoPuertos>();
    MapeoPuertos::Tiempos t;
    t.intArriendoS = QString::fromLatin1(argv[2]).toInt();
    m->FijarTiempos(t);
    QObject::connect(m.get(), &MapeoPuertos::cambiado, [&] {
        std::printf("estado %d %s\n", static_cast<int>(m->estado()),
                    m->strTextoParaElAnfitrion().toUtf8().constData());
        std::fflush(stdout);
    });
    QSocketNotifier entrada(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&entrada, &QSocketNotifier::activated, [&] {
        char linea[64] = {};
        const ssize_t n = read(STDIN_FILENO, linea, sizeof linea - 1);
        const QByteArray orden = QByteArray(linea, n > 0 ? int(n) : 0).trimmed();
        if (orden == "cerrar" || orden == "terminar") m->Cerrar();
        if (orden == "salir" || orden == "terminar" || n <= 0) app.quit();
    });
    m->Abrir(puerto);
    app.exec();
    m.reset(); // as the game closing: the mapping goes, or by its lease
    return 0;
}
