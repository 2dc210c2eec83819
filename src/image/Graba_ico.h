// Windows icon files written from 32-bit bitmaps with alpha, one image per bitmap, as
// current Windows expects them: below 256 pixels a BMP image (blue, green, red, alpha
// rows bottom-up, then the 1-bit AND mask for programs that know no alpha), at 256 a
// PNG image.
#pragma once

#include "image/Tdibig.h"
#include "support/Dstring.h"
#include "support/Resultado.h"

#include <cstdint>
#include <span>
#include <vector>

// The largest side an icon image may have.
inline constexpr int32_t ladoMaximoIcono = 256;

// The bytes of an icon file holding `imagenes` in that order; a failure with a message
// when there are none or more than 256, or one is not a 32-bit picture of 1 to 256 pixels a side.
TResultado<std::vector<uint8_t>> CodificaICO(std::span<const TDibIG* const> imagenes);
// Writes them as an icon file, replacing the old file whole or not at all.
TResultado<void> GrabaICO(std::span<const TDibIG* const> imagenes, const char* nombre);
