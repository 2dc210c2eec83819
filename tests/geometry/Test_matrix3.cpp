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

TEST(Vectores, OperadoresProductosYNormales) {
    const vector3D a(1, 2, 3), b(4, -5, 6);
    EXPECT_EQ(a - 2.0 * b + -a * 2.0, vector3D(-9, 8, -15));
    EXPECT_DOUBLE_EQ(ProductoEscalar(a, b), 4 - 10 + 18);
    // a x b follows the right-hand rule.
    EXPECT_EQ(ProductoVectorial(vector3D(1, 0, 0), vector3D(0, 1, 0)), vector3D(0, 0, 1));
    EXPECT_EQ(ProductoVectorial(a, b), vector3D(2 * 6 - 3 * -5, 3 * 4 - 1 * 6, 1 * -5 - 2 * 4));
    EXPECT_DOUBLE_EQ(Distancia(vector3D(1, 1, 1), vector3D(3, 4, 7)), 7.0);
    EsperaCerca(Esfericas(2, pi / 2, 0), 0, 2, 0);
    EsperaCerca(Esfericas(2, 0.5, pi / 2), 0, 0, 2);
    vector3D corto(0, 0, 1e-10);
    EXPECT_FALSE(Normaliza(corto));
    EXPECT_EQ(corto, vector3D(0, 0, 1e-10));
    vector3D v(3, 4, 0);
    EXPECT_TRUE(Normaliza(v));
    EsperaCerca(v, 0.6, 0.8, 0.0);
    // Perpendicular trusts x above 1e-6, y and z only above 1e-5.
    EsperaCerca(Perpendicular(vector3D(0, 1, 0)), 1, 0, 0);
    EXPECT_EQ(Perpendicular(vector3D(1e-7, 0, 0)), vector3D(0, 0, 0));
    EXPECT_EQ(Perpendicular(vector3D(2e-6, 0, 0)), vector3D(0, -2e-6, 0));
    EXPECT_EQ(Perpendicular(vector3D(0, 5e-6, 0)), vector3D(0, 0, 0));
    EXPECT_NEAR(ProductoEscalar(Perpendicular(vector3D(0.3, -2, 5)), vector3D(0.3, -2, 5)), 0.0, tol);
}

TEST(Rectas, DistanciaYCorteConPlano) {
    // Oblique line through (1,1,0) along (1,1,1): the distance from the origin is the
    // length of the component of (-1,-1,0) across the line, sqrt(2 - 4/3).
    EXPECT_NEAR(DistanciaRecta({0, 0, 0}, {{1, 1, 0}, {1, 1, 1}}), std::sqrt(2.0 / 3.0), 1e-10);
    EXPECT_NEAR(DistanciaRecta({-3, 5, 3}, TRecta::PorPuntos({1, 2, 3}, {4, 6, 3})), 5.0, 1e-10);
    // A line without length is its origin.
    EXPECT_NEAR(DistanciaRecta({0, 3, 4}, {{0, 0, 0}, {0, 0, 0}}), 5.0, tol);

    vector3D corte(9, 9, 9);
    // Plane z = 2 (normal not unit), line through (1,1,0) and (3,5,4): meets at t = 0.5.
    ASSERT_TRUE(CorteRectaPlano({{7, -3, 2}, {0, 0, 5}}, {1, 1, 0}, {3, 5, 4}, corte));
    EsperaCerca(corte, 2, 3, 2, 1e-10);
    const vector3D intacto = corte = {9, 9, 9};
    EXPECT_FALSE(CorteRectaPlano({{0, 0, 2}, {0, 0, 1}}, {0, 0, 0}, {1, 1, 0}, corte)); // parallel
    EXPECT_FALSE(CorteRectaPlano({{0, 0, 2}, {0, 0, 1}}, {1, 1, 1}, {1, 1, 1}, corte)); // no line
    EXPECT_FALSE(CorteRectaPlano({{0, 0, 2}, {0, 0, 0}}, {0, 0, 0}, {0, 0, 1}, corte)); // no plane
    EXPECT_EQ(corte, intacto);
}

TEST(Rangos, Solape) {
    // Two ranges, whether they meet, and where (touching ranges meet in one point).
    const std::tuple<TRango, TRango, bool, TRango> casos[] = {
        {{2, 3}, {0, 1}, false, {-1, -1}}, {{1, 3}, {0, 2}, true, {1, 2}}, {{0, 10}, {4, 5}, true, {4, 5}},
        {{1, 2}, {0, 1}, true, {1, 1}}};
    for (const auto& [a, b, corta, esperado] : casos) {
        TRango r{-1, -1};
        EXPECT_EQ(Solape(a, b, r), corta) << a.bajo << " " << b.bajo;
        EXPECT_EQ(std::pair(r.bajo, r.alto), std::pair(esperado.bajo, esperado.alto));
    }
}

TEST(Matriz3, InversaDeterminanteYTransforma) {
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
    for (int i = 0; i < 9; ++i) // a * inv, entry (i / 3, i % 3), is the identity
        EXPECT_NEAR(a(i / 3, 0) * inv(0, i % 3) + a(i / 3, 1) * inv(1, i % 3) + a(i / 3, 2) * inv(2, i % 3),
                    i % 4 == 0 ? 1.0 : 0.0, tol) << i;

    a.FijaFila(0, {1, 2, 3});
    a.FijaFila(1, {4, 5, 6});
    a.FijaFila(2, {7, 8, 9});
    EXPECT_EQ(Transforma(a, vector3D(1, 0, -1)), vector3D(-2, -2, -2));
    // 2D affine: (a, b, tx) and (c, d, ty), the third row ignored.
    EXPECT_EQ(Transforma(a, vector2D(1, 1)), vector2D(6, 15));
}

TEST(Matriz4, ProductosYTranspuesta) {
    const TMatriz4 t = MatrizTraslacion({1, 2, 3}), s = MatrizEscala(2);
    // (t*s) p = t(s p): scale first, then move.
    EXPECT_EQ(Transforma(Multiplica(t, s), vector3D(1, 1, 1)), vector3D(3, 4, 5));
    EXPECT_EQ(Transforma(s * t, vector3D(1, 1, 1)), vector3D(4, 6, 8));
    const auto col = Transpuesta(t); // column-major, as OpenGL takes it
    EXPECT_EQ(vector3D(col[12], col[13], col[14]), vector3D(1, 2, 3));
    EXPECT_EQ(col[3], 0);
    // A general product entry by entry; row 3 plays no part in the image of a point.
    TMatriz4 x, y;
    for (int i = 0; i < 16; ++i)
        x.m[i] = i + 1, y.m[i] = 16 - i;
    const TMatriz4 z = x * y;
    EXPECT_EQ(z(0, 0), 1 * 16 + 2 * 12 + 3 * 8 + 4 * 4);
    EXPECT_EQ(z(2, 1), 9 * 15 + 10 * 11 + 11 * 7 + 12 * 3);
    EXPECT_DOUBLE_EQ(ProductoEscalar4({1, 2, 3, 4}, {5, 6, 7, 8}), 70);
    TMatriz4 r3;
    r3(3, 0) = 7;
    r3(3, 3) = 5;
    EXPECT_EQ(Transforma(r3, vector3D(1, 2, 3)), vector3D(1, 2, 3));
}

TEST(Matriz4, Giros) {
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

    // About a line: (2,2,5) is one unit along +x from the vertical line through (1,2); a
    // right-handed quarter turn about +z takes it one unit along +y.
    const vector3D a(1, 2, 3), b(1, 2, 7);
    EsperaCerca(Transforma(MatrizGiroRecta(a, b, pi / 2), {2, 2, 5}), 1, 3, 5);
    // Oblique line: its points stay, and distances to it are kept.
    const vector3D c(0, 1, -1), d(2, 3, 0), q = c + 0.7 * (d - c), fuera(4, -1, 2);
    const TMatriz4 N = MatrizGiroRecta(c, d, 1.1);
    EsperaCerca(Transforma(N, q), q.x, q.y, q.z, 1e-12);
    const TRecta recta = TRecta::PorPuntos(c, d);
    EXPECT_NEAR(DistanciaRecta(Transforma(N, fuera), recta), DistanciaRecta(fuera, recta), 1e-10);
    EXPECT_GT(Distancia(Transforma(N, fuera), fuera), 0.1);
    // A line without length turns nothing (instead of scaling by cos about the point).
    EXPECT_EQ(MatrizGiroRecta(a, a, pi).m, TMatriz4().m);
}

} // namespace
