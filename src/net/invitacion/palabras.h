#pragma once
// The fixed word list of invitation codes (2048 words, 11 bits each).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace brumaria::red::invitacion {

inline constexpr std::size_t kNumPalabras = 2048;
inline constexpr std::size_t kMinLetrasPalabra = 4;
inline constexpr std::size_t kMaxLetrasPalabra = 8;

// The word at that place in the sorted list; empty past its end.
std::string_view PalabraCodigo(std::uint16_t indice);
// Where a word is in the list (lower case a-z as listed); nullopt if absent.
std::optional<std::uint16_t> IndicePalabraCodigo(std::string_view palabra);

} // namespace brumaria::red::invitacion
