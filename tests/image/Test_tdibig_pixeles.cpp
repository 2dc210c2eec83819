// Pixel access, palette search, depth conversions and the 256-colour reduction.
#include "Bmp_prueba.h"

#include <gtest/gtest.h>

#include <vector>

using namespace prueba;

namespace {

std::vector<uint8_t> CopiaBits(const TDibIG& img) {
    return std::vector<uint8_t>(img.Bits(), img.Bits() + img.BytesPixeles());
}

} // namespace

TEST(Pixeles, BoundsAtEveryDepth) {
    for (int32_t bits : {1, 4, 8, 16, 24, 32}) {
        SCOPED_TRACE(bits);
        TImagen img(5, -3, bits);
        Dibuja(img);
        const auto antes = CopiaBits(img);
        for (auto [x, y] :
             {std::pair{5, 0}, {-1, 0}, {0, 3}, {0, -1}, {INT32_MIN, INT32_MIN}, {INT32_MAX, 0}}) {
            EXPECT_EQ(img.Pixel(x, y), 0u);
            EXPECT_EQ(img.Indice(x, y), 0u);
            img.PonPixel(x, y, 0xFFFFFF);
            img.PonIndice(x, y, 0xFFFF);
        }
        EXPECT_EQ(CopiaBits(img), antes);
    }
}

TEST(Pixeles, SubBytePackingIsMostSignificantFirst) {
    TImagen img(9, 1, 4);
    img.PonIndice(0, 0, 0xA);
    img.PonIndice(1, 0, 0x5);
    img.PonIndice(8, 0, 0x1F); // only the nibble is stored
    EXPECT_EQ(img.Bits()[0], 0xA5);
    EXPECT_EQ(img.Bits()[4], 0xF0);
    EXPECT_EQ(img.Pixel(0, 0), ColorRGB(170, 170, 170));

    img.Crea(9, 1, 1, 0, nullptr, true);
    img.PonIndice(0, 0, 1);
    img.PonIndice(7, 0, 42); // any non-zero value sets the bit
    img.PonIndice(8, 0, 1);
    img.PonIndice(0, 0, 0);
    EXPECT_EQ(img.Bits()[0], 0x01);
    EXPECT_EQ(img.Bits()[1], 0x80);
    EXPECT_EQ(img.Pixel(7, 0), 0xFFFFFFu);
    EXPECT_EQ(img.Pixel(6, 0), 0u);
}

TEST(Pixeles, SixteenThirtyTwoAndOutsideTheTable) {
    TImagen img(2, 1, 16);
    img.PonIndice(0, 0, 0x7FFF);
    img.PonIndice(1, 0, (3 << 10) | (2 << 5) | 1);
    EXPECT_EQ(img.Pixel(0, 0), ColorRGB(248, 248, 248));
    EXPECT_EQ(img.Pixel(1, 0), ColorRGB(24, 16, 8));
    EXPECT_EQ(img.Indice(0, 0), 0x7FFFu);
    img.PonPixel(0, 0, 0); // not stored at 16 bits
    img.Rellena(0);
    EXPECT_EQ(img.Indice(0, 0), 0x7FFFu);

    img.Crea(1, 1, 32, 0, nullptr, true);
    img.Bits()[3] = 0x77;
    img.PonPixel(0, 0, ColorRGB(1, 2, 3));
    EXPECT_EQ(img.Bits()[0], 3);
    EXPECT_EQ(img.Bits()[2], 1);
    EXPECT_EQ(img.Bits()[3], 0x77); // the fourth byte carries no colour and stays
    EXPECT_EQ(img.Indice(0, 0), 0u);

    img.Crea(2, 1, 8, 16, nullptr, true); // a short table
    img.PonIndice(0, 0, 200);
    EXPECT_EQ(img.Pixel(0, 0), 0u);
}

TEST(Pixeles, BuscaIndice) {
    const TColorPaleta paleta[5] = {
        {100, 100, 100, 0}, {0, 0, 20, 0}, {0, 20, 0, 0}, {0, 20, 0, 0}, {50, 50, 50, 0}};
    TDibIG img;
    img.Crea(1, 1, 8, 5, paleta, true);
    EXPECT_EQ(img.BuscaIndice(ColorRGB(0, 20, 0), false), 2); // the first equal entry
    EXPECT_EQ(img.BuscaIndice(ColorRGB(10, 10, 0), false), 0);
    // (10, 10, 0) lies 200 away from entries 1 and 2: the lower index wins.
    EXPECT_EQ(img.BuscaIndice(ColorRGB(10, 10, 0), true), 1);
}

TEST(Pixeles, ConvierteSupportedPairsOnEveryRow) {
    TImagen img(3, -4, 16); // top-down: every row, whatever the order
    Dibuja(img);
    const TDibIG antes(img, false, false);
    // 16 to 24, 24 to 32 and back, and 24 to 24 (already there).
    for (int32_t bits : {24, 32, 24, 24}) {
        ASSERT_TRUE(img.Convierte(bits));
        EXPECT_EQ(img.BitsPixel(), bits);
        EXPECT_EQ(img.Alto(), -4);
        EXPECT_EQ(img.Cabecera()->tamanoImagen, 48u);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 3; ++x)
                ASSERT_EQ(img.Pixel(x, y), antes.Pixel(x, y));
        EXPECT_TRUE(bits != 32 || img.Bits()[47] == 0); // the fourth byte carries no colour
    }

    for (auto [desde, hacia] : {std::pair{8, 24}, {1, 24}, {4, 24}, {16, 32}, {24, 16}, {32, 16}, {24, 8}}) {
        img.Crea(2, 2, desde, 0, nullptr, true);
        Dibuja(img);
        const auto sinCambio = CopiaBits(img);
        EXPECT_FALSE(img.Convierte(hacia));
        EXPECT_EQ(img.BitsPixel(), desde);
        EXPECT_EQ(CopiaBits(img), sinCambio);
    }
}

TEST(Pixeles, ReduceA256) {
    // 254 colours, each appearing twice, the first appearance in a scrambled order.
    TImagen img(254, 2, 24);
    std::vector<uint32_t> orden;
    for (int x = 0; x < 254; ++x) {
        const int v = (x * 97) % 254;
        orden.push_back(ColorRGB(v, 255 - v, v / 2));
        img.PonPixel(x, 0, orden.back());
        img.PonPixel(253 - x, 1, orden.back());
    }
    TDibIG destino;
    ASSERT_TRUE(img.ReduceA256(destino));
    EXPECT_EQ(destino.BitsPixel(), 8);
    EXPECT_EQ(destino.ColorTabla(0), ColorRGB(99, 99, 99));
    for (int i = 0; i < 254; ++i)
        ASSERT_EQ(destino.ColorTabla(i + 1), orden[static_cast<size_t>(i)]);
    EXPECT_EQ(destino.ColorTabla(255), 0u);
    for (int x = 0; x < 254; ++x) {
        ASSERT_EQ(destino.Indice(x, 0), static_cast<uint32_t>(x + 1));
        ASSERT_EQ(destino.Pixel(253 - x, 1), orden[static_cast<size_t>(x)]);
    }

    // One colour more and nothing is touched.
    TImagen grande(255, 1, 24);
    for (int x = 0; x < 255; ++x)
        grande.PonPixel(x, 0, ColorRGB(x, 0, 0));
    TImagen intacta(1, 1, 24);
    intacta.PonPixel(0, 0, 0x123456);
    EXPECT_FALSE(grande.ReduceA256(intacta));
    EXPECT_EQ(intacta.BitsPixel(), 24);
    EXPECT_EQ(intacta.Pixel(0, 0), 0x123456u);
}
