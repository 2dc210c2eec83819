#include "Imagen_prueba.h"
#include "render/Icono_2d.h"
#include "render/Objetos_idc.h"

#include "geometry/Luz_normals.h"
#include "support/Throw_qor.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <memory>

namespace {

uint32_t Degradado(int x, int y) {
    return ColorRGB(static_cast<uint32_t>(x * 37 + 5), static_cast<uint32_t>(y * 41 + 3),
                    static_cast<uint32_t>((x * 13 + y * 29) & 0xFF));
}

struct TLienzoPrueba {
    TLienzoPrueba(int ancho, int alto, uint32_t fondo = colorNegro) {
        EXPECT_TRUE(imagen.Create(nullptr, ancho, alto));
        imagen.DC()->Rellena(0, 0, ancho, alto, fondo);
        dc.BeginPaint(imagen.DC());
    }
    ~TLienzoPrueba() { dc.EndPaint(); }
    uint32_t Punto(int x, int y) const { return imagen.DC()->Punto(x, y); }
    TImagenIG imagen;
    IDCMemoria dc;
};

// Two images stretched alike on canvases of their own must give the same picture.
void EsperaIguales(const TRectanguloDib& d, const TRectanguloDib& f, const TDibIG& una, const TDibIG& otra,
                   int modo, int ancho, int alto) {
    TLienzoPrueba a(ancho, alto), b(ancho, alto);
    a.dc.SetStretchMode(modo);
    b.dc.SetStretchMode(modo);
    EXPECT_TRUE(a.dc.StretchDIB(d, f, una, SRCCOPY));
    EXPECT_TRUE(b.dc.StretchDIB(d, f, otra, SRCCOPY));
    for (int y = 0; y < alto; ++y)
        for (int x = 0; x < ancho; ++x)
            ASSERT_EQ(a.Punto(x, y), b.Punto(x, y)) << "at " << x << "," << y;
}

TEST(ObjetosIdc, HalftonePromediaUnDamero) {
    auto damero = Imagen(2, 2, true, [](int x, int y) { return (x + y) % 2 ? colorBlanco : colorNegro; });
    TLienzoPrueba lienzo(1, 1);
    lienzo.dc.SetStretchMode(HALFTONE);
    EXPECT_TRUE(lienzo.dc.StretchDIB({0, 0, 1, 1}, {0, 0, 2, 2}, *damero, SRCCOPY));
    const uint32_t c = lienzo.Punto(0, 0);
    EXPECT_NEAR(RojoDe(c), 127.5, 0.5);
    EXPECT_EQ(c, ColorRGB(RojoDe(c), RojoDe(c), RojoDe(c)));

    // A quarter-pixel shift weighs the covered pixels by their share: a 1x1 destination
    // over source columns [0.5, 1.5) of a black/white pair is half and half.
    auto par = Imagen(3, 1, true, [](int x, int) { return x == 0 ? colorNegro : colorBlanco; });
    TLienzoPrueba mitad(2, 1);
    mitad.dc.SetStretchMode(HALFTONE);
    EXPECT_TRUE(mitad.dc.StretchDIB({0, 0, 2, 1}, {0, 0, 3, 1}, *par, SRCCOPY));
    EXPECT_NEAR(RojoDe(mitad.Punto(0, 0)), 255 * 0.5 / 1.5, 1.0);
    EXPECT_EQ(mitad.Punto(1, 0), colorBlanco);
}

TEST(ObjetosIdc, ArribaAbajoYAbajoArribaDanLoMismo) {
    auto abajoArriba = Imagen(5, 4, true, Degradado);
    auto arribaAbajo = Imagen(5, 4, false, Degradado);
    for (int modo : {HALFTONE, COLORONCOLOR}) {
        // Whole picture, enlarged and shrunk, and a part of it (rows counted from the bottom).
        const TRectanguloDib fuentes[] = {{0, 0, 5, 4}, {1, 1, 4, 3}, {0, 2, 5, 4}};
        const TRectanguloDib destinos[] = {{0, 0, 11, 9}, {1, 2, 4, 4}};
        for (const auto& f : fuentes) {
            for (const auto& d : destinos)
                EsperaIguales(d, f, *abajoArriba, *arribaAbajo, modo, 12, 10);
        }
    }
    // The picture appears upright: a 1:1 copy puts the picture's top row at the top.
    TLienzoPrueba copia(5, 4);
    copia.dc.SetStretchMode(COLORONCOLOR);
    EXPECT_TRUE(copia.dc.StretchDIB({0, 0, 5, 4}, {0, 0, 5, 4}, *abajoArriba, SRCCOPY));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(copia.Punto(x, y), Degradado(x, y));
    // Source rows count from the bottom: rows [0, 2) are the lower half of the picture.
    TLienzoPrueba abajo(5, 2);
    EXPECT_TRUE(abajo.dc.StretchDIB({0, 0, 5, 2}, {0, 0, 5, 2}, *arribaAbajo, SRCCOPY));
    EXPECT_EQ(abajo.Punto(3, 0), Degradado(3, 2));
    EXPECT_EQ(abajo.Punto(3, 1), Degradado(3, 3));
}

TEST(ObjetosIdc, ImagenEnBandasComoSinBandas) {
    const int ancho = 4, alto = 6;
    auto entera = Imagen(ancho, alto, true, Degradado);
    // Bands from the bottom strip up: picture rows 4-5, then 1-3, then 0; the middle one
    // stored top-down, and a palette band at the top.
    TDibIG bandas;
    bandas.Bandas().Insert(
        Imagen(ancho, 2, true, [](int x, int y) { return Degradado(x, y + 4); }).release());
    bandas.Bandas().Insert(
        Imagen(ancho, 3, false, [](int x, int y) { return Degradado(x, y + 1); }).release());
    bandas.Bandas().Insert(Imagen(ancho, 1, true, [](int x, int y) { return Degradado(x, y); }).release());
    for (int modo : {COLORONCOLOR, HALFTONE}) {
        const TRectanguloDib fuentes[] = {{0, 0, ancho, alto}, {1, 1, 3, 5}};
        for (const auto& f : fuentes) {
            const int fAlto = f.abajo - f.arriba;
            const TRectanguloDib d{1, 2, 1 + 2 * (f.derecha - f.izquierda), 2 + 2 * fAlto};
            EsperaIguales(d, f, *entera, bandas, modo, 12, 16);
        }
    }
    // A band that cannot be drawn makes the call fail; the others are still drawn.
    auto sinPixeles = std::make_unique<TImagen>(ancho, 2, 24, false);
    bandas.Bandas().Insert(sinPixeles.release());
    TLienzoPrueba c(4, 8);
    c.dc.SetPen(colorMagenta, 1, estiloPlumaSolido);
    EXPECT_FALSE(c.dc.StretchDIB({0, 0, 4, 8}, {0, 0, 4, 8}, bandas, SRCCOPY));
    EXPECT_EQ(c.Punto(0, 7), Degradado(0, 5));
    EXPECT_EQ(c.Punto(0, 2), Degradado(0, 0));
    EXPECT_EQ(c.Punto(1, 1), colorMagenta);
    // A band without rows covers nothing.
    TDibIG conVacia;
    conVacia.Bandas().Insert(new TDibIG);
    EXPECT_TRUE(c.dc.StretchDIB({0, 0, 4, 8}, {0, 0, 4, 8}, conVacia, SRCCOPY));
}

TEST(ObjetosIdc, ImagenesQueNoSePuedenEstirar) {
    TLienzoPrueba lienzo(8, 8, colorBlanco);
    TDibIG vacia;
    EXPECT_FALSE(lienzo.dc.StretchDIB({0, 0, 8, 8}, {0, 0, 2, 2}, vacia, SRCCOPY));
    EXPECT_EQ(lienzo.Punto(3, 3), colorBlanco); // no header: nothing drawn

    // A header without pixels cannot be drawn; splitting would not help, so it shows in
    // magenta at once.
    TImagen sinPixeles(64, 64, 24, false);
    EXPECT_FALSE(lienzo.dc.StretchDIB({0, 0, 8, 8}, {0, 0, 64, 64}, sinPixeles, SRCCOPY));
    EXPECT_EQ(lienzo.Punto(3, 3), colorMagenta);

    // No canvas: nothing to draw on.
    IDCMemoria sinLienzo;
    auto imagen = Imagen(2, 2, true, Degradado);
    EXPECT_FALSE(sinLienzo.StretchDIB({0, 0, 2, 2}, {0, 0, 2, 2}, *imagen, SRCCOPY));
}

TEST(ObjetosIdc, RecorteExactoAlDestino) {
    auto imagen = Imagen(4, 4, true, [](int, int) { return colorRojo; });
    TLienzoPrueba lienzo(10, 10, colorBlanco);
    lienzo.dc.SetStretchMode(HALFTONE);
    EXPECT_TRUE(lienzo.dc.StretchDIB({-5, 7, 3, 20}, {0, 0, 4, 4}, *imagen, SRCCOPY));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ(lienzo.Punto(x, y), (x < 3 && y >= 7) ? colorRojo : colorBlanco) << x << "," << y;
    // Enormous rectangles only touch the bitmap (and end: clipped before the loops).
    EXPECT_TRUE(lienzo.dc.StretchDIB({INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {0, 0, 4, 4}, *imagen, SRCCOPY));
    EXPECT_TRUE(lienzo.dc.StretchDIB({0, 0, 10, 10}, {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, *imagen, SRCCOPY));
    // Mirrored destination (right < left) flips the picture.
    auto par = Imagen(2, 1, true, [](int x, int) { return x ? colorAzul : colorVerde; });
    TLienzoPrueba espejo(2, 1);
    EXPECT_TRUE(espejo.dc.StretchDIB({2, 0, 0, 1}, {0, 0, 2, 1}, *par, SRCCOPY));
    EXPECT_EQ(espejo.Punto(0, 0), colorAzul);
    EXPECT_EQ(espejo.Punto(1, 0), colorVerde);
}

TEST(ObjetosIdc, RectangleAndFrame) {
    // The canvas row by row: '.' black, 'R' red, 'B' blue, 'W' white.
    const auto mapa = [](const TLienzoPrueba& l, int ancho, int alto) {
        std::string m;
        for (int y = 0; y < alto; ++y, m += '|')
            for (int x = 0; x < ancho; ++x) {
                const uint32_t c = l.Punto(x, y);
                m += c == colorNegro    ? '.'
                     : c == colorRojo   ? 'R'
                     : c == colorAzul   ? 'B'
                     : c == colorBlanco ? 'W'
                                        : '?';
            }
        return m;
    };
    TLienzoPrueba lienzo(8, 6);
    lienzo.dc.SetPen(colorRojo, 1, estiloPlumaSolido);
    lienzo.dc.SetBrush(colorAzul);
    lienzo.dc.Rectangle({2, 2, 6, 5});
    EXPECT_EQ(mapa(lienzo, 8, 6), "........|........|..RRRR..|..RBBR..|..RRRR..|........|");
    // A frame passes through both corners: right and bottom edges included.
    TLienzoPrueba marco(6, 5);
    marco.dc.SetPen(colorBlanco, 1, estiloPlumaSolido);
    marco.dc.Frame({1, 1, 4, 3});
    EXPECT_EQ(mapa(marco, 6, 5), "......|.WWWW.|.W..W.|.WWWW.|......|");
}

TEST(ObjetosIdc, BeginPaintNoSeAnida) {
    TImagenIG a, b;
    ASSERT_TRUE(a.Create(nullptr, 4, 4));
    ASSERT_TRUE(b.Create(nullptr, 4, 4));
    TContextoDC pantalla(24);
    IDCMemoria dc;
    dc.SetCanvas(&pantalla);
    dc.BeginPaint(a.DC());
    EXPECT_THAT([&] { dc.BeginPaint(b.DC()); },
                testing::ThrowsMessage<TXTextoQOR>(testing::StrEq("Error reentering IDC::BeginPaint")));
    EXPECT_EQ(dc.GetDC(), a.DC());
    dc.EndPaint();
    EXPECT_EQ(dc.GetDC(), &pantalla);
    // Without a canvas before it, re-entry is caught all the same.
    IDCMemoria temporal;
    temporal.BeginPaint(a.DC());
    EXPECT_THROW(temporal.BeginPaint(b.DC()), TXTextoQOR);
    temporal.EndPaint();
    EXPECT_NO_THROW(temporal.BeginPaint(b.DC()));
    temporal.EndPaint();
}

TEST(ObjetosIdc, BitmapFueraDePantalla) {
    TImagenIG imagen;
    EXPECT_FALSE(imagen.Create(nullptr, 0, 5));
    EXPECT_FALSE(imagen.Create(nullptr, 5, -1));
    EXPECT_FALSE(imagen.Create(nullptr, 1 << 30, 1 << 30));
    EXPECT_EQ(imagen.DC(), nullptr);
    TContextoDC referencia32(32);
    ASSERT_TRUE(imagen.Create(&referencia32, 3, 2));
    EXPECT_EQ(imagen.Dib()->BitsPixel(), 32);
    ASSERT_TRUE(imagen.Create(nullptr, 3, 2));
    EXPECT_EQ(imagen.Dib()->BitsPixel(), 24);
    // The copy of the memory bitmap keeps the picture the right way up.
    imagen.DC()->PonPunto(0, 0, colorRojo);
    TDibIG copia(*imagen.Dib(), false, true);
    EXPECT_EQ(copia.Alto(), 2);
    EXPECT_EQ(copia.Pixel(0, 1), colorRojo);
}

TEST(ObjetosIdc, ReduceAIconoHalvesAndSaysWhyNot) {
    auto mitades = Imagen(64, 64, true, [](int x, int) { return x < 32 ? colorRojo : colorBlanco; });
    TDibIG icono;
    ASSERT_TRUE(ReduceAIcono(*mitades, icono));
    EXPECT_EQ(icono.Ancho(), ladoIcono);
    EXPECT_EQ(icono.Pixel(0, 0), colorRojo);
    EXPECT_EQ(icono.Pixel(ladoIcono - 1, ladoIcono - 1), colorBlanco);

    const auto vacia = ReduceAIcono(TDibIG(), icono);
    ASSERT_FALSE(vacia);
    EXPECT_EQ(vacia.Causa(), TCausa::entrada);
    EXPECT_STREQ(vacia.Mensaje().c_str(), "there is no picture to shrink");
}

} // namespace
