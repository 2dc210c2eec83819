#include "geometry/Luz_normals.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

uint32_t Gris(uint32_t c) {
    return c | (c << 8) | (c << 16);
}

TEST(Luz, IluminaAndEscalaColor) {
    const vector3D d = luzEscena.direccion;
    const TLuz fuerte{0.5, 3.0, d}, dura{0.0, 1.0, d};
    struct Caso {
        const TLuz& luz;
        uint32_t color;
        vector3D normal;
        bool dosCaras;
        uint32_t esperado;
    };
    const Caso casos[] = {
        {luzEscena, colorBlanco, d, true, Gris(232)},
        {luzEscena, colorBlanco, -d, true, Gris(232)},
        {luzEscena, colorBlanco, -d, false, Gris(124)},
        {luzEscena, colorBlanco, {}, false, Gris(178)}, // zero normal: 0.7
        // Each channel on its own, and the top byte carried through: 200*.7=140, 100*.7=70.
        {luzEscena, 0xAA00C864, {}, true, 0xAA008C46u},
        {fuerte, 0x806040, d, false, 0xFFC080u},    // factor 2: saturates instead of wrapping
        {dura, colorBlanco, -d, false, colorNegro}, // a negative factor gives black, not garbage
    };
    for (const Caso& c : casos) {
        uint32_t color = c.color;
        Ilumina(c.luz, color, c.normal, c.dosCaras);
        EXPECT_EQ(color, c.esperado) << std::hex << c.color << " " << c.normal.x << "," << c.normal.y;
    }
    // A negative or undefined factor gives black and keeps the top byte.
    EXPECT_EQ(EscalaColor(0x7FFFFFFF, -1.0), 0x7F000000u);
    EXPECT_EQ(EscalaColor(0x7FFFFFFF, std::nan("")), 0x7F000000u);
    EXPECT_EQ(EscalaColor(colorMagenta, 1e300), colorMagenta);
}

} // namespace
