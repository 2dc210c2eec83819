// The image readers side by side with the decoders people would otherwise use, each pair
// on the same file made at the start of the run:
//   GIF 4096 x 4096, 256 colours: our decoder against giflib's DGifSlurp;
//   PNG 4096 x 4096 RGB: our reader against a bare libpng read loop;
//   BMP of about 50 MB, as whole processes: `pictomolder-cli image FILE` against
//   ImageMagick's `convert FILE null:`.
// BM_MemoriaCarga loads a large file of each format and reports the peak heap memory the
// load takes beyond the bitmap.
#include "image/Gif.h"
#include "image/Qor_png.h"
#include "image/Tdibig.h"
#include "image/Tdibigformat.h"

#include "Ejecuta_programa.h"

#include <benchmark/benchmark.h>
#include <gif_lib.h>
#include <png.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <malloc.h>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

// Heap bytes in use and their peak, counted by the allocation functions below.
namespace memoria {
std::atomic<int64_t> actual{0};
std::atomic<int64_t> pico{0};
int64_t Actual() {
    return actual.load();
}
int64_t Pico() {
    return pico.load();
}
void ReiniciaPico() {
    pico.store(actual.load());
}
void* Cuenta(void* p) {
    if (p) {
        const int64_t ahora = actual += static_cast<int64_t>(malloc_usable_size(p));
        int64_t visto = pico.load();
        while (ahora > visto && !pico.compare_exchange_weak(visto, ahora)) {
        }
    }
    return p;
}
void Descuenta(void* p) {
    if (p) actual -= static_cast<int64_t>(malloc_usable_size(p));
}
} // namespace memoria

// Every allocation of the process (libpng, zlib, libjpeg, libtiff, the bitmap) goes
// through these, to glibc's own functions.
extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void* __libc_memalign(size_t, size_t);
void __libc_free(void*);

void* malloc(size_t n) {
    return memoria::Cuenta(__libc_malloc(n));
}
void* calloc(size_t n, size_t t) {
    return memoria::Cuenta(__libc_calloc(n, t));
}
void* realloc(void* p, size_t n) {
    const auto antes = static_cast<int64_t>(p ? malloc_usable_size(p) : 0);
    void* q = __libc_realloc(p, n);
    if (!q && n) return nullptr; // the old block stays, still counted
    memoria::actual -= antes;
    return memoria::Cuenta(q);
}
void free(void* p) {
    memoria::Descuenta(p);
    __libc_free(p);
}
void* aligned_alloc(size_t alineacion, size_t n) {
    return memoria::Cuenta(__libc_memalign(alineacion, n));
}
void* memalign(size_t alineacion, size_t n) {
    return memoria::Cuenta(__libc_memalign(alineacion, n));
}
int posix_memalign(void** p, size_t alineacion, size_t n) {
    *p = memoria::Cuenta(__libc_memalign(alineacion, n));
    return *p ? 0 : ENOMEM;
}
}

namespace {

constexpr int lado = 4096;

// A picture with smooth areas and some noise, as photographs reduced to a palette look.
uint8_t Muestra(int x, int y, int canal) {
    uint32_t h = static_cast<uint32_t>(x) * 73856093u ^ static_cast<uint32_t>(y) * 19349663u ^
                 static_cast<uint32_t>(canal) * 83492791u;
    h ^= h >> 13;
    return static_cast<uint8_t>((x / 9 + y / 5 + canal * 40) + (h & 15));
}

class TFicheros {
public:
    TFicheros() : dir(fs::temp_directory_path() / ("pm_bench_imagen_" + std::to_string(::getpid()))) {
        fs::create_directories(dir);
    }
    ~TFicheros() { fs::remove_all(dir); }
    std::string Ruta(const char* nombre) const { return (dir / nombre).string(); }

    const std::string& Gif() {
        if (gif.empty()) gif = EscribeGif(Ruta("big.gif"), lado, lado);
        return gif;
    }
    const std::string& Png() {
        if (png.empty()) png = EscribePng(Ruta("big.png"), lado, lado);
        return png;
    }
    const std::string& Bmp() {
        if (bmp.empty()) bmp = EscribeBmp(Ruta("big.bmp"), 4096, 4267); // 52 MB of pixels
        return bmp;
    }

    static std::string EscribeGif(const std::string& ruta, int ancho, int alto) {
        int error = 0;
        GifFileType* g = EGifOpenFileName(ruta.c_str(), false, &error);
        ColorMapObject* mapa = GifMakeMapObject(256, nullptr);
        for (int i = 0; i < 256; ++i)
            mapa->Colors[i] = {static_cast<GifByteType>(i), static_cast<GifByteType>(255 - i),
                               static_cast<GifByteType>(i * 7)};
        EGifPutScreenDesc(g, ancho, alto, 8, 0, mapa);
        EGifPutImageDesc(g, 0, 0, ancho, alto, false, nullptr);
        std::vector<GifPixelType> fila(static_cast<size_t>(ancho));
        for (int y = 0; y < alto; ++y) {
            for (int x = 0; x < ancho; ++x)
                fila[static_cast<size_t>(x)] = Muestra(x, y, 0);
            EGifPutLine(g, fila.data(), ancho);
        }
        EGifCloseFile(g, &error);
        GifFreeMapObject(mapa);
        return ruta;
    }

    static std::string EscribePng(const std::string& ruta, int ancho, int alto) {
        std::FILE* f = std::fopen(ruta.c_str(), "wb");
        png_structp p = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(p);
        png_init_io(p, f);
        png_set_IHDR(p, info, static_cast<png_uint_32>(ancho), static_cast<png_uint_32>(alto), 8,
                     PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                     PNG_FILTER_TYPE_DEFAULT);
        png_write_info(p, info);
        std::vector<png_byte> fila(static_cast<size_t>(ancho) * 3);
        for (int y = 0; y < alto; ++y) {
            for (int x = 0; x < ancho; ++x)
                for (int c = 0; c < 3; ++c)
                    fila[static_cast<size_t>(x) * 3 + static_cast<size_t>(c)] = Muestra(x, y, c);
            png_write_row(p, fila.data());
        }
        png_write_end(p, nullptr);
        png_destroy_write_struct(&p, &info);
        std::fclose(f);
        return ruta;
    }

    static std::string EscribeBmp(const std::string& ruta, int ancho, int alto) {
        TDibIG img;
        img.Crea(ancho, alto, 24, 0, nullptr, true);
        uint8_t* p = img.Bits();
        for (size_t i = 0; i < img.BytesPixeles(); ++i)
            p[i] = Muestra(static_cast<int>(i % 4096), static_cast<int>(i / 4096), 0);
        img.GrabaBMP(ruta.c_str());
        return ruta;
    }

private:
    fs::path dir;
    std::string gif, png, bmp;
};

TFicheros& Ficheros() {
    static TFicheros ficheros;
    return ficheros;
}

void BM_GifNuestro(benchmark::State& state) {
    const std::string& gif = Ficheros().Gif();
    for (auto _ : state) {
        TDibIG img;
        if (const auto leida = LeeGIF(gif.c_str(), img, nullptr); !leida)
            state.SkipWithError(leida.Mensaje().c_str());
        benchmark::DoNotOptimize(img.Bits());
    }
    state.SetBytesProcessed(state.iterations() * lado * lado);
}

void BM_GifGiflib(benchmark::State& state) {
    const std::string& gif = Ficheros().Gif();
    for (auto _ : state) {
        int error = 0;
        GifFileType* g = DGifOpenFileName(gif.c_str(), &error);
        if (!g || DGifSlurp(g) != GIF_OK) state.SkipWithError("giflib failed");
        benchmark::DoNotOptimize(g->SavedImages[0].RasterBits);
        DGifCloseFile(g, &error);
    }
    state.SetBytesProcessed(state.iterations() * lado * lado);
}

void BM_PngNuestro(benchmark::State& state) {
    const std::string& png = Ficheros().Png();
    for (auto _ : state) {
        TDibIG img;
        if (const auto leida = LeePNG(png.c_str(), img, nullptr); !leida)
            state.SkipWithError(leida.Mensaje().c_str());
        benchmark::DoNotOptimize(img.Bits());
    }
    state.SetBytesProcessed(state.iterations() * lado * lado * 3);
}

// The least a program can do with libpng: rows straight into one buffer.
void BM_PngLibpng(benchmark::State& state) {
    const std::string& png = Ficheros().Png();
    for (auto _ : state) {
        std::FILE* f = std::fopen(png.c_str(), "rb");
        png_structp p = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(p);
        png_init_io(p, f);
        png_read_info(p, info);
        const size_t fila = png_get_rowbytes(p, info);
        const png_uint_32 alto = png_get_image_height(p, info);
        std::unique_ptr<png_byte[]> pixeles(new png_byte[fila * alto]);
        for (png_uint_32 y = 0; y < alto; ++y)
            png_read_row(p, pixeles.get() + fila * y, nullptr);
        png_read_end(p, nullptr);
        png_destroy_read_struct(&p, &info, nullptr);
        std::fclose(f);
        benchmark::DoNotOptimize(pixeles.get());
    }
    state.SetBytesProcessed(state.iterations() * lado * lado * 3);
}

void BM_BmpCli(benchmark::State& state) {
    const std::string& bmp = Ficheros().Bmp();
    for (auto _ : state)
        if (!Ejecuta({PM_CLI, "image", bmp})) state.SkipWithError("pictomolder-cli failed");
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(fs::file_size(bmp)));
}

void BM_BmpConvert(benchmark::State& state) {
    const std::string& bmp = Ficheros().Bmp();
    for (auto _ : state)
        if (!Ejecuta({"convert", bmp, "null:"})) state.SkipWithError("convert failed");
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(fs::file_size(bmp)));
}

// Peak heap memory of loading a large file of each format through the loader, beyond
// the bitmap's own bytes.
void BM_MemoriaCarga(benchmark::State& state) {
    static const char* const extensiones[] = {"bmp", "gif", "png", "jpg", "tif", "ras", "ico"};
    const std::string ext = extensiones[state.range(0)];
    state.SetLabel(ext);
    TFicheros& f = Ficheros();
    std::string fichero = ext == "bmp" ? f.Bmp() : (ext == "gif" ? f.Gif() : (ext == "png" ? f.Png() : ""));
    if (fichero.empty()) {
        // Icons hold at most 256 x 256 pixels; the other formats the 4096-pixel picture.
        const bool icono = ext == "ico";
        const std::string origen = icono ? TFicheros::EscribePng(f.Ruta("ico.png"), 256, 256) : f.Png();
        fichero = f.Ruta(("big." + ext).c_str());
        if (!fs::exists(fichero) &&
            std::system(
                ("convert " + origen + (icono ? " -colors 200 " : " -type TrueColor ") + fichero).c_str()) !=
                0)
            state.SkipWithError("convert failed");
    }
    int64_t extra = 0;
    int64_t bitmap = 0;
    for (auto _ : state) {
        TDibIGformat img;
        const int64_t antes = memoria::Actual();
        memoria::ReiniciaPico();
        if (const auto leida = img.LeeImagen(fichero.c_str()); !leida)
            state.SkipWithError(leida.Mensaje().c_str());
        bitmap = static_cast<int64_t>(img.BytesPixeles());
        extra = memoria::Pico() - antes - bitmap;
    }
    state.counters["bitmap_MB"] = static_cast<double>(bitmap) / (1 << 20);
    state.counters["extra_KB"] = static_cast<double>(extra) / 1024;
}

} // namespace

BENCHMARK(BM_GifNuestro)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_GifGiflib)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_PngNuestro)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_PngLibpng)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_BmpCli)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_BmpConvert)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_MemoriaCarga)->DenseRange(0, 6)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
