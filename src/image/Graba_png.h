// PNG files written through libpng: a 32-bit bitmap as RGBA (its fourth byte the
// alpha, not premultiplied), a 24-bit one as RGB.
#pragma once

#include "image/Tdibig.h"
#include "support/Dstring.h"

#include <cstdint>
#include <vector>

// The bytes of a PNG file of `imagen` (24 or 32 bits, rows in either order), made
// quickly rather than smallest; false with a message for any other image.
bool CodificaPNG(const TDibIG& imagen, std::vector<uint8_t>& datos, DString& error);
// Writes `imagen` as a PNG file, replacing the old file whole or not at all.
bool GrabaPNG(const TDibIG& imagen, const char* nombre, DString& error);
