// The round solids, boxes, extrusions and revolutions drawn through the headless
// surface, probed pixel by pixel.
#include "Pinta_prueba.h"

#include "script/Objetos_3d_cuadricas.h"
#include "script/Objetos_3d_extrusion.h"
#include "script/Texturas_3di.h"

#include <climits>
#include <memory>
#include <numbers>
#include <vector>

TEST(PintaSolidos, SphereCentreHasTheLitColourOfTheNormalFacingTheViewer) {
    TVistaPrueba v;
    ASSERT_TRUE(v.activo);
    v.Pinta("COLOR=(200,160,120)\nSPHERE=[0,0,0]:2\n");
    uint32_t esperado = 0x78A0C8; // (200,160,120)
    Ilumina(luzEscena, esperado, vector3D(0, -std::sqrt(0.5), std::sqrt(0.5)), false);
    EXPECT_LE(Diferencia(v.Desde(0, 0), esperado), 4) << std::hex << v.Desde(0, 0) << " " << esperado;
    // The radius is 2 units, 40 pixels.
    EXPECT_TRUE(v.EsFondo(v.Desde(43, 0)));
    EXPECT_FALSE(v.EsFondo(v.Desde(37, 0)));
}

TEST(PintaSolidos, OppositeBoxFacesShareTheirColour) {
    // Seen from above, the top face lies above the centre of the image and the side
    // facing the viewer below it; seen from below, the other way round.
    const double pi = std::numbers::pi, cuarto = pi / 4;
    struct TPar {
        double xA, yA, xB, yB; // the view angles of each side
        int filaA, filaB;      // the probe rows, counted up from the centre
    };
    const TPar pares[] = {{-cuarto, 0, cuarto, 0, 20, -20},               // top and bottom
                          {-cuarto, 0, -cuarto, pi, -20, -20},            // front and back
                          {-cuarto, pi / 2, -cuarto, -pi / 2, -20, -20}}; // the two x sides
    for (const auto& par : pares) {
        TVistaPrueba a, b;
        a.vista.anguloX = par.xA;
        a.vista.anguloY = par.yA;
        b.vista.anguloX = par.xB;
        b.vista.anguloY = par.yB;
        a.Pinta("COLOR=(220,180,60)\nCUBE=[0,0,0]:3:0\n");
        b.Pinta(a.escena);
        const uint32_t ca = a.Desde(0, par.filaA), cb = b.Desde(0, par.filaB);
        EXPECT_FALSE(a.EsFondo(ca));
        EXPECT_LE(Diferencia(ca, cb), 1) << std::hex << ca << " " << cb;
    }
}

TEST(PintaSolidos, RevolutionAndExtrusionDrawTheirQuads) {
    // A cylinder turned about the z axis, its profile once upwards (normals towards the
    // axis) and once downwards (normals outwards).
    TVistaPrueba haciaDentro, haciaFuera, prisma;
    haciaDentro.Pinta("REVOLUTION=[0,0,-2]|[0,0,2]|[2,0,-2]:[2,0,2]\n");
    haciaFuera.Pinta("REVOLUTION=[0,0,-2]|[0,0,2]|[2,0,2]:[2,0,-2]\n");
    for (const auto* r : {&haciaDentro, &haciaFuera}) {
        EXPECT_FALSE(r->EsFondo(r->Desde(0, 0)));
        EXPECT_FALSE(r->EsFondo(r->Desde(34, 0)));
        EXPECT_TRUE(r->EsFondo(r->Desde(45, 0)));
    }
    // The right side faces the light: lit brighter only when its normals point out.
    EXPECT_GT(RojoDe(haciaFuera.Desde(34, 0)), RojoDe(haciaDentro.Desde(34, 0)) + 20);

    prisma.Pinta("COLOR=(0,200,0)\nXTRUSION=[0,0,-2]|[-2,-2,0]:[2,-2,0]:[2,2,0]:[-2,2,0]:[-2,-2,0]|"
                 "[0,0,0]:1:[0,0,4]:0.5\n");
    EXPECT_GT(VerdeDe(prisma.Desde(0, 0)), 100);
    EXPECT_TRUE(prisma.EsFondo(prisma.Desde(45, 0)));
    // The top is half as wide as the bottom.
    EXPECT_FALSE(prisma.EsFondo(prisma.Desde(35, -30)));
    EXPECT_TRUE(prisma.EsFondo(prisma.Desde(35, 35)));
}

TEST(PintaSolidos, HighlightedConeShowsItsOutlineAndTheSelectedEnd) {
    TVistaPrueba v;
    // Small enough for the 30-unit axis tripod to fit, turned so its arrows do not overlap.
    v.vista.escala = 3.0;
    v.vista.anguloY = 0.6;
    v.Pinta("COLOR=(160,160,160)\nCONE=[0,0,0]:[0,0,20]:8:0\n");
    EXPECT_EQ(v.Cuenta(EsNegro) + v.Cuenta(EsRojo), 0);
    v.escena.lineaResaltada = 1;
    v.escena.puntoResaltado = -1;
    v.Pinta(v.escena);
    EXPECT_GT(v.Cuenta(EsNegro), 100);
    EXPECT_EQ(v.Cuenta(EsRojo), 0);

    v.escena.puntoResaltado = 0;
    v.Pinta(v.escena);
    EXPECT_GT(v.Cuenta(EsRojo), 20);
    EXPECT_GT(v.Cuenta(EsVerde), 20);
    EXPECT_GT(v.Cuenta(EsAzul), 20);
    const vector3D rojoBase = v.Centro(EsRojo);
    // The red arrow points right of the end point, the blue one up.
    EXPECT_GT(rojoBase.x, 128 + 40);
    EXPECT_GT(v.Centro(EsAzul).y, 128 + 40);
    // The tripod moves with the selected end, 20 units (42 pixels on the screen) up.
    v.escena.puntoResaltado = 1;
    v.Pinta(v.escena);
    const vector3D rojoPunta = v.Centro(EsRojo);
    EXPECT_NEAR(rojoPunta.y - rojoBase.y, 20 * 3 * std::sqrt(0.5), 3.0);
    EXPECT_NEAR(rojoPunta.x, rojoBase.x, 2.0);
    // Other points and lines draw no tripod.
    v.escena.puntoResaltado = 2;
    v.Pinta(v.escena);
    EXPECT_EQ(v.Cuenta(EsRojo), 0);
}

TEST(PintaSolidos, HighlightedExtrusionMarksTheFieldUnderTheCaret) {
    TVistaPrueba v;
    v.vista.escala = 10.0;
    v.vista.anguloY = 0.6;
    v.Pinta("COLOR=(160,160,160)\nXTRUSION=[0,0,0]|[-10,-10,0]:[10,-10,0]:[10,10,0]|[0,0,0]:1:[0,0,10]:1\n");
    EXPECT_EQ(v.Cuenta(EsBlanco), 0);
    v.escena.lineaResaltada = 1;
    v.escena.puntoResaltado = -1;
    v.Pinta(v.escena);
    EXPECT_GT(v.Cuenta(EsBlanco), 10); // the normal strokes
    EXPECT_GT(v.Cuenta(EsNegro), 40);  // the section and the route
    EXPECT_EQ(v.Cuenta(EsRojo), 0);

    // 0 the offset, 1-3 the section points, then two fields per route pair.
    v.vista.escala = 3.0;
    std::vector<vector3D> marcas;
    for (int campo : {0, 1, 2, 4, 5, 6}) {
        v.escena.puntoResaltado = campo;
        v.Pinta(v.escena);
        marcas.push_back(v.Centro(EsRojo));
        EXPECT_GT(marcas.back().z, 20) << campo;
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
        v.escena.puntoResaltado = campo;
        v.Pinta(v.escena);
        EXPECT_EQ(v.Cuenta(EsRojo), 0) << campo;
    }
}

TEST(PintaSolidos, HighlightedRevolutionShowsItsAxis) {
    TVistaPrueba v;
    ASSERT_TRUE(
        LeeScript(v.escena, "COLOR=(160,160,160)\nREVOLUTION=[0,0,-3]|[0,0,3]|[2,0,2]:[2,0,-2]\n").correcto);
    v.escena.lineaResaltada = 1;
    v.escena.puntoResaltado = 0;
    v.Pinta(v.escena);
    // The axis runs through the open cylinder, white in the middle of the picture; no
    // control point is marked.
    bool eje = false;
    for (int x = -2; x <= 2; ++x)
        eje = eje || EsBlanco(v.Desde(x, 30));
    EXPECT_TRUE(eje);
    EXPECT_GT(v.Cuenta(EsBlanco), 100);
    EXPECT_EQ(v.Cuenta(EsRojo), 0);
}

TEST(PintaSolidos, TexturedElementsPaintWithoutAnImage) {
    // A texture record without an image: the device draws the plain lit colours.
    TTextura3Di textura;
    textura.nombre = "none.bmp";
    TVistaPrueba v;
    TObjeto3D& escena = v.escena;
    const char* lineas[] = {"[0,0,0]|[-2,-2,0]:[2,-2,0]:[2,2,0]|[0,0,0]:1:[0,0,2]:0.1:[0,0,2]:1",
                            "[3,0,0]|[3,0,1]|[4,0,0]:[4,0,2]", "[0,0,0]|[1,0,0]:[2,0,0]|[5,5,5]:1:[5,5,5]:0",
                            "[-4,0,0]:1"};
    for (int i = 0; i < 4; ++i) {
        std::unique_ptr<TElementoObj3D> e;
        if (i == 1)
            e = std::make_unique<TElementoRevolution>(&escena);
        else if (i == 3)
            e = std::make_unique<TElementoEsfera3D>(&escena);
        else
            e = std::make_unique<TElementoXtrusion>(&escena);
        e->textura = &textura;
        DString error;
        e->Lee(DString(lineas[i]), error);
        ASSERT_STREQ(error.c_str(), "") << i;
        e->color = 0x80C0FF;
        e->linea = i % 3;
        escena.Insert(std::move(e));
    }
    for (int resaltada : {-1, 0, 1, 2}) {
        escena.lineaResaltada = resaltada;
        escena.puntoResaltado = 0;
        v.Pinta(escena);
        EXPECT_FALSE(v.EsFondo(v.Desde(0, 10)));
        // A textured extrusion is drawn in white, as a textured quad is: grey when lit.
        const uint32_t c = v.Desde(0, 10);
        if (resaltada < 0) {
            EXPECT_TRUE(RojoDe(c) == VerdeDe(c) && VerdeDe(c) == AzulDe(c)) << std::hex << c;
        }
    }
    // Drawing changes nothing of the model.
    EXPECT_EQ(escena[0].color, 0x80C0FFu);
}

TEST(PintaSolidos, ExamplesFillTheMiddleOfThePictureAndNeverItsBorder) {
    for (const char* nombre : {"bottle.3di", "tube.3di", "bolt.3di", "mushroom.3di"}) {
        TVistaPrueba v;
        DString error;
        EXPECT_TRUE(v.escena.Carga((std::string(PM_EXAMPLES) + "/" + nombre).c_str(), error)) << nombre;
        v.Pinta(v.escena);
        EXPECT_FALSE(v.EsFondo(v.Desde(0, 0))) << nombre;
        int borde = 0;
        for (int i = 0; i < lado; ++i)
            for (uint32_t c : {v.En(i, 0), v.En(i, lado - 1), v.En(0, i), v.En(lado - 1, i)})
                borde += !v.EsFondo(c);
        EXPECT_EQ(borde, 0) << nombre;
    }
}
