// The PNG reader. libpng reports errors by jumping back to the setjmp of the step that
// is running; those steps hold nothing that needs destroying, and the bitmap is built
// between them. Warnings are dropped: a texture load prints nothing on the terminal.
#include "image/Qor_png.h"

#include "image/Fichero_imagen.h"
#include "image/Orden_bytes.h"
#include "support/Monitor_procesos.h"

#include <png.h>

#include <algorithm>
#include <climits>
#include <csetjmp>
#include <cstring>
#include <vector>

namespace {

constexpr const char* msgErrorFichero = "Error reading PNG file.";
constexpr const char* msgErrorBits = "Error reading png bits, setjmp= 1  Error reading PNG bits.";
constexpr uint32_t colorEspera = 0x777777;
// Deflate gives at most 1032 bytes out per byte in; unpacking 2-bit pixels to bytes
// makes that four times as many bitmap bytes.
constexpr uint64_t proporcionPNG = 1032 * 4;

[[noreturn]] void ErrorPNG(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

void AvisoPNG(png_structp, png_const_charp) {}

} // namespace

TParserPNG::~TParserPNG() {
    Limpia();
}

void TParserPNG::Limpia() {
    if (png) png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    png = nullptr;
    info = nullptr;
}

bool TParserPNG::LeeCabecera(std::FILE* fichero) {
    png_byte firma[8];
    if (std::fread(firma, 1, sizeof firma, fichero) != sizeof firma ||
        png_sig_cmp(firma, 0, sizeof firma) != 0)
        return false;
    png = png_create_read_struct(PNG_LIBPNG_VER_STRING, this, ErrorPNG, AvisoPNG);
    if (!png) return false;
    info = png_create_info_struct(png);
    if (!info) return false;
    if (setjmp(png_jmpbuf(png))) return false;
    png_init_io(png, fichero);
    png_set_sig_bytes(png, sizeof firma);
    png_set_user_limits(png, ladoMaximoImagen, ladoMaximoImagen);
    png_read_info(png, info);
    png_uint_32 w = 0;
    png_uint_32 h = 0;
    png_get_IHDR(png, info, &w, &h, &profundidad, &tipoColor, nullptr, nullptr, nullptr);
    ancho = w;
    alto = h;
    PideTransformaciones();
    LeeFondo();
    pasadas = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    return true;
}

// Depths the bitmap cannot hold are brought to the nearest one it can: 16-bit channels
// to 8, 2-bit pixels to bytes, grey with alpha to RGB with alpha. Colour pixels come
// blue first, as the bitmap stores them.
void TParserPNG::PideTransformaciones() {
    if (profundidad == 16) png_set_scale_16(png);
    // A grey or RGB image with a transparent colour (tRNS) becomes RGB with alpha, which
    // libpng decides on the file's own samples.
    const bool claveColor = (tipoColor == PNG_COLOR_TYPE_GRAY || tipoColor == PNG_COLOR_TYPE_RGB) &&
                            png_get_valid(png, info, PNG_INFO_tRNS);
    if (conAlfa || claveColor) {
        png_set_expand(png);
        png_set_gray_to_rgb(png);
        png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    } else if (profundidad == 2) {
        if (tipoColor == PNG_COLOR_TYPE_PALETTE)
            png_set_packing(png);
        else
            png_set_expand_gray_1_2_4_to_8(png);
    } else if (tipoColor == PNG_COLOR_TYPE_GRAY_ALPHA) {
        png_set_gray_to_rgb(png);
    }
    png_set_bgr(png);
}

void TParserPNG::LeeFondo() {
    png_color_16p fondo = nullptr;
    if (!png_get_valid(png, info, PNG_INFO_bKGD) || !png_get_bKGD(png, info, &fondo)) return;
    if (profundidad == 16) {
        fondoRojo = static_cast<uint8_t>(fondo->red >> 8);
        fondoVerde = static_cast<uint8_t>(fondo->green >> 8);
        fondoAzul = static_cast<uint8_t>(fondo->blue >> 8);
    } else if (tipoColor == PNG_COLOR_TYPE_GRAY && profundidad < 8) {
        const int escala = profundidad == 1 ? 255 : (profundidad == 2 ? 85 : 17);
        fondoRojo = fondoVerde = fondoAzul = static_cast<uint8_t>(fondo->gray * escala);
    } else {
        fondoRojo = static_cast<uint8_t>(fondo->red);
        fondoVerde = static_cast<uint8_t>(fondo->green);
        fondoAzul = static_cast<uint8_t>(fondo->blue);
    }
}

bool TParserPNG::LeePixeles(TDibIG& destino, TMonitorProcesos* progreso) {
    if (setjmp(png_jmpbuf(png))) return false;
    const int32_t bytesFila = destino.BytesFila();
    uint8_t* base = destino.Bits();
    for (int pasada = 0; pasada < pasadas; ++pasada) {
        if (progreso) progreso->Inicia(static_cast<int32_t>(alto));
        // The top row of the file is the last stored row of the bottom-up bitmap.
        for (uint32_t i = 0; i < alto; ++i) {
            png_read_row(png, base + static_cast<size_t>(alto - 1 - i) * static_cast<size_t>(bytesFila),
                         nullptr);
            if (!progreso) continue;
            progreso->Avanza(1);
            if (progreso->cancelado) return true;
        }
    }
    png_read_end(png, nullptr);
    return true;
}

TResultado<void> TParserPNG::Lee(std::FILE* fichero, TDibIG& destino, TMonitorProcesos* progreso) {
    Limpia();
    const uint64_t bytesFichero = BytesHastaFin(fichero);
    if (!LeeCabecera(fichero)) {
        Limpia();
        return TFallo{TCausa::entrada, msgErrorFichero};
    }
    const int bits = png_get_channels(png, info) * png_get_bit_depth(png, info);
    const int64_t bytesFila = BytesFilaDib(ancho, bits);
    if (TDibIG::ColoresPorBits(bits) < 0 || !ImagenAdmisible(ancho, alto, bits) ||
        !CabeEnDatos(static_cast<uint64_t>(bytesFila) * alto, bytesFichero, proporcionPNG)) {
        Limpia();
        return TFallo{TCausa::limite, msgErrorFichero};
    }
    png_colorp colores = nullptr;
    int n = 0;
    TColorPaleta paleta[256];
    if (!conAlfa && png_get_PLTE(png, info, &colores, &n) && n > 0) {
        n = std::min(n, 256);
        for (int i = 0; i < n; ++i)
            paleta[i] = {colores[i].blue, colores[i].green, colores[i].red, 0};
    } else {
        n = 0;
    }
    destino.Crea(static_cast<int32_t>(ancho), static_cast<int32_t>(alto), bits, n, n ? paleta : nullptr,
                 true);
    // The alpha of palette entries (tRNS) stays with the image; entries it leaves out are opaque.
    png_bytep alfas = nullptr;
    int transparentes = 0;
    if (n && png_get_tRNS(png, info, &alfas, &transparentes, nullptr) && alfas && transparentes > 0) {
        std::vector<uint8_t> alfa(static_cast<size_t>(n), 0xFF);
        std::copy_n(alfas, std::min(transparentes, n), alfa.begin());
        destino.PonAlfaTabla(std::move(alfa));
    }
    if (progreso) destino.Rellena(colorEspera);
    if (!LeePixeles(destino, progreso)) {
        Limpia();
        return TFallo{TCausa::entrada, msgErrorBits};
    }
    Limpia();
    return {};
}

bool MidePNG(const char* nombre, TMedidasImagen& medidas) {
    const TFicheroC fichero = AbreLectura(nombre);
    uint8_t c[24];
    if (!fichero || std::fread(c, 1, sizeof c, fichero.get()) != sizeof c || png_sig_cmp(c, 0, 8) != 0 ||
        std::memcmp(c + 12, "IHDR", 4) != 0)
        return false;
    const uint32_t ancho = LeeU32be(c + 16);
    const uint32_t alto = LeeU32be(c + 20);
    if (ancho > INT32_MAX || alto > INT32_MAX) return false;
    medidas = {static_cast<int32_t>(ancho), static_cast<int32_t>(alto)};
    return true;
}

TResultado<void> LeePNG(const char* nombre, TDibIG& destino, TMonitorProcesos* progreso) {
    const TFicheroC fichero = AbreLectura(nombre);
    if (!fichero) return FalloNombrando(TCausa::entradaSalida, "Can't open file: ", nombre);
    TParserPNG parser;
    return parser.Lee(fichero.get(), destino, progreso);
}
