// The program's own lighting: OpenGL lighting stays off and every lit face, vertex or
// cell is handed to OpenGL as a finished colour computed here from one directional light.
// Packed colours: red in bits 0-7, green 8-15, blue 16-23; bits 24-31 are carried through.
#pragma once

#include <cstdint>

#include "geometry/Matrix3.h"

struct TLuz {
    double ambiente = 0.0; // base factor; the least factor a two-sided surface receives
    double difusa = 0.0;   // weight of the directional term
    vector3D direccion;    // unit vector pointing towards the light
};

// The scene's single light, fixed when the program starts.
extern const TLuz luzEscena;

inline constexpr uint32_t colorBlanco = 0xFFFFFF;
inline constexpr uint32_t colorGris = 0x777777;
inline constexpr uint32_t colorRojo = 0x0000FF;
inline constexpr uint32_t colorVerde = 0x00FF00;
inline constexpr uint32_t colorAzul = 0xFF0000;
inline constexpr uint32_t colorNegro = 0x000000;
inline constexpr uint32_t colorMagenta = 0xFF00FF;

// Replaces `color` by its lit version for a surface with the given normal. With
// dosCaras a surface facing away from the light is lit as if it faced it.
void Ilumina(const TLuz& luz, uint32_t& color, const vector3D& normal, bool dosCaras);

// Multiplies red, green and blue by factor, truncating and keeping each within 0..255.
uint32_t EscalaColor(uint32_t color, double factor);
