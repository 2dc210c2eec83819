// The round solids, boxes, extrusions and revolutions drawn through the headless
// surface, probed pixel by pixel. The default view looks at the model from the front
// (-y) and 45 degrees above, 20 pixels per unit, the origin at the centre of the image.
#include "Lee_script.h"

#include "geometry/Luz_normals.h"
#include "image/Tdibig.h"
#include "render/Vista_previa.h"
#include "script/Objetos_3d_cuadricas.h"
#include "script/Objetos_3d_extrusion.h"
#include "script/Pinta_vista.h"
#include "script/Texturas_3di.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int lado = 128;
constexpr int medio = lado / 2;

struct TRender {
    std::unique_ptr<TDibIG> imagen = std::make_unique<TDibIG>();
    uint32_t fondo = 0;
    uint32_t En(int x, int y) const { return imagen->Pixel(x, y); }
    // Pixels (x, y), y counted upwards, that satisfy the test.
    int Cuenta(const std::function<bool(uint32_t)>& prueba) const {
        int n = 0;
        for (int y = 0; y < imagen->Alto(); ++y)
            for (int x = 0; x < imagen->Ancho(); ++x)
                if (prueba(imagen->Pixel(x, y))) ++n;
        return n;
    }
};

TVistaPrevia VistaInicial() {
    TVistaPrevia v;
    v.ResetView();
    return v;
}

TRender Renderiza(TObjeto3D& escena, const TVistaPrevia& vista = VistaInicial(), int ancho = lado,
                  int alto = lado) {
    TRender r;
    DString error;
    EXPECT_TRUE(RenderizaEscena(escena, vista, false, ancho, alto, *r.imagen, error)) << error.c_str();
    EXPECT_EQ(r.imagen->Ancho(), ancho);
    r.fondo = r.imagen->Pixel(0, 0);
    // PM_VOLCADO=folder keeps every picture as a BMP there, to look at when a probe fails.
    if (const char* dir = std::getenv("PM_VOLCADO")) {
        static int n = 0;
        r.imagen->GrabaBMP((std::string(dir) + "/pinta_" + std::to_string(n++) + ".bmp").c_str());
    }
    return r;
}

TRender RenderizaTexto(const std::string& script, const TVistaPrevia& vista = VistaInicial()) {
    TObjeto3D escena;
    const auto lectura = LeeScript(escena, script);
    EXPECT_TRUE(lectura.correcto) << lectura.errores;
    EXPECT_EQ(lectura.errores, "");
    return Renderiza(escena, vista);
}

int Diferencia(uint32_t a, uint32_t b) {
    return std::max({std::abs(RojoDe(a) - RojoDe(b)), std::abs(VerdeDe(a) - VerdeDe(b)),
                     std::abs(AzulDe(a) - AzulDe(b))});
}

} // namespace

TEST(PintaSolidos, SphereCentreHasTheLitColourOfTheNormalFacingTheViewer) {
    const auto r = RenderizaTexto("COLOR=(200,160,120)\nSPHERE=[0,0,0]:2\n");
    uint32_t esperado = 0x78A0C8; // (200,160,120)
    Ilumina(luzEscena, esperado, vector3D(0, -std::sqrt(0.5), std::sqrt(0.5)), false);
    EXPECT_LE(Diferencia(r.En(medio, medio), esperado), 4)
        << std::hex << r.En(medio, medio) << " " << esperado;
    // The radius is 2 units, 40 pixels.
    EXPECT_EQ(r.En(medio + 43, medio), r.fondo);
    EXPECT_NE(r.En(medio + 37, medio), r.fondo);
}

TEST(PintaSolidos, OppositeBoxFacesShareTheirColour) {
    const char* script = "COLOR=(220,180,60)\nCUBE=[0,0,0]:3:0\n";
    // Seen from above, the top face lies above the centre of the image and the side
    // facing the viewer below it; seen from below, the other way round.
    const auto vistaDesde = [](double anguloX, double anguloY) {
        TVistaPrevia v = VistaInicial();
        v.anguloX = anguloX;
        v.anguloY = anguloY;
        return v;
    };
    const double pi = 3.141592653589793, cuarto = pi / 4;
    struct TPar {
        TVistaPrevia a, b;
        int filaA, filaB; // the probe rows in each view
    };
    const TPar pares[] = {
        {vistaDesde(-cuarto, 0), vistaDesde(cuarto, 0), medio + 20, medio - 20},   // top and bottom
        {vistaDesde(-cuarto, 0), vistaDesde(-cuarto, pi), medio - 20, medio - 20}, // front and back
        {vistaDesde(-cuarto, pi / 2), vistaDesde(-cuarto, -pi / 2), medio - 20,
         medio - 20}, // the two x sides
    };
    for (const auto& par : pares) {
        const auto a = RenderizaTexto(script, par.a);
        const auto b = RenderizaTexto(script, par.b);
        const uint32_t ca = a.En(medio, par.filaA), cb = b.En(medio, par.filaB);
        EXPECT_NE(ca, a.fondo);
        EXPECT_LE(Diferencia(ca, cb), 1) << std::hex << ca << " " << cb;
    }
}

TEST(PintaSolidos, RevolutionAndExtrusionDrawTheirQuads) {
    // A cylinder turned about the z axis, its profile once upwards (normals towards the
    // axis) and once downwards (normals outwards).
    const auto haciaDentro = RenderizaTexto("REVOLUTION=[0,0,-2]|[0,0,2]|[2,0,-2]:[2,0,2]\n");
    const auto haciaFuera = RenderizaTexto("REVOLUTION=[0,0,-2]|[0,0,2]|[2,0,2]:[2,0,-2]\n");
    for (const auto* r : {&haciaDentro, &haciaFuera}) {
        EXPECT_NE(r->En(medio, medio), r->fondo);
        EXPECT_NE(r->En(medio + 34, medio), r->fondo);
        EXPECT_EQ(r->En(medio + 45, medio), r->fondo);
    }
    // The right side faces the light: lit brighter only when its normals point out.
    EXPECT_GT(RojoDe(haciaFuera.En(medio + 34, medio)), RojoDe(haciaDentro.En(medio + 34, medio)) + 20);

    const auto prisma =
        RenderizaTexto("COLOR=(0,200,0)\nXTRUSION=[0,0,-2]|[-2,-2,0]:[2,-2,0]:[2,2,0]:[-2,2,0]:"
                       "[-2,-2,0]|[0,0,0]:1:[0,0,4]:0.5\n");
    EXPECT_GT(VerdeDe(prisma.En(medio, medio)), 100);
    EXPECT_EQ(prisma.En(medio + 45, medio), prisma.fondo);
    // The top is half as wide as the bottom.
    EXPECT_NE(prisma.En(medio + 35, medio - 30), prisma.fondo);
    EXPECT_EQ(prisma.En(medio + 35, medio + 35), prisma.fondo);
}

namespace {

bool EsRojo(uint32_t c) {
    return RojoDe(c) > 100 && VerdeDe(c) < 40 && AzulDe(c) < 40;
}
bool EsVerde(uint32_t c) {
    return VerdeDe(c) > 100 && RojoDe(c) < 40 && AzulDe(c) < 40;
}
// Lit blue never reaches the 254 of the background.
bool EsAzul(uint32_t c) {
    return AzulDe(c) > 60 && AzulDe(c) < 240 && RojoDe(c) < 40 && VerdeDe(c) < 40;
}
bool EsNegro(uint32_t c) {
    return (c & 0xFFFFFF) == 0;
}
bool EsBlanco(uint32_t c) {
    return RojoDe(c) > 250 && VerdeDe(c) > 250 && AzulDe(c) > 250;
}

// Mean column and row of the pixels that pass the test.
vector2D Centro(const TRender& r, bool (*prueba)(uint32_t)) {
    double x = 0, y = 0;
    int n = 0;
    for (int j = 0; j < r.imagen->Alto(); ++j)
        for (int i = 0; i < r.imagen->Ancho(); ++i)
            if (prueba(r.En(i, j))) x += i, y += j, ++n;
    return n ? vector2D(x / n, y / n) : vector2D(-1, -1);
}

} // namespace

TEST(PintaSolidos, HighlightedConeShowsItsOutlineAndTheSelectedEnd) {
    TObjeto3D escena;
    ASSERT_TRUE(LeeScript(escena, "COLOR=(160,160,160)\nCONE=[0,0,0]:[0,0,20]:8:0\n").correcto);
    // Small enough for the 30-unit axis tripod to fit, turned so its arrows do not overlap.
    TVistaPrevia vista = VistaInicial();
    vista.escala = 3.0;
    vista.anguloY = 0.6;
    const auto normal = Renderiza(escena, vista, 256, 256);
    EXPECT_EQ(normal.Cuenta(EsNegro), 0);
    EXPECT_EQ(normal.Cuenta(EsRojo), 0);

    escena.lineaResaltada = 1;
    escena.puntoResaltado = -1;
    const auto contorno = Renderiza(escena, vista, 256, 256);
    EXPECT_GT(contorno.Cuenta(EsNegro), 100);
    EXPECT_EQ(contorno.Cuenta(EsRojo), 0);

    escena.puntoResaltado = 0;
    const auto base = Renderiza(escena, vista, 256, 256);
    EXPECT_GT(base.Cuenta(EsRojo), 20);
    EXPECT_GT(base.Cuenta(EsVerde), 20);
    EXPECT_GT(base.Cuenta(EsAzul), 20);
    escena.puntoResaltado = 1;
    const auto punta = Renderiza(escena, vista, 256, 256);
    // The tripod moves with the selected end, 20 units (42 pixels on the screen) up.
    const vector2D rojoBase = Centro(base, EsRojo), rojoPunta = Centro(punta, EsRojo);
    EXPECT_NEAR(rojoPunta.y - rojoBase.y, 20 * 3 * std::sqrt(0.5), 3.0);
    EXPECT_NEAR(rojoPunta.x, rojoBase.x, 2.0);
    // The red arrow points right of the end point, the blue one up.
    EXPECT_GT(rojoBase.x, 128 + 40);
    EXPECT_GT(Centro(base, EsAzul).y, 128 + 40);
    // Other points and lines draw no tripod.
    escena.puntoResaltado = 2;
    EXPECT_EQ(Renderiza(escena, vista, 256, 256).Cuenta(EsRojo), 0);
}

TEST(PintaSolidos, HighlightedExtrusionMarksTheFieldUnderTheCaret) {
    TObjeto3D escena;
    const auto r = LeeScript(escena, "COLOR=(160,160,160)\nXTRUSION=[0,0,0]|[-10,-10,0]:[10,-10,0]:[10,10,0]|"
                                     "[0,0,0]:1:[0,0,10]:1\n");
    ASSERT_TRUE(r.correcto) << r.errores;
    TVistaPrevia vista = VistaInicial();
    vista.escala = 10.0;
    vista.anguloY = 0.6;
    EXPECT_EQ(Renderiza(escena, vista, 256, 256).Cuenta(EsBlanco), 0);
    escena.lineaResaltada = 1;
    escena.puntoResaltado = -1;
    const auto lineas = Renderiza(escena, vista, 256, 256);
    EXPECT_GT(lineas.Cuenta(EsBlanco), 10); // the normal strokes
    EXPECT_GT(lineas.Cuenta(EsNegro), 40);  // the section and the route
    EXPECT_EQ(lineas.Cuenta(EsRojo), 0);

    // 0 the offset, 1-3 the section points, then two fields per route pair.
    vista.escala = 3.0;
    std::vector<vector2D> marcas;
    for (int campo : {0, 1, 2, 4, 5, 6}) {
        escena.puntoResaltado = campo;
        const auto imagen = Renderiza(escena, vista, 256, 256);
        EXPECT_GT(imagen.Cuenta(EsRojo), 20) << campo;
        marcas.push_back(Centro(imagen, EsRojo));
    }
    const auto distancia = [&](size_t i, size_t j) {
        return std::hypot(marcas[i].x - marcas[j].x, marcas[i].y - marcas[j].y);
    };
    EXPECT_GT(distancia(1, 0), 20.0); // section point 0 is away from the offset
    EXPECT_GT(distancia(2, 1), 20.0); // and from section point 1
    EXPECT_LT(distancia(3, 0), 1.0);  // route point 0 is at the offset
    EXPECT_LT(distancia(4, 3), 1.0);  // both fields of a pair mark the same point
    EXPECT_NEAR(marcas[5].y - marcas[3].y, 10 * 3 * std::sqrt(0.5), 3.0); // route point 1 is 10 up
    for (int campo : {8, 9, 1000, INT_MAX}) {
        escena.puntoResaltado = campo;
        EXPECT_EQ(Renderiza(escena, vista, 256, 256).Cuenta(EsRojo), 0) << campo;
    }
}

TEST(PintaSolidos, HighlightedRevolutionShowsItsAxis) {
    TObjeto3D escena;
    ASSERT_TRUE(
        LeeScript(escena, "COLOR=(160,160,160)\nREVOLUTION=[0,0,-3]|[0,0,3]|[2,0,2]:[2,0,-2]\n").correcto);
    escena.lineaResaltada = 1;
    escena.puntoResaltado = 0;
    const auto r = Renderiza(escena);
    // The axis runs through the open cylinder, white in the middle of the picture;
    // no control point is marked.
    bool eje = false;
    for (int x = medio - 2; x <= medio + 2; ++x)
        eje = eje || EsBlanco(r.En(x, medio + 30));
    EXPECT_TRUE(eje);
    EXPECT_GT(r.Cuenta(EsBlanco), 100);
    EXPECT_EQ(r.Cuenta(EsRojo), 0);
}

TEST(PintaSolidos, TexturedElementsPaintWithoutAnImage) {
    // A texture record without an image: the device draws the plain lit colours.
    TTextura3Di textura;
    textura.nombre = "none.bmp";
    TObjeto3D escena;
    const char* lineas[] = {"[0,0,0]|[-2,-2,0]:[2,-2,0]:[2,2,0]|[0,0,0]:1:[0,0,2]:0.1:[0,0,2]:1",
                            "[3,0,0]|[3,0,1]|[4,0,0]:[4,0,2]", "[0,0,0]|[1,0,0]:[2,0,0]|[5,5,5]:1:[5,5,5]:0"};
    for (int i = 0; i < 3; ++i) {
        std::unique_ptr<TElementoObj3D> e;
        if (i == 1)
            e = std::make_unique<TElementoRevolution>(&escena);
        else
            e = std::make_unique<TElementoXtrusion>(&escena);
        e->textura = &textura;
        DString error;
        e->Lee(DString(lineas[i]), error);
        ASSERT_STREQ(error.c_str(), "") << i;
        e->color = 0x80C0FF;
        e->linea = i;
        escena.Insert(std::move(e));
    }
    auto esfera = std::make_unique<TElementoEsfera3D>(&escena);
    esfera->textura = &textura;
    DString error;
    esfera->Lee(DString("[-4,0,0]:1"), error);
    esfera->color = 0x80C0FF;
    escena.Insert(std::move(esfera));
    for (int resaltada : {-1, 0, 1, 2}) {
        escena.lineaResaltada = resaltada;
        escena.puntoResaltado = 0;
        const auto r = Renderiza(escena);
        EXPECT_NE(r.En(medio, medio + 10), r.fondo);
    }
    // A textured extrusion turns white, as a textured quad does.
    EXPECT_EQ(escena[0].color, colorBlanco);
    EXPECT_EQ(escena[1].color, 0x80C0FFu);
}

TEST(PintaSolidos, ExamplesReadCleanlyAndFillTheMiddleOfThePicture) {
    for (const char* nombre : {"bottle.3di", "tube.3di", "bolt.3di", "mushroom.3di"}) {
        TObjeto3D escena;
        DString error;
        const std::string ruta = std::string(PM_EXAMPLES) + "/" + nombre;
        EXPECT_TRUE(escena.Carga(ruta.c_str(), error)) << nombre << ": " << error.c_str();
        EXPECT_STREQ(error.c_str(), "") << nombre;
        EXPECT_GT(escena.Count(), 0) << nombre;
        const auto r = Renderiza(escena, VistaInicial(), 256, 256);
        EXPECT_NE(r.En(128, 128), r.fondo) << nombre;
        // Nothing touches the border of the icon.
        int borde = 0;
        for (int i = 0; i < 256; ++i)
            for (uint32_t c : {r.En(i, 0), r.En(i, 255), r.En(0, i), r.En(255, i)})
                borde += c != r.fondo;
        EXPECT_EQ(borde, 0) << nombre;
    }
}
