// Helpers of the bitmap tests: BMP bytes built by hand and images filled with a
// recognisable pattern.
#pragma once

#include "Carpeta_prueba.h"

#include "Imagen_prueba.h"

#include <cstdint>
#include <string>
#include <vector>

namespace prueba {

using Bytes = std::vector<uint8_t>;

inline void U16(Bytes& b, uint32_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}

inline void U32(Bytes& b, uint32_t v) {
    U16(b, v);
    U16(b, v >> 16);
}

inline void Anade(Bytes& b, const Bytes& mas) {
    b.insert(b.end(), mas.begin(), mas.end());
}

inline Bytes CabeceraWindows(int32_t ancho, int32_t alto, uint16_t bits, uint32_t compresion = 0,
                             uint32_t colores = 0) {
    Bytes b;
    for (uint32_t v : {40u, static_cast<uint32_t>(ancho), static_cast<uint32_t>(alto)})
        U32(b, v);
    U16(b, 1);
    U16(b, bits);
    // Compression, image size (recomputed by the reader), resolution, colours used and important.
    for (uint32_t v : {compresion, 0u, 2835u, 2835u, colores, 0u})
        U32(b, v);
    return b;
}

// A file header (with the pixel offset given, 0 by default) in front of a DIB.
inline Bytes Fichero(const Bytes& dib, uint32_t desplazamiento = 0) {
    Bytes b{'B', 'M'};
    U32(b, static_cast<uint32_t>(14 + dib.size()));
    U32(b, 0);
    U32(b, desplazamiento);
    Anade(b, dib);
    return b;
}

inline Bytes LeeBytes(const fs::path& ruta) {
    const std::string s = LeeFichero(ruta);
    return Bytes(s.begin(), s.end());
}

// Fills every pixel with a value derived from its position (indices at palette depths).
inline void Dibuja(TDibIG& img) {
    const int32_t bits = img.BitsPixel();
    const int32_t maximo = bits <= 8 ? (1 << bits) : (bits == 16 ? 0x8000 : 0);
    for (int32_t y = 0; y < img.AltoAbsoluto(); ++y)
        for (int32_t x = 0; x < img.Ancho(); ++x) {
            const uint32_t v = static_cast<uint32_t>(x * 37 + y * 101 + 5);
            if (maximo)
                img.PonIndice(x, y, v % static_cast<uint32_t>(maximo));
            else
                img.PonPixel(x, y, ColorRGB(v, v * 3, v * 7));
        }
}

} // namespace prueba
