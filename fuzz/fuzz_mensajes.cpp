// libFuzzer target; the body lives in entradas_*.cpp so tests replay the corpus.
#include "entradas.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t tamano) {
    return brumaria::fuzz::EntradaMensajes(datos, tamano);
}
