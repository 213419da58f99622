#pragma once
// A private DHT of three nodes on 127.0.0.1 for the invitation code's
// tests: each a brumaria_nodo_dht process that says "listo <port>" once it
// listens, the later ones bootstrapping from the earlier.
#include "carpeta_temporal.h"

#include <QProcess>
#include <QStringList>
#include <array>

namespace brumaria::prueba {

class RedDeEncuentro {
public:
    explicit RedDeEncuentro(const QString& programa) {
        QStringList arranque;
        for (QProcess& n : nodos_) {
            QStringList args{QStringLiteral("--escuchar"), QStringLiteral("127.0.0.1:0"),
                             QStringLiteral("--red-privada")};
            if (!arranque.isEmpty()) args << QStringLiteral("--arranque") << arranque.join(u',');
            n.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            n.start(programa, args);
            if (!n.waitForStarted(5000) || !n.waitForReadyRead(5000)) return;
            const QByteArray linea = n.readLine().trimmed();
            if (!linea.startsWith("listo ")) return;
            arranque << QStringLiteral("127.0.0.1:") + QString::fromLatin1(linea.mid(6));
        }
        direcciones_ = arranque;
    }
    ~RedDeEncuentro() {
        for (QProcess& n : nodos_) n.terminate();
        for (QProcess& n : nodos_)
            if (!n.waitForFinished(3000)) n.kill();
    }
    RedDeEncuentro(const RedDeEncuentro&) = delete;
    RedDeEncuentro& operator=(const RedDeEncuentro&) = delete;

    bool blnLista() const { return direcciones_.size() == int(std::size(nodos_)); }
    // "127.0.0.1:port" of each node.
    const QStringList& direcciones() const { return direcciones_; }
    // red.ini for a copy of the game in `carpeta`: this DHT, no STUN, no relay.
    bool EscribirAjustes(const QString& carpeta) const {
        return EscribirArchivo(carpeta + QStringLiteral("/red.ini"),
                               "[Internet]\nstun=\nturn=\ndht=" +
                                   direcciones_.join(u' ').toUtf8() + "\ndht_privada=true\n");
    }

private:
    std::array<QProcess, 3> nodos_;
    QStringList direcciones_;
};

} // namespace brumaria::prueba
