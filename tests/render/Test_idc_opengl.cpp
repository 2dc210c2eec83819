#include "Dispositivo_prueba.h"

#include "support/Throw_qor.h"

#include <GL/gl.h>

#include <algorithm>
#include <limits>
#include <memory>

namespace {

// A surface whose steps can be made to fail.
class TSuperficieFalsa : public TSuperficieGL {
public:
    bool AbreDispositivo() override { return abre; }
    int BitsColor() const override { return 32; }
    int EligeFormato(int, int) override { return formato; }
    bool FijaFormato(int, uint32_t& codigo) override { return codigo = 5, fija; }
    bool CreaContexto(uint32_t& codigo) override { return codigo = codigoContexto, false; }
    void LiberaContexto() override {}
    bool TieneContexto() const override { return false; }
    bool HazActual() override { return false; }
    void Presenta() override {}
    int Ancho() const override { return 10; }
    int Alto() const override { return 10; }
    uint32_t BufferLectura() const override { return GL_BACK; }

    bool abre = true, fija = true;
    int formato = 1;
    uint32_t codigoContexto = 1114;
};

// The lit pixels of the frame that differ from the colour.
int Distintos(TDispositivoPrueba& p, uint32_t color) {
    p.dc.ReadPixels(p.imagen);
    int n = 0;
    for (int y = 0; y < p.alto; ++y)
        for (int x = 0; x < p.ancho; ++x)
            n += p.imagen.Pixel(x, y) != color;
    return n;
}

TEST(IdcOpenGL, SetWindowFailures) {
    IDCOpenGL dc;
    int bits = 0;
    TSuperficieFalsa falsa;
    const auto falla = [&](TSuperficieGL* s) {
        try {
            return std::string(MensajeDe(dc.SetWindow(s, bits, colorAzul, {0, 0, 10, 10}, 512)).c_str());
        } catch (const TXTextoQOR& e) {
            return std::string("throws ") + e.what();
        }
    };
    EXPECT_EQ(falla(nullptr), "Error in wglCreateContext, hWnd=NULL");
    EXPECT_FALSE(dc.IsActive());
    falsa.abre = false;
    EXPECT_EQ(falla(&falsa), "Error in wglCreateContext, ghDC=NULL");
    falsa.abre = true;
    EXPECT_EQ(falla(&falsa), "Error in wglCreateContext: ERROR_DLL_INIT_FAILED Probably the drivers of the "
                             "graphic card are not correctly installed.You can also try changing the color "
                             "bits, from 32 to 16.  bits= 32");
    EXPECT_EQ(bits, 32);
    falsa.codigoContexto = 12291;
    EXPECT_EQ(falla(&falsa), "Error in wglCreateContext, err= 12291 bits= 32");
    falsa.fija = false;
    EXPECT_EQ(falla(&falsa), "throws SetPixelFormat failed error=5");
    falsa.formato = 0;
    EXPECT_EQ(falla(&falsa), "throws ChoosePixelFormat failed");

    // Zero height: the context is made, then the call fails.
    TSuperficieEGL superficie(10, 0);
    EXPECT_STREQ(MensajeDe(dc.SetWindow(&superficie, bits, colorAzul, {0, 0, 10, 0}, 512)).c_str(),
                 "Error in IDCOpenGL::SetWindow, minimized window!");
    EXPECT_TRUE(dc.IsActive());
    dc.ReleaseWindow();
    EXPECT_FALSE(dc.IsActive());
}

TEST(IdcOpenGL, PolygonLitAsIluminaAndMode3OpenStrip) {
    TDispositivoPrueba p;
    ASSERT_TRUE(p.activo);
    // A white square facing the viewer, lit two-sided as the face painters do.
    uint32_t color = colorBlanco, esperado = colorBlanco;
    p.dc.LitColor(color, {0, 0, 1}, true);
    Ilumina(luzEscena, esperado, {0, 0, 1}, true);
    EXPECT_EQ(color, esperado);
    const vector3D cuadro[4] = {{-0.5, -0.5, 0}, {0.5, -0.5, 0}, {0.5, 0.5, 0}, {-0.5, 0.5, 0}};
    const uint32_t colores[4] = {color, color, color, color};
    p.dc.Polygon(cuadro, colores, modoRelleno);
    EXPECT_LE(DiferenciaMaxima(p.LeeModelo(0.1, 0.1), color), 1);
    EXPECT_EQ(p.LeeModelo(0.8, 0.8), ColorRGB(0, 0, 254));

    TDispositivoPrueba q(64, 64, colorNegro);
    q.dc.SetColor(colorBlanco);
    // Corners on pixel centres so that the lines are exact.
    auto c = [](int px) { return (px + 0.5) / 32.0 - 1.0; };
    const vector3D puntos[3] = {{c(10), c(10), 0}, {c(50), c(10), 0}, {c(50), c(50), 0}};
    const uint32_t rojos[3] = {colorRojo, colorRojo, colorRojo};
    q.dc.Polygon(puntos, rojos, modoLineas);
    const uint32_t enAB = q.Lee(30, 63 - 10), enBC = q.Lee(50, 63 - 30);
    EXPECT_GT(RojoDe(enAB), 200u);
    EXPECT_GT(RojoDe(enBC), 200u);
    EXPECT_EQ(VerdeDe(enAB), RojoDe(enAB));    // the current colour: no per-vertex colours
    EXPECT_EQ(q.Lee(30, 63 - 30), colorNegro); // the closing edge C-A is absent
    // Filled, the same three points make a triangle in the vertex colours.
    q.dc.Polygon(puntos, rojos, modoRelleno);
    EXPECT_EQ(q.Lee(40, 63 - 20), ColorRGB(254, 0, 0));
}

TEST(IdcOpenGL, MatrixStacksStayBalancedWhenFullAndForDegenerateSolids) {
    TDispositivoPrueba p;
    ASSERT_TRUE(p.activo);
    GLint maxima = 0, proyMaxima = 0;
    glGetIntegerv(GL_MAX_MODELVIEW_STACK_DEPTH, &maxima);
    glGetIntegerv(GL_MAX_PROJECTION_STACK_DEPTH, &proyMaxima);
    glMatrixMode(GL_PROJECTION);
    for (int i = 1; i < proyMaxima; ++i)
        glPushMatrix();
    glMatrixMode(GL_MODELVIEW);
    for (int i = 1; i < maxima; ++i)
        glPushMatrix();
    glTranslatef(0.25f, 0.0f, 0.0f);
    GLdouble antes[16], despues[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, antes);
    while (glGetError() != GL_NO_ERROR) {
    }
    // Every painter that pushes must cope with full stacks; degenerate solids end.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    p.dc.Cone({0, 0, 0}, {0.5, 0.5, 0}, 0.1, 0.0, colorBlanco, modoRelleno);
    p.dc.Sphere({0.2, 0, 0}, 0.3, colorBlanco, modoRelleno);
    p.dc.Ellipsoid({0, 0, 0}, 0.3, 0.1, 0.2, colorBlanco, modoRelleno);
    p.dc.Axes({0, 0, 0}, 0.5);
    for (double r : {0.0, nan})
        p.dc.Sphere({0, 0, 0}, r, colorBlanco, modoRelleno);
    p.dc.Sphere({nan, 0, 0}, 1.0, colorBlanco, modoRelleno);
    p.dc.Cone({0, 0, 0}, {0, 0, 0}, 0.5, 0.5, colorBlanco, modoRelleno);
    p.dc.Cone({nan, 0, 0}, {0, 0, 1}, 0.5, 0.5, colorBlanco, modoRelleno);
    p.dc.Ellipsoid({0, 0, 0}, 0.0, 0.5, 0.5, colorBlanco, modoRelleno);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    GLint profundidad = 0, proyeccion = 0, modo = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &profundidad);
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &proyeccion);
    glGetIntegerv(GL_MATRIX_MODE, &modo);
    EXPECT_EQ(profundidad, maxima);
    EXPECT_EQ(proyeccion, proyMaxima);
    EXPECT_EQ(modo, GL_MODELVIEW);
    glGetDoublev(GL_MODELVIEW_MATRIX, despues);
    EXPECT_TRUE(std::equal(antes, antes + 16, despues));
}

TEST(IdcOpenGL, TextDrawsPixelsAndEmptyTextBuildsNoFontLists) {
    TDispositivoPrueba p(64, 64, colorNegro);
    ASSERT_TRUE(p.activo);
    EXPECT_GE(p.dc.baseFuente, 0); // built by SetWindow
    glDeleteLists(static_cast<GLuint>(p.dc.baseFuente), 255);
    p.dc.baseFuente = -1;
    p.dc.Text({0, 0, 0}, "");
    p.dc.Text({0, 0, 0}, nullptr);
    EXPECT_EQ(p.dc.baseFuente, -1);
    p.dc.SetColor(colorBlanco);
    p.dc.Text({-0.5, -0.5, 0}, "H");
    EXPECT_GE(p.dc.baseFuente, 0);
    EXPECT_EQ(Distintos(p, colorNegro), 17); // the pixels of the letter H
    // Building the lists again releases the old ones first.
    const int32_t anterior = p.dc.baseFuente;
    p.dc.CreateFontLists();
    EXPECT_EQ(glIsList(static_cast<GLuint>(anterior)) == GL_TRUE, anterior == p.dc.baseFuente);

    // Axes: lines in the current colour, lit red arrowhead of x at 0.8 to 1.0 of the
    // length, black labels near the ends.
    TDispositivoPrueba ejes(64, 64, colorBlanco);
    ejes.dc.SetColor(colorNegro);
    const double centro = -0.5 + 1.0 / 64; // on pixel centres
    ejes.dc.Axes({centro, centro, 0}, 0.8);
    EXPECT_EQ(ejes.LeeModelo(-0.1, centro), colorNegro);
    const uint32_t flecha = ejes.LeeModelo(centro + 0.75, centro + 0.01);
    EXPECT_GT(RojoDe(flecha), 80u);
    EXPECT_EQ(VerdeDe(flecha), 0u);
    EXPECT_GT(64 * 64 - Distintos(ejes, colorNegro), 20 + 20 + 10);
}

TEST(IdcOpenGL, ReadPixelsIsBottomUp24Bit) {
    TDispositivoPrueba p(61, 47, colorNegro);
    ASSERT_TRUE(p.activo);
    // A red block in the bottom-left corner.
    const vector3D cuadro[4] = {{-1, -1, 0}, {-0.8, -1, 0}, {-0.8, -0.8, 0}, {-1, -0.8, 0}};
    p.dc.SetColor(colorRojo);
    p.dc.Polygon(cuadro, {}, modoRelleno);
    TDibIG imagen;
    p.dc.ReadPixels(imagen);
    EXPECT_EQ(imagen.Ancho(), 61);
    EXPECT_EQ(imagen.Alto(), 47);
    EXPECT_EQ(imagen.BitsPixel(), 24);
    EXPECT_EQ(imagen.Pixel(2, 1), ColorRGB(254, 0, 0));
    EXPECT_EQ(imagen.Pixel(0, 46), colorNegro);
    EXPECT_EQ(imagen.Pixel(60, 0), colorNegro);
    // A rectangle larger than the frame: the part outside stays black.
    p.dc.rectangulo.derecha = 80;
    p.dc.ReadPixels(imagen);
    EXPECT_EQ(imagen.Ancho(), 80);
    EXPECT_EQ(imagen.Pixel(0, 0), ColorRGB(254, 0, 0));
    EXPECT_EQ(imagen.Pixel(70, 0), colorNegro);
    // Resize follows the frame.
    p.dc.Resize(20, 10);
    p.dc.ReadPixels(imagen);
    EXPECT_EQ(imagen.Ancho() * 100 + imagen.Alto(), 2010);
}

TEST(IdcOpenGL, SeveralDevicesInOneProcess) {
    for (int vuelta = 0; vuelta < 3; ++vuelta) {
        auto rojo = std::make_unique<TDispositivoPrueba>(16, 16, colorRojo);
        auto verde = std::make_unique<TDispositivoPrueba>(8, 8, colorVerde);
        ASSERT_TRUE(rojo->activo && verde->activo);
        rojo->dc.MakeCurrent();
        EXPECT_EQ(rojo->Lee(1, 1), ColorRGB(254, 0, 0));
        verde->dc.MakeCurrent();
        EXPECT_EQ(verde->Lee(1, 1), ColorRGB(0, 254, 0));
        // Destroying the other device keeps this one's context current.
        rojo->dc.MakeCurrent();
        verde.reset();
        EXPECT_EQ(rojo->Lee(2, 2), ColorRGB(254, 0, 0));
        // A device may be bound again to the same surface.
        int bits = 0;
        EXPECT_TRUE(rojo->dc.SetWindow(&rojo->superficie, bits, colorBlanco, {0, 0, 16, 16}, 512));
        rojo->dc.Clear();
        EXPECT_EQ(rojo->Lee(2, 2), ColorRGB(254, 254, 254));
    }
}

} // namespace
