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

#include <new>

namespace {

using namespace std::string_view_literals;

constexpr std::array<std::string_view, 4> firmasTIFF = {"II*\0"sv, "MM\0*"sv, "II+\0"sv, "MM\0+"sv};
constexpr std::array<std::string_view, 4> firmasJPEG = {"\xFF\xD8\xFF"sv};
constexpr std::array<std::string_view, 4> firmasRAS = {"\x59\xA6\x6A\x95"sv};

constexpr TFormatoImagen formatos[] = {
    {"BMP", LeeBMP, MideBMP, "BMP", {"BM"sv}},
    {"JPG", LeeJPG, MideJPG, "JPEG", firmasJPEG},
    {"JPEG", LeeJPG, MideJPG, "JPEG", firmasJPEG},
    {"JPE", LeeJPG, MideJPG, "JPEG", firmasJPEG},
    {"TIF", LeeTIF, MideTIF, "TIFF", firmasTIFF},
    {"TIFF", LeeTIF, MideTIF, "TIFF", firmasTIFF},
    {"ICO", LeeICO, MideICO, "icon", {"\0\0\1\0"sv}},
    {"PNG", LeePNG, MidePNG, "PNG", {"\x89PNG\r\n\x1A\n"sv}},
    {"GIF", LeeGIF, MideGIF, "GIF", {"GIF87a"sv, "GIF89a"sv}},
    {"RAS", LeeRAS, MideRAS, "Sun raster", firmasRAS},
    {"RS", LeeRAS, MideRAS, "Sun raster", firmasRAS},
    // Map formats of other programs of the maker.
    {"ECW", nullptr, nullptr, "ECW", {}},
    {"SID", nullptr, nullptr, "MrSID", {}},
    {"MPR", nullptr, nullptr, "MPR", {}},
    {"NOS", nullptr, nullptr, "NOS", {}},
    {"NOL", nullptr, nullptr, "NOL", {}},
    {"NO1", nullptr, nullptr, "NO1", {}},
    {"KAP", nullptr, nullptr, "KAP", {}},
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

TResultado<void> TDibIGformat::LeeImagen(const DString& nombre, TMonitorProcesos* progreso) {
    Libera();
    TRelojTierra reloj;
    const TFormatoImagen* formato = FormatoImagen(nombre.c_str());
    if (!formato) return FalloNombrando(TCausa::uso, "Unknown bitmap file extension: ", nombre.c_str());
    TResultado<void> leido = TFallo{TCausa::uso, DString()};
    try {
        if (formato->lee) leido = formato->lee(nombre.c_str(), *this, progreso);
    } catch (const TXPictomolder& e) {
        // A bitmap the system has no memory for ("TXOutOfMemory::Raise()").
        leido = e.Fallo();
    } catch (const std::bad_alloc& e) {
        leido = TFallo{TCausa::limite, e.what()};
    }
    // Whatever a reader left behind is no picture.
    if (!leido) Libera();
    return leido;
}
