// PNG files written through libpng: a 32-bit bitmap as RGBA (its fourth byte the
// alpha, not premultiplied), a 24-bit one as RGB.
#pragma once

#include "image/Tdibig.h"
#include "support/Dstring.h"
#include "support/Resultado.h"

#include <cstdint>
#include <vector>

// The bytes of a PNG file of `imagen` (24 or 32 bits, rows in either order), made
// quickly rather than smallest; a failure with a message for any other image.
TResultado<std::vector<uint8_t>> CodificaPNG(const TDibIG& imagen);
// Writes `imagen` as a PNG file, replacing the old file whole or not at all.
TResultado<void> GrabaPNG(const TDibIG& imagen, const char* nombre);
