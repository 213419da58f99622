// One node of a private Mainline DHT, for the tests and the network lab:
//
//   brumaria_nodo_dht --escuchar IP:PUERTO [--arranque IP:PUERTO[,IP:PUERTO...]] [--red-privada]
//
// A libtorrent session with the DHT only, listening on that one address
// and bootstrapping from the list (none for the first node). It stores the
// BEP 44 items others put, in memory only: nothing is written to disk.
// Prints "listo <port>" on stdout once it listens, then runs until SIGTERM
// or SIGINT and exits 0.
#include "net/invitacion/cita_dht.h"

#include <libtorrent/alert_types.hpp>
#include <libtorrent/session.hpp>
#include <libtorrent/session_params.hpp>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

namespace lt = libtorrent;

namespace {

int Uso() {
    std::fprintf(stderr, "uso: brumaria_nodo_dht --escuchar IP:PUERTO "
                         "[--arranque IP:PUERTO[,IP:PUERTO...]] [--red-privada]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    std::string escuchar;
    std::string arranque;
    bool blnRedPrivada = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--escuchar" && i + 1 < argc) escuchar = argv[++i];
        else if (arg == "--arranque" && i + 1 < argc) arranque = argv[++i];
        else if (arg == "--red-privada") blnRedPrivada = true;
        else return Uso();
    }
    // One literal address: a name or a list here would listen on more than asked.
    if (escuchar.empty() || escuchar.find(',') != std::string::npos) return Uso();

    // Blocked before libtorrent starts its threads, so they inherit the mask
    // and the signals wait for sigtimedwait below.
    sigset_t senales;
    sigemptyset(&senales);
    sigaddset(&senales, SIGTERM);
    sigaddset(&senales, SIGINT);
    pthread_sigmask(SIG_BLOCK, &senales, nullptr);

    const std::unique_ptr<lt::session> sesion =
        brumaria::red::invitacion::AbrirSesionDht(escuchar, arranque, blnRedPrivada);
    lt::session& ses = *sesion;

    bool blnListo = false;
    int codigo = 0;
    for (;;) {
        const timespec espera{0, 100'000'000};
        const int senal = sigtimedwait(&senales, nullptr, &espera);
        if (senal == SIGTERM || senal == SIGINT) break;
        std::vector<lt::alert*> avisos;
        ses.pop_alerts(&avisos);
        for (lt::alert* a : avisos) {
            if (auto* l = lt::alert_cast<lt::listen_succeeded_alert>(a)) {
                if (l->socket_type == lt::socket_type_t::utp && !blnListo) {
                    blnListo = true;
                    std::printf("listo %d\n", l->port);
                    std::fflush(stdout);
                }
            } else if (auto* f = lt::alert_cast<lt::listen_failed_alert>(a)) {
                if (f->socket_type == lt::socket_type_t::utp) {
                    std::fprintf(stderr, "%s\n", f->message().c_str());
                    codigo = 1;
                }
            }
        }
        if (codigo != 0) break;
    }
    // No torrents, no trackers: the teardown does not wait on the network.
    lt::session_proxy proxy = ses.abort();
    return codigo;
}
