#pragma once
// Opening the game's port on the home router (UPnP IGD, or NAT-PMP when no
// UPnP router answers), so that a friend on the internet can join a hosted
// game without anyone setting the router by hand. Every word with the router is said on a worker thread and under
// a time limit: the window only ever sees the outcome, and a router that
// never answers costs the player nothing but the message that the port
// must be opened by hand.
//
// The mapping is asked for with a lease and refreshed at half of it, so a
// host that crashes leaves the router clean once the lease runs out; a
// router that only takes permanent mappings gets one, removed when the
// session ends or the program closes.
#include <QObject>
#include <QString>
#include <memory>

class QTimer;

namespace brumaria::red {

class MapeoPuertos : public QObject {
    Q_OBJECT
public:
    enum class Estado {
        Inactivo,    // nothing asked, or the mapping was removed
        Preguntando, // waiting for the router
        Abierto,     // both protocols mapped; the public address is known
        Rechazado,   // no router, a refusal, or no answer in time
    };

    struct Tiempos {
        int intLimiteMs = 3000;       // for the router's first answer
        int intArriendoS = 3600;      // lease asked for
        int intEsperaCierreMs = 1000; // at most this long removing at close
    };

    explicit MapeoPuertos(QObject* parent = nullptr);
    // Removes a mapping still held, and waits at most intEsperaCierreMs for
    // every removal still on its way (the session may have just ended).
    ~MapeoPuertos() override;
    MapeoPuertos(const MapeoPuertos&) = delete;
    MapeoPuertos& operator=(const MapeoPuertos&) = delete;

    void FijarTiempos(const Tiempos& t) { tiempos_ = t; }

    // Asks for TCP and UDP `puerto` on the router to this computer's same
    // port. `urlRouter` is the router's description URL; empty, the router
    // is looked for on the local network (never in local-only mode, where
    // only a router description on a loopback address is used).
    void Abrir(quint16 puerto, const QString& urlRouter = {});
    // Removes the mapping, when one is held or being asked for.
    void Cerrar();

    Estado estado() const { return estado_; }
    // What the host is told, in Spanish: the address to give his friend,
    // or why the port must be opened by hand. Empty while idle.
    QString strTextoParaElAnfitrion() const;
    // The same, short enough for the status bar: a refusal says only what
    // to do.
    QString strTextoBreve() const;

signals:
    void cambiado();

private:
    struct Trabajo;
    struct Quitando;
    // Removes a mapping on a worker thread; closing waits for these.
    void QuitarAparte(std::shared_ptr<Trabajo> t);
    void Terminado(bool blnAbierto, const QString& strDireccion, int intCodigo);
    void Renovar();

    Tiempos tiempos_;
    Estado estado_ = Estado::Inactivo;
    quint16 puerto_ = 0;
    QString direccion_;
    int intCodigo_ = 0; // the router's refusal code, -1 no router, -2 no answer
    std::shared_ptr<Trabajo> trabajo_;
    std::shared_ptr<Quitando> quitando_;
    QTimer* limite_;
    QTimer* renovar_;
};

} // namespace brumaria::red
