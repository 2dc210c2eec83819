#include "image/Tdibigformat.h"

#include "image/Gif.h"
#include "image/Lector_bmp.h"
#include "image/Lector_ico.h"
#include "image/Lector_jpg.h"
#include "image/Lector_ras.h"
#include "image/Lector_tif.h"
#include "image/Qor_png.h"
#include "support/Reloj_tierra.h"
#include "support/Rutas.h"

#include <exception>

namespace {

constexpr TFormatoImagen formatos[] = {
    {"BMP", LeeBMP, MideBMP},
    {"JPG", LeeJPG, MideJPG},
    {"JPEG", LeeJPG, MideJPG},
    {"JPE", LeeJPG, MideJPG},
    {"TIF", LeeTIF, MideTIF},
    {"TIFF", LeeTIF, MideTIF},
    {"ICO", LeeICO, MideICO},
    {"PNG", LeePNG, MidePNG},
    {"GIF", LeeGIF, MideGIF},
    {"RAS", LeeRAS, MideRAS},
    {"RS", LeeRAS, MideRAS},
    // Map formats of other programs of the maker.
    {"ECW", nullptr, nullptr},
    {"SID", nullptr, nullptr},
    {"MPR", nullptr, nullptr},
    {"NOS", nullptr, nullptr},
    {"NOL", nullptr, nullptr},
    {"NO1", nullptr, nullptr},
    {"KAP", nullptr, nullptr},
};

} // namespace

const TFormatoImagen* FormatoImagen(const char* nombre) {
    const DString extension = Extension(nombre);
    for (const TFormatoImagen& f : formatos)
        if (extension.CompareNoCase(f.extension) == 0) return &f;
    return nullptr;
}

bool MideImagen(const char* nombre, TMedidasImagen& medidas) {
    const TFormatoImagen* formato = FormatoImagen(nombre);
    return formato && formato->mide && formato->mide(nombre, medidas);
}

TDibIGformat::TDibIGformat() = default;

TDibIGformat::~TDibIGformat() = default;

bool TDibIGformat::LeeImagen(const DString& nombre, DString& error, TMonitorProcesos* progreso) {
    Libera();
    TRelojTierra reloj;
    const TFormatoImagen* formato = FormatoImagen(nombre.c_str());
    if (!formato) {
        error = "Unknown bitmap file extension: ";
        error += nombre;
        return false;
    }
    try {
        if (formato->lee && formato->lee(nombre.c_str(), *this, error, progreso)) return true;
    } catch (const std::exception& e) {
        // A bitmap the system has no memory for ("TXOutOfMemory::Raise()").
        error = e.what();
    }
    // Whatever a reader left behind is no picture.
    Libera();
    return false;
}
