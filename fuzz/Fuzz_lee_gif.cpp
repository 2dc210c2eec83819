// libFuzzer target for the GIF decoder: the input as a GIF file.
#include "Imagen_fuzz.h"

#include "image/Gif.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano) {
    fuzz::LeePorNombre(
        datos, tamano, "Error 2 opening ",
        [](const char* nombre, TDibIG& img) { return LeeGIF(nombre, img, nullptr); }, MideGIF);
    return 0;
}
