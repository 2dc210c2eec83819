#include "image/Tdibigformat.h"

#include "image/Gif.h"
#include "image/Lector_ico.h"
#include "image/Lector_jpg.h"
#include "image/Lector_ras.h"
#include "image/Lector_tif.h"
#include "image/Qor_png.h"
#include "support/Reloj_tierra.h"
#include "support/Rutas.h"

#include <exception>

namespace {

// Map formats of other programs of the maker: recognised, never read, no message.
constexpr const char* formatosMapa[] = {"ECW", "SID", "MPR", "NOS", "NOL", "NO1", "KAP"};

} // namespace

TDibIGformat::TDibIGformat() = default;

TDibIGformat::~TDibIGformat() {
    TDibIGformat::Libera();
}

void TDibIGformat::Libera() {
    if (lecturaTIFF) {
        EnlazaPixeles(nullptr, 0);
        lecturaTIFF.reset();
    }
    TDibIG::Libera();
}

bool TDibIGformat::LeeImagen(const DString& nombre, DString& error, TMonitorProcesos* progreso) {
    Libera();
    TRelojTierra reloj;
    try {
        if (Despacha(nombre.c_str(), error, progreso)) return true;
    } catch (const std::exception& e) {
        // A bitmap the system has no memory for ("TXOutOfMemory::Raise()").
        error = e.what();
    }
    // Whatever a reader left behind is no picture.
    Libera();
    return false;
}

bool TDibIGformat::Despacha(const char* nombre, DString& error, TMonitorProcesos* progreso) {
    const DString extension = Extension(nombre);
    const auto es = [&](const char* e) { return extension.CompareNoCase(e) == 0; };
    if (es("BMP")) return LeeBMP(nombre, error, progreso);
    if (es("JPG") || es("JPEG")) return LeeJPG(nombre, *this, error, progreso);
    if (es("TIF")) return LeeTIF(nombre, *this, lecturaTIFF, error, progreso);
    if (es("ICO")) return LeeICO(nombre, *this, error);
    if (es("PNG")) return LeePNG(nombre, *this, error, progreso);
    if (es("GIF")) return LeeGIF(nombre, *this, error);
    if (es("RAS") || es("RS")) return LeeRAS(nombre, *this, error, progreso);
    for (const char* mapa : formatosMapa)
        if (es(mapa)) return false;
    error = "Unknown bitmap file extension: ";
    error += nombre;
    return false;
}
