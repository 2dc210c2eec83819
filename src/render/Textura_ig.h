// TTexturaIG: the bookkeeping of one texture on the drawing device. Any image becomes a
// square power-of-two texture: either uploaded as it is (when it already has such a
// size) or shrunk into the bottom-left corner of a grey square. The record remembers
// where the image rectangle sits in the texture so that painters can map image pixel
// positions to texture coordinates (IDCOpenGL::TexCoord).
#pragma once

#include <cstdint>

// `tipo` of a two-dimensional texture; any other value binds as one-dimensional.
constexpr int32_t texturaPlana = 2;

struct TTexturaIG {
    int32_t tipo = 0;
    int32_t anchoOrigen = 0; // size of the image rectangle shown, in image pixels
    int32_t altoOrigen = 0;
    int32_t altoImagen = 0; // full height of the source image
    int32_t tamano = 0;     // side of the square texture in texels; below 1 = no texture
    int32_t origenX = 0;    // image coordinates of the rectangle's top-left corner
    int32_t origenY = 0;
    double escala = 1.0;       // texels per image pixel
    bool recorta = true;       // clamp at the edges and reject coordinates outside 0..1
    bool mezcla = false;       // draw with alpha blending and without depth test
    int32_t bits = 24;         // 16, 24 or 32: depth of the uploaded data
    uint32_t nombre = 0;       // the OpenGL texture name
    int32_t tamanoSubido = -1; // side of the texture object as last allocated; -1 = none
};

// The texture size limit found automatically (GL_MAX_TEXTURE_SIZE, reduced when uploads
// are refused); below 1 while unknown. Shared by every device of the process so that a
// reduced limit is not probed again.
int32_t& LimiteTexturaAutomatico();
