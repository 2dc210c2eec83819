// libFuzzer target for the macOS icon file's directory: every entry it lists lies inside
// the input, and a PNG entry's sides come from inside its own data.
#include "image/Lector_icns.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano) {
    std::vector<TEntradaICNS> entradas;
    if (!ListaICNS({datos, tamano}, entradas)) return 0;
    for (const TEntradaICNS& e : entradas)
        if (e.tipo.size() != 4 || e.inicio > tamano || e.bytes > tamano - e.inicio ||
            (e.ancho && e.bytes < 24))
            __builtin_trap();
    return 0;
}
