#include "Dispositivo_prueba.h"
#include "Imagen_prueba.h"

#include "render/Textura_ig.h"

#include <GL/gl.h>

#include <functional>
#include <memory>
#include <vector>

namespace {

uint32_t Dibujo(int x, int y) {
    return ColorRGB(static_cast<uint32_t>(x * 7), static_cast<uint32_t>(y * 5),
                    static_cast<uint32_t>((x + y) & 0xFF));
}

// The texels of the record's texture, rows from the bottom, as packed colours.
std::vector<uint32_t> Texeles(const TTexturaIG& textura) {
    std::vector<uint8_t> bytes(static_cast<size_t>(textura.tamano) * textura.tamano * 3);
    glBindTexture(GL_TEXTURE_2D, textura.nombre);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_BGR, GL_UNSIGNED_BYTE, bytes.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    std::vector<uint32_t> texeles(bytes.size() / 3);
    for (size_t i = 0; i < texeles.size(); ++i)
        texeles[i] = ColorRGB(bytes[3 * i + 2], bytes[3 * i + 1], bytes[3 * i]);
    return texeles;
}

uint32_t Texel(const std::vector<uint32_t>& texeles, int lado, int s, int t) {
    return texeles[static_cast<size_t>(t) * lado + s];
}

TEST(TexturasIG, CaminoDirecto) {
    TDispositivoPrueba p;
    ASSERT_TRUE(p.activo);
    auto imagen = Imagen(256, 256, true, Dibujo);
    TTexturaIG textura;
    p.dc.CreateTexture(*imagen, 0, 0, 256, 256, textura);
    EXPECT_EQ(textura.tipo, texturaPlana);
    EXPECT_EQ(textura.tamano, 256);
    EXPECT_EQ(p.dc.ultimoErrorTextura, 0);
    const auto texeles = Texeles(textura);
    // Texture row 0 is the picture's bottom row.
    EXPECT_EQ(Texel(texeles, 256, 10, 0), Dibujo(10, 255));
    EXPECT_EQ(Texel(texeles, 256, 200, 100), Dibujo(200, 155));

    // Part of a larger image, top-down, and a palette image also go up unscaled, with
    // their own pixels.
    auto grande = Imagen(300, 280, false, Dibujo);
    TTexturaIG parte;
    p.dc.CreateTexture(*grande, 20, 10, 148, 138, parte);
    EXPECT_EQ(parte.tamano, 128);
    const auto texParte = Texeles(parte);
    EXPECT_EQ(Texel(texParte, 128, 0, 0), Dibujo(20, 137));
    EXPECT_EQ(Texel(texParte, 128, 127, 127), Dibujo(147, 10));
    auto paleta = std::make_unique<TImagen>(64, 64, 8);
    paleta->Rellena(ColorRGB(128, 128, 128));
    TTexturaIG gris;
    p.dc.CreateTexture(*paleta, 0, 0, 64, 64, gris, 24);
    EXPECT_EQ(gris.tamano, 64);
    EXPECT_EQ(Texel(Texeles(gris), 64, 5, 5), paleta->Pixel(5, 5));

    // A same-sized upload replaces the pixels of the same texture object.
    auto otra = Imagen(256, 256, true, [](int, int) { return colorVerde; });
    const uint32_t nombre = textura.nombre;
    p.dc.CreateTexture(*otra, 0, 0, 256, 256, textura);
    EXPECT_EQ(textura.nombre, nombre);
    EXPECT_EQ(Texel(Texeles(textura), 256, 3, 3), colorVerde);

    p.dc.ReleaseTexture(textura);
    EXPECT_EQ(textura.nombre, 0u);
    EXPECT_EQ(textura.tamano, -1);
}

TEST(TexturasIG, CaminoEscalado) {
    TDispositivoPrueba p;
    ASSERT_TRUE(p.activo);
    // 100 x 50 in a 128 square: bottom-left, unscaled, grey around (and on its border).
    auto imagen = Imagen(100, 50, true, Dibujo);
    TTexturaIG textura;
    p.dc.CreateTexture(*imagen, 0, 0, 100, 50, textura);
    EXPECT_EQ(textura.tamano, 128);
    EXPECT_EQ(textura.escala, 1.0);
    const auto texeles = Texeles(textura);
    EXPECT_EQ(Texel(texeles, 128, 50, 25), Dibujo(50, 49 - 25));
    EXPECT_EQ(Texel(texeles, 128, 1, 1), Dibujo(1, 48));
    // The grey frame over the image's edge and around it.
    for (auto [s, t] : {std::pair{0, 10}, {99, 10}, {110, 10}, {10, 60}})
        EXPECT_EQ(Texel(texeles, 128, s, t), colorGris) << s << "," << t;

    // 15 x 15 never takes the direct path.
    auto pequena = Imagen(15, 15, true, Dibujo);
    TTexturaIG dieciseis;
    p.dc.CreateTexture(*pequena, 0, 0, 15, 15, dieciseis);
    EXPECT_EQ(dieciseis.tamano, 16);
    EXPECT_EQ(Texel(Texeles(dieciseis), 16, 15, 15), colorGris);

    // A rectangle outside the image makes nothing.
    TTexturaIG nada;
    p.dc.CreateTexture(*pequena, 20, 20, 40, 40, nada);
    EXPECT_EQ(nada.tamano, 0);
}

TEST(TexturasIG, PoligonoTexturizado) {
    TDispositivoPrueba p(64, 64, colorNegro);
    ASSERT_TRUE(p.activo);
    auto imagen = Imagen(64, 64, true, [](int x, int) { return x < 32 ? colorRojo : colorVerde; });
    TTexturaIG textura;
    p.dc.CreateTexture(*imagen, 0, 0, 64, 64, textura);
    const vector3D cuadro[4] = {{-1, -1, 0}, {1, -1, 0}, {1, 1, 0}, {-1, 1, 0}};
    const vector2D posiciones[4] = {{0, 64}, {64, 64}, {64, 0}, {0, 0}};
    p.dc.SetColor(colorAzul);
    p.dc.TexturedPolygon(cuadro, posiciones, textura);
    // White (255/256) modulates the texels.
    EXPECT_EQ(p.Lee(10, 30), ColorRGB(254, 0, 0));
    EXPECT_EQ(p.Lee(50, 30), ColorRGB(0, 254, 0));
    GLboolean activa = GL_TRUE;
    glGetBooleanv(GL_TEXTURE_2D, &activa);
    EXPECT_EQ(activa, GL_FALSE);
    // Mended: the edge pixels took in the black border colour (GL_CLAMP), a dark line
    // round every textured face and along the seam of spheres.
    auto roja = Imagen(16, 16, true, [](int, int) { return colorRojo; });
    TTexturaIG uniforme;
    p.dc.CreateTexture(*roja, 0, 0, 16, 16, uniforme);
    const vector2D enteras[4] = {{0, 16}, {16, 16}, {16, 0}, {0, 0}};
    p.dc.Clear();
    p.dc.TexturedPolygon(cuadro, enteras, uniforme);
    EXPECT_EQ(p.Lee(0, 0), p.Lee(30, 30));
    EXPECT_EQ(p.Lee(63, 63), p.Lee(30, 30));
    // A corner left of the origin: drawn untextured in the current colour.
    const vector2D fuera[4] = {{-5, 64}, {64, 64}, {64, 0}, {0, 0}};
    p.dc.Clear();
    p.dc.SetColor(colorAzul);
    p.dc.TexturedPolygon(cuadro, fuera, textura);
    EXPECT_EQ(p.Lee(10, 30), ColorRGB(0, 0, 254));

    // The textured ellipsoid maps longitude and latitude onto the texture.
    p.dc.Clear();
    p.dc.Ellipsoid({0, 0, 0}, 0.8, 0.8, 0.8, colorBlanco, 0, &textura);
    const uint32_t centro = p.Lee(32, 32);
    EXPECT_NE(centro, colorNegro);
    EXPECT_EQ(AzulDe(centro), 0u);
    glGetBooleanv(GL_TEXTURE_2D, &activa);
    EXPECT_EQ(activa, GL_FALSE);
}

TEST(TexturasIG, SinTexturasPorDebajoDe16Bits) {
    TDispositivoPrueba p(32, 32, colorNegro, 8);
    ASSERT_TRUE(p.activo);
    auto imagen = Imagen(64, 64, true, Dibujo);
    TTexturaIG textura;
    p.dc.CreateTexture(*imagen, 0, 0, 64, 64, textura);
    EXPECT_EQ(textura.tipo, 0);
    EXPECT_EQ(textura.tamano, 0);
    // Binding it enables one-dimensional texturing with name 0, which shows nothing.
    p.dc.BindTexture(textura);
    GLboolean una = GL_FALSE;
    glGetBooleanv(GL_TEXTURE_1D, &una);
    EXPECT_EQ(una, GL_TRUE);
    p.dc.UnbindTexture(textura);
    glGetBooleanv(GL_TEXTURE_1D, &una);
    EXPECT_EQ(una, GL_FALSE);
}

TEST(TexturasIG, LimiteAutomatico) {
    TSuperficieEGL superficie(16, 16);
    IDCOpenGL dc;
    int bits = 0;
    ASSERT_TRUE(dc.SetWindow(&superficie, bits, colorNegro, {0, 0, 16, 16}, 0));
    auto imagen = Imagen(40, 40, true, Dibujo);
    TTexturaIG textura;
    dc.CreateTexture(*imagen, 0, 0, 40, 40, textura);
    GLint maximo = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maximo);
    EXPECT_EQ(LimiteTexturaAutomatico(), maximo);
    EXPECT_EQ(textura.tamano, 64);
    // Blending textures switch the depth test off while bound.
    textura.mezcla = true;
    dc.BindTexture(textura);
    EXPECT_EQ(glIsEnabled(GL_BLEND), GL_TRUE);
    EXPECT_EQ(glIsEnabled(GL_DEPTH_TEST), GL_FALSE);
    dc.UnbindTexture(textura);
    EXPECT_EQ(glIsEnabled(GL_BLEND), GL_FALSE);
    EXPECT_EQ(glIsEnabled(GL_DEPTH_TEST), GL_TRUE);
    // An image that does not fit the record is refused without reaching the driver.
    auto rectangular = Imagen(64, 32, true, Dibujo);
    EXPECT_EQ(dc.UploadTexture(textura, *rectangular, 24), GL_INVALID_OPERATION);
}

} // namespace
