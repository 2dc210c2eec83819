// libFuzzer target for the JPEG codec module: its code linked in, called through the
// reader's request record as the program calls the loaded module.
#include "Imagen_fuzz.h"

#include "image/Lector_jpg.h"

extern "C" int _Lee_JPG(const char* nombre, TRegistroJPG* registro);
extern "C" const char* _Get_JPG_Error();

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano) {
    fuzz::LeePorNombre(datos, tamano, "Error reading JPG", [](const char* nombre, TDibIG& img) {
        return LeeJPGcon({_Lee_JPG, _Get_JPG_Error}, nombre, img, nullptr);
    });
    return 0;
}
