// Test helper: a picture drawn pixel by pixel into a new image.
#pragma once

#include "image/Tdibig.h"

#include <functional>
#include <memory>

using TDibujo = std::function<uint32_t(int x, int yArriba)>;

// An image of the picture `dibujo` (y counted from the top) stored bottom-up or top-down.
inline std::unique_ptr<TDibIG> Imagen(int ancho, int alto, bool abajoArriba, const TDibujo& dibujo,
                                      int bits = 24) {
    auto imagen = std::make_unique<TDibIG>();
    imagen->Crea(ancho, abajoArriba ? alto : -alto, bits, 0, nullptr, true);
    for (int y = 0; y < alto; ++y)
        for (int x = 0; x < ancho; ++x)
            imagen->PonPixel(x, abajoArriba ? alto - 1 - y : y, dibujo(x, y));
    return imagen;
}
