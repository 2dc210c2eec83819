// The scene at the editor's default view: lighting, highlights, the transform stack,
// picking and the preview's navigation.
#include "Pinta_prueba.h"

#include "support/Informa.h"

#include <memory>
#include <stdexcept>

namespace {

const char* quadArriba = "QUAD=[-2,-2,0]:[2,-2,0]:[2,2,0]:[-2,2,0]\n";
const char* quadCentro = "QUAD=[-0.5,-0.5,0]:[0.5,-0.5,0]:[0.5,0.5,0]:[-0.5,0.5,0]\n";

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
    v.Pinta(quadArriba);
    for (double d : {0.0, 1.8, -1.8})
        EXPECT_LE(Diferencia(v.EnModelo(d, d, 0), BlancoHaciaArriba()), 1) << d;
    EXPECT_TRUE(v.EsFondo(v.EnModelo(2.3, 0, 0)));
    EXPECT_TRUE(v.EsFondo(v.EnModelo(0, 2.4, 0)));
    EXPECT_TRUE(v.EsFondo(v.EnModelo(0, -2.4, 0)));
    // Turning the quad over changes nothing: the lighting is two-sided.
    v.Pinta("QUAD=[-2,2,0]:[2,2,0]:[2,-2,0]:[-2,-2,0]\n");
    EXPECT_LE(Diferencia(v.En(centro, centro), BlancoHaciaArriba()), 1);
    EXPECT_EQ(v.ProfundidadPila(), 1);
}

// Runs of triangles go out together: before and after a full batch, and on both sides
// of a transform that applies only to the triangles after it.
TEST(PintaEscena, TrianglesAroundAFullBatchAndATransform) {
    TVistaPrueba v;
    std::string script = "COLOR=(255,0,0)\nTRIANGLE=[-4,-1,0]:[-2,-1,0]:[-3,1,0]\nCOLOR=(0,255,0)\n";
    for (int i = 0; i < 2100; ++i)
        script += "TRIANGLE=[0,5,0]:[0,5,0]:[0,5,0]\n";
    script += "PUSHTRANS=[3,0,0]\nTRIANGLE=[-1,-1,0]:[1,-1,0]:[0,1,0]\nPOP\n"
              "COLOR=(0,0,255)\nTRIANGLE=[-1,-1,0]:[1,-1,0]:[0,1,0]\n";
    v.Pinta(script);
    EXPECT_TRUE(EsRojo(v.EnModelo(-3, 0, 0)));
    EXPECT_TRUE(EsVerde(v.EnModelo(3, 0, 0)));
    EXPECT_TRUE(EsAzul(v.EnModelo(0, 0, 0)));
    EXPECT_TRUE(v.EsFondo(v.EnModelo(5.5, 0, 0)));
    EXPECT_EQ(v.ProfundidadPila(), 1);
}

// The batch gives the very pixels of the triangles painted one by one as polygons.
TEST(PintaEscena, BatchedTrianglesPaintAsPolygonsDo) {
    TVistaPrueba v;
    std::string script;
    for (int i = 0; i < 300; ++i) {
        const int x = i % 20 - 10, y = i / 20 - 7, z = i % 7 - 3;
        script += "COLOR=(" + std::to_string(i * 37 % 256) + "," + std::to_string(i * 91 % 256) + "," +
                  std::to_string(i * 53 % 256) + ")\nTRIANGLE=[" + std::to_string(x) + "," +
                  std::to_string(y) + "," + std::to_string(z) + "]:[" + std::to_string(x + 3) + "," +
                  std::to_string(y) + ",0]:[" + std::to_string(x) + "," + std::to_string(y + 2) + ",1]\n";
    }
    v.Pinta(script);
    CargaVista(v.dc, v.vista);
    v.dc.Clear();
    v.escena.ParaCada([&](TElementoObj3D& e) { e.Pinta(v.dc, false, -1); });
    v.dc.Swap();
    TDibIG unoAUno;
    v.dc.ReadPixels(unoAUno);
    int distintos = 0;
    for (int y = 0; y < lado; ++y)
        for (int x = 0; x < lado; ++x)
            distintos += unoAUno.Pixel(x, y) != v.imagen.Pixel(x, y);
    EXPECT_EQ(distintos, 0);
    EXPECT_FALSE(v.EsFondo(v.Desde(0, 0)));
}

TEST(PintaEscena, HighlightedQuadShowsItsOutlineAndTheTripod) {
    TVistaPrueba v;
    v.Pinta(quadArriba);
    // The tripod at corner 0: its z axis rises from (-2, -2, 0) above the quad, its x
    // axis runs to the right along the front edge and beyond the quad; the thick outline
    // lies just outside the front edge.
    const auto tripode = [&] {
        return v.HayCerca(-2, -2, 5, colorNegro) && v.HayCerca(4, -2, 0, colorNegro);
    };
    const auto contorno = [&] { return v.HayCerca(0, -2.05, 0, colorNegro, 0); };
    EXPECT_FALSE(v.HayCerca(-2, -2, 5, colorNegro) || v.HayCerca(4, -2, 0, colorNegro) ||
                 v.HayCerca(0, -2.05, 0, colorNegro));
    v.escena.lineaResaltada = 0;
    v.escena.puntoResaltado = 0;
    v.Pinta(v.escena);
    EXPECT_TRUE(tripode());
    EXPECT_TRUE(contorno());
    EXPECT_LE(Diferencia(v.En(centro, centro), BlancoHaciaArriba()), 1);
    // A field index beyond the corners marks nothing, but the outline stays.
    v.escena.puntoResaltado = 4;
    v.Pinta(v.escena);
    EXPECT_FALSE(v.HayCerca(-2, -2, 5, colorNegro));
    EXPECT_TRUE(contorno());
    // Another line: not highlighted at all.
    v.escena.lineaResaltada = 1;
    v.escena.puntoResaltado = 0;
    v.Pinta(v.escena);
    EXPECT_FALSE(v.HayCerca(0, -2.05, 0, colorNegro));
}

TEST(PintaEscena, PushesMoveWhatFollowsAndPopRestores) {
    TVistaPrueba v;
    v.Pinta(std::string("PUSHTRANS=[3,0,0]\n") + quadCentro + "POP\nCOLOR=(255,0,0)\n" + quadCentro);
    EXPECT_LE(Diferencia(v.EnModelo(3, 0, 0), BlancoHaciaArriba()), 1);
    EXPECT_TRUE(EsRojo(v.EnModelo(0, 0, 0)));
    EXPECT_TRUE(v.EsFondo(v.EnModelo(1.5, 0, 0)));
    EXPECT_EQ(v.ProfundidadPila(), 1);
    // Scaled twice as large, then turned by 90 degrees about z: a quad lying along +x
    // ends up lying along +y.
    v.Pinta(
        "PUSHSCALE=2\nPUSHTURN=[0,0,1]|90\nQUAD=[1,-0.25,0]:[2,-0.25,0]:[2,0.25,0]:[1,0.25,0]\nPOP\nPOP\n");
    EXPECT_FALSE(v.EsFondo(v.EnModelo(0, 3, 0)));
    EXPECT_TRUE(v.EsFondo(v.EnModelo(3, 0, 0)));
    // SCALE and CENTER act on the whole icon.
    v.Pinta("CENTER=[4,0,0]\nSCALE=0.5\nQUAD=[3,-1,0]:[5,-1,0]:[5,1,0]:[3,1,0]\n");
    EXPECT_FALSE(v.EsFondo(v.EnModelo(0, 0, 0)));
    EXPECT_FALSE(v.EsFondo(v.EnModelo(0.4, 0, 0)));
    EXPECT_TRUE(v.EsFondo(v.EnModelo(0.7, 0, 0))); // half of 1 unit from the centre
}

TEST(PintaEscena, AFailedParseStillPaintsWhatWasRead) {
    TVistaPrueba v;
    const auto r = LeeScript(v.escena, std::string("PUSHTRANS=[3,0,0]\n") + quadCentro + "COLOR=red\nPOP\n");
    EXPECT_EQ(r.errores, "2: Error reading color\r\n");
    ASSERT_EQ(v.escena.Count(), 2);
    // Twice: nothing is left over from the unclosed push.
    for (int vez = 0; vez < 2; ++vez) {
        v.Pinta(v.escena);
        EXPECT_LE(Diferencia(v.EnModelo(3, 0, 0), BlancoHaciaArriba()), 1);
        EXPECT_TRUE(v.EsFondo(v.EnModelo(6, 0, 0)));
        EXPECT_EQ(v.ProfundidadPila(), 1);
    }
}

TEST(PintaEscena, NestingDeeperThanTheDriverStackStaysCorrect) {
    TVistaPrueba v;
    GLint maxima = 0;
    glGetIntegerv(GL_MAX_MODELVIEW_STACK_DEPTH, &maxima);
    const int niveles = maxima + 40;
    std::string texto;
    for (int i = 0; i < niveles; ++i)
        texto += "PUSHTRANS=[0.05,0,0]\n";
    texto += quadCentro;
    for (int i = 0; i < niveles; ++i)
        texto += "POP\n";
    texto += std::string("COLOR=(255,0,0)\n") + quadCentro;
    while (glGetError() != GL_NO_ERROR) {
    }
    v.Pinta(texto);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_LE(Diferencia(v.EnModelo(0.05 * niveles, 0, 0), BlancoHaciaArriba()), 1);
    EXPECT_TRUE(EsRojo(v.EnModelo(0, 0, 0))); // after the pops, back at the origin
    EXPECT_EQ(v.ProfundidadPila(), 1);
}

TEST(PintaEscena, PickingFindsTheFirstControlPointWithinEightPixels) {
    TVistaPrueba v;
    v.Pinta("CIRCLE=[0,0,0]:[0,0,1]:2\nQUAD=[-2,-2,0]:[2,-2,0]:[2,2,0]:[-2,2,0]\nLINE=[2,-2,0]:[4,0,0]\n");
    int linea = 0, indice = 0;
    const auto busca = [&](const vector3D& punto, double dx, double dy) {
        vector3D p;
        bool visible = false;
        v.dc.ProjectPoint(punto, p, visible, true);
        v.escena.BuscaPunto(v.dc, vector2D(p.x + dx, p.y + dy), linea, indice);
        return p;
    };
    const vector3D esquina = busca({2, -2, 0}, 7.9, 0);
    EXPECT_NEAR(esquina.x, centro + 40, 0.01);
    EXPECT_NEAR(esquina.y, centro + 2 * subida, 0.01);
    EXPECT_EQ(linea * 10 + indice, 11); // the quad comes before the line that shares the corner
    busca({2, -2, 0}, 4, -4);
    EXPECT_EQ(linea, -1); // |dx| + |dy| = 8 misses
    EXPECT_EQ(indice, -1);
    busca({4, 0, 0}, 0, 0);
    EXPECT_EQ(linea * 10 + indice, 21);
    busca(v.escena[0].puntos[3], 0, 0); // rings have no control points
    EXPECT_EQ(linea, -1);

    // Picking follows the centre and the pushes.
    v.Pinta("CENTER=[1,0,0]\nLINE=[1,0,0]:[1,0,1]\nPUSHTRANS=[0,0,2]\nLINE=[3,0,0]:[3,0,1]\nPOP\n");
    v.escena.BuscaPunto(v.dc, vector2D(centro, centro), linea, indice);
    EXPECT_EQ(linea * 10 + indice, 10);
    // The second line's start is drawn 2 units right and 2 units up.
    v.escena.BuscaPunto(v.dc, vector2D(centro + 40, centro - 2 * subida), linea, indice);
    EXPECT_EQ(linea * 10 + indice, 30);
    EXPECT_EQ(v.escena.nivelPush, 0);
    EXPECT_EQ(v.ProfundidadPila(), 1);
}

TEST(PintaEscena, PanAndZoomMoveThePicture) {
    TVistaPrueba v;
    v.vista.Desplaza(30, 20, lado, lado);
    v.Pinta(quadCentro);
    EXPECT_FALSE(v.EsFondo(v.En(centro + 30, centro + 20)));
    EXPECT_TRUE(v.EsFondo(v.En(centro, centro)));
    v.vista.desplazamiento = vector3D();
    v.vista.escala = 80.0;
    v.Pinta(v.escena);
    EXPECT_FALSE(v.EsFondo(v.En(centro + 35, centro)));
    EXPECT_TRUE(v.EsFondo(v.En(centro + 45, centro)));
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
    EXPECT_EQ(LeeScript(v.escena,
                        "PUSHTRANS=[1,0,0]\nQUAD=[0,0,0]:[1,0,0]:[1,1,0]:[0,1,0]\nPOP\nPUSHSCALE=2\n"
                        "PUSHSCALE=2\n")
                  .errores,
              "POPs needed!");
    v.escena.Insert(std::make_unique<TElementoRoto>(&v.escena));
    const InformadorQOR previo = InstalaInformador(Apunta);
    v.dc.luz.ambiente = 0.1;
    v.Pinta(v.escena);
    InstalaInformador(previo);
    // Five elements before it: the count reached 5 after the view steps, then 6 .. 11.
    EXPECT_EQ(informado, "Selvaron|Undefined critical in TObjeto3D::Pinta tr=11");
    EXPECT_EQ(v.dc.luz.ambiente, 0.1); // the device's light is put back
    EXPECT_EQ(v.ProfundidadPila(), 1);
    EXPECT_EQ(v.escena.nivelPush, 0);
}

TEST(VistaPrevia, NavigationRules) {
    // (Turning, zooming and the perspective wheel are driven through the window's own tests.)
    TVistaPrevia v;
    v.ResetView();
    v.Rueda(5000, false); // far beyond one step: still a positive zoom
    EXPECT_GT(v.escala, 0.0);
    v.escala = 20.0;
    v.AcercaZoom();
    v.AlejaZoom();
    EXPECT_NEAR(v.escala, 20.0, 1e-12);
    v.Desplaza(10, -20, 200, 100);
    EXPECT_DOUBLE_EQ(v.desplazamiento.x, 0.1);
    EXPECT_DOUBLE_EQ(v.desplazamiento.y, 0.4);
    v.anguloY = 1;
    v.distancia = 3;
    v.ResetView(); // keeps pan and distance
    EXPECT_DOUBLE_EQ(v.desplazamiento.x, 0.1);
    EXPECT_DOUBLE_EQ(v.distancia, 3.0);
    EXPECT_DOUBLE_EQ(v.anguloY, 0.0);
}
