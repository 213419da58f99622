#pragma once
// The Config.dat entry point, shared by its libFuzzer target and the test
// that replays its seed corpus.
#include <cstddef>
#include <cstdint>

namespace brumaria::fuzz {

// The bytes as Config.dat: decoded, re-encoded, then loaded and saved from a
// real file; aborts when a save changes what the player did not change.
int EntradaConfig(const std::uint8_t* datos, std::size_t tamano);

} // namespace brumaria::fuzz
