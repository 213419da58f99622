// libFuzzer target; the body lives in entradas_config.cpp so a test replays the corpus.
#include "entradas_config.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t tamano) {
    return brumaria::fuzz::EntradaConfig(datos, tamano);
}
