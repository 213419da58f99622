#pragma once
// The few types the invitation's pieces pass each other: keys, and the
// ICE description one side gathers and the other side is given.
#include <QByteArray>
#include <QHostAddress>
#include <array>
#include <cstdint>
#include <vector>

namespace brumaria::red::invitacion {

// A 32-byte key or seed (libsodium's and ed25519's size).
using Clave32 = std::array<std::uint8_t, 32>;

// One ICE candidate, as gathered by libnice (component 1, UDP only).
struct CandidatoIce {
    enum class Tipo : std::uint8_t { Anfitrion = 0, Reflejado = 1, ReflejadoPar = 2, Retransmitido = 3 };
    Tipo tipo = Tipo::Anfitrion;
    QHostAddress direccion;     // IPv4 or IPv6
    std::uint16_t puerto = 0;
    std::uint32_t prioridad = 0;
    QByteArray fundacion;       // ICE foundation, 1 to 32 characters of [A-Za-z0-9+/]
    bool operator==(const CandidatoIce&) const = default;
};

// What the other side needs to reach us: our ICE credentials and candidates.
struct DescripcionIce {
    QByteArray usuario;  // ufrag, 4 to 256 characters of ICE-chars
    QByteArray clave;    // pwd, 22 to 256 characters of ICE-chars
    std::vector<CandidatoIce> candidatos;
    bool operator==(const DescripcionIce&) const = default;
};

} // namespace brumaria::red::invitacion
