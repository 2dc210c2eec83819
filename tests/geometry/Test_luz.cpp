#include "geometry/Luz_normals.h"

#include <gtest/gtest.h>

namespace {

uint32_t Gris(uint32_t c) {
    return c | (c << 8) | (c << 16);
}

uint32_t Iluminado(const TLuz& luz, uint32_t color, const vector3D& n, bool dosCaras) {
    Ilumina(luz, color, n, dosCaras);
    return color;
}

TEST(Luz, LuzEscena) {
    EXPECT_EQ(luzEscena.ambiente, 0.7);
    EXPECT_EQ(luzEscena.difusa, 0.7);
    EXPECT_NEAR(Modulo(luzEscena.direccion), 1.0, 1e-15);
    EXPECT_NEAR(luzEscena.direccion.x, std::cos(0.3) * std::cos(0.2), 1e-15);
    EXPECT_NEAR(luzEscena.direccion.y, std::sin(0.3) * std::cos(0.2), 1e-15);
    EXPECT_NEAR(luzEscena.direccion.z, std::sin(0.2), 1e-15);
}

TEST(Luz, Ilumina) {
    const vector3D d = luzEscena.direccion;
    EXPECT_EQ(Iluminado(luzEscena, colorBlanco, d, true), Gris(232));
    EXPECT_EQ(Iluminado(luzEscena, colorBlanco, d, false), Gris(232));
    EXPECT_EQ(Iluminado(luzEscena, colorBlanco, -d, true), Gris(232));
    EXPECT_EQ(Iluminado(luzEscena, colorBlanco, -d, false), Gris(124));
    EXPECT_EQ(Iluminado(luzEscena, colorBlanco, Perpendicular(d), false), Gris(178));
    EXPECT_EQ(Iluminado(luzEscena, colorBlanco, {}, false), Gris(178)); // zero normal: 0.7
    // Each channel on its own, and the top byte carried through.
    EXPECT_EQ(Iluminado(luzEscena, 0xAA00C864, {}, true), 0xAA008C46u); // 200*.7=140, 100*.7=70
    // A strong light saturates instead of wrapping.
    const TLuz fuerte{0.5, 3.0, d};
    EXPECT_EQ(Iluminado(fuerte, 0x806040, d, false), 0xFFC080u); // factor 2, blue clipped
    // One-sided with a light that would make the factor negative gives black, not garbage.
    const TLuz dura{0.0, 1.0, d};
    EXPECT_EQ(Iluminado(dura, colorBlanco, -d, false), colorNegro);
}

TEST(Luz, EscalaColor) {
    EXPECT_EQ(EscalaColor(0x12FF8040, 1.0), 0x12FF8040u);
    EXPECT_EQ(EscalaColor(0xFF000000 | colorBlanco, 0.5), 0xFF7F7F7Fu);
    EXPECT_EQ(EscalaColor(0x01010101, 2.0), 0x01020202u);
    EXPECT_EQ(EscalaColor(0x00FFFFFF, 1.5), 0x00FFFFFFu);
    EXPECT_EQ(EscalaColor(0x00FF8040, 0.0), 0x00000000u);
    // A negative or undefined factor gives black and keeps the top byte.
    EXPECT_EQ(EscalaColor(0x7FFFFFFF, -1.0), 0x7F000000u);
    EXPECT_EQ(EscalaColor(0x7FFFFFFF, std::nan("")), 0x7F000000u);
    EXPECT_EQ(EscalaColor(colorMagenta, 1e300), colorMagenta);
}

TEST(Luz, Constantes) {
    EXPECT_EQ(colorRojo & 0xFF, 0xFFu); // red lives in the low byte
    EXPECT_EQ(colorAzul >> 16, 0xFFu);
    EXPECT_EQ(colorVerde, 0x00FF00u);
    EXPECT_EQ(colorGris, 0x777777u);
}

} // namespace
