// The scene at the editor's default view: batching, highlights, picking, views and
// framing. (What each command draws is held by the reference pictures.)
#include "Escritor_3ds.h"
#include "Pinta_prueba.h"

#include "render/Geometria_escena.h"
#include "render/Pinta_escena.h"
#include "script/Objetos_3d_cuadricas.h"
#include "script/Objetos_3d_extrusion.h"
#include "script/Objetos_3d_planos.h"
#include "script/Texturas_3di.h"
#include "script/Volcado_json.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <fstream>
#include <memory>
#include <numbers>
#include <numeric>
#include <stdexcept>
#include <type_traits>
#include <utility>
#include <vector>

namespace {

const char* quadArriba = "QUAD=[-2,-2,0]:[2,-2,0]:[2,2,0]:[-2,2,0]\n";
const char* quadCentro = "QUAD=[-0.5,-0.5,0]:[0.5,-0.5,0]:[0.5,0.5,0]:[-0.5,0.5,0]\n";

// The scene's triangles painted one by one as polygons, under the scene's turn.
std::vector<uint32_t> Pixeles(const TDibIG& imagen) {
    std::vector<uint32_t> pixeles;
    for (int y = 0; y < lado; ++y)
        for (int x = 0; x < lado; ++x)
            pixeles.push_back(imagen.Pixel(x, y));
    return pixeles;
}

std::vector<uint32_t> TriangulosUnoAUno(TVistaPrueba& v) {
    CargaVista(v.dc, v.vista.camara);
    v.dc.Clear();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glRotated(v.Escena().anguloGiro * 180.0 / std::numbers::pi, 0.0, 0.0, 1.0);
    v.Escena().ParaCada([&](const TElementoObj3D& e) {
        if (const auto* cara = dynamic_cast<const TElementoCaraMalla*>(&e)) {
            v.dc.SetColor(ColorCara(e, cara->Normal()));
            v.dc.Polygon(cara->Puntos(), {}, modoRelleno);
            return;
        }
        v.dc.SetColor(ColorCara(e, dynamic_cast<const TElementoTriang3D&>(e).normal));
        v.dc.Polygon(std::span(e.puntos.data(), 3), {}, modoRelleno);
    });
    glPopMatrix();
    v.dc.Swap();
    TDibIG imagen;
    v.dc.ReadPixels(imagen);
    return Pixeles(imagen);
}

int PixelesDistintos(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    int distintos = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
        distintos += a[i] != b[i];
    return distintos + static_cast<int>(std::max(a.size(), b.size()) - std::min(a.size(), b.size()));
}

} // namespace

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
    EXPECT_EQ(PixelesDistintos(Pixeles(v.imagen), TriangulosUnoAUno(v)), 0);
    EXPECT_FALSE(v.EsFondo(v.Desde(0, 0)));
}

// A 3D Studio mesh is made into the frame once: the frames after the first, and a frame
// made again after another scene, are the pixels of its triangles painted one by one.
TEST(PintaEscena, AnImportedMeshKeepsItsFrame) {
    using namespace prueba3ds;
    std::string meshes = Material("Clay", 190, 90, 60) + Material("Moss", 80, 140, 60);
    for (int t = 0; t < 2; ++t) {
        std::vector<TPunto> puntos;
        std::vector<TTriangulo> caras;
        for (float j = 0; j <= 8; ++j)
            for (float i = 0; i <= 8; ++i)
                puntos.push_back({i - 4.0f, j - 4.0f + 0.5f * static_cast<float>(t),
                                  std::sin(i * j + 3.0f * static_cast<float>(t))});
        for (uint16_t j = 0; j < 8; ++j)
            for (uint16_t i = 0; i < 8; ++i) {
                const auto k = static_cast<uint16_t>(9 * j + i);
                caras.push_back({k, static_cast<uint16_t>(k + 1), static_cast<uint16_t>(k + 10)});
                caras.push_back({k, static_cast<uint16_t>(k + 10), static_cast<uint16_t>(k + 9)});
            }
        std::vector<uint16_t> todas(caras.size());
        std::iota(todas.begin(), todas.end(), uint16_t{0});
        meshes += Objeto("Tile" + std::to_string(t),
                         Vertices(puntos) + Caras(caras, GrupoMaterial(t ? "Moss" : "Clay", todas)));
    }
    const std::string ruta = testing::TempDir() + "pm_frame_mesh.3ds";
    std::ofstream(ruta, std::ios::binary) << Fichero(meshes);
    const TLecturaEscena malla = LeeEscena(TFuenteEscena::Fichero(ruta.c_str()));
    std::remove(ruta.c_str());
    ASSERT_EQ(malla.escena->Count(), 256);

    TVistaPrueba v;
    v.vista.Muestra(malla.escena);
    v.Pinta();
    const std::vector<uint32_t> primero = Pixeles(v.imagen);
    v.Pinta();
    EXPECT_EQ(PixelesDistintos(Pixeles(v.imagen), primero), 0);
    v.Pinta("TRIANGLE=[0,0,0]:[1,0,0]:[0,1,0]\n");
    v.vista.Muestra(malla.escena);
    v.Pinta();
    EXPECT_EQ(PixelesDistintos(Pixeles(v.imagen), primero), 0);
    EXPECT_EQ(PixelesDistintos(primero, TriangulosUnoAUno(v)), 0);
    EXPECT_GT(v.Cuenta([](uint32_t c) { return Diferencia(c, 0xFE0000) > 1; }), lado * lado / 8);
}

// Mended: LINEWIDTH=1e308 on a highlighted element overflowed the width of its outline.
TEST(PintaEscena, AHugeLineWidthStillHighlights) {
    TVistaPrueba v;
    v.Pinta(std::string("LINEWIDTH=1e308\n") + quadArriba);
    EXPECT_EQ(v.Escena()[0].GrosorResaltado(), INT32_MAX);
    v.vista.seleccion = {1, 0};
    v.Pinta();
    EXPECT_TRUE(v.NegroCerca(-2, -2, 5));
}

// Fields past the last of a highlighted element mark nothing, however large.
TEST(PintaEscena, HighlightedFieldsPastTheEndMarkNothing) {
    TVistaPrueba v;
    v.vista.camara.escala = 3.0;
    v.vista.camara.anguloY = 0.6;
    v.Pinta("COLOR=(160,160,160)\nXTRUSION=[0,0,0]|[-10,-10,0]:[10,-10,0]:[10,10,0]|[0,0,0]:1:[0,0,10]:1\n");
    v.vista.seleccion.lineaResaltada = 1;
    for (int campo : {6, 8, 9, 1000, INT_MAX}) {
        v.vista.seleccion.puntoResaltado = campo;
        v.Pinta();
        EXPECT_EQ(v.Cuenta(EsRojo) > 20, campo == 6) << campo; // 6: the last route point
    }
}

// A texture record without an image: the device draws the plain lit colours.
TEST(PintaEscena, TexturedElementsPaintWithoutAnImage) {
    TTextura3Di textura;
    textura.nombre = "none.bmp";
    TVistaPrueba v;
    const auto escena = std::make_shared<TObjeto3D>();
    const char* lineas[] = {"[0,0,0]|[-2,-2,0]:[2,-2,0]:[2,2,0]|[0,0,0]:1:[0,0,2]:0.1:[0,0,2]:1",
                            "[3,0,0]|[3,0,1]|[4,0,0]:[4,0,2]", "[0,0,0]|[1,0,0]:[2,0,0]|[5,5,5]:1:[5,5,5]:0",
                            "[-4,0,0]:1"};
    for (int i = 0; i < 4; ++i) {
        std::shared_ptr<TElementoObj3D> e;
        if (i == 1)
            e = std::make_shared<TElementoRevolution>();
        else if (i == 3)
            e = std::make_shared<TElementoEsfera3D>();
        else
            e = std::make_shared<TElementoXtrusion>();
        e->textura = &textura;
        TEstadoLectura estado;
        ASSERT_STREQ(MensajeDe(e->Lee(DString(lineas[i]), estado)).c_str(), "") << i;
        e->color = 0x80C0FF;
        escena->Anade(e, i % 3);
    }
    v.vista.Muestra(escena);
    for (int resaltada : {-1, 0, 1, 2}) {
        v.vista.seleccion = {resaltada, 0};
        v.Pinta();
        // A textured extrusion is drawn in white, as a textured quad is: grey when lit.
        const uint32_t c = v.Desde(0, 10);
        EXPECT_FALSE(v.EsFondo(c));
        EXPECT_TRUE(resaltada >= 0 || (RojoDe(c) == VerdeDe(c) && VerdeDe(c) == AzulDe(c))) << std::hex << c;
    }
    EXPECT_EQ((*escena)[0].color, 0x80C0FFu); // drawing changes nothing of the model
}

// The painter takes the scene as const: no frame can change it.
static_assert(std::is_invocable_v<decltype(&TPintorEscena::Pinta), TPintorEscena&, IDCOpenGL&,
                                  const TObjeto3D&, const TCabeceraEscena&, const TSeleccion&>);

// Two views of one scene, each with its selection and camera, draw it in turn (and one
// fits its camera to it): each gives its own picture every time, and the scene reads
// back as it was read.
TEST(PintaEscena, TwoSelectionsAndTwoCamerasLeaveTheSceneAsRead) {
    TVistaPrueba v;
    ASSERT_EQ(v.Lee(std::string("CENTER=[1,0,0]\nSCALE=1.5\n") + quadArriba +
                    "XTRUSION=[0,0,0]|[-1,-1,0]:[1,-1,0]:[1,1,0]|[0,0,0]:1:[0,0,2]:0.5\n"
                    "SPHERE=[0,0,3]:1\nLINE=[0,0,0]:[3,0,0]\n")
                  .errores,
              "");
    const std::shared_ptr<const TObjeto3D> escena = v.vista.EscenaCompartida();
    const std::string leida = VuelcaEscena(*escena, true, "");
    TVistaEscena otra(escena, v.vista.camara);
    ASSERT_TRUE(otra.camara.Orienta("iso"));
    otra.camara.perspectiva = true;
    v.vista.seleccion = {2, 0};
    otra.seleccion = {3, 1};
    const auto pinta = [&](TVistaEscena& vista) {
        EXPECT_TRUE(vista.Pinta(v.dc));
        TDibIG imagen;
        v.dc.ReadPixels(imagen);
        return std::vector<uint8_t>(imagen.Bits(), imagen.Bits() + imagen.BytesPixeles());
    };
    const auto primera = pinta(v.vista);
    const auto segunda = pinta(otra);
    EXPECT_NE(primera, segunda);
    EXPECT_EQ(pinta(v.vista), primera);
    EXPECT_EQ(pinta(otra), segunda);
    ASSERT_TRUE(otra.Encuadra(v.dc));
    EXPECT_EQ(pinta(v.vista), primera);
    EXPECT_EQ(VuelcaEscena(*escena, true, ""), leida);
    EXPECT_EQ(v.vista.camara.cabecera, static_cast<const TCabeceraEscena&>(*escena));
}

TEST(PintaEscena, PickingFindsTheFirstControlPointWithinEightPixels) {
    TVistaPrueba v;
    v.Pinta("CIRCLE=[0,0,0]:[0,0,1]:2\nQUAD=[-2,-2,0]:[2,-2,0]:[2,2,0]:[-2,2,0]\nLINE=[2,-2,0]:[4,0,0]\n");
    int linea = 0, indice = 0;
    const auto busca = [&](const vector3D& punto, double dx, double dy) {
        vector3D p;
        bool visible = false;
        v.dc.ProjectPoint(punto, p, visible, true);
        v.vista.BuscaPunto(v.dc, vector2D(p.x + dx, p.y + dy), linea, indice);
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
    busca(v.Escena()[0].puntos[3], 0, 0); // rings have no control points
    EXPECT_EQ(linea, -1);

    // Picking follows the centre and the pushes.
    v.Pinta("CENTER=[1,0,0]\nLINE=[1,0,0]:[1,0,1]\nPUSHTRANS=[0,0,2]\nLINE=[3,0,0]:[3,0,1]\nPOP\n");
    v.vista.BuscaPunto(v.dc, vector2D(centro, centro), linea, indice);
    EXPECT_EQ(linea * 10 + indice, 10);
    // The second line's start is drawn 2 units right and 2 units up.
    v.vista.BuscaPunto(v.dc, vector2D(centro + 40, centro - 2 * subida), linea, indice);
    EXPECT_EQ(linea * 10 + indice, 30);
    EXPECT_EQ(v.ProfundidadPila(), 1);
}

TEST(PintaEscena, PanAndZoomMoveThePicture) {
    TVistaPrueba v;
    v.vista.camara.Desplaza(30, 20, lado, lado);
    v.Pinta(quadCentro);
    EXPECT_FALSE(v.EsFondo(v.En(centro + 30, centro + 20)));
    EXPECT_TRUE(v.EsFondo(v.En(centro, centro)));
    v.vista.camara.desplazamiento = vector3D();
    v.vista.camara.escala = 80.0;
    v.Pinta();
    EXPECT_FALSE(v.EsFondo(v.En(centro + 35, centro)));
    EXPECT_TRUE(v.EsFondo(v.En(centro + 45, centro)));
}

namespace {

// An element whose painting fails, to see how the painter reports and recovers.
class TElementoRoto : public TElementoObj3D {
public:
    TElementoRoto() : TElementoObj3D(0) {}
    void Acepta(TVisitanteElementos&) const override { throw TXPictomolder(TCausa::interna, "broken"); }
    TResultado<void> Lee(const DString&, TEstadoLectura&) override { return {}; }
    const char* NombreClase() const override { return "TElementoRoto"; }
};

} // namespace

TEST(PintaEscena, AFailingElementIsReportedAndTheStackStaysBalanced) {
    TVistaPrueba v;
    EXPECT_EQ(v.Lee("PUSHTRANS=[1,0,0]\nQUAD=[0,0,0]:[1,0,0]:[1,1,0]:[0,1,0]\nPOP\nPUSHSCALE=2\n"
                    "PUSHSCALE=2\n")
                  .errores,
              "POPs needed!");
    const auto rota = std::make_shared<TObjeto3D>(v.Escena());
    rota->Anade(std::make_shared<TElementoRoto>());
    v.vista.Muestra(rota);
    v.dc.luz.ambiente = 0.1;
    const TResultado<void> pintado = v.vista.Pinta(v.dc);
    ASSERT_FALSE(pintado);
    // Five elements before it: the count reached 5 after the view steps, then 6 .. 11.
    EXPECT_STREQ(pintado.Mensaje().c_str(), "Undefined critical in TObjeto3D::Pinta tr=11");
    EXPECT_EQ(v.dc.luz.ambiente, 0.1); // the device's light is put back
    EXPECT_EQ(v.ProfundidadPila(), 1);
}

namespace {

// A box of six coloured faces: front (y = -1) red, back yellow, right (x = +1) green,
// left magenta, top (z = +1) white, bottom cyan. Each colour reads back as the set of
// its strong channels, which shading does not change.
const char* cajaColores = "COLOR=(255,0,0)\nQUAD=[-1,-1,-1]:[1,-1,-1]:[1,-1,1]:[-1,-1,1]\n"
                          "COLOR=(255,255,0)\nQUAD=[-1,1,-1]:[1,1,-1]:[1,1,1]:[-1,1,1]\n"
                          "COLOR=(0,255,0)\nQUAD=[1,-1,-1]:[1,1,-1]:[1,1,1]:[1,-1,1]\n"
                          "COLOR=(255,0,255)\nQUAD=[-1,-1,-1]:[-1,1,-1]:[-1,1,1]:[-1,-1,1]\n"
                          "COLOR=(255,255,255)\nQUAD=[-1,-1,1]:[1,-1,1]:[1,1,1]:[-1,1,1]\n"
                          "COLOR=(0,255,255)\nQUAD=[-1,-1,-1]:[1,-1,-1]:[1,1,-1]:[-1,1,-1]\n";

int Canales(uint32_t c) {
    return (RojoDe(c) > 60 ? 4 : 0) | (VerdeDe(c) > 60 ? 2 : 0) | (AzulDe(c) > 60 ? 1 : 0);
}

int Dibujados(const TVistaPrueba& v) {
    return v.Cuenta([](uint32_t c) { return Diferencia(c, 0xFE0000) > 1; });
}

} // namespace

TEST(PintaEscena, NamedViewsLookAtTheirSideInBothProjections) {
    TVistaPrueba v;
    v.Lee(cajaColores);
    const std::pair<const char*, int> casos[] = {{"front", 4}, {"back", 6}, {"right", 2},
                                                 {"left", 5},  {"top", 7},  {"bottom", 3}};
    for (const auto& [nombre, canales] : casos) {
        for (const bool perspectiva : {false, true}) {
            ASSERT_TRUE(v.vista.camara.Orienta(nombre));
            v.vista.camara.perspectiva = perspectiva;
            v.Pinta();
            EXPECT_EQ(Canales(v.Desde(0, 0)), canales) << nombre << " perspective " << perspectiva;
        }
    }
    EXPECT_FALSE(v.vista.camara.Orienta("sideways"));
}

TEST(PintaEscena, PerspectiveShowsTheModelAtTheParallelSize) {
    // Depth 10 units either way: parallel projection keeps all of it, and perspective
    // must too (its zoom once scaled depth and left a slab too thin to show anything).
    TVistaPrueba v;
    v.Lee("CUBE=[0,0,0]:4:0\nLINE=[0,-10,0]:[0,10,0]\n");
    v.Pinta();
    const int paralela = Dibujados(v);
    v.vista.camara.perspectiva = true;
    v.Pinta();
    const int perspectiva = Dibujados(v);
    EXPECT_FALSE(v.EsFondo(v.Desde(0, 0)));
    EXPECT_GT(perspectiva, 0.7 * paralela);
    EXPECT_LT(perspectiva, 1.6 * paralela);
}

TEST(PintaEscena, FittingFramesTheWholeModel) {
    TVistaPrueba v;
    // Small and far off the middle, or much larger than the picture.
    for (const char* script : {"CUBE=[30,0,10]:0.5:0\n", "SPHERE=[0,0,0]:500\n"}) {
        for (const bool perspectiva : {false, true}) {
            v.Lee(script);
            v.vista.camara.Restablece();
            v.vista.camara.perspectiva = perspectiva;
            ASSERT_TRUE(v.vista.Encuadra(v.dc)) << script << perspectiva;
            TCajaPixeles caja;
            v.Pinta();
            ASSERT_TRUE(v.dc.CajaDibujada(caja));
            EXPECT_FALSE(caja.TocaBorde(lado, lado)) << script << perspectiva;
            if (perspectiva) {
                // The eye still looks at the origin: the far side of the model decides.
                const int alcance =
                    std::max({centro - caja.x0, caja.x1 - centro, centro - caja.y0, caja.y1 - centro});
                EXPECT_NEAR(alcance, 0.9 * centro, 4) << script;
            } else {
                EXPECT_NEAR(std::max(caja.x1 - caja.x0, caja.y1 - caja.y0), 0.9 * lado, 4) << script;
                EXPECT_NEAR(caja.x0 + caja.x1, lado, 3) << script;
                EXPECT_NEAR(caja.y0 + caja.y1, lado, 3) << script;
            }
        }
    }
    // Nothing to frame: the view stays.
    v.Lee("; empty\n");
    v.vista.camara.Restablece();
    EXPECT_FALSE(v.vista.Encuadra(v.dc));
    EXPECT_EQ(v.vista.camara.escala, 20.0);
}

TEST(Camara, NavigationRules) {
    // (Turning, zooming and the perspective wheel are driven through the window's own tests.)
    TCamara v;
    v.ResetView();
    v.Rueda(5000); // far beyond one step: still a positive zoom
    EXPECT_GT(v.escala, 0.0);
    v.Desplaza(10, -20, 200, 100);
    EXPECT_DOUBLE_EQ(v.desplazamiento.y, 0.4);
    v.distancia = 3;
    v.ResetView(); // keeps pan and distance
    EXPECT_DOUBLE_EQ(v.desplazamiento.y, 0.4);
    EXPECT_DOUBLE_EQ(v.distancia, 3.0);
    // A named view turns only.
    v.escala = 7.0;
    v.Orienta("top");
    EXPECT_DOUBLE_EQ(v.anguloX, -std::numbers::pi / 2);
    EXPECT_DOUBLE_EQ(v.escala, 7.0);
}

// Two reads that know nothing of each other number their scenes and elements alike: the
// painter that painted the one paints the other as it is, not from what it kept.
TEST(PintaEscena, ScenesOfUnrelatedReadsAreNotTakenForEachOther) {
    TVistaPrueba v;
    const TLecturaEscena rojo =
        LeeEscena(TFuenteEscena::Texto(std::string("COLOR=(255,0,0)\n") + quadArriba, {}));
    const TLecturaEscena verde =
        LeeEscena(TFuenteEscena::Texto(std::string("COLOR=(0,255,0)\n") + quadArriba, {}));
    ASSERT_EQ(rojo.Escena().serie, verde.Escena().serie);
    ASSERT_EQ(rojo.Escena()[0].serie, verde.Escena()[0].serie);
    for (const TLecturaEscena* lectura : {&rojo, &verde}) {
        v.vista.Muestra(lectura->escena);
        v.Pinta();
        EXPECT_EQ(EsRojo(v.EnModelo(0, 0, 0)), lectura == &rojo);
        EXPECT_EQ(EsVerde(v.EnModelo(0, 0, 0)), lectura == &verde);
    }
}

// Typing redraws the preview from the typed line on, starting from a copy of the frame
// before: whatever is typed where, and whatever else changes, each frame is the one a
// whole frame of the same script gives.
TEST(PintaEscena, FramesStartedFromTheFrameBeforeAreWholeFrames) {
    // Enough to draw before the lines typed in that a copy is worth its cost: 12,000
    // vertices of triangles that cover nothing.
    std::string nada;
    for (int i = 0; i < 4000; ++i)
        nada += "TRIANGLE=[0,5,0]:[0,5,0]:[0,5,0]\n";
    const auto script = [&nada](double radio, int giro, int color) {
        return "COLOR=(200,40,40)\nQUAD=[-6,-1,0]:[-2,-1,0]:[-2,1,0]:[-6,1,0]\n" + nada +
               "LINEWIDTH=3\nLINE=[-6,0,2]:[6,0,-2]\nPUSHTURN=UP|" + std::to_string(giro) +
               "\nCOLOR=(40,200,40)\nCONE=[2,0,0]:[2,0,3]:1.5:0.5\nSPHERE=[0,0,1]:" + std::to_string(radio) +
               "\nPOP\nCOLOR=(40,40," + std::to_string(color) +
               ")\nTRIANGLE=[-1,-3,0]:[3,-3,0]:[1,2,-1]\nSPHERE=[4,0,2]:1.5\n";
    };
    TVistaPrueba guardando, entera;
    ASSERT_TRUE(guardando.activo && entera.activo);
    guardando.vista.GuardaCuadros(true);
    int restauraciones = 0;
    const auto igual = [&](const std::string& s, bool desdeCopia, const char* paso) {
        for (TVistaPrueba* v : {&guardando, &entera}) {
            // Read as the editor reads a keystroke: the unchanged lines' elements taken back.
            v->lectura = LeeEscena(TFuenteEscena::Texto(s, DString()), &v->lectura);
            v->vista.Muestra(v->lectura.escena);
            v->dc.MakeCurrent();
            v->Pinta();
        }
        EXPECT_EQ(PixelesDistintos(Pixeles(guardando.imagen), Pixeles(entera.imagen)), 0) << paso;
        const auto hechas = static_cast<int>(guardando.dc.cuadroGuardado.Restauraciones());
        EXPECT_EQ(hechas - restauraciones, desdeCopia ? 1 : 0) << paso;
        restauraciones = hechas;
    };
    igual(script(1.0, 30, 200), false, "first frame");
    igual(script(1.5, 30, 200), false, "a sphere in a turn changed: the copy is taken before it");
    igual(script(2.0, 30, 200), true, "the same sphere again");
    igual(script(2.0, 30, 120), true, "a later line: from the copy, a new one taken there");
    igual(script(2.0, 30, 250), true, "that later line again");
    igual(script(2.0, 45, 250), false, "an earlier line, a transform");
    igual(script(2.5, 45, 250), true, "a later line: from the transform's copy, a new one taken");
    guardando.vista.camara.Gira(10, 0);
    entera.vista.camara.Gira(10, 0);
    igual(script(3.0, 45, 250), false, "another camera");
    igual(script(2.5, 45, 250), true, "the same camera again");
    guardando.vista.seleccion.lineaResaltada = entera.vista.seleccion.lineaResaltada = 1;
    igual(script(2.0, 45, 250), false, "a line before the copy highlighted");
    guardando.vista.seleccion.lineaResaltada = entera.vista.seleccion.lineaResaltada = 4007;
    igual(script(2.0, 45, 250), true, "the line of the copy's first element highlighted");
    igual(script(1.5, 45, 250), true, "typing in the highlighted line");
    guardando.vista.seleccion.lineaResaltada = entera.vista.seleccion.lineaResaltada = -1;
    igual(script(1.5, 45, 250), true, "the same elements: a copy of the whole frame taken");
    igual(script(1.5, 45, 250) + "; a comment\n", true, "drawn again from the whole frame's copy");
    EXPECT_EQ(guardando.ProfundidadPila(), 1);
}
