// The editor's file helpers, without a window: safe saving, reading, the 3D Studio
// check, the command line, the error lines and the dialog filters.
#include "editor/Archivo_script.h"
#include "editor/Dialogos_editor.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

struct CarpetaTemporal {
    CarpetaTemporal() {
        ruta = fs::temp_directory_path() / ("pm_archivo_" + std::to_string(::getpid()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(ruta);
        fs::create_directories(ruta);
    }
    ~CarpetaTemporal() {
        std::error_code ec;
        fs::permissions(ruta, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(ruta, ec);
    }
    std::string Ruta(const char* nombre) const { return (ruta / nombre).string(); }
    fs::path ruta;
};

std::string Lee(const std::string& nombre) {
    std::ifstream f(nombre, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

void Escribe(const std::string& nombre, const std::string& texto) {
    std::ofstream f(nombre, std::ios::binary);
    f << texto;
}

} // namespace

TEST(ArchivoScript, SavesTheTextWithItsSeparatorAndReadsItBack) {
    CarpetaTemporal c;
    const std::string nombre = c.Ruta("a.3di");
    ASSERT_TRUE(GrabaTextoScript(nombre.c_str(), "QUAD=[0,0,0]:[1,0,0]:[1,1,0]:[0,1,0]\n"));
    EXPECT_EQ(Lee(nombre), "QUAD=[0,0,0]:[1,0,0]:[1,1,0]:[0,1,0]\n ");
    EXPECT_FALSE(fs::exists(nombre + ".$$$"));
    std::string texto;
    ASSERT_TRUE(LeeTextoFichero(nombre.c_str(), texto));
    EXPECT_EQ(texto, "QUAD=[0,0,0]:[1,0,0]:[1,1,0]:[0,1,0]\n ");
    // Binary bytes come back unchanged.
    Escribe(nombre, std::string("A\0B\r\n\xff", 6));
    ASSERT_TRUE(LeeTextoFichero(nombre.c_str(), texto));
    EXPECT_EQ(texto, std::string("A\0B\r\n\xff", 6));
    ASSERT_TRUE(GrabaTextoScript(nombre.c_str(), ""));
    EXPECT_EQ(Lee(nombre), " ");
}

TEST(ArchivoScript, AFailedSaveLeavesTheOldFile) {
    CarpetaTemporal c;
    const std::string nombre = c.Ruta("a.3di");
    Escribe(nombre, "LINE=[0,0,0]:[1,0,0]\n");
    // The temporary file cannot be made: the real file must not have been touched.
    fs::create_directory(nombre + ".$$$");
    EXPECT_FALSE(GrabaTextoScript(nombre.c_str(), "QUAD=...\n"));
    EXPECT_EQ(Lee(nombre), "LINE=[0,0,0]:[1,0,0]\n");
    fs::remove(nombre + ".$$$");
    // A read-only script is not replaced either.
    fs::permissions(nombre, fs::perms::owner_read);
    EXPECT_FALSE(GrabaTextoScript(nombre.c_str(), "QUAD=...\n"));
    EXPECT_EQ(Lee(nombre), "LINE=[0,0,0]:[1,0,0]\n");
    // No folder, no file.
    EXPECT_FALSE(GrabaTextoScript(c.Ruta("no/such/folder.3di").c_str(), "x"));
    EXPECT_FALSE(GrabaTextoScript("", "x"));
}

TEST(ArchivoScript, ReadingMissingFilesAndFolders) {
    CarpetaTemporal c;
    std::string texto = "old";
    EXPECT_FALSE(LeeTextoFichero(c.Ruta("missing.3di").c_str(), texto));
    EXPECT_TRUE(texto.empty());
    EXPECT_FALSE(LeeTextoFichero(c.ruta.string().c_str(), texto)); // a folder
    EXPECT_FALSE(LeeTextoFichero("", texto));
}

TEST(ArchivoScript, MeshesAreKnownByTheirExtension) {
    EXPECT_TRUE(EsModelo3DS("/a/b/house.3DS"));
    EXPECT_TRUE(EsModelo3DS("house.3ds"));
    EXPECT_FALSE(EsModelo3DS("house.3di"));
    EXPECT_FALSE(EsModelo3DS("house.3DS.3di"));
    EXPECT_FALSE(EsModelo3DS("3DS"));
}

TEST(ArchivoScript, SwitchesAreToldFromAbsolutePaths) {
    CarpetaTemporal c;
    EXPECT_TRUE(EsOpcionLineaOrdenes("-platform"));
    EXPECT_TRUE(EsOpcionLineaOrdenes("--help"));
    EXPECT_TRUE(EsOpcionLineaOrdenes(""));
    EXPECT_TRUE(EsOpcionLineaOrdenes("/s")); // a Windows switch naming no file
    EXPECT_TRUE(EsOpcionLineaOrdenes("/embedding"));
    EXPECT_FALSE(EsOpcionLineaOrdenes("house.3di"));
    EXPECT_FALSE(EsOpcionLineaOrdenes("/home/user/house.3di"));
    EXPECT_FALSE(EsOpcionLineaOrdenes("/house.3di"));
    // An existing file right under the root is a file, whatever it looks like.
    const std::string bajoRaiz = c.Ruta("x"); // absolute, with folders: never a switch
    Escribe(bajoRaiz, "");
    EXPECT_FALSE(EsOpcionLineaOrdenes(bajoRaiz.c_str()));
    EXPECT_FALSE(EsOpcionLineaOrdenes("/tmp")); // a folder that exists
    EXPECT_FALSE(EsOpcionLineaOrdenes("/"));
    EXPECT_FALSE(EsOpcionLineaOrdenes("/s2"));
}

TEST(ArchivoScript, ErrorLinesComeFromTheNumberPrefixes) {
    EXPECT_EQ(LineasConError("ok"), std::vector<int>{});
    EXPECT_EQ(LineasConError("POPs needed!"), std::vector<int>{});
    EXPECT_EQ(LineasConError("0: '=' needed in line QUAD\r\n3: Undefined command:FOO\r\n"),
              (std::vector<int>{0, 3}));
    EXPECT_EQ(LineasConError("12: Error reading color\r\nTexture x.bmp not found\r\n7:x"),
              (std::vector<int>{12, 7}));
    EXPECT_EQ(LineasConError("99999999999999999999: huge\n1 2: no\n:5"), std::vector<int>{});
    EXPECT_EQ(LineasConError(nullptr), std::vector<int>{});
}

TEST(ArchivoScript, WindowsFiltersBecomeQtFilters) {
    EXPECT_EQ(FiltroQt("Iconos 3D (*.3DI)|*.3di|3DS Files|*.3DS"), "Iconos 3D (*.3di);;3DS Files (*.3DS)");
    EXPECT_EQ(FiltroQt("3D Icons|*.3di"), "3D Icons (*.3di)");
    EXPECT_EQ(FiltroQt("odd"), "");
}
