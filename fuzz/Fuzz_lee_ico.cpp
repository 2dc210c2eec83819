// libFuzzer target for the icon reader: the input as an icon file (directory, BMP and
// PNG images, mask, reduction to 8 bits).
#include "Imagen_fuzz.h"

#include "image/Lector_ico.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano) {
    fuzz::LeePorNombre(datos, tamano, "Error extracting icon", LeeICO);
    return 0;
}
