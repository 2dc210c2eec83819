#include "geometry/Matrix3.h"

#include <gtest/gtest.h>

#include <numbers>

namespace {

constexpr double pi = std::numbers::pi;
constexpr double tol = 1e-12;

void EsperaCerca(const vector3D& v, double x, double y, double z, double t = tol) {
    EXPECT_NEAR(v.x, x, t);
    EXPECT_NEAR(v.y, y, t);
    EXPECT_NEAR(v.z, z, t);
}

TEST(Vectores, ProductoYNormales) {
    // a x b follows the right-hand rule.
    EXPECT_EQ(ProductoVectorial(vector3D(1, 0, 0), vector3D(0, 1, 0)), vector3D(0, 0, 1));
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

TEST(Rectas, Distancia) {
    // Oblique line through (1,1,0) along (1,1,1): the distance from the origin is the
    // length of the component of (-1,-1,0) across the line, sqrt(2 - 4/3).
    EXPECT_NEAR(DistanciaRecta({0, 0, 0}, {{1, 1, 0}, {1, 1, 1}}), std::sqrt(2.0 / 3.0), 1e-10);
    // A line without length is its origin.
    EXPECT_NEAR(DistanciaRecta({0, 3, 4}, {{0, 0, 0}, {0, 0, 0}}), 5.0, tol);
}

TEST(Rangos, Solape) {
    TRango r{};
    EXPECT_TRUE(Solape({0, 5}, {3, 9}, r));
    EXPECT_EQ(r.bajo, 3.0);
    EXPECT_EQ(r.alto, 5.0);
    EXPECT_TRUE(Solape({3, 9}, {0, 5}, r));
    EXPECT_EQ(r.bajo, 3.0);
    EXPECT_EQ(r.alto, 5.0);
    // Touching ranges meet in a point; apart, the result is left as it was.
    EXPECT_TRUE(Solape({0, 2}, {2, 4}, r));
    EXPECT_EQ(r.bajo, 2.0);
    EXPECT_EQ(r.alto, 2.0);
    EXPECT_FALSE(Solape({0, 1}, {2, 4}, r));
    EXPECT_FALSE(Solape({2, 4}, {0, 1}, r));
    EXPECT_EQ(r.bajo, 2.0);
}

TEST(Matriz4, ProductosYTranspuesta) {
    const TMatriz4 t = MatrizTraslacion({1, 2, 3}), s = MatrizEscala(2);
    // (t*s) p = t(s p): scale first, then move.
    EXPECT_EQ(Transforma(Multiplica(t, s), vector3D(1, 1, 1)), vector3D(3, 4, 5));
    EXPECT_EQ(Transforma(s * t, vector3D(1, 1, 1)), vector3D(4, 6, 8));
    TMatriz4 enSitio = t;
    EXPECT_EQ(Transforma(enSitio.Multiplica(s), vector3D(1, 1, 1)), vector3D(3, 4, 5));
    const auto col = Transpuesta(t); // column-major, as OpenGL takes it
    EXPECT_EQ(vector3D(col[12], col[13], col[14]), vector3D(1, 2, 3));
    EXPECT_EQ(col[3], 0);
    // Row 3 plays no part in the image of a point.
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
