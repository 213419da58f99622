#pragma once
// Entry points shared by the libFuzzer targets and the test that replays
// the seed corpus in ordinary runs.
#include <cstddef>
#include <cstdint>

namespace brumaria::fuzz {

// A TCP byte stream: cut into frames (in chunks chosen by the first byte),
// each frame's body read as the handshake or text it claims to be.
int EntradaMarcos(const std::uint8_t* datos, std::size_t tamano);
// One UDP datagram, read as a search query and as an answer.
int EntradaDescubrimiento(const std::uint8_t* datos, std::size_t tamano);
// Lines of game messages fed to the receiving side of a match.
int EntradaMensajes(const std::uint8_t* datos, std::size_t tamano);

} // namespace brumaria::fuzz
