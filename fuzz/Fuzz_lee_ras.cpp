// libFuzzer target for the Sun raster reader: the input as a raster file.
#include "Imagen_fuzz.h"

#include "image/Lector_ras.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano) {
    fuzz::LeePorNombre(
        datos, tamano,
        "Error reading RAS: ", [](const char* nombre, TDibIG& img) { return LeeRAS(nombre, img, nullptr); },
        MideRAS);
    return 0;
}
