// The scene drawn through the headless surface at the editor's default view (20
// pixels per unit, the model origin at the centre, model x to the right, model z up
// and model y into the picture, tilted 45 degrees so both rise on the screen by
// 20 / sqrt(2) pixels per unit), probed pixel by pixel.
#include "Lee_script.h"

#include "geometry/Luz_normals.h"
#include "image/Tdibig.h"
#include "render/Idc_opengl.h"
#include "render/Superficie_egl.h"
#include "render/Vista_previa.h"
#include "script/Pinta_vista.h"
#include "support/Informa.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>

namespace {

constexpr int lado = 256;
constexpr int centro = lado / 2;
constexpr double subida = 20.0 / 1.4142135623730951; // screen pixels per unit of z or y

int Diferencia(uint32_t a, uint32_t b) {
    return std::max({std::abs(RojoDe(a) - RojoDe(b)), std::abs(VerdeDe(a) - VerdeDe(b)),
                     std::abs(AzulDe(a) - AzulDe(b))});
}

// A preview of its own: a device on a headless surface, the default view.
struct TVistaPrueba {
    TVistaPrueba() {
        dc.luz = luzEscena;
        int bits = 0;
        DString error;
        activo = dc.SetWindow(&superficie, bits, colorAzul, {0, 0, lado, lado}, 512, error);
        vista.ResetView();
    }
    void Pinta(TObjeto3D& escena) {
        PintaVista(dc, escena, vista);
        dc.ReadPixels(imagen);
    }
    // y counted from the top of the picture.
    uint32_t En(int x, int yArriba) const { return imagen.Pixel(x, lado - 1 - yArriba); }
    // The pixel under a model point on the z = 0, y = 0 line or above it.
    uint32_t EnModelo(double x, double y, double z) const {
        return En(centro + static_cast<int>(std::lround(20.0 * x)),
                  centro - static_cast<int>(std::lround(subida * (y + z))));
    }
    bool EsFondo(uint32_t c) const { return Diferencia(c, 0xFE0000) <= 1; }
    // Whether a pixel within `radio` of the model point has the colour (thin lines fall
    // on either side of a pixel boundary).
    bool HayCerca(double x, double y, double z, uint32_t color, int radio = 2) const {
        const int px = centro + static_cast<int>(std::lround(20.0 * x));
        const int py = centro - static_cast<int>(std::lround(subida * (y + z)));
        for (int dy = -radio; dy <= radio; ++dy)
            for (int dx = -radio; dx <= radio; ++dx)
                if (Diferencia(En(px + dx, py + dy), color) <= 1) return true;
        return false;
    }
    int ProfundidadPila() const {
        GLint p = 0;
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &p);
        return p;
    }

    TSuperficieEGL superficie{lado, lado};
    IDCOpenGL dc;
    TVistaPrevia vista;
    TDibIG imagen;
    bool activo = false;
};

const char* quadArriba = "QUAD=[-2,-2,0]:[2,-2,0]:[2,2,0]:[-2,2,0]\n";

// White lit two-sided by a normal (0, 0, 1), as the frame buffer stores it.
uint32_t BlancoHaciaArriba() {
    uint32_t c = colorBlanco;
    Ilumina(luzEscena, c, vector3D(0, 0, 1), true);
    return c;
}

} // namespace

TEST(PintaEscena, QuadFacingUpHasItsLitColour) {
    TVistaPrueba v;
    ASSERT_TRUE(v.activo);
    TObjeto3D escena;
    ASSERT_TRUE(LeeScript(escena, quadArriba).correcto);
    v.Pinta(escena);
    EXPECT_LE(Diferencia(v.En(centro, centro), BlancoHaciaArriba()), 1);
    EXPECT_LE(Diferencia(v.EnModelo(1.8, 1.8, 0), BlancoHaciaArriba()), 1);
    EXPECT_LE(Diferencia(v.EnModelo(-1.8, -1.8, 0), BlancoHaciaArriba()), 1);
    EXPECT_TRUE(v.EsFondo(v.EnModelo(2.3, 0, 0)));
    EXPECT_TRUE(v.EsFondo(v.EnModelo(0, 2.4, 0)));
    EXPECT_TRUE(v.EsFondo(v.EnModelo(0, -2.4, 0)));
    // Turning the quad over changes nothing: the lighting is two-sided.
    ASSERT_TRUE(LeeScript(escena, "QUAD=[-2,2,0]:[2,2,0]:[2,-2,0]:[-2,-2,0]\n").correcto);
    v.Pinta(escena);
    EXPECT_LE(Diferencia(v.En(centro, centro), BlancoHaciaArriba()), 1);
    EXPECT_EQ(v.ProfundidadPila(), 1);
}

TEST(PintaEscena, HighlightedQuadShowsItsOutlineAndTheTripod) {
    TVistaPrueba v;
    TObjeto3D escena;
    ASSERT_TRUE(LeeScript(escena, quadArriba).correcto);
    v.Pinta(escena);
    // The tripod at corner 0: its z axis rises from (-2, -2, 0) above the quad, its x
    // axis runs to the right along the front edge and beyond the quad.
    EXPECT_FALSE(v.HayCerca(-2, -2, 5, colorNegro));
    EXPECT_FALSE(v.HayCerca(4, -2, 0, colorNegro));
    EXPECT_FALSE(v.HayCerca(0, -2.05, 0, colorNegro));

    escena.lineaResaltada = 0;
    escena.puntoResaltado = 0;
    v.Pinta(escena);
    EXPECT_TRUE(v.HayCerca(-2, -2, 5, colorNegro));
    EXPECT_TRUE(v.HayCerca(4, -2, 0, colorNegro));
    EXPECT_TRUE(v.HayCerca(0, -2.05, 0, colorNegro, 0)); // the thick outline just outside the front edge
    EXPECT_LE(Diferencia(v.En(centro, centro), BlancoHaciaArriba()), 1);
    // A field index beyond the corners marks nothing, but the outline stays.
    escena.puntoResaltado = 4;
    v.Pinta(escena);
    EXPECT_FALSE(v.HayCerca(-2, -2, 5, colorNegro));
    EXPECT_TRUE(v.HayCerca(0, -2.05, 0, colorNegro, 0));
    // Another line: not highlighted at all.
    escena.lineaResaltada = 1;
    escena.puntoResaltado = 0;
    v.Pinta(escena);
    EXPECT_FALSE(v.HayCerca(0, -2.05, 0, colorNegro));
}

TEST(PintaEscena, PushTransMovesWhatFollowsAndPopRestores) {
    TVistaPrueba v;
    TObjeto3D escena;
    ASSERT_TRUE(LeeScript(escena, "PUSHTRANS=[3,0,0]\n"
                                  "QUAD=[-0.5,-0.5,0]:[0.5,-0.5,0]:[0.5,0.5,0]:[-0.5,0.5,0]\n"
                                  "POP\n"
                                  "COLOR=(255,0,0)\n"
                                  "QUAD=[-0.5,-0.5,0]:[0.5,-0.5,0]:[0.5,0.5,0]:[-0.5,0.5,0]\n")
                    .correcto);
    v.Pinta(escena);
    EXPECT_LE(Diferencia(v.EnModelo(3, 0, 0), BlancoHaciaArriba()), 1);
    EXPECT_GT(RojoDe(v.EnModelo(0, 0, 0)), 150);
    EXPECT_LT(AzulDe(v.EnModelo(0, 0, 0)), 10);
    EXPECT_TRUE(v.EsFondo(v.EnModelo(1.5, 0, 0)));
    EXPECT_EQ(v.ProfundidadPila(), 1);
}

TEST(PintaEscena, ScaleAndTurnPushesAndSceneSettings) {
    TVistaPrueba v;
    TObjeto3D escena;
    // Scaled twice as large, then turned by 90 degrees about z: a quad lying along +x
    // ends up lying along +y.
    ASSERT_TRUE(LeeScript(escena, "PUSHSCALE=2\nPUSHTURN=[0,0,1]|90\n"
                                  "QUAD=[1,-0.25,0]:[2,-0.25,0]:[2,0.25,0]:[1,0.25,0]\nPOP\nPOP\n")
                    .correcto);
    v.Pinta(escena);
    EXPECT_FALSE(v.EsFondo(v.EnModelo(0, 3, 0)));
    EXPECT_TRUE(v.EsFondo(v.EnModelo(3, 0, 0)));
    // SCALE and CENTER act on the whole icon.
    ASSERT_TRUE(LeeScript(escena, "CENTER=[4,0,0]\nSCALE=0.5\n"
                                  "QUAD=[3,-1,0]:[5,-1,0]:[5,1,0]:[3,1,0]\n")
                    .correcto);
    v.Pinta(escena);
    EXPECT_FALSE(v.EsFondo(v.EnModelo(0, 0, 0)));
    EXPECT_FALSE(v.EsFondo(v.EnModelo(0.4, 0, 0)));
    EXPECT_TRUE(v.EsFondo(v.EnModelo(0.7, 0, 0))); // half of 1 unit from the centre
}

TEST(PintaEscena, AFailedParseStillPaintsWhatWasRead) {
    TVistaPrueba v;
    TObjeto3D escena;
    const auto r = LeeScript(escena, "PUSHTRANS=[3,0,0]\n"
                                     "QUAD=[-0.5,-0.5,0]:[0.5,-0.5,0]:[0.5,0.5,0]:[-0.5,0.5,0]\n"
                                     "COLOR=red\n"
                                     "POP\n");
    EXPECT_FALSE(r.correcto);
    EXPECT_EQ(r.errores, "2: Error reading color\r\n");
    ASSERT_EQ(escena.Count(), 2);
    v.Pinta(escena);
    EXPECT_LE(Diferencia(v.EnModelo(3, 0, 0), BlancoHaciaArriba()), 1);
    EXPECT_EQ(v.ProfundidadPila(), 1);
    // The same frame again: nothing left over from the unclosed push.
    v.Pinta(escena);
    EXPECT_LE(Diferencia(v.EnModelo(3, 0, 0), BlancoHaciaArriba()), 1);
    EXPECT_TRUE(v.EsFondo(v.EnModelo(6, 0, 0)));
    EXPECT_EQ(v.ProfundidadPila(), 1);
}

TEST(PintaEscena, NestingDeeperThanTheDriverStackStaysCorrect) {
    TVistaPrueba v;
    GLint maxima = 0;
    glGetIntegerv(GL_MAX_MODELVIEW_STACK_DEPTH, &maxima);
    const int niveles = maxima + 40;
    std::string texto;
    for (int i = 0; i < niveles; ++i)
        texto += "PUSHTRANS=[0.05,0,0]\n";
    texto += "QUAD=[-0.5,-0.5,0]:[0.5,-0.5,0]:[0.5,0.5,0]:[-0.5,0.5,0]\n";
    for (int i = 0; i < niveles; ++i)
        texto += "POP\n";
    texto += "COLOR=(255,0,0)\nQUAD=[-0.5,-0.5,0]:[0.5,-0.5,0]:[0.5,0.5,0]:[-0.5,0.5,0]\n";
    TObjeto3D escena;
    ASSERT_TRUE(LeeScript(escena, texto).correcto);
    while (glGetError() != GL_NO_ERROR) {
    }
    v.Pinta(escena);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    const double x = 0.05 * niveles;
    EXPECT_LE(Diferencia(v.EnModelo(x, 0, 0), BlancoHaciaArriba()), 1);
    EXPECT_GT(RojoDe(v.EnModelo(0, 0, 0)), 150); // after the pops, back at the origin
    EXPECT_EQ(v.ProfundidadPila(), 1);
}

TEST(PintaEscena, PickingFindsTheFirstControlPointWithinEightPixels) {
    TVistaPrueba v;
    TObjeto3D escena;
    ASSERT_TRUE(LeeScript(escena, "CIRCLE=[0,0,0]:[0,0,1]:2\n"
                                  "QUAD=[-2,-2,0]:[2,-2,0]:[2,2,0]:[-2,2,0]\n"
                                  "LINE=[2,-2,0]:[4,0,0]\n")
                    .correcto);
    v.Pinta(escena);
    vector3D esquina;
    bool visible = false;
    v.dc.ProjectPoint(vector3D(2, -2, 0), esquina, visible, true);
    EXPECT_NEAR(esquina.x, centro + 40, 0.01);
    EXPECT_NEAR(esquina.y, centro + 2 * subida, 0.01);

    int linea = 0, indice = 0;
    escena.BuscaPunto(v.dc, vector2D(esquina.x + 7.9, esquina.y), linea, indice);
    EXPECT_EQ(linea, 1); // the quad comes before the line that shares the corner
    EXPECT_EQ(indice, 1);
    escena.BuscaPunto(v.dc, vector2D(esquina.x + 4, esquina.y - 4), linea, indice);
    EXPECT_EQ(linea, -1); // |dx| + |dy| = 8 misses
    EXPECT_EQ(indice, -1);
    v.dc.ProjectPoint(vector3D(4, 0, 0), esquina, visible, true);
    escena.BuscaPunto(v.dc, vector2D(esquina.x, esquina.y), linea, indice);
    EXPECT_EQ(linea, 2);
    EXPECT_EQ(indice, 1);
    // Rings have no control points.
    v.dc.ProjectPoint(escena[0].puntos[3], esquina, visible, true);
    escena.BuscaPunto(v.dc, vector2D(esquina.x, esquina.y), linea, indice);
    EXPECT_EQ(linea, -1);
    EXPECT_EQ(v.ProfundidadPila(), 1);
}

TEST(PintaEscena, PickingFollowsTheCentreAndThePushes) {
    TVistaPrueba v;
    TObjeto3D escena;
    ASSERT_TRUE(LeeScript(escena, "CENTER=[1,0,0]\n"
                                  "LINE=[1,0,0]:[1,0,1]\n"
                                  "PUSHTRANS=[0,0,2]\n"
                                  "LINE=[3,0,0]:[3,0,1]\n"
                                  "POP\n")
                    .correcto);
    v.Pinta(escena);
    int linea = 0, indice = 0;
    // The first line's start is drawn at the centre of the picture, because of CENTER.
    escena.BuscaPunto(v.dc, vector2D(centro, centro), linea, indice);
    EXPECT_EQ(linea, 1);
    EXPECT_EQ(indice, 0);
    // The second line's start is drawn 2 units right and 2 units up.
    escena.BuscaPunto(v.dc, vector2D(centro + 40, centro - 2 * subida), linea, indice);
    EXPECT_EQ(linea, 3);
    EXPECT_EQ(indice, 0);
    EXPECT_EQ(escena.nivelPush, 0);
    EXPECT_EQ(v.ProfundidadPila(), 1);
}

TEST(PintaEscena, PanAndZoomMoveThePicture) {
    TVistaPrueba v;
    TObjeto3D escena;
    ASSERT_TRUE(LeeScript(escena, "QUAD=[-0.5,-0.5,0]:[0.5,-0.5,0]:[0.5,0.5,0]:[-0.5,0.5,0]\n").correcto);
    v.vista.Desplaza(30, 20, lado, lado);
    v.Pinta(escena);
    EXPECT_FALSE(v.EsFondo(v.En(centro + 30, centro + 20)));
    EXPECT_TRUE(v.EsFondo(v.En(centro, centro)));
    v.vista.desplazamiento = vector3D();
    v.vista.escala = 80.0;
    v.Pinta(escena);
    EXPECT_FALSE(v.EsFondo(v.En(centro + 35, centro)));
    EXPECT_TRUE(v.EsFondo(v.En(centro + 45, centro)));
    // In perspective the pan has no effect.
    v.vista.escala = 20.0;
    v.dc.perspectiva = true;
    v.Pinta(escena);
    const uint32_t enCentro = v.En(centro, centro);
    v.vista.Desplaza(60, 0, lado, lado);
    v.Pinta(escena);
    EXPECT_EQ(v.En(centro, centro), enCentro);
}

namespace {

// An element whose painting fails, to see how the scene reports and recovers.
class TElementoRoto : public TElementoObj3D {
public:
    explicit TElementoRoto(TObjeto3D* e) : TElementoObj3D(e, 0) {}
    void Pinta(IDCOpenGL&, bool, int) override { throw std::runtime_error("broken"); }
    void Lee(const DString&, DString&) override {}
    const char* NombreClase() const override { return "TElementoRoto"; }
};

std::string informado;
void Apunta(const char* texto, const char* titulo) {
    informado = std::string(titulo) + "|" + texto;
}

} // namespace

TEST(PintaEscena, AFailingElementIsReportedAndTheStackStaysBalanced) {
    TVistaPrueba v;
    TObjeto3D escena;
    ASSERT_TRUE(LeeScript(escena,
                          "PUSHTRANS=[1,0,0]\nQUAD=[0,0,0]:[1,0,0]:[1,1,0]:[0,1,0]\nPOP\nPUSHSCALE=2\n"
                          "PUSHSCALE=2\n")
                    .errores == "POPs needed!");
    escena.Insert(std::make_unique<TElementoRoto>(&escena));
    const InformadorQOR previo = InstalaInformador(Apunta);
    informado.clear();
    const TLuz luz = v.dc.luz;
    v.dc.luz.ambiente = 0.1;
    v.Pinta(escena);
    InstalaInformador(previo);
    // Five elements before it: the count reached 5 after the view steps, then 6 .. 11.
    EXPECT_EQ(informado, "Selvaron|Undefined critical in TObjeto3D::Pinta tr=11");
    EXPECT_EQ(v.dc.luz.ambiente, 0.1); // the device's light is put back
    v.dc.luz = luz;
    EXPECT_EQ(v.ProfundidadPila(), 1);
    EXPECT_EQ(escena.nivelPush, 0);
}

TEST(VistaPrevia, NavigationRules) {
    TVistaPrevia v;
    v.ResetView();
    EXPECT_DOUBLE_EQ(v.anguloX, -0.7853981633974483);
    v.Gira(100, 0);
    EXPECT_DOUBLE_EQ(v.anguloY, 1.0);
    v.Gira(0, 50);
    EXPECT_DOUBLE_EQ(v.anguloX, -0.7853981633974483 - 0.5);
    v.Rueda(120, false);
    EXPECT_DOUBLE_EQ(v.escala, 20.0 * 0.88);
    v.Rueda(-120, false);
    EXPECT_DOUBLE_EQ(v.escala, 20.0);
    v.Rueda(120, true);
    EXPECT_DOUBLE_EQ(v.distancia, 10.0 * 0.88);
    EXPECT_DOUBLE_EQ(v.escala, 20.0);
    v.Rueda(-120, true);
    EXPECT_DOUBLE_EQ(v.distancia, 10.0);
    v.Rueda(5000, false); // far beyond one step: still a positive zoom
    EXPECT_GT(v.escala, 0.0);
    v.escala = 20.0;
    v.AcercaZoom();
    v.AlejaZoom();
    EXPECT_NEAR(v.escala, 20.0, 1e-12);
    v.Desplaza(10, -20, 200, 100);
    EXPECT_DOUBLE_EQ(v.desplazamiento.x, 0.1);
    EXPECT_DOUBLE_EQ(v.desplazamiento.y, 0.4);
    v.desplazamiento.z = 3;
    v.ResetView(); // keeps pan and distance
    EXPECT_DOUBLE_EQ(v.desplazamiento.x, 0.1);
    EXPECT_DOUBLE_EQ(v.distancia, 10.0);
    EXPECT_DOUBLE_EQ(v.anguloY, 0.0);
}
