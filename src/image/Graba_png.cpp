#include "image/Graba_png.h"

#include "image/Fichero_imagen.h"

#include <png.h>

#include <csetjmp>
#include <new>

namespace {

// The file grows in memory; a failed allocation becomes a libpng error, since no
// exception may cross libpng's C frames.
void EscribeEnMemoria(png_structp png, png_bytep bytes, png_size_t cuantos) {
    auto* datos = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    try {
        datos->insert(datos->end(), bytes, bytes + cuantos);
    } catch (const std::bad_alloc&) {
        png_error(png, "out of memory");
    }
}

void SinVaciado(png_structp) {}

// Everything between the creation of the write structure and its end, kept apart
// from any object with a destructor: a libpng error leaves through longjmp.
bool Escribe(png_structp png, png_infop info, const TDibIG& imagen, png_bytepp filas,
             std::vector<uint8_t>& datos) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_write_fn(png, &datos, EscribeEnMemoria, SinVaciado);
    const bool alfa = imagen.BitsPixel() == 32;
    png_set_IHDR(png, info, static_cast<png_uint_32>(imagen.Ancho()),
                 static_cast<png_uint_32>(imagen.AltoAbsoluto()), 8,
                 alfa ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    // Icons are mostly runs of one colour and of clear pixels: one cheap filter and a
    // fast level lose little size against the slowest settings.
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
    png_set_compression_level(png, 3);
    png_write_info(png, info);
    png_set_bgr(png); // the bitmap stores blue first
    png_write_image(png, filas);
    png_write_end(png, info);
    return true;
}

} // namespace

TResultado<std::vector<uint8_t>> CodificaPNG(const TDibIG& imagen) {
    if ((imagen.BitsPixel() != 24 && imagen.BitsPixel() != 32) || !imagen.Legible() || imagen.Ancho() < 1 ||
        imagen.AltoAbsoluto() < 1)
        return TFallo{TCausa::uso, "Only 24- and 32-bit pictures are written as PNG."};
    // Row pointers from the top of the picture, whichever way the bitmap stores them.
    const int32_t alto = imagen.AltoAbsoluto();
    std::vector<png_bytep> filas(static_cast<size_t>(alto));
    for (int32_t y = 0; y < alto; ++y) {
        const int32_t fila = imagen.Alto() < 0 ? y : alto - 1 - y;
        filas[static_cast<size_t>(y)] =
            const_cast<png_bytep>(imagen.Bits()) + static_cast<size_t>(fila) * imagen.BytesFila();
    }
    std::vector<uint8_t> datos;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    const bool escrito = info && Escribe(png, info, imagen, filas.data(), datos);
    png_destroy_write_struct(&png, &info);
    if (!escrito) return TFallo{TCausa::entradaSalida, "Error writing PNG file."};
    return datos;
}

TResultado<void> GrabaPNG(const TDibIG& imagen, const char* nombre) {
    const auto datos = CodificaPNG(imagen);
    if (!datos) return datos.Fallo();
    return GrabaFichero(nombre, *datos);
}
