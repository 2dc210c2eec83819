// Helpers of the bitmap tests: BMP bytes built by hand, a scratch folder, and
// images filled with a recognisable pattern.
#pragma once

#include "image/Tdibig.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
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

inline Bytes CabeceraFichero(uint32_t tamano, uint32_t desplazamiento) {
    Bytes b{'B', 'M'};
    U32(b, tamano);
    U32(b, 0);
    U32(b, desplazamiento);
    return b;
}

inline Bytes CabeceraWindows(int32_t ancho, int32_t alto, uint16_t bits, uint32_t compresion = 0,
                             uint32_t colores = 0) {
    Bytes b;
    U32(b, 40);
    U32(b, static_cast<uint32_t>(ancho));
    U32(b, static_cast<uint32_t>(alto));
    U16(b, 1);
    U16(b, bits);
    U32(b, compresion);
    U32(b, 0); // image size: recomputed by the reader
    U32(b, 2835);
    U32(b, 2835);
    U32(b, colores);
    U32(b, 0);
    return b;
}

inline Bytes CabeceraOS2(uint16_t ancho, uint16_t alto, uint16_t bits) {
    Bytes b;
    U32(b, 12);
    U16(b, ancho);
    U16(b, alto);
    U16(b, 1);
    U16(b, bits);
    return b;
}

// A file header in front of a DIB; offset 0 unless one is given.
inline Bytes Fichero(const Bytes& dib, uint32_t desplazamiento = 0) {
    Bytes b = CabeceraFichero(static_cast<uint32_t>(14 + dib.size()), desplazamiento);
    Anade(b, dib);
    return b;
}

// A folder of its own under the system's temporary folder, removed afterwards.
class CarpetaTemporal {
public:
    CarpetaTemporal() {
        std::string plantilla = (std::filesystem::temp_directory_path() / "pm_image_XXXXXX").string();
        ruta = ::mkdtemp(plantilla.data());
    }
    ~CarpetaTemporal() {
        std::error_code ec;
        std::filesystem::remove_all(ruta, ec);
    }
    std::string Ruta(const char* nombre) const { return (ruta / nombre).string(); }
    std::string Escribe(const char* nombre, const Bytes& datos) const {
        const std::string r = Ruta(nombre);
        std::ofstream(r, std::ios::binary)
            .write(reinterpret_cast<const char*>(datos.data()), static_cast<std::streamsize>(datos.size()));
        return r;
    }

private:
    std::filesystem::path ruta;
};

inline Bytes LeeTodo(const std::string& ruta) {
    std::ifstream f(ruta, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(f), {});
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
