#pragma once
// Carries the game's own link (its frames, unchanged) over the encrypted
// stream between the two friends. The game still speaks TCP, but only to
// this computer: the host's session listens on 127.0.0.1 and the tunnel
// connects to it; on the guest's side the tunnel listens on 127.0.0.1 and
// the game joins there. Everything that leaves the computer is
// secretstream records over the ICE link, which the caller hands in and
// out through `enviar` and Recibido().
#include "net/invitacion/canal_cifrado.h"

#include <QByteArray>
#include <QObject>
#include <functional>
#include <memory>

class QTcpServer;
class QTcpSocket;

namespace brumaria::red::invitacion {

class Tunel : public QObject {
    Q_OBJECT
public:
    // How the tunnel ended; each is told once.
    enum class Fin {
        JuegoCerro,   // the game closed its link (a goodbye went to the friend)
        AmigoCerro,   // the friend closed his side cleanly
        Alterado,     // a record failed authentication: someone on the path
        Desbordado,   // more waiting than any match sends: not our game
        EnlaceCaido,  // the ICE link went without a goodbye
        SinJuego      // the game's socket could not be reached
    };
    Q_ENUM(Fin)

    // enviar: hands bytes to the ICE link; false when it cannot take them.
    // The stream's header goes out at once.
    Tunel(const ClavesSesion& claves, std::function<bool(QByteArrayView)> enviar,
          QObject* parent = nullptr);
    ~Tunel() override;

    // Host: the session's own listener on this computer.
    void ConectarAlJuego(quint16 puerto);
    // Guest: listens on 127.0.0.1 for the game's join; the port, 0 if none.
    quint16 EscucharParaElJuego();

    // Bytes from the ICE link, and its loss.
    void Recibido(QByteArrayView cifrado);
    void EnlaceCaido();
    // Ends without telling (the caller is going away or gave up).
    void Cerrar();

    bool blnTerminado() const { return terminado_; }

signals:
    void terminado(brumaria::red::invitacion::Tunel::Fin fin);

private:
    void TomarSocket(QTcpSocket* s);
    void LeerDelJuego();
    void EntregarAlJuego();
    void Terminar(Fin fin);

    CanalCifrado canal_;
    std::function<bool(QByteArrayView)> enviar_;
    QTcpServer* servidor_ = nullptr;
    QTcpSocket* juego_ = nullptr;
    bool juegoListo_ = false;
    // The friend's bytes for a game socket not connected yet.
    QByteArray pendiente_;
    bool terminado_ = false;
};

// What one side may hold for the other before the game reads it: far
// beyond a match (whose frames are at most 16 KiB and come one at a time),
// so only a peer that floods reaches it.
inline constexpr qint64 kMaxPendienteTunel = 1024 * 1024;

} // namespace brumaria::red::invitacion
