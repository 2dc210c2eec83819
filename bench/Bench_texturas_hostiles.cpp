// Hostile textures: small files and short scripts that once made a texture cost seconds
// or gigabytes. The files are made at the start of the run in a temporary folder; each
// case reports its time and the process's resident peak ("pico_MB").
//   BM_TexturaCabeceraEnorme/png|gif|ico|tif: TEXTURET naming a valid file of a few
//     hundred kilobytes that declares hundreds of megabytes of pixels (32768 x 16384 PNG,
//     32768 x 32768 GIF, 16384 x 16384 PNG in an icon, 16384 x 16384 TIFF in tiles of
//     16 x 16384): refused from the header.
//   BM_Jpeg254Escaneos: a 1024 x 1024 progressive JPEG of 254 scans loaded as `image`
//     loads it: refused before any scan is decoded.
//   BM_TiffTeselasImagen: that TIFF loaded whole as `image` loads it: an 805 MB bitmap,
//     and no more than a tile besides.
//   BM_IcoEnormeImagen: that icon loaded whole: time linear in the pixels (the search for
//     its colours once took 40 s).
//   BM_Textura200Nombres: a script naming one PNG 200 ways ("decodificadas": 1).
//   BM_Textura200Ficheros: a script naming 200 distinct 1024 x 1024 PNGs: stops at the
//     512 MB budget with its message ("texturas": the textures read before it).
#include "Pico_memoria.h"

#include "image/Tdibigformat.h"
#include "script/Lectura_escena.h"

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <jpeglib.h>
#include <string>
#include <tiffio.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

void PonBE32(std::string& s, uint32_t v) {
    for (int i = 3; i >= 0; --i)
        s += static_cast<char>(v >> (8 * i));
}

void PonLE16(std::string& s, uint32_t v) {
    s += static_cast<char>(v);
    s += static_cast<char>(v >> 8);
}

void PonLE32(std::string& s, uint32_t v) {
    PonLE16(s, v);
    PonLE16(s, v >> 16);
}

void Trozo(std::string& s, const char* tipo, const std::string& datos) {
    PonBE32(s, static_cast<uint32_t>(datos.size()));
    const std::string cuerpo = tipo + datos;
    s += cuerpo;
    PonBE32(s, static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(cuerpo.data()),
                                           static_cast<uInt>(cuerpo.size()))));
}

// A grey PNG whose rows are `fila(y)` (zeros by default), deflated as they come.
std::string PngGris(uint32_t ancho, uint32_t alto, uint8_t (*valor)(uint32_t x, uint32_t y) = nullptr) {
    std::string s = "\x89PNG\r\n\x1a\n";
    std::string ihdr;
    PonBE32(ihdr, ancho);
    PonBE32(ihdr, alto);
    ihdr += std::string("\x08\x00\x00\x00\x00", 5);
    Trozo(s, "IHDR", ihdr);
    z_stream z{};
    deflateInit(&z, 9);
    std::vector<uint8_t> fila(ancho + 1), salida(1 << 16);
    std::string idat;
    for (uint32_t y = 0; y < alto; ++y) {
        for (uint32_t x = 0; valor && x < ancho; ++x)
            fila[x + 1] = valor(x, y);
        z.next_in = fila.data();
        z.avail_in = static_cast<uInt>(fila.size());
        const int modo = y + 1 == alto ? Z_FINISH : Z_NO_FLUSH;
        do {
            z.next_out = salida.data();
            z.avail_out = static_cast<uInt>(salida.size());
            deflate(&z, modo);
            idat.append(reinterpret_cast<char*>(salida.data()), salida.size() - z.avail_out);
        } while (z.avail_out == 0 || (modo == Z_FINISH && z.avail_in > 0));
    }
    deflateEnd(&z);
    Trozo(s, "IDAT", idat);
    Trozo(s, "IEND", "");
    return s;
}

// A GIF of zeros whose codes each add the longest string the table can make, starting
// again after a clear code when it is full: about 1.3 million pixels a kilobyte.
std::string GifCeros(uint32_t ancho, uint32_t alto) {
    std::string datos;
    uint64_t acumulador = 0;
    int bits = 0;
    const auto pon = [&](int codigo, int tamano) {
        acumulador |= static_cast<uint64_t>(codigo) << bits;
        for (bits += tamano; bits >= 8; bits -= 8, acumulador >>= 8)
            datos += static_cast<char>(acumulador & 0xFF);
    };
    constexpr int limpia = 4, fin = 5, primeroLibre = 6;
    uint64_t restantes = uint64_t{ancho} * alto;
    int tamano = 3;
    while (restantes > 0) {
        pon(limpia, tamano);
        tamano = 3;
        int tope = 8, siguiente = primeroLibre;
        pon(0, tamano); // the first code after a clear makes no entry
        --restantes;
        uint64_t largo = 1;
        while (restantes > 0 && siguiente < 4096) {
            if (restantes > largo) { // the entry being made: the last string and one zero more
                pon(siguiente, tamano);
                restantes -= ++largo;
            } else {
                pon(0, tamano);
                --restantes;
                largo = 1;
            }
            ++siguiente;
            if (siguiente >= tope && tamano < 12) {
                tope <<= 1;
                ++tamano;
            }
        }
    }
    pon(fin, tamano);
    if (bits) datos += static_cast<char>(acumulador);
    std::string s = "GIF89a";
    PonLE16(s, ancho);
    PonLE16(s, alto);
    s += std::string("\x81\x00\x00", 3) + std::string(12, '\0') + ",";
    PonLE32(s, 0);
    PonLE16(s, ancho);
    PonLE16(s, alto);
    s += std::string("\x00\x02", 2);
    for (size_t i = 0; i < datos.size(); i += 255) {
        const size_t n = std::min<size_t>(255, datos.size() - i);
        s += static_cast<char>(n);
        s += datos.substr(i, n);
    }
    return s + std::string("\x00;", 2);
}

std::string IcoConPng(const std::string& png) {
    std::string s;
    PonLE16(s, 0);
    PonLE16(s, 1);
    PonLE16(s, 1);
    s += std::string(4, '\0'); // 256 or more each way, no palette
    PonLE16(s, 1);
    PonLE16(s, 32);
    PonLE32(s, static_cast<uint32_t>(png.size()));
    PonLE32(s, 22);
    return s + png;
}

void TiffTeselas(const std::string& ruta, uint32_t lado, uint32_t anchoTesela) {
    TIFF* t = TIFFOpen(ruta.c_str(), "w");
    TIFFSetField(t, TIFFTAG_IMAGEWIDTH, lado);
    TIFFSetField(t, TIFFTAG_IMAGELENGTH, lado);
    TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_ADOBE_DEFLATE);
    TIFFSetField(t, TIFFTAG_TILEWIDTH, anchoTesela);
    TIFFSetField(t, TIFFTAG_TILELENGTH, lado);
    std::vector<uint8_t> tesela(static_cast<size_t>(anchoTesela) * lado * 3);
    for (uint32_t x = 0; x < lado; x += anchoTesela)
        TIFFWriteTile(t, tesela.data(), x, 0, 0, 0);
    TIFFClose(t);
}

// A grey progressive JPEG of 128 scans (each coefficient on its own, then refined), its
// last scan repeated up to `escaneos`: decoders only warn about a repeated scan.
std::string JpegEscaneos(int lado, int escaneos) {
    std::vector<jpeg_scan_info> guion;
    guion.push_back({1, {0}, 0, 0, 0, 1});
    for (int k = 1; k < 64; ++k)
        guion.push_back({1, {0}, k, k, 0, 1});
    guion.push_back({1, {0}, 0, 0, 1, 0});
    for (int k = 1; k < 64; ++k)
        guion.push_back({1, {0}, k, k, 1, 0});
    jpeg_compress_struct c;
    jpeg_error_mgr e;
    c.err = jpeg_std_error(&e);
    jpeg_create_compress(&c);
    unsigned char* memoria = nullptr;
    unsigned long bytes = 0;
    jpeg_mem_dest(&c, &memoria, &bytes);
    c.image_width = static_cast<JDIMENSION>(lado);
    c.image_height = static_cast<JDIMENSION>(lado);
    c.input_components = 1;
    c.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&c);
    c.scan_info = guion.data();
    c.num_scans = static_cast<int>(guion.size());
    jpeg_start_compress(&c, TRUE);
    std::vector<JSAMPLE> fila(static_cast<size_t>(lado));
    for (int y = 0; y < lado; ++y) {
        for (int x = 0; x < lado; ++x)
            fila[static_cast<size_t>(x)] = static_cast<JSAMPLE>((x * 7 + y * 3) ^ (x * y));
        JSAMPROW p = fila.data();
        jpeg_write_scanlines(&c, &p, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::string jpg(reinterpret_cast<char*>(memoria), bytes);
    std::free(memoria);
    const std::string ultimo = jpg.substr(jpg.rfind("\xff\xc4"), std::string::npos);
    std::string s = jpg.substr(0, jpg.size() - 2);
    for (int i = static_cast<int>(guion.size()); i < escaneos; ++i)
        s += ultimo.substr(0, ultimo.size() - 2);
    return s + "\xff\xd9";
}

uint8_t Ruido(uint32_t x, uint32_t y) {
    return static_cast<uint8_t>((x * 73856093u ^ y * 19349663u) >> 7);
}

uint8_t Cuadros(uint32_t x, uint32_t y) {
    return static_cast<uint8_t>((x / 64 + y / 64) * 8);
}

class TFicheros {
public:
    TFicheros() : dir(fs::temp_directory_path() / ("pm_bench_texturas_" + std::to_string(::getpid()))) {
        fs::create_directories(dir / "tex");
    }
    ~TFicheros() { fs::remove_all(dir); }
    std::string Ruta(const std::string& nombre) const { return (dir / nombre).string(); }
    // Writes the file once.
    std::string Escribe(const std::string& nombre, std::string (*datos)()) {
        const std::string ruta = Ruta(nombre);
        if (!fs::exists(ruta)) std::ofstream(ruta, std::ios::binary) << datos();
        return ruta;
    }
    fs::path dir;
};

TFicheros& Ficheros() {
    static TFicheros ficheros;
    return ficheros;
}

std::string TiffEnorme() {
    const std::string ruta = Ficheros().Ruta("enorme.tif");
    if (!fs::exists(ruta)) TiffTeselas(ruta, 16384, 16);
    return ruta;
}

struct TResultado {
    bool correcto;
    std::string error;
    int64_t cargas;
    int32_t elementos;
};

// Reads the script as the editor does on a keystroke, as if it lay in the folder.
TResultado LeeScript(const std::string& texto) {
    const TLecturaEscena lectura =
        LeeEscena(TFuenteEscena::Texto(texto, Ficheros().Ruta("icon.3di").c_str()));
    return {lectura.Correcta(), lectura.informe.Mensajes().c_str(), lectura.Texturas().cargas,
            lectura.Escena().Count()};
}

const std::string quad = "QUAD=[-4,0,4]:[4,0,4]:[4,0,-4]:[-4,0,-4]\n";

void BM_TexturaCabeceraEnorme(benchmark::State& estado) {
    static const char* const nombres[] = {"png", "gif", "ico", "tif"};
    const std::string ext = nombres[estado.range(0)];
    estado.SetLabel(ext);
    TFicheros& f = Ficheros();
    std::string ruta;
    if (ext == "png") ruta = f.Escribe("enorme.png", [] { return PngGris(32768, 16384); });
    if (ext == "gif") ruta = f.Escribe("enorme.gif", [] { return GifCeros(32768, 32768); });
    if (ext == "ico") ruta = f.Escribe("enorme.ico", [] { return IcoConPng(PngGris(16384, 16384)); });
    if (ext == "tif") ruta = TiffEnorme();
    estado.counters["fichero_KB"] = static_cast<double>(fs::file_size(ruta)) / 1024;
    PonACeroPico();
    for (auto _ : estado) {
        const TResultado r = LeeScript("TEXTURET=" + ruta + "\n" + quad);
        if (r.error.find("Texture images must measure 2^n x 2^m") == std::string::npos)
            estado.SkipWithError(("not refused for its size: " + r.error).c_str());
    }
    estado.counters["pico_MB"] = PicoMB();
}

void BM_TiffTeselasImagen(benchmark::State& estado) {
    const std::string ruta = TiffEnorme();
    PonACeroPico();
    for (auto _ : estado) {
        TDibIGformat img;
        if (const auto leida = img.LeeImagen(ruta.c_str()); !leida)
            estado.SkipWithError(leida.Mensaje().c_str());
        estado.counters["bitmap_MB"] = static_cast<double>(img.BytesPixeles()) / (1 << 20);
    }
    estado.counters["pico_MB"] = PicoMB();
}

void BM_IcoEnormeImagen(benchmark::State& estado) {
    const std::string ruta =
        Ficheros().Escribe("enorme.ico", [] { return IcoConPng(PngGris(16384, 16384)); });
    PonACeroPico();
    for (auto _ : estado) {
        TDibIGformat img;
        if (const auto leida = img.LeeImagen(ruta.c_str()); !leida)
            estado.SkipWithError(leida.Mensaje().c_str());
    }
    estado.counters["pico_MB"] = PicoMB();
}

void BM_Jpeg254Escaneos(benchmark::State& estado) {
    const std::string ruta = Ficheros().Escribe("escaneos.jpg", [] { return JpegEscaneos(1024, 254); });
    PonACeroPico();
    for (auto _ : estado) {
        TDibIGformat img;
        const std::string error = MensajeDe(img.LeeImagen(ruta.c_str())).c_str();
        if (error != "Error reading JPG: more than 100 scans")
            estado.SkipWithError(("not refused: " + error).c_str());
    }
    estado.counters["pico_MB"] = PicoMB();
}

void BM_Textura200Nombres(benchmark::State& estado) {
    Ficheros().Escribe("tex/m1.png", [] { return PngGris(128, 128, Ruido); });
    std::string script, prefijo;
    for (int i = 0; i < 200; ++i, prefijo += "./")
        script += "TEXTURET=" + prefijo + "tex/m1.png\n" + quad;
    PonACeroPico();
    int64_t cargas = 0;
    for (auto _ : estado) {
        const TResultado r = LeeScript(script);
        if (!r.correcto) estado.SkipWithError(r.error.c_str());
        cargas = r.cargas;
    }
    estado.counters["decodificadas"] = static_cast<double>(cargas);
    estado.counters["pico_MB"] = PicoMB();
}

void BM_Textura200Ficheros(benchmark::State& estado) {
    std::string script;
    for (int i = 0; i < 200; ++i) {
        const std::string nombre = "grande" + std::to_string(i) + ".png";
        Ficheros().Escribe(nombre, [] { return PngGris(1024, 1024, Cuadros); });
        script += "TEXTURET=" + nombre + "\n" + quad;
    }
    PonACeroPico();
    int32_t texturas = 0;
    for (auto _ : estado) {
        const TResultado r = LeeScript(script);
        if (r.error.find("Texture memory exceeded (512 MB): ") == std::string::npos)
            estado.SkipWithError(("no budget message: " + r.error).c_str());
        texturas = r.elementos;
    }
    estado.counters["texturas"] = texturas;
    estado.counters["pico_MB"] = PicoMB();
}

} // namespace

BENCHMARK(BM_TexturaCabeceraEnorme)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_TiffTeselasImagen)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_IcoEnormeImagen)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_Jpeg254Escaneos)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Textura200Nombres)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Textura200Ficheros)->Unit(benchmark::kMillisecond)->Iterations(3);
