// Test helpers: bitmaps made in one line, and pictures drawn pixel by pixel into a new image.
#pragma once

#include "image/Tdibig.h"

#include <functional>
#include <memory>

// A bitmap with its pixels (or, when asked, only its header) and the default table.
struct TImagen : TDibIG {
    TImagen(int32_t ancho, int32_t alto, int32_t bits, bool pixeles = true) {
        Crea(ancho, alto, bits, 0, nullptr, pixeles);
    }
};

using TDibujo = std::function<uint32_t(int x, int yArriba)>;

// An image of the picture `dibujo` (y counted from the top) stored bottom-up or top-down.
inline std::unique_ptr<TDibIG> Imagen(int ancho, int alto, bool abajoArriba, const TDibujo& dibujo,
                                      int bits = 24) {
    auto imagen = std::make_unique<TImagen>(ancho, abajoArriba ? alto : -alto, bits);
    for (int y = 0; y < alto; ++y)
        for (int x = 0; x < ancho; ++x)
            imagen->PonPixel(x, abajoArriba ? alto - 1 - y : y, dibujo(x, y));
    return imagen;
}
