#include "Lee_script.h"

#include "geometry/Luz_normals.h"
#include "script/Objetos_3d_pila.h"
#include "script/Objetos_3d_planos.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

namespace {

const char* quad = "QUAD=[0,0,0]:[1,0,0]:[1,1,0]:[0,1,0]";

} // namespace

TEST(Escena, CommentsAndBlankLinesMakeAnEmptyIcon) {
    TObjeto3D e;
    const auto r = LeeScript(e, "; nothing here\n\n   \t\n;more\n");
    EXPECT_TRUE(r.correcto);
    EXPECT_EQ(r.errores, "");
    EXPECT_EQ(e.Count(), 0);
    EXPECT_STREQ(TextoErrores(r.correcto, DString(r.errores.c_str())).c_str(), "ok");
    EXPECT_STREQ(TextoErrores(false, DString()).c_str(), "Undefined error");
}

TEST(Escena, CommandsIgnoreCaseButNotSpaces) {
    TObjeto3D e;
    auto r = LeeScript(e, "quad=[0,0,0]:[1,0,0]:[1,1,0]:[0,1,0]\nQuAd=[0,0,0]:[1,0,0]:[1,1,0]:[0,1,0]\n");
    EXPECT_TRUE(r.correcto);
    EXPECT_EQ(e.Count(), 2);
    r = LeeScript(e, "\n\nQUAD =[0,0,0]:[1,0,0]:[1,1,0]:[0,1,0]\n");
    EXPECT_FALSE(r.correcto);
    EXPECT_EQ(r.errores, "2: Undefined command:QUAD \r\n");
    r = LeeScript(e, "=5\n");
    EXPECT_EQ(r.errores, "0: Undefined command:\r\n");
}

TEST(Escena, EqualsSignRulesAndPop) {
    TObjeto3D e;
    auto r = LeeScript(e, "PUSHSCALE=2\nPOP\nPUSHSCALE=2\npop=\n");
    EXPECT_TRUE(r.correcto) << r.errores;
    EXPECT_EQ(e.Count(), 4);
    r = LeeScript(e, "PUSHSCALE=2\npop\nQUAD\n");
    EXPECT_FALSE(r.correcto);
    EXPECT_EQ(r.errores, "POPs needed!"); // the unclosed push replaces the other messages
    r = LeeScript(e, "QUAD\n  SPHERE  \n");
    EXPECT_EQ(r.errores, "0: '=' needed in line QUAD\r\n1: '=' needed in line SPHERE\r\n");
    r = LeeScript(e, "QUAD=\n");
    EXPECT_EQ(r.errores, "0: '=' needed in line QUAD=\r\n");
    // Only the text up to a second "=" is the parameter.
    r = LeeScript(e, "QUAD=[0,0,0]:[1,0,0]:[1,1,0]:[0,1,0]=junk\nQUAD=a=b\n");
    EXPECT_EQ(e.Count(), 1);
    EXPECT_EQ(r.errores, "1: Error reading Quad\r\n");
}

TEST(Escena, HeaderSettings) {
    TObjeto3D e;
    auto r = LeeScript(e, Lineas({"VERSION=whatever", "LINEWIDTH=2.9", quad, "LINEWIDTH=abc", quad,
                                  "LINEWIDTH=1e300", quad, "COLOR=(255,0,0)", quad, "COLOR=(256,0,0)", quad,
                                  "SCALE=2.5", "XORIENTATIONVIEW=1", "CENTER=[1,2,3]+[1,1,1]"}));
    EXPECT_TRUE(r.correcto) << r.errores;
    ASSERT_EQ(e.Count(), 5);
    EXPECT_EQ(e[0].grosorLinea, 2);
    EXPECT_EQ(e[0].color, colorBlanco);
    EXPECT_EQ(e[1].grosorLinea, 0);
    EXPECT_EQ(e[2].grosorLinea, INT32_MAX);
    EXPECT_EQ(e[3].color, 0x0000FFu);
    EXPECT_EQ(e[4].color, 0u);
    EXPECT_EQ(e[0].linea, 2);
    EXPECT_EQ(e.escala, 2.5);
    EXPECT_TRUE(e.orientacionX);
    EXPECT_FALSE(e.orientacionZ);
    EXPECT_EQ(e.centro, vector3D(2, 3, 4));

    // A new parse resets colour, width and scale but keeps the centre.
    r = LeeScript(e, Lineas({quad}));
    EXPECT_EQ(e[0].color, colorBlanco);
    EXPECT_EQ(e[0].grosorLinea, 1);
    EXPECT_EQ(e.escala, 1.0);
    EXPECT_EQ(e.centro, vector3D(2, 3, 4));
}

TEST(Escena, ColourErrorsStopTheParse) {
    TObjeto3D e;
    const auto r = LeeScript(e, Lineas({quad, "COLOR=255,0,0", quad}));
    EXPECT_FALSE(r.correcto);
    EXPECT_EQ(r.errores, "1: Error reading color\r\n");
    EXPECT_EQ(e.Count(), 1); // the elements read before the error stay
    for (const char* malo : {"(1,2,3", "1,2,3", "(1,2)", "(1,2,)", "", ")1,2,3(", "1,2,3)"})
        EXPECT_THROW(LeeColor(DString(malo)), TXErrorObjeto3D) << malo;
    EXPECT_EQ(LeeColor(DString("(1,,3)")), 0x030001u);
    EXPECT_EQ(LeeColor(DString("(300,0,0)")), 44u);
    EXPECT_EQ(LeeColor(DString("(-1,0,0)x")), 255u);
    EXPECT_EQ(LeeColor(DString("(255,128,0)")), 0x000080FFu);
    EXPECT_EQ(LeeColor(DString("(1,2,3,4)")), 0x030201u); // the rest stays in the third field
}

TEST(Escena, ErrorsCarryTheirLineNumbersInOrder) {
    TObjeto3D e;
    const auto r = LeeScript(
        e, Lineas({quad, "; comment", "", "FOO=1", quad, "LINE=[0,0,0]:[1,1,1]", quad, "COLOR=(1,2)", quad}));
    EXPECT_FALSE(r.correcto);
    EXPECT_EQ(r.errores, "3: Undefined command:FOO\r\n7: Error reading color\r\n");
    ASSERT_EQ(e.Count(), 4);
    EXPECT_EQ(e[1].linea, 4);
    EXPECT_EQ(e[2].linea, 5);
    EXPECT_EQ(e[3].linea, 6);
    const auto s = LeeScript(e, "COLOR=(1,2)\n");
    EXPECT_EQ(s.errores, "0: Error reading color\r\n");
}

TEST(Escena, VoidEndsTheScript) {
    TObjeto3D e;
    auto r = LeeScript(e, Lineas({quad, "VOID", quad, "FOO=1"}));
    EXPECT_TRUE(r.correcto);
    EXPECT_EQ(e.Count(), 1);
    r = LeeScript(e, Lineas({quad, "VOID ;the end", quad}));
    EXPECT_EQ(e.Count(), 1);
}

TEST(Escena, MacrosAreExpandedBeforeTheCommand) {
    TObjeto3D e;
    const auto r = LeeScript(e, Lineas({"#define C=(10,20,30)", "#define P=[1,0,0]", "COLOR=C", "LINE=P:P+P",
                                        "#define Q=QUAD", "Q=[0,0,0]:[1,0,0]:[1,1,0]:[0,1,0]"}));
    EXPECT_TRUE(r.correcto) << r.errores;
    ASSERT_EQ(e.Count(), 2);
    EXPECT_EQ(e[0].color, 0x1E140Au);
    EXPECT_EQ(e[0].puntos[1], vector3D(2, 0, 0));
    EXPECT_STREQ(e[1].NombreClase(), "TElementoQuad3D");
    EXPECT_EQ(r.expandido, Lineas({"#define C=(10,20,30)", "#define P=[1,0,0]", "COLOR=(10,20,30)",
                                   "LINE=[1,0,0]:[1,0,0]+[1,0,0]", "#define Q=QUAD",
                                   "QUAD=[0,0,0]:[1,0,0]:[1,1,0]:[0,1,0]"}));
    // A second read starts with no macros.
    const auto s = LeeScript(e, "COLOR=C\n");
    EXPECT_EQ(s.errores, "0: Error reading color\r\n");
}

TEST(Escena, FacesReadTheirCorners) {
    TObjeto3D e;
    auto r = LeeScript(e, Lineas({"TRIANGLE=[0,0,0]:[1,0,0]", "TRIANGLE=[0,0,0]:[1,0,0]:[0,1,0]:[5,5,5]"}));
    EXPECT_EQ(r.errores, "0: More parameter needed in Triangle\r\n");
    r = LeeScript(e, Lineas({"TRIANGLE=[0,0,0]:[1,0,0]:[0,1,0]:[5,5,5]"}));
    ASSERT_EQ(e.Count(), 1);
    // The extra field stays in the third one; its first bracket is the corner.
    EXPECT_EQ(e[0].puntos[2], vector3D(0, 1, 0));
    EXPECT_EQ(e[0].puntos[3], e[0].puntos[0]);

    r = LeeScript(e, "QUAD=[0,0,0]:[1,0,0]:[1,1,0]:\n");
    EXPECT_EQ(r.errores, "0: Error reading Quad\r\n");
    r = LeeScript(e, "QUAD=[0,0,0]::[1,1,0]:[0,1,0]\nQUAD=[0,0,0]:[2,0,0]:[2,0,3]:[0,0,3]\nQUAD=[0,0,0]:[1,1,"
                     "1]:[2,2,2]:[0,1,0]\n");
    EXPECT_TRUE(r.correcto);
    auto& q = ElementoComo<TElementoQuad3D>(e, 0);
    EXPECT_EQ(q.puntos[1], vector3D(0, 0, 0));
    EXPECT_EQ(q.puntos[4], q.puntos[0]);
    EXPECT_EQ(ElementoComo<TElementoQuad3D>(e, 1).normal, vector3D(0, -1, 0));
    // Collinear first corners keep a zero normal.
    EXPECT_EQ(ElementoComo<TElementoQuad3D>(e, 2).normal, vector3D(0, 0, 0));
}

TEST(Escena, RingsAndLines) {
    TObjeto3D e;
    auto r = LeeScript(
        e, Lineas({"CIRCLE=[1,2,3]:[0,0,1]:2", "DISK=[0,0,5]:[0,0,1]:4.5", "CIRCLE=[1,1,1]:[0,0,0]:3",
                   "CIRCLE=[0,0,0]:[0,0,2]:1", "LINE=[0,0,0]:[1,2,3]"}));
    EXPECT_TRUE(r.correcto) << r.errores;
    auto& c = ElementoComo<TElementoCircle>(e, 0);
    EXPECT_FALSE(c.relleno);
    ASSERT_EQ(c.puntos.size(), 17u);
    EXPECT_EQ(c.puntos[16], c.puntos[0]);
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(Distancia(c.puntos[static_cast<size_t>(i)], c.centro), 2.0, 1e-12);
        EXPECT_NEAR(c.puntos[static_cast<size_t>(i)].z, 3.0, 1e-12);
    }
    // Counter-clockwise seen from the tip of the axis.
    EXPECT_GT(ProductoVectorial(c.puntos[0] - c.centro, c.puntos[1] - c.centro).z, 0.0);
    EXPECT_TRUE(ElementoComo<TElementoCircle>(e, 1).relleno);
    EXPECT_STREQ(e[1].NombreClase(), "TElementoDisco");
    for (const auto& p : e[2].puntos)
        EXPECT_EQ(p, vector3D(1, 1, 1));
    // An axis that is not of unit length is used as written: the points leave the circle.
    EXPECT_GT(std::fabs(Distancia(e[3].puntos[4], vector3D()) - 1.0), 0.5);
    EXPECT_EQ(e[4].puntos[1], vector3D(1, 2, 3));
    r = LeeScript(e, "DISK=[0,0,5]:[0,0,1]\nLINE=[0,0,0]\n");
    EXPECT_EQ(r.errores, "0: Error reading CIRCLE\r\n");
}

TEST(Escena, TransformStackCommands) {
    TObjeto3D e;
    auto r = LeeScript(e, Lineas({"PUSHSCALE=0", "PUSHSCALE=-3", "PUSHSCALE=0.00001", "PUSHTRANS=[1,2,3]",
                                  "PUSHTURN=[0,0,1]|90", "PUSHTURN=[0,0,1]|90|45", "POP", "POP", "POP", "POP",
                                  "POP", "POP"}));
    EXPECT_TRUE(r.correcto) << r.errores;
    const auto m = [&](int i) { return ElementoComo<TElementoPush>(e, i).matriz; };
    EXPECT_EQ(m(0)[0], 1.0);
    EXPECT_EQ(m(1)[0], 1.0);
    EXPECT_EQ(m(2)[0], 0.00001);
    EXPECT_EQ(m(3)[12], 1.0);
    EXPECT_EQ(m(3)[14], 3.0);
    EXPECT_NEAR(m(4)[1], 1.0, 1e-15); // column-major: x goes to y
    EXPECT_NEAR(m(5)[1], 1.0, 1e-15); // the number is read up to the second "|"

    r = LeeScript(e, "PUSHTURN=[0,0,1]\n");
    EXPECT_EQ(r.errores, "0: Error PUSHTURN command\r\n");
    r = LeeScript(e, "POP\n");
    EXPECT_EQ(r.errores, "0: Error invalid POP command\r\n");
    r = LeeScript(e, Lineas({"PUSHTRANS=[1,0,0]", "PUSHSCALE=2", quad, "POP"}));
    EXPECT_EQ(r.errores, "POPs needed!");
    EXPECT_FALSE(r.correcto);
    EXPECT_EQ(e.Count(), 4);
}

TEST(Escena, TexturesReportThatTheyAreNotAvailable) {
    TObjeto3D e;
    const auto r = LeeScript(e, Lineas({quad, "TEXTURET=\"wood.bmp\",1", quad}));
    EXPECT_FALSE(r.correcto);
    EXPECT_EQ(r.errores, "Textures are not available in this version: wood.bmp\r\n");
    EXPECT_EQ(e.Count(), 1);
}

TEST(Escena, LoadingFilesByExtension) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("pm_escena_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string script = (dir / "model.3DI").string();
    std::ofstream(script) << quad << "\n";
    TObjeto3D e;
    DString error;
    EXPECT_TRUE(e.Carga(script.c_str(), error));
    EXPECT_EQ(e.Count(), 1);
    EXPECT_STREQ(e.nombreFichero.c_str(), script.c_str());
    EXPECT_FALSE(e.Carga("model.txt", error));
    EXPECT_STREQ(error.c_str(), "Format unknown: model.txt");
    EXPECT_FALSE(e.Carga("noextension", error));
    EXPECT_STREQ(error.c_str(), "Format unknown: noextension");
    const std::string falta = (dir / "missing.3di").string();
    EXPECT_FALSE(e.Carga(falta.c_str(), error));
    EXPECT_EQ(std::string(error.c_str()), "Error, File " + falta + " not found");
    error = "untouched";
    EXPECT_FALSE(e.Carga("drawing.dwg", error));
    EXPECT_STREQ(error.c_str(), "untouched");
    fs::remove_all(dir);
}

TEST(Escena, HostileScriptsEndInAResult) {
    namespace fs = std::filesystem;
    int vistos = 0;
    for (const auto& f : fs::directory_iterator(std::string(PM_TEST_DATA) + "/script/hostile")) {
        std::ifstream in(f.path(), std::ios::binary);
        const std::string texto{std::istreambuf_iterator<char>(in), {}};
        TObjeto3D e;
        const auto r = LeeScript(e, texto);
        EXPECT_TRUE(r.correcto || !r.errores.empty()) << f.path();
        ++vistos;
    }
    EXPECT_GE(vistos, 5);
}

TEST(Escena, MacroValuesCannotGrowWithoutEnd) {
    // Each value doubles the one before it.
    std::string texto = "#define A0=x\n";
    for (int i = 1; i <= 40; ++i)
        texto += "#define A" + std::to_string(i) + "=A" + std::to_string(i - 1) + " A" +
                 std::to_string(i - 1) + "\n";
    TObjeto3D e;
    const auto r = LeeScript(e, texto + "LINE=A40:A40\n");
    EXPECT_FALSE(r.correcto);
    // 2^14 copies of "x " pass the limit on the 15th redefinition (line 15).
    EXPECT_EQ(r.errores, "15: Error: the #define replacements make the text too long\r\n");
}
