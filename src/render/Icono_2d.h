// "Save for 2D Icon": what the preview shows, shrunk to a 32 x 32 bitmap.
#pragma once

#include "support/Resultado.h"

class IDCOpenGL;
class TDibIG;

constexpr int ladoIcono = 32;

// Shrinks a picture to 32 x 32 with the half-tone stretch, through an off-screen bitmap
// of the display's colour depth; the icon comes out top-down (16-bit pixels as 24-bit).
// A failure says why: no picture, no room for the bitmap, or the icon not made from it.
TResultado<void> ReduceAIcono(const TDibIG& imagen, TDibIG& icono, int bitsPantalla = 24);
// Reads the device's last frame back and writes the icon as a BMP file; a failure says why.
TResultado<void> GrabaIcono2D(IDCOpenGL& dc, const char* fichero);
