// libFuzzer target for the BMP reader: the input is read as a whole BMP file and,
// past its 14-byte file header, as a bare DIB (the way a DIB sits inside another
// container), both through a memory file.
#include "image/Tdibig.h"
#include "support/Ficheroqor.h"
#include "support/Ficheroqordatos.h"
#include "support/Throw_qor.h"

#include <cstddef>
#include <cstdint>

namespace {

void Lee(const uint8_t* datos, size_t tamano, bool conCabecera) {
    TFicheroQORdatos fichero(fqLeeBinario, reinterpret_cast<const char*>(datos),
                             static_cast<int32_t>(tamano));
    TDibIG img;
    DString error;
    try {
        if (!img.LeeDIB(fichero, conCabecera, error)) {
            if (error.CompareN("Error reading the BMP file.", 27) != 0) __builtin_trap();
            return;
        }
    } catch (const TXTextoQOR&) {
        return; // an allocation refused by the system is reported this way
    }
    // A read image must be safe to use everywhere.
    const int32_t ancho = img.Ancho();
    const int32_t alto = img.AltoAbsoluto();
    uint32_t suma = 0;
    for (int32_t y = -1; y <= alto; y += (alto > 64 ? alto / 16 + 1 : 1))
        for (int32_t x = -1; x <= ancho; x += (ancho > 64 ? ancho / 16 + 1 : 1))
            suma += img.Pixel(x, y) + img.Indice(x, y);
    img.PonPixel(ancho - 1, alto - 1, suma);
    img.IntercambiaRojoAzul();
    img.Convierte(32);
    TFicheroQORdatos salida(fqGrabaBinario);
    if (!img.GrabaDIB(salida, true)) __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano) {
    if (tamano > (1u << 24)) return 0;
    Lee(datos, tamano, true);
    if (tamano > 14) Lee(datos + 14, tamano - 14, false);
    return 0;
}
