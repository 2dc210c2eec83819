// libFuzzer target for the PNG reader: the input as a PNG file.
#include "Imagen_fuzz.h"

#include "image/Qor_png.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano) {
    fuzz::LeePorNombre(
        datos, tamano, "Error reading ",
        [](const char* nombre, TDibIG& img) { return LeePNG(nombre, img, nullptr); }, MidePNG);
    return 0;
}
