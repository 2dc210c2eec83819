// libFuzzer target for the BMP reader: the input is read as a whole BMP file and,
// past its 14-byte file header, as a bare DIB (the way a DIB sits inside another
// container), both through a memory file.
#include "Imagen_fuzz.h"

#include "image/Lector_bmp.h"
#include "support/Ficheroqor.h"
#include "support/Ficheroqordatos.h"
#include "support/Throw_qor.h"

#include <cstddef>
#include <cstdint>

namespace {

// With its file header the input is also a file, whose header probe must agree.
void Lee(const uint8_t* datos, size_t tamano, bool conCabecera) {
    TFicheroQORdatos fichero(fqLeeBinario, reinterpret_cast<const char*>(datos),
                             static_cast<int32_t>(tamano));
    TDibIG img;
    try {
        if (const auto leida = img.LeeDIB(fichero, conCabecera); !leida) {
            if (leida.Mensaje().CompareN("Error reading the BMP file.", 27) != 0) __builtin_trap();
            return;
        }
    } catch (const TXTextoQOR&) {
        return; // an allocation refused by the system is reported this way
    }
    if (conCabecera) fuzz::CompruebaMedidas(MideBMP, fuzz::FicheroDeEntrada(datos, tamano), img);
    fuzz::UsaImagen(img);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano) {
    if (tamano > (1u << 24)) return 0;
    Lee(datos, tamano, true);
    if (tamano > 14) Lee(datos + 14, tamano - 14, false);
    return 0;
}
