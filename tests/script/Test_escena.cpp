#include "Carpeta_prueba.h"
#include "Lee_script.h"
#include "Scripts_hostiles.h"

#include "geometry/Luz_normals.h"
#include "script/Campos_script.h"
#include "script/Ficheros_leidos.h"
#include "script/Objetos_3d_pila.h"
#include "script/Objetos_3d_planos.h"
#include "support/Ficheroqordatos.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sys/stat.h>

namespace {

#define QUAD "QUAD=[0,0,0]:[1,0,0]:[1,1,0]:[0,1,0]"
const char* quad = QUAD;

} // namespace

TEST(Escena, EveryReaderMessageWithItsLineNumber) {
    struct Caso {
        const char* script;
        const char* errores;
        int elementos; // read before the error (a raised error ends the parse)
    };
    const Caso casos[] = {
        {"; nothing here\n\n   \t\n;more\n", "", 0},
        // Commands ignore case but not spaces.
        {"quad=[0,0,0]:[1,0,0]:[1,1,0]:[0,1,0]\nQuAd=[0,0,0]:[1,0,0]:[1,1,0]:[0,1,0]\n", "", 2},
        {"\n\nQUAD =[0,0,0]:[1,0,0]:[1,1,0]:[0,1,0]\n", "2: Undefined command:QUAD \r\n", 0},
        {"=5\n", "0: Undefined command:\r\n", 0},
        // Only POP goes without '='; the text up to a second '=' is the parameter.
        {"PUSHSCALE=2\nPOP\nPUSHSCALE=2\npop=\n", "", 4},
        {"QUAD\n  SPHERE  \nQUAD=\n",
         "0: '=' needed in line QUAD\r\n1: '=' needed in line SPHERE\r\n2: '=' needed in line QUAD=\r\n", 0},
        {QUAD "=junk\nQUAD=a=b\n", "1: Error reading Quad\r\n", 1},
        {"QUAD=[0,0,0]:[1,0,0]:[1,1,0]:\n", "0: Error reading Quad\r\n", 0},
        {"TRIANGLE=[0,0,0]:[1,0,0]\n", "0: More parameter needed in Triangle\r\n", 0},
        {"DISK=[0,0,5]:[0,0,1]\nLINE=[0,0,0]\n", "0: Error reading CIRCLE\r\n", 0},
        // VOID ends the script.
        {QUAD "\nVOID ;the end\n" QUAD "\nFOO=1\n", "", 1},
        // The transform stack: an unclosed push replaces the other messages.
        {"PUSHTURN=[0,0,1]\n", "0: Error PUSHTURN command\r\n", 0},
        {"POP\n", "0: Error invalid POP command\r\n", 0},
        {"PUSHTRANS=[1,0,0]\nPUSHSCALE=2\n" QUAD "\nPOP\n", "POPs needed!", 4},
        // The round solids and the boxes count their fields; a trailing colon adds none.
        {QUAD "\nCONE=[0,0,0]:[0,0,10]:5\n", "1: Error reading Cone\r\n", 1},
        {QUAD "\nCYLINDER=[0,0,0]:[0,0,10]\n", "1: Error reading Cylinder\r\n", 1},
        {QUAD "\nELIPSOID=[0,0,0]:[1,0,0]:[0,1,0]:8:4\n", "1: Error reading Elipsoid\r\n", 1},
        {QUAD "\nSPHERE=[0,0,0]\n", "1: Error reading Sphere\r\n", 1},
        {QUAD "\nPRISM=[0,0,0]:[10,10,10]\n", "1: Error reading Prism\r\n", 1},
        {QUAD "\nPRISM=[0,0,0]:[10,10,4]:\n", "1: Error reading Prism\r\n", 1},
        {QUAD "\nCUBE=[0,0,0]:10\n", "1: Error reading CUBE\r\n", 1},
        {"PRISM=[0,0,0]:[10,10,4]::\nCUBE=[0,0,0]:1::::\n", "", 2},
        // Extrusions append their messages without a line number and do not stop the parse.
        {QUAD "\nXTRUSION=[0,0,0]|[0,0,0]:[1,0,0]\nREVOLUTION=[0,0,0]|[0,0,1]\nCONE=[0,0,0]\n" QUAD "\n",
         "XTRUSION: Needs three fields separated by | \r\nREVOLUTION: Needs three fields separated by | \r\n"
         "3: Error reading Cone\r\n",
         1},
        {"XTRUSION=[0,0,0]|[1,0,0]|[0,0,0]:1:[0,0,1]:1\nREVOLUTION=[0,0,0]|[0,0,1]|[1,0,0]\n"
         "XTRUSION=[0,0,0]|[0,0,0]:[1,0,0]|[0,0,0]:1\n",
         "Error reading POLYLINE \r\nError reading POLYLINE \r\nError reading POLYLINE Number \r\n", 0},
    };
    for (const Caso& c : casos) {
        TLecturaEscena e;
        const auto r = LeeScript(e, c.script);
        EXPECT_EQ(r.errores, c.errores) << c.script;
        // Only the appended extrusion messages leave the parse correct.
        EXPECT_EQ(r.correcto, r.errores.empty() || r.errores.rfind("Error reading POLYLINE", 0) == 0)
            << c.script;
        EXPECT_EQ(e.Escena().Count(), c.elementos) << c.script;
    }
}

// The errors keep the line they belong to (the gutter marks those lines), also those whose
// text carries no number; the pane's text is made from them.
TEST(Escena, ErrorsKnowTheirLines) {
    TLecturaEscena e;
    LeeScript(e,
              Lineas({"QUAD", quad, "FOO=1", "XTRUSION=[0,0,0]|[0,0,0]:[1,0,0]", quad, "COLOR=red", quad}));
    EXPECT_EQ(e.informe.LineasConError(), (std::vector<int>{0, 2, 3, 5}));
    EXPECT_STREQ(e.informe.Texto().c_str(), "0: '=' needed in line QUAD\r\n2: Undefined command:FOO\r\n"
                                            "XTRUSION: Needs three fields separated by | \r\n"
                                            "5: Error reading color\r\n");
    LeeScript(e, "PUSHSCALE=2\nFOO=1\n");
    EXPECT_TRUE(e.informe.LineasConError().empty()); // "POPs needed!" stands for the whole script
    LeeScript(e, "; nothing\n");
    EXPECT_STREQ(e.informe.Texto().c_str(), "ok");
    e.informe.correcto = false;
    EXPECT_STREQ(e.informe.Texto().c_str(), "Undefined error");
}

TEST(Escena, TheCaretColumnGivesTheField) {
    const std::string_view linea = "XTRUSION=[0,0,0]|[1,0,0]:[2,0,0]|[0,0,0]:1";
    const struct {
        size_t columna;
        int campo;
    } casos[] = {{0, -1}, {8, -1}, {9, 0}, {16, 0}, {17, 1}, {25, 2}, {33, 3}, {41, 4}, {linea.size(), 4}};
    for (const auto& c : casos) {
        EXPECT_EQ(CampoEnCursor(linea.substr(0, c.columna)), c.campo) << c.columna;
        // Each field starts where the caret first gives its index.
        if (c.campo >= 0 && (c.columna == 9 || linea[c.columna - 1] == ':' || linea[c.columna - 1] == '|')) {
            EXPECT_EQ(ColumnaDeCampo(linea, c.campo), static_cast<int>(c.columna));
        }
    }
    EXPECT_EQ(ColumnaDeCampo(linea, 9), 41); // past the last field: the last one
    EXPECT_EQ(ColumnaDeCampo("POP", 0), 0);
}

TEST(Escena, HeaderSettings) {
    TLecturaEscena e;
    auto r = LeeScript(
        e, Lineas({"VERSION=whatever", "LINEWIDTH=2.9", quad, "LINEWIDTH=1e300", quad, "COLOR=(255,0,0)",
                   quad, "SCALE=2.5", "XORIENTATIONVIEW=1", "CENTER=[1,2,3]+[1,1,1]"}));
    ASSERT_TRUE(r.correcto && e.Escena().Count() == 3) << r.errores;
    EXPECT_EQ(e.Escena()[0].grosorLinea, 2);
    EXPECT_EQ(e.Escena()[0].color, colorBlanco);
    EXPECT_EQ(e.Escena()[1].grosorLinea, INT32_MAX);
    EXPECT_EQ(e.Escena()[2].color, 0x0000FFu);
    EXPECT_EQ(e.Escena().Linea(0), 2);
    EXPECT_EQ(e.Escena().escala, 2.5);
    EXPECT_TRUE(e.Escena().orientacionX);
    EXPECT_EQ(e.Escena().centro, vector3D(2, 3, 4));
    // A new parse resets colour, width and scale but keeps the centre.
    r = LeeScript(e, Lineas({quad}));
    EXPECT_EQ(e.Escena()[0].color, colorBlanco);
    EXPECT_EQ(e.Escena()[0].grosorLinea, 1);
    EXPECT_EQ(e.Escena().escala, 1.0);
    EXPECT_EQ(e.Escena().centro, vector3D(2, 3, 4));
}

TEST(Escena, Colours) {
    for (const char* malo : {"(1,2,3", "(1,2)", "(1,2,)", ")1,2,3("})
        EXPECT_THROW(LeeColor(DString(malo)), TXErrorObjeto3D) << malo;
    EXPECT_EQ(LeeColor(DString("(1,,3)")), 0x030001u);
    EXPECT_EQ(LeeColor(DString("(300,0,0)")), 44u); // wraps at 256
    EXPECT_EQ(LeeColor(DString("(-1,0,0)x")), 255u);
    EXPECT_EQ(LeeColor(DString("(1,2,3,4)")), 0x030201u); // the rest stays in the third field
}

TEST(Escena, MacrosAreExpandedBeforeTheCommand) {
    TLecturaEscena e;
    const auto r =
        LeeScript(e, Lineas({"#define C=(10,20,30)", "#define P=[1,0,0]", "COLOR=C", "LINE=P:P+P"}));
    ASSERT_TRUE(r.correcto && e.Escena().Count() == 1) << r.errores;
    EXPECT_EQ(e.Escena()[0].color, 0x1E140Au);
    EXPECT_EQ(e.Escena()[0].puntos[1], vector3D(2, 0, 0));
    EXPECT_EQ(r.expandido, Lineas({"#define C=(10,20,30)", "#define P=[1,0,0]", "COLOR=(10,20,30)",
                                   "LINE=[1,0,0]:[1,0,0]+[1,0,0]"}));
    // A second read starts with no macros.
    EXPECT_EQ(LeeScript(e, "COLOR=C\n").errores, "0: Error reading color\r\n");
}

TEST(Escena, FacesRingsAndLines) {
    TLecturaEscena e;
    auto r = LeeScript(
        e, Lineas({"TRIANGLE=[0,0,0]:[1,0,0]:[0,1,0]:[5,5,5]", "QUAD=[0,0,0]::[1,1,0]:[0,1,0]",
                   "QUAD=[0,0,0]:[2,0,0]:[2,0,3]:[0,0,3]", "QUAD=[0,0,0]:[1,1,1]:[2,2,2]:[0,1,0]",
                   "CIRCLE=[1,2,3]:[0,0,1]:2", "DISK=[0,0,5]:[0,0,1]:4.5", "CIRCLE=[1,1,1]:[0,0,0]:3"}));
    ASSERT_TRUE(r.correcto && e.Escena().Count() == 7) << r.errores;
    // The extra field stays in the third one; its first bracket is the corner.
    EXPECT_EQ(e.Escena()[0].puntos[2], vector3D(0, 1, 0));
    EXPECT_EQ(e.Escena()[0].puntos[3], e.Escena()[0].puntos[0]);
    const auto& q = ElementoComo<TElementoQuad3D>(e, 1);
    EXPECT_EQ(q.puntos[1], vector3D(0, 0, 0));
    EXPECT_EQ(q.puntos[4], q.puntos[0]);
    EXPECT_EQ(ElementoComo<TElementoQuad3D>(e, 2).normal, vector3D(0, -1, 0));
    // Collinear first corners keep a zero normal.
    EXPECT_EQ(ElementoComo<TElementoQuad3D>(e, 3).normal, vector3D(0, 0, 0));
    const auto& c = ElementoComo<TElementoCircle>(e, 4);
    EXPECT_FALSE(c.relleno);
    ASSERT_EQ(c.puntos.size(), 17u);
    EXPECT_EQ(c.puntos[16], c.puntos[0]);
    for (const auto& p : c.puntos) {
        EXPECT_NEAR(Distancia(p, c.centro), 2.0, 1e-12);
        EXPECT_NEAR(p.z, 3.0, 1e-12);
    }
    // Counter-clockwise seen from the tip of the axis.
    EXPECT_GT(ProductoVectorial(c.puntos[0] - c.centro, c.puntos[1] - c.centro).z, 0.0);
    EXPECT_TRUE(ElementoComo<TElementoCircle>(e, 5).relleno);
    for (const auto& p : e.Escena()[6].puntos)
        EXPECT_EQ(p, vector3D(1, 1, 1));
}

TEST(Escena, TransformStackCommands) {
    TLecturaEscena e;
    auto r = LeeScript(e, Lineas({"PUSHSCALE=0", "PUSHSCALE=-3", "PUSHTRANS=[1,2,3]",
                                  "PUSHTURN=[0,0,1]|90|45", "POP", "POP", "POP", "POP"}));
    ASSERT_TRUE(r.correcto && e.Escena().Count() == 8) << r.errores;
    const auto m = [&](int i) { return ElementoComo<TElementoPush>(e, i).matriz; };
    EXPECT_EQ(m(0)[0], 1.0);
    EXPECT_EQ(m(1)[0], 1.0);
    EXPECT_EQ(m(2)[12], 1.0);
    EXPECT_EQ(m(2)[14], 3.0);
    // Column-major: x goes to y; the angle is read up to the second "|".
    EXPECT_NEAR(m(3)[1], 1.0, 1e-15);
}

class EscenaFicheros : public prueba::Carpeta {};

// Mended: a FIFO named as a script blocked the reader until someone wrote to it; it is
// refused like a missing file (textures: Test_texturas).
TEST_F(EscenaFicheros, LoadingFilesByExtension) {
    const std::string script = Escribe("model.3DI", std::string(quad) + "\n");
    TLecturaEscena e;
    EXPECT_TRUE(e.Carga(script.c_str()));
    EXPECT_EQ(e.Escena().Count(), 1);
    EXPECT_EQ(FicherosLeidos(e.Escena()), std::vector<fs::path>{script});
    EXPECT_STREQ(MensajeDe(e.Carga("noextension")).c_str(), "Format unknown: noextension");
    ASSERT_EQ(::mkfifo(Ruta("pipe.3di").c_str(), 0600), 0);
    for (const std::string& falta : {Ruta("missing.3di"), Ruta("pipe.3di")}) {
        const auto cargada = e.Carga(falta.c_str());
        EXPECT_FALSE(cargada);
        EXPECT_EQ(std::string(MensajeDe(cargada).c_str()), "Error, File " + falta + " not found");
    }
    // A drawing fails without a message.
    const auto dibujo = e.Carga("drawing.dwg");
    EXPECT_FALSE(dibujo);
    EXPECT_STREQ(MensajeDe(dibujo).c_str(), "");

    // The parse loop over a reader of the file family, with the lines after the macros.
    const std::string texto = "#define ESQUINA=[0,0,0]\nQUAD=ESQUINA:[1,0,0]:[1,1,0]:[0,1,0]\n";
    TFicheroQORdatos lector(fqLeeTexto, texto.data(), static_cast<int32_t>(texto.size()));
    DString expandido;
    EXPECT_TRUE(e.Lee(lector, &expandido));
    EXPECT_EQ(e.Escena().Count(), 1);
    EXPECT_EQ(std::string(expandido.c_str()), "#define ESQUINA=[0,0,0]\r\n" QUAD "\r\n");
}

TEST(Escena, HostileScriptsEndInAResult) {
    int vistos = 0;
    for (const auto& f : fs::directory_iterator(std::string(PM_TEST_DATA) + "/script/hostile")) {
        TLecturaEscena e;
        const auto r = LeeScript(e, prueba::LeeFichero(f.path()));
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
    TLecturaEscena e;
    const auto r = LeeScript(e, texto + "LINE=A40:A40\n");
    EXPECT_FALSE(r.correcto);
    // 2^14 copies of "x " pass the limit on the 15th redefinition (line 15).
    EXPECT_EQ(r.errores, "15: Error: the #define replacements make the text too long\r\n");
}

// Mended: each of these took from 6 to 32 seconds (every keystroke in the editor), or
// gigabytes; now each ends in its result, a limit naming the line that passes it.
TEST(Escena, HostileScriptsEndInBoundedWork) {
    TLecturaEscena e;
    auto r = LeeScript(e, hostiles::LineasMalas());
    EXPECT_EQ(std::count(r.errores.begin(), r.errores.end(), '\n'), 3200);
    EXPECT_NE(r.errores.find("3199: '=' needed in line THIS LINE IS NOT A COMMAND"), std::string::npos);

    r = LeeScript(e, hostiles::MilesDeDefines());
    EXPECT_TRUE(r.correcto) << r.errores;
    EXPECT_EQ(e.Escena().centro, vector3D(1, 9999, 5000));

    r = LeeScript(e, hostiles::FormulaDefinida());
    EXPECT_TRUE(r.correcto) << r.errores;

    r = LeeScript(e, hostiles::ParentesisAnidados());
    EXPECT_TRUE(r.correcto) << r.errores;
    EXPECT_EQ(e.Escena().centro, vector3D(1, 0, 0));

    // Two grids of a million points; the third passes the limit of the scene.
    r = LeeScript(e, hostiles::MallasEnormes());
    EXPECT_EQ(r.errores, "22: Error: the XTRUSION and REVOLUTION grids of the scene pass 2097152 points\r\n");
    EXPECT_EQ(e.Escena().Count(), 2);

    r = LeeScript(e, hostiles::ExpansionEnorme());
    EXPECT_FALSE(r.correcto);
    const std::string limite =
        "200: Error: the script is too long once its #defines are replaced (over 4,000,000 characters)\r\n";
    ASSERT_GE(r.errores.size(), limite.size());
    EXPECT_EQ(r.errores.substr(r.errores.size() - limite.size()), limite);
}
