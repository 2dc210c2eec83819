// Readers of the round solids (CONE, CYLINDER, ELIPSOID, SPHERE) and of the boxes
// (PRISM, CUBE).
#include "Campos_prueba.h"
#include "Lee_script.h"

#include "script/Objetos_3d_cuadricas.h"
#include "script/Objetos_3d_solidos.h"

#include <gtest/gtest.h>

namespace {

// The message a single bad line raises, with its line number.
std::string ErrorDe(const char* linea) {
    TObjeto3D e;
    const auto r = LeeScript(e, Lineas({"QUAD=[0,0,0]:[1,0,0]:[1,1,0]:[0,1,0]", linea}));
    EXPECT_FALSE(r.correcto) << linea;
    EXPECT_EQ(e.Count(), 1) << linea; // the line before stays, the faulty element does not
    return r.errores;
}

} // namespace

TEST(Cuadricas, FieldCountsRaiseTheirMessages) {
    EXPECT_EQ(ErrorDe("CONE=[0,0,0]:[0,0,10]:5"), "1: Error reading Cone\r\n");
    EXPECT_EQ(ErrorDe("CONE=[0,0,0]:[0,0,10]:5:"),
              "1: Error reading Cone\r\n"); // trailing colon adds nothing
    EXPECT_EQ(ErrorDe("CYLINDER=[0,0,0]:[0,0,10]"), "1: Error reading Cylinder\r\n");
    EXPECT_EQ(ErrorDe("ELIPSOID=[0,0,0]:[1,0,0]:[0,1,0]:8:4"), "1: Error reading Elipsoid\r\n");
    EXPECT_EQ(ErrorDe("SPHERE=[0,0,0]"), "1: Error reading Sphere\r\n");
    EXPECT_EQ(ErrorDe("SPHERE=[0,0,0]:"), "1: Error reading Sphere\r\n");
    // A raised error ends the parse: nothing after it is read.
    TObjeto3D e;
    const auto r = LeeScript(e, Lineas({"SPHERE=[0,0,0]:1", "CONE=1", "SPHERE=[0,0,0]:1"}));
    EXPECT_EQ(r.errores, "1: Error reading Cone\r\n");
    EXPECT_EQ(e.Count(), 1);
}

TEST(Cuadricas, ConesAndCylinders) {
    TObjeto3D e;
    const auto r = LeeScript(e, Lineas({"CONE=[0,0,0]:[0,0,10]:5:0", "CYLINDER=[1,2,3]:[1,2,3]+[0,0,4]:3",
                                        "CONE=[1,1,1]::2,5:-1", "CYLINDER=[0,0,0]:[1,0,0]:2:7"}));
    EXPECT_TRUE(r.correcto) << r.errores;
    ASSERT_EQ(e.Count(), 4);
    auto& cono = ElementoComo<TElementoCono3D>(e, 0);
    EXPECT_STREQ(cono.NombreClase(), "TElementoCono3D");
    ASSERT_EQ(cono.puntos.size(), 2u);
    EXPECT_EQ(cono.puntos[1], vector3D(0, 0, 10));
    EXPECT_EQ(cono.radio1, 5.0);
    EXPECT_EQ(cono.radio2, 0.0);
    auto& cilindro = ElementoComo<TElementoCylinder3D>(e, 1);
    EXPECT_STREQ(cilindro.NombreClase(), "TElementoCylinder3D");
    EXPECT_EQ(cilindro.puntos[0], vector3D(1, 2, 3));
    EXPECT_EQ(cilindro.puntos[1], vector3D(1, 2, 7));
    EXPECT_EQ(cilindro.radio1, 3.0);
    EXPECT_EQ(cilindro.radio2, 3.0);
    // An empty point field is the origin; a decimal comma ends the number; negative radii stay.
    auto& raro = ElementoComo<TElementoCono3D>(e, 2);
    EXPECT_EQ(raro.puntos[1], vector3D(0, 0, 0));
    EXPECT_EQ(raro.radio1, 2.0);
    EXPECT_EQ(raro.radio2, -1.0);
    // Extra fields stay in the last one, which atof reads up to the colon.
    EXPECT_EQ(ElementoComo<TElementoCylinder3D>(e, 3).radio1, 2.0);

    const auto campos = CamposDe(cono);
    EXPECT_TRUE(campos.Tiene("radio1"));
    EXPECT_TRUE(campos.Tiene("radio2"));
}

TEST(Cuadricas, SpheresAndEllipsoids) {
    TObjeto3D e;
    const auto r = LeeScript(
        e, Lineas({"SPHERE=[1,2,3]:4", "ELIPSOID=[0,0,0]:[0,0,1]:[1,0,0]:8:4:2",
                   "ELIPSOID=[0,0,0]:[1,0,0]:[0,1,0]:8:4:2", "ELIPSOID=[0,0,0]:::1:2:3", "SPHERE=:x"}));
    EXPECT_TRUE(r.correcto) << r.errores;
    ASSERT_EQ(e.Count(), 5);
    auto& esfera = ElementoComo<TElementoEsfera3D>(e, 0);
    EXPECT_STREQ(esfera.NombreClase(), "TElementoEsfera3D");
    ASSERT_EQ(esfera.puntos.size(), 1u);
    EXPECT_EQ(esfera.puntos[0], vector3D(1, 2, 3));
    EXPECT_EQ(esfera.radioA, 4.0);
    EXPECT_EQ(esfera.radioB, 4.0);
    EXPECT_EQ(esfera.radioC, 4.0);
    // The direction fields are required but not used: both ellipsoids are the same.
    for (int i : {1, 2, 3}) {
        auto& el = ElementoComo<TElementoElipsoide3D>(e, i);
        EXPECT_STREQ(el.NombreClase(), "TElementoElipsoide3D");
        EXPECT_EQ(el.puntos[0], vector3D(0, 0, 0));
    }
    EXPECT_EQ(ElementoComo<TElementoElipsoide3D>(e, 1).radioA, 8.0);
    EXPECT_EQ(ElementoComo<TElementoElipsoide3D>(e, 2).radioB, 4.0);
    EXPECT_EQ(ElementoComo<TElementoElipsoide3D>(e, 2).radioC, 2.0);
    EXPECT_EQ(ElementoComo<TElementoElipsoide3D>(e, 3).radioC, 3.0);
    EXPECT_EQ(ElementoComo<TElementoEsfera3D>(e, 4).radioA, 0.0);

    // A second read into the same element starts from zero radii and the origin.
    TElementoEsfera3D s(&e);
    DString error;
    s.Lee(DString("[1,1,1]:5"), error);
    EXPECT_THROW(s.Lee(DString("[2,2,2]"), error), TXErrorObjeto3D);
    EXPECT_EQ(s.radioA, 0.0);
    EXPECT_EQ(s.puntos[0], vector3D(0, 0, 0));

    const auto campos = CamposDe(esfera);
    for (const char* n : {"radioA", "radioB", "radioC"})
        EXPECT_TRUE(campos.Tiene(n)) << n;
}

TEST(Solidos, FieldCountsRaiseTheirMessages) {
    EXPECT_EQ(ErrorDe("PRISM=[0,0,0]:[10,10,10]"), "1: Error reading Prism\r\n");
    EXPECT_EQ(ErrorDe("PRISM=[0,0,0]:[10,10,4]:"), "1: Error reading Prism\r\n");
    EXPECT_EQ(ErrorDe("CUBE=[0,0,0]:10"), "1: Error reading CUBE\r\n");
    TObjeto3D e;
    const auto r = LeeScript(e, Lineas({"PRISM=[0,0,0]:[10,10,4]::", "CUBE=[0,0,0]:1::::"}));
    EXPECT_TRUE(r.correcto) << r.errores;
    EXPECT_EQ(e.Count(), 2);
}

TEST(Solidos, BoxCorners) {
    TObjeto3D e;
    const auto r =
        LeeScript(e, Lineas({"CUBE=[1,1,1]:2:x", "PRISM=[0,0,5]:[20,10,-4]:0", "PRISM=[1,2,3]:1:0"}));
    EXPECT_TRUE(r.correcto) << r.errores;
    ASSERT_EQ(e.Count(), 3);
    auto& cubo = ElementoComo<TElementoCubo3D>(e, 0);
    EXPECT_STREQ(cubo.NombreClase(), "TElementoCubo3D");
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
    EXPECT_STREQ(prisma.NombreClase(), "TElementoPrisma3D");
    EXPECT_EQ(prisma.puntos[0], vector3D(-10, -5, 7));
    EXPECT_EQ(prisma.puntos[6], vector3D(10, 5, 3));
    EXPECT_EQ(prisma.normales[0], vector3D(0, 0, -1));
    // A sizes field that is not a vector gives a flat box at the centre.
    for (const auto& p : e[2].puntos)
        EXPECT_EQ(p, vector3D(1, 2, 3));
    EXPECT_TRUE(CamposDe(prisma).Tiene("normales"));
}
