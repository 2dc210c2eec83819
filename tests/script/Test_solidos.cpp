// Readers of the round solids (CONE, CYLINDER, ELIPSOID, SPHERE) and of the boxes
// (PRISM, CUBE).
#include "Lee_script.h"

#include "script/Objetos_3d_cuadricas.h"
#include "script/Objetos_3d_solidos.h"

#include <gtest/gtest.h>

TEST(Cuadricas, ConesAndCylinders) {
    TObjeto3D e;
    const auto r = LeeScript(e, Lineas({"CONE=[0,0,0]:[0,0,10]:5:0", "CYLINDER=[1,2,3]:[1,2,3]+[0,0,4]:3",
                                        "CONE=[1,1,1]::2,5:-1", "CYLINDER=[0,0,0]:[1,0,0]:2:7"}));
    EXPECT_TRUE(r.correcto) << r.errores;
    ASSERT_EQ(e.Count(), 4);
    auto& cono = ElementoComo<TElementoCono3D>(e, 0);
    ASSERT_EQ(cono.puntos.size(), 2u);
    EXPECT_EQ(cono.puntos[1], vector3D(0, 0, 10));
    EXPECT_EQ(vector2D(cono.radio1, cono.radio2), vector2D(5, 0));
    auto& cilindro = ElementoComo<TElementoCylinder3D>(e, 1);
    EXPECT_EQ(cilindro.puntos[0], vector3D(1, 2, 3));
    EXPECT_EQ(cilindro.puntos[1], vector3D(1, 2, 7));
    EXPECT_EQ(vector2D(cilindro.radio1, cilindro.radio2), vector2D(3, 3));
    // An empty point field is the origin; a decimal comma ends the number; negative radii stay.
    auto& raro = ElementoComo<TElementoCono3D>(e, 2);
    EXPECT_EQ(raro.puntos[1], vector3D(0, 0, 0));
    EXPECT_EQ(vector2D(raro.radio1, raro.radio2), vector2D(2, -1));
    // Extra fields stay in the last one, which atof reads up to the colon.
    EXPECT_EQ(ElementoComo<TElementoCylinder3D>(e, 3).radio1, 2.0);
}

TEST(Cuadricas, SpheresAndEllipsoids) {
    TObjeto3D e;
    const auto r = LeeScript(
        e, Lineas({"SPHERE=[1,2,3]:4", "ELIPSOID=[0,0,0]:[0,0,1]:[1,0,0]:8:4:2",
                   "ELIPSOID=[0,0,0]:[1,0,0]:[0,1,0]:8:4:2", "ELIPSOID=[0,0,0]:::1:2:3", "SPHERE=:x"}));
    EXPECT_TRUE(r.correcto) << r.errores;
    ASSERT_EQ(e.Count(), 5);
    auto& esfera = ElementoComo<TElementoEsfera3D>(e, 0);
    ASSERT_EQ(esfera.puntos.size(), 1u);
    EXPECT_EQ(esfera.puntos[0], vector3D(1, 2, 3));
    const auto radios = [&](int i) {
        auto& el = ElementoComo<TElementoElipsoide3D>(e, i);
        return vector3D(el.radioA, el.radioB, el.radioC);
    };
    EXPECT_EQ(radios(0), vector3D(4, 4, 4));
    // The direction fields are required but not used: both ellipsoids are the same.
    EXPECT_EQ(radios(1), vector3D(8, 4, 2));
    EXPECT_EQ(radios(2), vector3D(8, 4, 2));
    EXPECT_EQ(radios(3), vector3D(1, 2, 3));
    EXPECT_EQ(e[3].puntos[0], vector3D(0, 0, 0));
    EXPECT_EQ(radios(4), vector3D(0, 0, 0));

    // A second read into the same element starts from zero radii and the origin.
    TElementoEsfera3D s(&e);
    DString error;
    s.Lee(DString("[1,1,1]:5"), error);
    EXPECT_THROW(s.Lee(DString("[2,2,2]"), error), TXErrorObjeto3D);
    EXPECT_EQ(s.radioA, 0.0);
    EXPECT_EQ(s.puntos[0], vector3D(0, 0, 0));
}

TEST(Solidos, BoxCorners) {
    TObjeto3D e;
    const auto r =
        LeeScript(e, Lineas({"CUBE=[1,1,1]:2:x", "PRISM=[0,0,5]:[20,10,-4]:0", "PRISM=[1,2,3]:1:0"}));
    EXPECT_TRUE(r.correcto) << r.errores;
    ASSERT_EQ(e.Count(), 3);
    auto& cubo = ElementoComo<TElementoCubo3D>(e, 0);
    const vector3D esperadas[8] = {{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0},
                                   {0, 0, 2}, {2, 0, 2}, {2, 2, 2}, {0, 2, 2}};
    ASSERT_EQ(cubo.puntos.size(), 8u);
    for (size_t i = 0; i < 8; ++i)
        EXPECT_EQ(cubo.puntos[i], esperadas[i]) << i;
    const vector3D normales[6] = {{0, 0, -1}, {0, 0, 1}, {-1, 0, 0}, {1, 0, 0}, {0, -1, 0}, {0, 1, 0}};
    for (size_t i = 0; i < 6; ++i)
        EXPECT_EQ(cubo.normales[i], normales[i]) << i;

    // A negative size swaps the two sides of its axis; the normals keep their signs.
    auto& prisma = ElementoComo<TElementoPrisma3D>(e, 1);
    EXPECT_EQ(prisma.puntos[0], vector3D(-10, -5, 7));
    EXPECT_EQ(prisma.puntos[6], vector3D(10, 5, 3));
    EXPECT_EQ(prisma.normales[0], vector3D(0, 0, -1));
    // A sizes field that is not a vector gives a flat box at the centre.
    for (const auto& p : e[2].puntos)
        EXPECT_EQ(p, vector3D(1, 2, 3));
}
