// The directory of a macOS icon file (.icns): each entry's type and where its data lies,
// and the sides of the entries that hold a PNG image. Reads only what the file's own
// lengths allow inside the bytes given.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

struct TEntradaICNS {
    std::string tipo;  // four characters
    size_t inicio = 0; // of the data, after the entry's header
    size_t bytes = 0;  // of the data
    // The PNG image's sides from its header; 0 when the entry holds no PNG.
    uint32_t ancho = 0;
    uint32_t alto = 0;
};

// False when the bytes are no icon file: no "icns" header, a length other than the
// bytes', or an entry that does not fit.
bool ListaICNS(std::span<const uint8_t> datos, std::vector<TEntradaICNS>& entradas);
// The same for a file of at most 64 MB (a larger one, or one that cannot be read, is
// no icon file).
bool ListaFicheroICNS(const char* nombre, std::vector<TEntradaICNS>& entradas);
