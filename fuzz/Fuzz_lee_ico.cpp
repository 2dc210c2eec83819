// libFuzzer target for the icon reader: the input as an icon file (directory, BMP and
// PNG images, mask, reduction to 8 bits), and every image of its directory decoded on
// its own as the icon export's readers take them.
#include "Imagen_fuzz.h"

#include "image/Lector_ico.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano) {
    fuzz::LeePorNombre(datos, tamano, "Error extracting icon",
                       [](const char* nombre, TDibIG& img) { return LeeICO(nombre, img, nullptr); });
    const char* nombre = fuzz::FicheroDeEntrada(datos, tamano);
    std::vector<TImagenDirectorio> imagenes;
    if (tamano > (1u << 22) || !ListaICO(nombre, imagenes)) return 0;
    for (size_t i = 0; i < imagenes.size() && i < 16; ++i) {
        TImagenIcono icono;
        try {
            if (!DecodificaICO(nombre, i, icono)) continue;
        } catch (const TXTextoQOR&) {
            continue; // an allocation refused by the system is reported this way
        }
        if (icono.color.Ancho() != imagenes[i].ancho || icono.mascara.Ancho() != icono.color.Ancho())
            __builtin_trap();
        fuzz::UsaImagen(icono.color);
    }
    return 0;
}
