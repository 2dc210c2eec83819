// XTRUSION and REVOLUTION: readers, the grid with its normals, the route refinement and
// the texture positions.
#include "Lee_script.h"
#include "Scripts_hostiles.h"

#include "script/Objetos_3d_extrusion.h"
#include "script/Texturas_3di.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

const char* cuadradoAntihorario = "[-5,-5,0]:[5,-5,0]:[5,5,0]:[-5,5,0]:[-5,-5,0]";
const char* cuadradoHorario = "[-5,-5,0]:[-5,5,0]:[5,5,0]:[5,-5,0]:[-5,-5,0]";

std::string Xtrusion(const char* seccion, const char* resto) {
    return std::string("[0,0,0]|") + seccion + "|" + resto;
}

// Reads one element directly, optionally with a texture, and returns the error text.
template <class T>
std::string LeeElemento(T& elemento, const std::string& parametros, const TTextura3Di* textura = nullptr) {
    elemento.textura = textura;
    TEstadoLectura estado;
    return MensajeDe(elemento.Lee(DString(parametros.c_str()), estado)).c_str();
}

// Whether every vertex normal points away from the z axis (or towards it).
bool NormalesHaciaFuera(const TElementoQuads& q, bool haciaFuera) {
    for (size_t i = 0; i < q.puntos.size(); ++i) {
        const vector3D radial(q.puntos[i].x, q.puntos[i].y, 0);
        const double d = ProductoEscalar(radial, q.normalesVertice[i]);
        if (haciaFuera ? d <= 0 : d >= 0) return false;
    }
    return true;
}

} // namespace

TEST(Extrusion, ReaderMessagesAreAppended) {
    TElementoXtrusion x;
    // The section is read (and found wanting) before the count of three is checked.
    EXPECT_EQ(LeeElemento(x, "[0,0,0]|[1,0,0]"), "Error reading POLYLINE \r\n");
    EXPECT_EQ(LeeElemento(x, "[0,0,0]|[1,0,0]:[2,0,0]|"), "XTRUSION: Needs three fields separated by | \r\n");
    TElementoRevolution v;
    EXPECT_EQ(LeeElemento(v, "[0,0,0]|[0,0,1]|::"), "");
    EXPECT_EQ(v.perfil.numPuntos, 2); // two empty fields: two points at the origin
}

TEST(Extrusion, GridWithoutTexture) {
    TLecturaEscena e;
    const auto r = LeeScript(e, "XTRUSION=[1,2,3]|[-5,-5,0]:[5,-5,0]:[5,5,0]:[-5,5,0]:[-5,-5,0]|"
                                "[0,0,0]:1:[0,0,20]:0.5:[0,0,30]:0.1:[0,0,40]\n");
    ASSERT_TRUE(r.correcto && e.Escena().Count() == 1) << r.errores;
    const auto& x = ElementoComo<TElementoXtrusion>(e, 0);
    // The odd last route field is ignored: three rows of five points, and without a
    // texture the route is not refined however much the scale changes.
    ASSERT_EQ(x.ruta.numPuntos, 3);
    EXPECT_EQ(x.escalas, (std::vector<double>{1, 0.5, 0.1}));
    EXPECT_EQ(x.desplazamiento, vector3D(1, 2, 3));
    ASSERT_EQ(x.puntos.size(), 15u);
    EXPECT_TRUE(x.posTextura.empty());
    ASSERT_EQ(x.quads.size(), 8u);
    EXPECT_EQ(x.quads[5], (TQuadExtr{6, 7, 12, 11}));
    // Scaled, moved by the offset and the route point, never turned.
    EXPECT_EQ(x.puntos[5 + 2], vector3D(2.5 + 1, 2.5 + 2, 20 + 3));
    EXPECT_EQ(x.puntos[10], vector3D(-0.5 + 1, -0.5 + 2, 30 + 3));
    for (const auto& n : x.normalesVertice)
        EXPECT_NEAR(Modulo(n), 1.0, 1e-12);
}

TEST(Extrusion, InvertirIsAutomaticForTheSectionOrientationOrGiven) {
    // The fourth field: 1 or more keeps the normals, anything else inverts them; a
    // trailing '|' adds no field and leaves the choice automatic, two of them add an empty one.
    const std::tuple<bool, const char*, bool> casos[] = {
        {true, "", false},   {false, "", true},  {false, "|1", false}, {true, "|7", false},
        {true, "|-1", true}, {true, "||", true}, {true, "|abc", true}, {true, "|", false}};
    for (const auto& [antihorario, cola, invertido] : casos) {
        TElementoXtrusion x;
        const std::string resto = std::string("[0,0,0]:1:[0,0,10]:1") + cola;
        ASSERT_EQ(
            LeeElemento(x, Xtrusion(antihorario ? cuadradoAntihorario : cuadradoHorario, resto.c_str())), "")
            << cola;
        EXPECT_EQ(x.invertir, invertido) << antihorario << cola;
        // The normals point out of a counter-clockwise section unless inverted.
        EXPECT_TRUE(NormalesHaciaFuera(x, antihorario != invertido)) << antihorario << cola;
    }
}

TEST(Extrusion, RevolutionNormalsFollowTheProfileDirection) {
    TElementoRevolution subiendo, bajando;
    ASSERT_EQ(LeeElemento(subiendo, "[0,0,0]|[0,0,1]|[5,0,0]:[5,0,10]"), "");
    ASSERT_EQ(LeeElemento(bajando, "[0,0,0]|[0,0,1]|[5,0,10]:[5,0,0]"), "");
    ASSERT_EQ(subiendo.puntos.size(), 34u); // 17 rows of 2
    EXPECT_TRUE(NormalesHaciaFuera(subiendo, false));
    EXPECT_TRUE(NormalesHaciaFuera(bajando, true));
    // Row 4 is a quarter turn; row 16 closes the seam on row 0.
    EXPECT_NEAR(subiendo.puntos[8].y, 5.0, 1e-12);
    EXPECT_NEAR(subiendo.puntos[32].x, 5.0, 1e-12);
    EXPECT_NEAR(subiendo.puntos[32].y, 0.0, 1e-12);
}

TEST(Extrusion, RefinementOfTheRoute) {
    TElementoPolilinea ruta;
    // Lengths 30, 0, 30: a = 0.2 * 60 / 3 = 4. Scales 1 -> 0.1 -> 1 -> 0.5.
    ruta.FijaPuntos({{0, 0, 0}, {0, 0, 30}, {0, 0, 30}, {0, 0, 60}});
    std::vector<double> escalas{1, 0.1, 1, 0.5};
    TElementoQuads::RefinaRuta(ruta, escalas);
    // Five points in the first segment, none in the empty one, two in the last (ratio 0.5).
    ASSERT_EQ(ruta.numPuntos, 11);
    ASSERT_EQ(escalas.size(), 11u);
    const double z[] = {0, 5, 10, 15, 20, 25, 30, 30, 40, 50, 60};
    for (size_t i = 0; i < 11; ++i)
        EXPECT_NEAR(ruta.puntos[i].z, z[i], 1e-12) << i;
    EXPECT_NEAR(escalas[1], 0.85, 1e-12);
    EXPECT_EQ(escalas[6], 0.1);
    EXPECT_NEAR(escalas[8], 1 - 0.5 / 3, 1e-12);

    // Short segments take fewer points (length 12 with a = 0.2 * 60 / 2 = 6 gives k1 = 1);
    // similar values, a route without length, a count mismatch: none.
    const std::tuple<std::vector<vector3D>, std::vector<double>, int> casos[] = {
        {{{0, 0, 0}, {0, 0, 12}, {0, 0, 60}}, {1, 0.1, 0.1}, 4},
        {{{0, 0, 0}, {0, 0, 30}, {0, 0, 60}}, {1, 0.7, 0.7}, 3},
        {{{1, 1, 1}, {1, 1, 1}}, {1, 0}, 2},
        {{{0, 0, 0}, {0, 0, 60}}, {1}, 2}};
    for (auto [puntos, valores, n] : casos) {
        ruta.FijaPuntos(puntos);
        TElementoQuads::RefinaRuta(ruta, valores);
        EXPECT_EQ(ruta.numPuntos, n) << valores[0];
    }

    // Two points into the second segment, the values alongside; indices out of range do nothing.
    ruta.FijaPuntos({{0, 0, 0}, {0, 0, 30}, {0, 0, 60}});
    std::vector<double> valores{0, 3, 6};
    for (int j : {0, 3})
        ruta.Subdivide(j, 1, valores);
    ruta.Subdivide(2, 2, valores);
    ASSERT_EQ(ruta.numPuntos, 5);
    EXPECT_NEAR(ruta.puntos[3].z, 50, 1e-12);
    EXPECT_EQ(valores, (std::vector<double>{0, 3, 4, 5, 6}));
}

TEST(Extrusion, TexturePositionsAndRefinement) {
    TTextura3Di textura;
    TElementoXtrusion x;
    // a = 0.2 * 32 / 3: the long segment takes five rows, the short ones none.
    ASSERT_EQ(LeeElemento(x, Xtrusion("[0,0,0]:[1,0,0]", "[0,0,0]:1:[0,0,30]:0.1:[0,0,31]:0.1:[0,0,32]:0.1"),
                          &textura),
              "");
    EXPECT_EQ(x.ruta.numPuntos, 9);
    EXPECT_EQ(x.posTextura.size(), x.puntos.size());

    TElementoXtrusion y;
    ASSERT_EQ(
        LeeElemento(y, Xtrusion("[0,0,0]:[1,0,0]:[4,0,0]", "[0,0,0]:1:[0,0,10]:1:[0,0,30]:1"), &textura), "");
    ASSERT_EQ(y.posTextura.size(), 9u);
    EXPECT_NEAR(y.posTextura[4].x, 10.0 / 30, 1e-15);
    EXPECT_NEAR(y.posTextura[4].y, 0.25, 1e-15);
    EXPECT_EQ(y.posTextura[8], vector2D(1, 1));

    // A revolution's first coordinate runs over the 16 turns; the profile is refined by
    // the distance from the axis.
    TElementoRevolution v;
    ASSERT_EQ(LeeElemento(v, "[0,0,0]|[0,0,1]|[10,0,0]:[1,0,30]", &textura), "");
    // A single segment is five times a long: four points go in.
    EXPECT_EQ(v.perfil.numPuntos, 6);
    ASSERT_EQ(v.posTextura.size(), 17u * 6u);
    EXPECT_NEAR(v.posTextura[6 * 4].x, 0.25, 1e-15);
    EXPECT_NEAR(v.posTextura[6 * 16 + 5].x, 1.0, 1e-15);
    EXPECT_NEAR(v.posTextura[1].y, 0.2, 1e-15);
}

TEST(Extrusion, HostileSizesAreRefused) {
    // 2,001 section points by 600 route points would need more than a million grid points.
    TElementoXtrusion x;
    const std::string seccion = hostiles::Repite(":", 2000);
    const std::string ruta = hostiles::Repite("[0,0,1]:1:", 600);
    EXPECT_EQ(LeeElemento(x, "[0,0,0]|" + seccion + "|" + ruta), "XTRUSION: Too many points \r\n");
    TElementoRevolution v;
    EXPECT_EQ(LeeElemento(v, "[0,0,0]|[0,0,1]|" + hostiles::Repite(":", 70000)),
              "REVOLUTION: Too many points \r\n");
    // Just below the limit is fine.
    TElementoRevolution w;
    EXPECT_EQ(LeeElemento(w, "[0,0,0]|[0,0,1]|" + hostiles::Repite(":", 60000)), "");
    EXPECT_EQ(w.puntos.size(), 17u * 60000u);
    // A route with numbers that are not finite refines nothing and reads without fault.
    TTextura3Di textura;
    TElementoXtrusion infinita;
    EXPECT_EQ(
        LeeElemento(infinita, Xtrusion("[0,0,0]:[1,0,0]", "[0,0,0]:1:[0,0,1e400]:0:[0,0,1]:nan"), &textura),
        "");
}
