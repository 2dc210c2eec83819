// The embedded bitmap font used by IDCOpenGL::Text.
#pragma once

#include <array>
#include <cstdint>

// Glyph cell: rows from the top; bit 7 of a row is the leftmost pixel.
constexpr int altoGlifo = 9;
constexpr int anchoGlifo = 8;
// Rows of the cell below the baseline, and the pen advance per character.
constexpr int bajoLinea = 2;
constexpr int avanceGlifo = 6;

using TGlifo = std::array<uint8_t, altoGlifo>;

// The glyph of a character; characters without one (controls, codes above 126) are blank.
const TGlifo& GlifoFuente(unsigned char c);
