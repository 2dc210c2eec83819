// Helpers of the image reader tests: ImageMagick makes test files and decodes them for
// comparison; a CRC sums up a loaded picture.
#pragma once

#include "Carpeta_prueba.h"

#include "image/Tdibig.h"

#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace prueba {

// Red, green, blue, alpha of a pixel, the picture's row y counted from the top.
struct TRGBA {
    uint8_t r = 0, g = 0, b = 0, a = 255;
    bool operator==(const TRGBA&) const = default;
};
using TPintura = std::function<TRGBA(int x, int y)>;

// The picture as a PAM file (with alpha) that ImageMagick reads.
inline void EscribePAM(const fs::path& ruta, int ancho, int alto, const TPintura& pintura) {
    std::string s = "P7\nWIDTH " + std::to_string(ancho) + "\nHEIGHT " + std::to_string(alto) +
                    "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n";
    for (int y = 0; y < alto; ++y)
        for (int x = 0; x < ancho; ++x) {
            const TRGBA c = pintura(x, y);
            s += {static_cast<char>(c.r), static_cast<char>(c.g), static_cast<char>(c.b),
                  static_cast<char>(c.a)};
        }
    std::ofstream(ruta, std::ios::binary) << s;
}

// Runs ImageMagick's convert; true when it succeeded.
inline bool Convert(const std::string& argumentos) {
    return std::system(("convert " + argumentos + " 2>/dev/null").c_str()) == 0;
}

// ImageMagick's own decoding of the file's first image, rows from the top.
inline std::vector<TRGBA> DecodificaIM(const fs::path& ruta) {
    const std::string orden = "convert '" + ruta.string() + "[0]' -depth 8 rgba:- 2>/dev/null";
    std::vector<TRGBA> pixeles;
    FILE* p = ::popen(orden.c_str(), "r");
    if (!p) return pixeles;
    uint8_t c[4];
    while (std::fread(c, 1, 4, p) == 4)
        pixeles.push_back({c[0], c[1], c[2], c[3]});
    ::pclose(p);
    return pixeles;
}

// Memory row of the picture's row y (from the top).
inline int32_t FilaMemoria(const TDibIG& img, int32_t y) {
    return img.Alto() < 0 ? y : img.AltoAbsoluto() - 1 - y;
}

// The colour of a pixel of the loaded image, picture row y from the top; alpha from the
// fourth byte of a 32-bit image, else 255.
inline TRGBA ColorCargado(const TDibIG& img, int32_t x, int32_t y) {
    const uint32_t c = img.Pixel(x, FilaMemoria(img, y));
    TRGBA rgba{RojoDe(c), VerdeDe(c), AzulDe(c), 255};
    if (img.BitsPixel() == 32)
        rgba.a = img.Bits()[static_cast<size_t>(FilaMemoria(img, y)) * img.BytesFila() + 4u * x + 3];
    return rgba;
}

// CRC-32 of red, green, blue of every pixel, rows from the top of the picture.
inline uint32_t CrcPintura(const TDibIG& img) {
    std::vector<uint8_t> rgb;
    for (int32_t y = 0; y < img.AltoAbsoluto(); ++y)
        for (int32_t x = 0; x < img.Ancho(); ++x) {
            const TRGBA c = ColorCargado(img, x, y);
            rgb.insert(rgb.end(), {c.r, c.g, c.b});
        }
    return static_cast<uint32_t>(crc32(0, rgb.data(), static_cast<uInt>(rgb.size())));
}

} // namespace prueba
