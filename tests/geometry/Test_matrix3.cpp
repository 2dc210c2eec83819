#include "geometry/Matrix3.h"

#include <gtest/gtest.h>

#include <numbers>
#include <tuple>

namespace {

constexpr double pi = std::numbers::pi;
constexpr double tol = 1e-12;

void EsperaCerca(const vector3D& v, double x, double y, double z, double t = tol) {
    EXPECT_NEAR(v.x, x, t);
    EXPECT_NEAR(v.y, y, t);
    EXPECT_NEAR(v.z, z, t);
}

TEST(Vectores, OperadoresYProductos) {
    const vector3D a(1, 2, 3), b(4, -5, 6);
    EXPECT_EQ(a - 2.0 * b + -a * 2.0, vector3D(-9, 8, -15));
    EXPECT_EQ(vector2D(5, 1) - vector2D(2, 3), vector2D(3, -2));
    EXPECT_DOUBLE_EQ(ProductoEscalar(a, b), 4 - 10 + 18);
    // a x b follows the right-hand rule.
    EXPECT_EQ(ProductoVectorial(vector3D(1, 0, 0), vector3D(0, 1, 0)), vector3D(0, 0, 1));
    EXPECT_EQ(ProductoVectorial(a, b), vector3D(2 * 6 - 3 * -5, 3 * 4 - 1 * 6, 1 * -5 - 2 * 4));
    EXPECT_DOUBLE_EQ(Distancia(vector3D(1, 1, 1), vector3D(3, 4, 7)), 7.0);
    EsperaCerca(Esfericas(2, pi / 2, 0), 0, 2, 0);
    EsperaCerca(Esfericas(2, 0.5, pi / 2), 0, 0, 2);
}

TEST(Vectores, Normaliza) {
    vector3D corto(0, 0, 1e-10);
    EXPECT_FALSE(Normaliza(corto));
    EXPECT_EQ(corto, vector3D(0, 0, 1e-10));
    vector3D v(3, 4, 0);
    EXPECT_TRUE(Normaliza(v));
    EsperaCerca(v, 0.6, 0.8, 0.0);
}

TEST(Vectores, Perpendicular) {
    EsperaCerca(Perpendicular(vector3D(0, 0, 1)), 1, 0, 0);
    EsperaCerca(Perpendicular(vector3D(0, 1, 0)), 1, 0, 0);
    EXPECT_EQ(Perpendicular(vector3D(1e-7, 0, 0)), vector3D(0, 0, 0));
    EXPECT_EQ(Perpendicular(vector3D(0, 0, 0)), vector3D(0, 0, 0));
    // x is trusted above 1e-6, y and z only above 1e-5.
    EXPECT_EQ(Perpendicular(vector3D(2e-6, 0, 0)), vector3D(0, -2e-6, 0));
    EXPECT_EQ(Perpendicular(vector3D(0, 5e-6, 0)), vector3D(0, 0, 0));
    const vector3D v(0.3, -2, 5);
    EXPECT_NEAR(ProductoEscalar(Perpendicular(v), v), 0.0, tol);
}

TEST(Rectas, DistanciaRecta) {
    EXPECT_NEAR(DistanciaRecta({0, 5, 0}, {{0, 0, 0}, {1, 0, 0}}), 5.0, tol);
    // Oblique line through (1,1,0) along (1,1,1): the distance from the origin is the
    // length of the component of (-1,-1,0) across the line, sqrt(2 - 4/3).
    EXPECT_NEAR(DistanciaRecta({0, 0, 0}, {{1, 1, 0}, {1, 1, 1}}), std::sqrt(2.0 / 3.0), 1e-10);
    const TRecta r = TRecta::PorPuntos({1, 2, 3}, {4, 6, 3});
    EXPECT_NEAR(DistanciaRecta({1, 2, 3}, r), 0.0, 1e-10);
    EXPECT_NEAR(DistanciaRecta({-3, 5, 3}, r), 5.0, 1e-10); // (-4,3,0) is across (3,4,0)
    // A line without length is its origin.
    EXPECT_NEAR(DistanciaRecta({0, 3, 4}, {{0, 0, 0}, {0, 0, 0}}), 5.0, tol);
}

TEST(Rectas, CorteRectaPlano) {
    vector3D corte(9, 9, 9);
    // Plane z = 2 (normal not unit), line through (1,1,0) and (3,5,4): meets at t = 0.5.
    ASSERT_TRUE(CorteRectaPlano({{7, -3, 2}, {0, 0, 5}}, {1, 1, 0}, {3, 5, 4}, corte));
    EsperaCerca(corte, 2, 3, 2, 1e-10);
    // Oblique plane x + y + z = 3 and the x axis: (3, 0, 0).
    ASSERT_TRUE(CorteRectaPlano({{1, 1, 1}, {1, 1, 1}}, {0, 0, 0}, {1, 0, 0}, corte));
    EsperaCerca(corte, 3, 0, 0, 1e-10);

    const vector3D intacto(9, 9, 9);
    corte = intacto;
    EXPECT_FALSE(CorteRectaPlano({{0, 0, 2}, {0, 0, 1}}, {0, 0, 0}, {1, 1, 0}, corte)); // parallel
    EXPECT_FALSE(CorteRectaPlano({{0, 0, 2}, {0, 0, 1}}, {1, 1, 1}, {1, 1, 1}, corte)); // no line
    EXPECT_FALSE(CorteRectaPlano({{0, 0, 2}, {0, 0, 0}}, {0, 0, 0}, {0, 0, 1}, corte)); // no plane
    EXPECT_EQ(corte, intacto);
}

TEST(Rangos, Solape) {
    // Two ranges, whether they meet, and where (touching ranges meet in one point).
    const std::tuple<TRango, TRango, bool, TRango> casos[] = {
        {{0, 1}, {2, 3}, false, {-1, -1}}, {{2, 3}, {0, 1}, false, {-1, -1}}, {{0, 2}, {1, 3}, true, {1, 2}},
        {{1, 3}, {0, 2}, true, {1, 2}},    {{0, 10}, {4, 5}, true, {4, 5}},   {{1, 2}, {0, 1}, true, {1, 1}}};
    for (const auto& [a, b, corta, esperado] : casos) {
        TRango r{-1, -1};
        EXPECT_EQ(Solape(a, b, r), corta) << a.bajo << " " << b.bajo;
        EXPECT_EQ(r.bajo, esperado.bajo);
        EXPECT_EQ(r.alto, esperado.alto);
    }
}

TEST(Matriz3, InversaYDeterminante) {
    TMatriz3 identidad;
    EXPECT_DOUBLE_EQ(identidad.Determinante(), 1.0);
    TMatriz3 i2;
    ASSERT_TRUE(i2.Inversa());
    EXPECT_EQ(i2.m, identidad.m);

    TMatriz3 casiSingular;
    casiSingular(0, 0) = 1e-13; // det = 1e-13
    const TMatriz3 antes = casiSingular;
    EXPECT_FALSE(casiSingular.Inversa());
    EXPECT_EQ(casiSingular.m, antes.m);

    TMatriz3 a;
    a.m = {2, -1, 0, 1, 3, 4, 0, 5, -2};
    EXPECT_DOUBLE_EQ(a.Determinante(), 2 * (-6 - 20) + 1 * (-2 - 0));
    TMatriz3 inv = a;
    ASSERT_TRUE(inv.Inversa());
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            double s = 0;
            for (int k = 0; k < 3; ++k)
                s += a(i, k) * inv(k, j);
            EXPECT_NEAR(s, i == j ? 1.0 : 0.0, tol) << i << "," << j;
        }
}

TEST(Matriz3, TransformaYFilas) {
    TMatriz3 a;
    a.FijaFila(0, {1, 2, 3});
    a.FijaFila(1, {4, 5, 6});
    EXPECT_EQ(Transforma(a, vector3D(1, 0, -1)), vector3D(-2, -2, -1));
    // 2D affine: (a, b, tx) and (c, d, ty), the third row ignored.
    a.FijaFila(2, {7, 8, 9});
    EXPECT_EQ(Transforma(a, vector2D(1, 1)), vector2D(6, 15));
    a *= 2;
    EXPECT_EQ((0.5 * a).m[8], 9);
}

TEST(Matriz4, ConstructoresYTranspuesta) {
    const TMatriz4 t = MatrizTraslacion({1, 2, 3});
    const auto col = Transpuesta(t); // column-major, as OpenGL takes it
    EXPECT_EQ(vector3D(col[12], col[13], col[14]), vector3D(1, 2, 3));
    EXPECT_EQ(col[3], 0);
    EXPECT_EQ(Transforma(t, vector3D(1, 1, 1)), vector3D(2, 3, 4));
    EXPECT_EQ(Transforma(MatrizEscala(3), vector3D(1, -2, 4)), vector3D(3, -6, 12));
    // Row 3 plays no part in the image of a point.
    TMatriz4 r3;
    r3(3, 0) = 7;
    r3(3, 3) = 5;
    EXPECT_EQ(Transforma(r3, vector3D(1, 2, 3)), vector3D(1, 2, 3));
}

TEST(Matriz4, Giros) {
    EsperaCerca(Transforma(MatrizGiro({0, 0, 1}, pi / 2), {1, 0, 0}), 0, 1, 0);
    EsperaCerca(Transforma(MatrizGiro({1, 0, 0}, pi / 2), {0, 1, 0}), 0, 0, 1);
    // About x and z the usual right-handed turn; about y the opposite sense.
    EsperaCerca(Transforma(MatrizGiroEje(0, pi / 2), {0, 1, 0}), 0, 0, 1);
    EsperaCerca(Transforma(MatrizGiroEje(1, pi / 2), {1, 0, 0}), 0, 0, 1);
    EsperaCerca(Transforma(MatrizGiroEje(2, pi / 2), {1, 0, 0}), 0, 1, 0);
    EXPECT_EQ(MatrizGiroEje(5, 1.0).m, TMatriz4().m);
    // A general axis agrees with Rodrigues' formula: axis (1,1,1)/sqrt3 by 120 degrees
    // cycles the coordinate axes.
    vector3D u(1, 1, 1);
    Normaliza(u);
    EsperaCerca(Transforma(MatrizGiro(u, 2 * pi / 3), {1, 0, 0}), 0, 1, 0);
}

TEST(Matriz4, GiroRecta) {
    const vector3D a(1, 2, 3), b(1, 2, 7); // vertical line through (1,2)
    const TMatriz4 M = MatrizGiroRecta(a, b, pi / 2);
    for (double t : {-2.0, 0.0, 0.3, 1.0, 5.0}) {
        const vector3D p = a + t * (b - a);
        EsperaCerca(Transforma(M, p), p.x, p.y, p.z, 1e-12);
    }
    // (2,2,5) is one unit along +x from the line: a right-handed quarter turn about +z
    // takes it one unit along +y.
    EsperaCerca(Transforma(M, {2, 2, 5}), 1, 3, 5);
    // Oblique line: fixed points, and distances to the line are kept.
    const vector3D c(0, 1, -1), d(2, 3, 0);
    const TMatriz4 N = MatrizGiroRecta(c, d, 1.1);
    const vector3D q = c + 0.7 * (d - c);
    EsperaCerca(Transforma(N, q), q.x, q.y, q.z, 1e-12);
    const vector3D fuera(4, -1, 2);
    const TRecta recta = TRecta::PorPuntos(c, d);
    EXPECT_NEAR(DistanciaRecta(Transforma(N, fuera), recta), DistanciaRecta(fuera, recta), 1e-10);
    EXPECT_GT(Distancia(Transforma(N, fuera), fuera), 0.1);
    // A line without length turns nothing (instead of scaling by cos about the point).
    EXPECT_EQ(MatrizGiroRecta(a, a, pi).m, TMatriz4().m);
}

TEST(Matriz4, Multiplica) {
    const TMatriz4 t = MatrizTraslacion({1, 0, 0});
    const TMatriz4 s = MatrizEscala(2);
    // (t*s) p = t(s p): scale first, then move.
    EXPECT_EQ(Transforma(Multiplica(t, s), vector3D(1, 1, 1)), vector3D(3, 2, 2));
    EXPECT_EQ(Transforma(Multiplica(s, t), vector3D(1, 1, 1)), vector3D(4, 2, 2));
    TMatriz4 a = t;
    a.Multiplica(s);
    EXPECT_EQ(a.m, Multiplica(t, s).m);
    // A general product entry by entry.
    TMatriz4 x, y;
    for (int i = 0; i < 16; ++i)
        x.m[i] = i + 1, y.m[i] = 16 - i;
    const TMatriz4 z = x * y;
    EXPECT_EQ(z(0, 0), 1 * 16 + 2 * 12 + 3 * 8 + 4 * 4);
    EXPECT_EQ(z(2, 1), 9 * 15 + 10 * 11 + 11 * 7 + 12 * 3);
    EXPECT_DOUBLE_EQ(ProductoEscalar4({1, 2, 3, 4}, {5, 6, 7, 8}), 70);
}

} // namespace
