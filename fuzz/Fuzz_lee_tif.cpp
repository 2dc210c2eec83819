// libFuzzer target for the TIFF codec module: its code linked in, called through the
// reader's record in the program's calling order, the read closed after each run.
#include "Imagen_fuzz.h"

#include "image/Lector_tif.h"

extern "C" {
int _Lee_GeoTIFF(const char* nombre, TBufferGeoTIFF* buffer);
int _Lee_Cabecera_TIFF(const char* nombre, TRegistroTIFF* registro);
int _Lee_Bits_TIFF(TRegistroTIFF* registro);
void _Cierra_TIFF(TRegistroTIFF* registro);
const char* _Get_TIFF_Error();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano) {
    static const TEntradasTIFF entradas{_Lee_GeoTIFF, _Lee_Cabecera_TIFF, _Lee_Bits_TIFF, _Cierra_TIFF,
                                        _Get_TIFF_Error};
    fuzz::LeePorNombre(datos, tamano, "Error reading TIF ", [](const char* nombre, TDibIG& img) {
        return LeeTIFcon(entradas, TModuloCodec(), nombre, img, nullptr);
    });
    return 0;
}
