#include "ui/main/aplicacion.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace brumaria {
namespace {

constexpr int kSenales[] = {SIGTERM, SIGHUP, SIGINT};

// The handler only wakes the event loop through this pipe: nothing else is
// safe inside a signal handler, and the save must run on the window's thread.
int tuberia[2] = {-1, -1};

void AlRecibirSenal(int) {
    const int guardado = errno;
    const char c = 1;
    (void)!::write(tuberia[1], &c, 1);
    errno = guardado;
}

} // namespace

FinDeSesion::FinDeSesion(Aplicacion& juego) {
    auto guardar = [&juego] {
        if (!juego.principal.blnCerrando) juego.ventana.GuardarOpciones();
    };
#ifndef QT_NO_SESSIONMANAGER
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        connect(app, &QGuiApplication::commitDataRequest, this,
                [guardar](QSessionManager&) { guardar(); });
#endif
    connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this, guardar);

    if (::pipe2(tuberia, O_CLOEXEC | O_NONBLOCK) != 0) return;
    auto* aviso = new QSocketNotifier(tuberia[0], QSocketNotifier::Read, this);
    connect(aviso, &QSocketNotifier::activated, this, [&juego] {
        char c;
        while (::read(tuberia[0], &c, 1) > 0) {
        }
        // The close ends every wait and the connection, saves the options and
        // closes the other windows, a box of the start-up among them; quitting
        // then leaves any modal loop the close left running.
        juego.ventana.close();
        QCoreApplication::quit();
    });
    struct sigaction accion {};
    accion.sa_handler = AlRecibirSenal;
    sigemptyset(&accion.sa_mask);
    accion.sa_flags = SA_RESTART;
    for (const int s : kSenales)
        ::sigaction(s, &accion, nullptr);
}

FinDeSesion::~FinDeSesion() {
    for (const int s : kSenales)
        std::signal(s, SIG_DFL);
    qDeleteAll(findChildren<QSocketNotifier*>()); // before its descriptor goes
    for (int& fd : tuberia) {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
}

} // namespace brumaria
