// macOS icon files (.icns): a container of PNG images, each under the type that tells
// its size and density (the "@2x" types hold a size drawn for a Retina screen).
#pragma once

#include "image/Tdibig.h"
#include "support/Dstring.h"
#include "support/Resultado.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

// One type of image a macOS icon file holds as PNG: `lado` points a side at `densidad`
// pixels per point.
struct TTipoICNS {
    char tipo[5];
    int lado;
    int densidad;
};

inline constexpr std::array<TTipoICNS, 11> tiposICNS{{
    {"icp4", 16, 1},
    {"icp5", 32, 1},
    {"icp6", 64, 1},
    {"ic07", 128, 1},
    {"ic08", 256, 1},
    {"ic09", 512, 1},
    {"ic11", 16, 2},
    {"ic12", 32, 2},
    {"ic13", 128, 2},
    {"ic14", 256, 2},
    {"ic10", 512, 2},
}};

// The four characters of a type as the file stores them.
uint32_t CodigoTipoICNS(const char* tipo);

// One image of an icon file to write: its type and its picture (32-bit, of the type's
// lado x densidad pixels a side).
struct TImagenICNS {
    const TTipoICNS* tipo;
    const TDibIG* imagen;
};

// The bytes of a macOS icon file holding the images in that order; a failure with a
// message when there are none or a picture is not of its type's size.
TResultado<std::vector<uint8_t>> CodificaICNS(std::span<const TImagenICNS> imagenes);
// Writes them as an icon file, replacing the old file whole or not at all.
TResultado<void> GrabaICNS(std::span<const TImagenICNS> imagenes, const char* nombre);
