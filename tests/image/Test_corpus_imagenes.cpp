// Real-world images: the test images of the distribution's image libraries and toolkits,
// fetched with their reference decodings by scripts/fetch-image-corpus.sh into a cache
// outside the repository. Every file either gives the reference's picture or is refused
// for a reason named below; skipped when the cache is not there.
#include "Imagemagick_prueba.h"

#include "image/Tdibigformat.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

namespace {

fs::path CarpetaCorpus() {
    if (const char* c = std::getenv("PM_IMAGE_CORPUS")) return c;
    if (const char* c = std::getenv("XDG_CACHE_HOME")) return fs::path(c) / "pictomolder/image-corpus";
    const char* casa = std::getenv("HOME");
    return fs::path(casa ? casa : "/") / ".cache/pictomolder/image-corpus";
}

// Refusals of files the reference reads, by the start of the loader's message: each a
// layout or a size the program chose not to take.
const std::pair<const char*, const char*> motivos[] = {
    {"Error reading the BMP file. Unsupported compression", "run-length or embedded-format BMP"},
    {"Error reading the BMP file. Unsupported bit count", "BMP of 2 or 64 bits"},
    {"Error reading the BMP file. 3", "BMP header of 16 or 64 bytes (OS/2 2.x)"},
    {"Error reading the BMP file. Invalid image size", "over the size limit"},
    {"Error reading the BMP file. Image too large", "over the size limit"},
    {"Error extracting icon", "icon image of a layout the decoder does not take"},
    {"Error reading TIF header", "TIFF layout libtiff's RGBA reader does not take"},
    {"Error reading JPG: more than 100 scans", "over the scan limit"},
    {"Error 2 opening", "GIF without an image"},
};

// The files made damaged on purpose: no picture to agree with, only a clean end.
bool DanadoAdrede(const std::string& ruta) {
    for (const char* marca :
         {"/fail/", "/randomly-modified/", "invalid", "premature-end", "crasher", "overflow"})
        if (ruta.find(marca) != std::string::npos) return true;
    return false;
}

struct TReferencia {
    bool correcta = false;
    int ancho = 0, alto = 0;
    std::string lector;
    std::string rgba;
};

TReferencia LeeReferencia(const fs::path& ruta) {
    TReferencia r;
    std::ifstream f(ruta.string() + ".ref", std::ios::binary);
    std::string linea;
    if (!std::getline(f, linea) || linea.rfind("ok ", 0) != 0) return r;
    std::istringstream s(linea.substr(3));
    s >> r.ancho >> r.alto >> r.lector;
    r.rgba.assign(std::istreambuf_iterator<char>(f), {});
    r.correcta = r.rgba.size() == static_cast<size_t>(r.ancho) * r.alto * 4;
    return r;
}

// Pixels whose colour differs by more than `tolerancia` in some channel where both
// pictures show colour, or whose alpha does where the format carries it.
int64_t Diferentes(TDibIG& img, const TReferencia& r, int tolerancia, bool conAlfa) {
    if (conAlfa) img.ConvierteConAlfa();
    int64_t distintos = 0;
    for (int y = 0; y < r.alto; ++y)
        for (int x = 0; x < r.ancho; ++x) {
            const auto* e =
                reinterpret_cast<const uint8_t*>(r.rgba.data()) + (static_cast<size_t>(y) * r.ancho + x) * 4;
            prueba::TRGBA l = prueba::ColorCargado(img, x, y);
            if (!conAlfa) l.a = 255;
            if (conAlfa && std::abs(e[3] - l.a) > tolerancia) {
                ++distintos;
                continue;
            }
            if (e[3] == 0 || l.a == 0) continue; // no colour shows there
            if (std::abs(e[0] - l.r) > tolerancia || std::abs(e[1] - l.g) > tolerancia ||
                std::abs(e[2] - l.b) > tolerancia)
                ++distintos;
        }
    return distintos;
}

} // namespace

TEST(CorpusImagenes, EveryFileAgreesWithItsReferenceOrIsRefusedForANamedReason) {
    const fs::path carpeta = CarpetaCorpus() / "files";
    if (!fs::is_directory(carpeta))
        GTEST_SKIP() << "no image corpus at " << carpeta << " (scripts/fetch-image-corpus.sh fetches it)";
    std::map<std::string, int> cuentas;
    for (const auto& entrada : fs::recursive_directory_iterator(carpeta)) {
        const std::string ruta = entrada.path().string();
        const TFormatoImagen* formato = FormatoImagen(ruta.c_str());
        if (!entrada.is_regular_file() || !formato || !formato->lee) continue;
        SCOPED_TRACE(ruta);
        const TReferencia r = LeeReferencia(entrada.path());
        TDibIGformat img;
        const auto lectura = img.LeeImagen(ruta.c_str());
        const bool leida = lectura.Correcto();
        const std::string mensaje = MensajeDe(lectura).c_str();
        if (DanadoAdrede(ruta) || !r.correcta) {
            // Nothing to agree with: the file is damaged (on purpose, or for the reference).
            ++cuentas[leida ? "damaged, read" : "damaged, refused"];
            if (!leida) {
                EXPECT_FALSE(mensaje.empty());
            }
            continue;
        }
        if (!leida) {
            const char* motivo = nullptr;
            if (r.ancho > ladoMaximoImagen || r.alto > ladoMaximoImagen) motivo = "over the size limit";
            for (const auto& [inicio, porque] : motivos)
                if (!motivo && mensaje.rfind(inicio, 0) == 0) motivo = porque;
            if (!motivo) {
                ADD_FAILURE() << "refused with no named reason: " << mensaje;
            }
            ++cuentas[std::string("refused: ") + (motivo ? motivo : mensaje)];
            continue;
        }
        ASSERT_EQ(img.Ancho(), r.ancho);
        ASSERT_EQ(img.AltoAbsoluto(), r.alto);
        const std::string ext = formato->extension;
        const bool jpeg = ext.rfind("JP", 0) == 0;
        const bool conAlfa = ext == "PNG" || ext == "GIF" || ext == "ICO" || ext.rfind("TIF", 0) == 0;
        EXPECT_EQ(Diferentes(img, r, jpeg ? 8 : 2, conAlfa), 0) << "against " << r.lector;
        ++cuentas["agrees with " + r.lector];
    }
    for (const auto& [que, n] : cuentas)
        std::printf("  %5d  %s\n", n, que.c_str());
}
