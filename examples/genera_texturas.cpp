// Writes the texture images of the textured examples as 24-bit BMP files:
//   pm_genera_texturas examples
// wood.bmp (the crate's planks), map.bmp (the globe's continents, longitude across and
// latitude up) and pattern.bmp (the urn's bands). Integer arithmetic only, so that every
// machine writes the very same bytes.
#include "image/Tdibig.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// A repeatable pseudo-random value from 0 to 255 for a pair of integers.
int Ruido(int a, int b) {
    uint32_t h = static_cast<uint32_t>(a) * 73856093u ^ static_cast<uint32_t>(b) * 19349663u;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return static_cast<int>(h & 0xFF);
}

int Limita(int v) {
    return v < 0 ? 0 : (v > 255 ? 255 : v);
}

uint32_t Tono(int r, int g, int b, int luz) {
    return ColorRGB(static_cast<uint32_t>(Limita(r + luz)), static_cast<uint32_t>(Limita(g + luz)),
                    static_cast<uint32_t>(Limita(b + luz)));
}

// Four horizontal planks inside a darker frame, the grain running along each plank.
uint32_t Madera(int x, int y) {
    const int lado = 64, marco = 6;
    const bool enMarco = x < marco || y < marco || x >= lado - marco || y >= lado - marco;
    const int tabla = y / 16;
    const int veta = ((y * 7 + tabla * 23 + (x * (3 + tabla)) / 16) % 11) * 3 + Ruido(x / 4, y) % 9;
    if (enMarco) return Tono(105, 62, 30, veta / 2 - 8);
    if (y % 16 == 0) return ColorRGB(55, 32, 15); // the gap between two planks
    return Tono(170, 115, 62, veta - 16);
}

// Land where a few round blobs (wrapped round in x) add up above a threshold; ice at the
// poles.
uint32_t Mapa(int x, int y) {
    const int ancho = 128, alto = 64;
    struct TMancha {
        int x, y, r;
    };
    const TMancha manchas[] = {{18, 20, 11}, {28, 34, 9},  {34, 46, 7},  {62, 18, 14}, {70, 34, 10},
                               {66, 44, 6},  {96, 22, 12}, {106, 30, 9}, {112, 46, 6}};
    int peso = 0;
    for (const TMancha& m : manchas) {
        int dx = x - m.x;
        if (dx > ancho / 2) dx -= ancho;
        if (dx < -ancho / 2) dx += ancho;
        const int dy = y - m.y;
        const int d2 = dx * dx + dy * dy;
        if (d2 < m.r * m.r) peso += 256 - 256 * d2 / (m.r * m.r);
    }
    peso += Ruido(x / 3, y / 3) / 4;
    if (y < 5 || y >= alto - 5) return Tono(235, 240, 245, Ruido(x, y) % 12);
    if (peso > 150) return Tono(60, 140, 55, Ruido(x / 2, y / 2) % 30 - 15 + (peso > 300 ? -25 : 0));
    return Tono(30, 80, 170, Ruido(x, y) % 10 + y % 8);
}

// Terracotta with a black zigzag band between two cream stripes, and a plain foot.
uint32_t Dibujo(int x, int y) {
    const uint32_t terracota = ColorRGB(190, 92, 48), crema = ColorRGB(236, 220, 180),
                   negro = ColorRGB(35, 25, 20);
    if ((y >= 18 && y < 21) || (y >= 43 && y < 46)) return crema;
    if (y >= 21 && y < 43) {
        const int fase = x % 16;
        const int pico = 22 + (fase < 8 ? fase : 16 - fase) * 5 / 2;
        return (y >= pico && y < pico + 4) ? negro : terracota;
    }
    if (y >= 56) return ColorRGB(120, 58, 30);
    return Tono(190, 92, 48, Ruido(x, y) % 8 - 4);
}

bool Escribe(const std::string& carpeta, const char* nombre, int ancho, int alto,
             uint32_t (*dibujo)(int, int)) {
    TDibIG imagen;
    imagen.Crea(ancho, alto, 24, 0, nullptr, true);
    // Rows are stored bottom-up: memory row 0 is the picture's bottom row.
    for (int y = 0; y < alto; ++y)
        for (int x = 0; x < ancho; ++x)
            imagen.PonPixel(x, alto - 1 - y, dibujo(x, y));
    const std::string ruta = carpeta + "/" + nombre;
    if (imagen.GrabaBMP(ruta.c_str())) return true;
    std::fprintf(stderr, "pm_genera_texturas: cannot write %s\n", ruta.c_str());
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: pm_genera_texturas FOLDER\n");
        return 2;
    }
    const std::string carpeta = argv[1];
    const bool correcto = Escribe(carpeta, "wood.bmp", 64, 64, Madera) &&
                          Escribe(carpeta, "map.bmp", 128, 64, Mapa) &&
                          Escribe(carpeta, "pattern.bmp", 64, 64, Dibujo);
    return correcto ? EXIT_SUCCESS : EXIT_FAILURE;
}
