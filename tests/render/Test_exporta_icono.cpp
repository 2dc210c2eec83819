// The icon export drawn headless: transparent and antialiased pixels without a fringe,
// framing, the background, the sizes, and what it refuses.
#include "image/Imagemagick_prueba.h"

#include "render/Exporta_icono.h"
#include "script/Lectura_escena.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

using prueba::TRGBA;

const char* const esfera = "COLOR=(250,220,40)\nSPHERE=[0,0,0]:2\n";
const char* const quadPlano = "QUAD=[-3,-1,0]:[3,-1,0]:[3,1,0]:[-3,1,0]\n";
const char* const revolucionAlta = "REVOLUTION=[0,0,0]|[0,0,1]|[0.3,0,8]:[0.6,0,4]:[0.5,0,0.5]:[0,0,0]\n";

struct TExportacion {
    bool Exporta(const std::string& script, const TOpcionesIcono& opciones) {
        const TLecturaEscena lectura = LeeEscena(TFuenteEscena::Texto(script, DString()));
        EXPECT_TRUE(lectura.Correcta()) << lectura.informe.Texto().c_str();
        auto exportadas = ExportaIcono(lectura.escena, opciones);
        imagenes = exportadas ? std::move(*exportadas) : TImagenesIcono();
        error = MensajeDe(exportadas);
        return exportadas.Correcto();
    }
    TRGBA Pixel(size_t i, int x, int y) const { return prueba::ColorCargado(*imagenes[i], x, y); }

    TImagenesIcono imagenes;
    DString error;
};

TOpcionesIcono Opciones(std::vector<int> lados) {
    TOpcionesIcono o;
    o.camara.ResetView();
    o.lados = std::move(lados);
    return o;
}

// The pixels with some alpha: x0, y0 (from the top), one past x1, y1.
std::array<int, 4> Caja(const TDibIG& img) {
    std::array<int, 4> caja = {img.Ancho(), img.AltoAbsoluto(), 0, 0};
    for (int y = 0; y < img.AltoAbsoluto(); ++y)
        for (int x = 0; x < img.Ancho(); ++x)
            if (prueba::ColorCargado(img, x, y).a > 0)
                caja = {std::min(caja[0], x), std::min(caja[1], y), std::max(caja[2], x + 1),
                        std::max(caja[3], y + 1)};
    return caja;
}

} // namespace

TEST(ExportaIcono, ASphereIsOpaqueInsideClearOutsideWithSoftEdgesOfItsOwnColour) {
    TExportacion e;
    ASSERT_TRUE(e.Exporta(esfera, Opciones({16, 64, 256}))) << e.error.c_str();
    ASSERT_EQ(e.imagenes.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        const int lado = e.imagenes[i]->Ancho();
        SCOPED_TRACE(lado);
        ASSERT_EQ(e.imagenes[i]->AltoAbsoluto(), lado);
        ASSERT_EQ(e.imagenes[i]->BitsPixel(), 32);
        EXPECT_EQ(e.Pixel(i, 0, 0).a, 0);
        EXPECT_EQ(e.Pixel(i, lado - 1, lado - 1).a, 0);
        EXPECT_EQ(e.Pixel(i, lado / 2, lado / 2).a, 255);
        // Every partly covered pixel has the colour of the opaque pixel next to it
        // towards the middle: no blue of the preview, no black of the cleared frame.
        int parciales = 0;
        for (int y = 1; y < lado - 1; ++y)
            for (int x = 1; x < lado - 1; ++x) {
                const TRGBA c = e.Pixel(i, x, y);
                if (c.a == 0 || c.a == 255) continue;
                ++parciales;
                const TRGBA dentro = e.Pixel(i, x + (x < lado / 2 ? 1 : -1), y + (y < lado / 2 ? 1 : -1));
                if (dentro.a < 255) continue;
                ASSERT_LE(std::abs(c.r - dentro.r) + std::abs(c.g - dentro.g) + std::abs(c.b - dentro.b), 60)
                    << x << "," << y;
                ASSERT_LT(c.b, c.r / 2) << x << "," << y;
            }
        EXPECT_GT(parciales, lado / 2);
    }
}

// The drawn pixels reach the margin of 1/16 of the side on two opposite sides: left and
// right for a flat quad, top and bottom for a tall solid, in perspective too.
TEST(ExportaIcono, FramingFillsTheSquareButTheMargin) {
    struct TCaso {
        const char* script;
        bool perspectiva;
        bool horizontal;
    } casos[] = {{quadPlano, false, true}, {revolucionAlta, false, false}, {revolucionAlta, true, false}};
    for (const TCaso& c : casos) {
        SCOPED_TRACE(std::string(c.script) + (c.perspectiva ? " perspective" : ""));
        TExportacion e;
        TOpcionesIcono o = Opciones({64, 256});
        o.camara.perspectiva = c.perspectiva;
        ASSERT_TRUE(e.Exporta(c.script, o)) << e.error.c_str();
        for (const auto& img : e.imagenes) {
            const int lado = img->Ancho(), margen = lado / 16;
            const auto caja = Caja(*img);
            const int desde = c.horizontal ? caja[0] : caja[1], hasta = c.horizontal ? caja[2] : caja[3];
            const int otroDesde = c.horizontal ? caja[1] : caja[0],
                      otroHasta = c.horizontal ? caja[3] : caja[2];
            EXPECT_NEAR(desde, margen, 1 + lado / 128) << lado;
            EXPECT_NEAR(hasta, lado - margen, 1 + lado / 128) << lado;
            EXPECT_GT(otroDesde, margen) << lado;
            EXPECT_LT(otroHasta, lado - margen) << lado;
        }
    }
}

// A line keeps its width in pixels at every size, however many samples a pixel takes.
TEST(ExportaIcono, LinesKeepTheirWidthInPixels) {
    TExportacion e;
    ASSERT_TRUE(e.Exporta("LINEWIDTH=3\nLINE=[-3,0,0]:[3,0,0]\n", Opciones({16, 64, 256})))
        << e.error.c_str();
    for (size_t i = 0; i < 3; ++i) {
        const int lado = e.imagenes[i]->Ancho();
        int alfa = 0;
        for (int y = 0; y < lado; ++y)
            alfa += e.Pixel(i, lado / 2, y).a;
        EXPECT_NEAR(alfa, 3 * 255, 120) << lado;
    }
    // At twice the density a size is drawn at twice its side, its line twice as wide.
    TOpcionesIcono doble = Opciones({48});
    doble.densidad = 2;
    ASSERT_TRUE(e.Exporta("LINEWIDTH=3\nLINE=[-3,0,0]:[3,0,0]\n", doble)) << e.error.c_str();
    ASSERT_EQ(e.imagenes[0]->Ancho(), 96);
    int alfa = 0;
    for (int y = 0; y < 96; ++y)
        alfa += e.Pixel(0, 48, y).a;
    EXPECT_NEAR(alfa, 6 * 255, 120);
}

// A picture larger than a piece is drawn a piece at a time: in either projection the
// pieces join without a seam, wide lines across their edges included. A sample on an
// edge may fall the other way, one sixteenth of a pixel at most.
TEST(ExportaIcono, APictureDrawnInPiecesIsThePictureDrawnWhole) {
    const std::string script =
        std::string(esfera) + "LINEWIDTH=5\nLINE=[-3,-3,0]:[3,3,0]\nLINE=[0,-3,1]:[0,3,1]\n";
    const TLecturaEscena lectura = LeeEscena(TFuenteEscena::Texto(script, DString()));
    for (const bool perspectiva : {false, true}) {
        TOpcionesIcono o = Opciones({32});
        o.camara.perspectiva = perspectiva;
        auto entera = TExportadorIcono().Exporta(lectura.escena, o);
        auto piezas = TExportadorIcono(24).Exporta(lectura.escena, o); // 128 samples: 6 x 6 pieces
        ASSERT_TRUE(entera && piezas);
        int distintos = 0, diferencia = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const TRGBA a = prueba::ColorCargado(*(*entera)[0], x, y);
                const TRGBA b = prueba::ColorCargado(*(*piezas)[0], x, y);
                const int d = std::max(
                    {std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b), std::abs(a.a - b.a)});
                distintos += d > 0;
                diferencia = std::max(diferencia, d);
            }
        EXPECT_LE(diferencia, 16) << perspectiva;
        EXPECT_LE(distintos, 10) << perspectiva;
    }
}

// Without framing, a zoom given counts pixels per model unit at 256 pixels, and every
// size shows the same share of the square.
TEST(ExportaIcono, AZoomGivenByHandScalesWithTheSize) {
    TExportacion e;
    TOpcionesIcono o = Opciones({64, 256});
    o.encuadra = false;
    o.camara.escala = 10.0; // the sphere's diameter of 4 units: 40 pixels at 256
    ASSERT_TRUE(e.Exporta(esfera, o)) << e.error.c_str();
    const auto pequena = Caja(*e.imagenes[0]), grande = Caja(*e.imagenes[1]);
    EXPECT_NEAR(grande[2] - grande[0], 40, 2);
    EXPECT_NEAR(pequena[2] - pequena[0], 10, 1);
    EXPECT_NEAR(grande[0], 108, 2); // about the middle, without a pan
}

// Mended: a blending texture draws without the depth test, and only samples that wrote
// depth counted as drawn, so an icon of blended faces came out empty. The face of a red
// ring on a clear ground: the ring opaque, the corners (clear texels) left clear.
TEST(ExportaIcono, FacesOfABlendingTextureAreDrawn) {
    TExportacion e;
    ASSERT_TRUE(e.Exporta(std::string("TEXTURET=") + PM_TEST_DATA + "/referencia/anillo.png,1\n" +
                              "QUAD=[-4,0,4]:[4,0,4]:[4,0,-4]:[-4,0,-4]\n",
                          Opciones({32})))
        << e.error.c_str();
    int anillo = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const TRGBA p = e.Pixel(0, x, y);
            anillo += p.a == 255 && p.r > 180 && p.g < 80 && p.b < 80;
        }
    EXPECT_GT(anillo, 50);
    EXPECT_EQ(e.Pixel(0, 0, 0).a, 0);
}

TEST(ExportaIcono, RefusesSizesOutOfRangeAndAnEmptyScene) {
    const struct {
        const char* script;
        std::vector<int> lados;
        const char* mensaje;
    } casos[] = {
        {esfera, {16, 0}, "Icon sizes go from 1 to 1024 pixels, not 0."},
        {esfera, {1025}, "Icon sizes go from 1 to 1024 pixels, not 1025."},
        {"COLOR=(1,2,3)\n", {16}, "The scene draws nothing: there is no icon to export."},
    };
    for (const auto& c : casos) {
        TExportacion e;
        EXPECT_FALSE(e.Exporta(c.script, Opciones(c.lados)));
        EXPECT_STREQ(e.error.c_str(), c.mensaje);
        EXPECT_TRUE(e.imagenes.empty());
    }
}
