// Readers of the round solids (CONE, CYLINDER, ELIPSOID, SPHERE) and of the boxes
// (PRISM, CUBE).
#include "Lee_script.h"

#include "script/Objetos_3d_cuadricas.h"
#include "script/Objetos_3d_solidos.h"

#include <gtest/gtest.h>

TEST(Cuadricas, RoundSolids) {
    TLecturaEscena e;
    const auto r = LeeScript(
        e, Lineas({"CONE=[0,0,0]:[0,0,10]:5:0", "CYLINDER=[1,2,3]:[1,2,3]+[0,0,4]:3", "CONE=[1,1,1]::2,5:-1",
                   "SPHERE=[1,2,3]:4", "ELIPSOID=[0,0,0]:[0,0,1]:[1,0,0]:8:4:2",
                   "ELIPSOID=[0,0,0]:[1,0,0]:[0,1,0]:8:4:2", "ELIPSOID=[0,0,0]:::1:2:3", "SPHERE=:x"}));
    ASSERT_TRUE(r.correcto && e.Escena().Count() == 8) << r.errores;
    const auto& cono = ElementoComo<TElementoCono3D>(e, 0);
    EXPECT_EQ(cono.puntos, (std::vector<vector3D>{{0, 0, 0}, {0, 0, 10}}));
    EXPECT_EQ(vector2D(cono.radio1, cono.radio2), vector2D(5, 0));
    const auto& cilindro = ElementoComo<TElementoCylinder3D>(e, 1);
    EXPECT_EQ(cilindro.puntos, (std::vector<vector3D>{{1, 2, 3}, {1, 2, 7}}));
    EXPECT_EQ(vector2D(cilindro.radio1, cilindro.radio2), vector2D(3, 3));
    // An empty point field is the origin; a decimal comma ends the number; negative radii stay.
    const auto& raro = ElementoComo<TElementoCono3D>(e, 2);
    EXPECT_EQ(raro.puntos[1], vector3D(0, 0, 0));
    EXPECT_EQ(vector2D(raro.radio1, raro.radio2), vector2D(2, -1));
    EXPECT_EQ(ElementoComo<TElementoEsfera3D>(e, 3).puntos, std::vector<vector3D>{vector3D(1, 2, 3)});
    const auto radios = [&](int i) {
        const auto& el = ElementoComo<TElementoElipsoide3D>(e, i);
        return vector3D(el.radioA, el.radioB, el.radioC);
    };
    EXPECT_EQ(radios(3), vector3D(4, 4, 4));
    // The direction fields are required but not used: both ellipsoids are the same.
    EXPECT_EQ(radios(4), vector3D(8, 4, 2));
    EXPECT_EQ(radios(5), vector3D(8, 4, 2));
    EXPECT_EQ(radios(6), vector3D(1, 2, 3));
    EXPECT_EQ(radios(7), vector3D(0, 0, 0));
}

TEST(Solidos, BoxCorners) {
    TLecturaEscena e;
    const auto r =
        LeeScript(e, Lineas({"CUBE=[1,1,1]:2:x", "PRISM=[0,0,5]:[20,10,-4]:0", "PRISM=[1,2,3]:1:0"}));
    ASSERT_TRUE(r.correcto && e.Escena().Count() == 3) << r.errores;
    const auto& cubo = ElementoComo<TElementoCubo3D>(e, 0);
    const vector3D esperadas[8] = {{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0},
                                   {0, 0, 2}, {2, 0, 2}, {2, 2, 2}, {0, 2, 2}};
    EXPECT_EQ(cubo.puntos, std::vector<vector3D>(esperadas, esperadas + 8));

    // A negative size swaps the two sides of its axis; the normals keep their signs.
    const auto& prisma = ElementoComo<TElementoPrisma3D>(e, 1);
    EXPECT_EQ(prisma.puntos[0], vector3D(-10, -5, 7));
    EXPECT_EQ(prisma.puntos[6], vector3D(10, 5, 3));
    EXPECT_EQ(prisma.normales[0], vector3D(0, 0, -1));
    // A sizes field that is not a vector gives a flat box at the centre.
    for (const auto& p : e.Escena()[2].puntos)
        EXPECT_EQ(p, vector3D(1, 2, 3));
}
