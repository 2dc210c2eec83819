// The editor's file helpers, without a window: safe saving, reading, the 3D Studio
// check, the command line, the error lines and the dialog filters.
#include "editor/Archivo_script.h"
#include "editor/Dialogos_editor.h"

#include "Carpeta_prueba.h"

#include <gtest/gtest.h>

namespace {

class ArchivoScript : public prueba::Carpeta {};

} // namespace

TEST_F(ArchivoScript, SavesTheTextWithItsSeparatorAndReadsItBack) {
    const std::string nombre = Ruta("a.3di");
    ASSERT_TRUE(GrabaTextoScript(nombre.c_str(), "QUAD=[0,0,0]:[1,0,0]:[1,1,0]:[0,1,0]\n"));
    EXPECT_EQ(Contenido("a.3di"), "QUAD=[0,0,0]:[1,0,0]:[1,1,0]:[0,1,0]\n ");
    EXPECT_FALSE(fs::exists(nombre + ".$$$"));
    std::string texto;
    ASSERT_TRUE(LeeTextoFichero(nombre.c_str(), texto));
    EXPECT_EQ(texto, "QUAD=[0,0,0]:[1,0,0]:[1,1,0]:[0,1,0]\n ");
    ASSERT_TRUE(LeeTextoScript(nombre.c_str(), texto)); // less the separator
    EXPECT_EQ(texto, "QUAD=[0,0,0]:[1,0,0]:[1,1,0]:[0,1,0]\n");
    // Binary bytes come back unchanged.
    Escribe("a.3di", std::string("A\0B\r\n\xff", 6));
    ASSERT_TRUE(LeeTextoFichero(nombre.c_str(), texto));
    EXPECT_EQ(texto, std::string("A\0B\r\n\xff", 6));
    ASSERT_TRUE(GrabaTextoScript(nombre.c_str(), ""));
    EXPECT_EQ(Contenido("a.3di"), " ");
}

TEST_F(ArchivoScript, AFailedSaveLeavesTheOldFile) {
    const std::string nombre = Ruta("a.3di");
    Escribe("a.3di", "LINE=[0,0,0]:[1,0,0]\n");
    // The backup cannot be made (its name is a folder): the real file stays as it was.
    fs::create_directories(dir / "a.BAK" / "in");
    EXPECT_FALSE(GrabaTextoScript(nombre.c_str(), "QUAD=...\n"));
    EXPECT_EQ(Contenido("a.3di"), "LINE=[0,0,0]:[1,0,0]\n");
    EXPECT_TRUE(GrabaTextoScript(nombre.c_str(), "QUAD=...\n", false)); // no backup asked for
    EXPECT_EQ(Contenido("a.3di"), "QUAD=...\n ");
    Escribe("a.3di", "LINE=[0,0,0]:[1,0,0]\n");
    // A read-only script is not replaced either, and the failure says why.
    fs::permissions(nombre, fs::perms::owner_read);
    std::string motivo;
    EXPECT_FALSE(GrabaTextoScript(nombre.c_str(), "QUAD=...\n", true, &motivo));
    EXPECT_EQ(motivo, "Permission denied");
    EXPECT_EQ(Contenido("a.3di"), "LINE=[0,0,0]:[1,0,0]\n");
    // No folder, no file.
    EXPECT_FALSE(GrabaTextoScript(Ruta("no/such/folder.3di").c_str(), "x"));
    EXPECT_FALSE(GrabaTextoScript("", "x"));
}

TEST_F(ArchivoScript, ReadingMissingFilesAndFolders) {
    std::string texto = "old";
    std::string motivo;
    EXPECT_FALSE(LeeTextoFichero(Ruta("missing.3di").c_str(), texto, &motivo));
    EXPECT_TRUE(texto.empty());
    EXPECT_EQ(motivo, "No such file or directory");
    EXPECT_FALSE(LeeTextoFichero(dir.string().c_str(), texto, &motivo)); // a folder
    EXPECT_EQ(motivo, "Is a directory");
    EXPECT_FALSE(SePuedeLeer(dir.string().c_str(), motivo));
    EXPECT_FALSE(LeeTextoFichero("", texto));
}

TEST_F(ArchivoScript, MeshesAreKnownByTheirExtension) {
    EXPECT_TRUE(EsModelo3DS("/a/b/house.3DS"));
    EXPECT_TRUE(EsModelo3DS("house.3ds"));
    EXPECT_FALSE(EsModelo3DS("house.3di"));
    EXPECT_FALSE(EsModelo3DS("house.3DS.3di"));
    EXPECT_FALSE(EsModelo3DS("3DS"));
}

TEST_F(ArchivoScript, SwitchesAreToldFromAbsolutePaths) {
    EXPECT_TRUE(EsOpcionLineaOrdenes("-platform"));
    EXPECT_TRUE(EsOpcionLineaOrdenes("--help"));
    EXPECT_TRUE(EsOpcionLineaOrdenes(""));
    EXPECT_TRUE(EsOpcionLineaOrdenes("/s")); // a Windows switch naming no file
    EXPECT_TRUE(EsOpcionLineaOrdenes("/embedding"));
    EXPECT_FALSE(EsOpcionLineaOrdenes("house.3di"));
    EXPECT_FALSE(EsOpcionLineaOrdenes("/home/user/house.3di"));
    EXPECT_FALSE(EsOpcionLineaOrdenes("/house.3di"));
    // An existing file right under the root is a file, whatever it looks like.
    const std::string bajoRaiz = Ruta("x"); // absolute, with folders: never a switch
    Escribe("x", "");
    EXPECT_FALSE(EsOpcionLineaOrdenes(bajoRaiz.c_str()));
    EXPECT_FALSE(EsOpcionLineaOrdenes("/tmp")); // a folder that exists
    EXPECT_FALSE(EsOpcionLineaOrdenes("/"));
    EXPECT_FALSE(EsOpcionLineaOrdenes("/s2"));
}

TEST_F(ArchivoScript, LineEndsAreCountedAsTheErrorPaneCountsRows) {
    EXPECT_EQ(SaltosDeLinea("0: x\r\n1: y\r\n"), 2);
    EXPECT_EQ(SaltosDeLinea("a\rb\nc\r\n\n"), 4);
    EXPECT_EQ(SaltosDeLinea("POPs needed!"), 0);
    EXPECT_EQ(SaltosDeLinea(nullptr), 0);
}

TEST_F(ArchivoScript, WindowsFiltersBecomeQtFilters) {
    EXPECT_EQ(FiltroQt("Iconos 3D (*.3DI)|*.3di|3DS Files|*.3DS"), "Iconos 3D (*.3di);;3DS Files (*.3DS)");
    EXPECT_EQ(FiltroQt("3D Icons|*.3di"), "3D Icons (*.3di)");
    EXPECT_EQ(FiltroQt("odd"), "");
}
