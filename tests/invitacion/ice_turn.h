#pragma once
// A coturn of the test's own on 127.0.0.1: a child process on a free port,
// one user, everything it writes inside the test's temporary folder, and
// killed (with a bounded wait) when the object goes.
#include <QProcess>
#include <QString>
#include <cstdint>

namespace brumaria::prueba {

// A UDP port nobody holds on 127.0.0.1 right now (bound, read, let go).
std::uint16_t PuertoUdpLibre();

class ServidorTurn {
public:
    static constexpr const char* kUsuario = "ana";
    static constexpr const char* kClave = "ballena-faro-nube";
    static constexpr const char* kReino = "brumaria.prueba";

    // carpeta: the test's temporary folder (log, pid file and user database).
    explicit ServidorTurn(const QString& carpeta);
    ~ServidorTurn();
    ServidorTurn(const ServidorTurn&) = delete;
    ServidorTurn& operator=(const ServidorTurn&) = delete;

    // Started and answering a STUN binding request within ms; false when
    // turnserver is missing or never answered.
    bool blnListo(int ms = 5000);
    std::uint16_t puerto() const { return puerto_; }
    QString registro() const; // its log, for a failure message

private:
    QString carpeta_;
    std::uint16_t puerto_ = 0;
    QProcess proceso_;
};

} // namespace brumaria::prueba
