// The editor's file helpers the window's tests do not reach.
#include "editor/Archivo_script.h"

#include "Carpeta_prueba.h"

#include <gtest/gtest.h>

namespace {

class ArchivoScript : public prueba::Carpeta {};

} // namespace

TEST_F(ArchivoScript, AFailedBackupLeavesTheOldFile) {
    const std::string nombre = Ruta("a.3di");
    Escribe("a.3di", "LINE=[0,0,0]:[1,0,0]\n");
    fs::create_directories(dir / "a.BAK" / "in"); // the backup's name is a folder
    EXPECT_FALSE(GrabaTextoScript(nombre.c_str(), "QUAD=...\n"));
    EXPECT_EQ(Contenido("a.3di"), "LINE=[0,0,0]:[1,0,0]\n");
    EXPECT_TRUE(GrabaTextoScript(nombre.c_str(), "QUAD=...\n", false)); // no backup asked for
    EXPECT_EQ(Contenido("a.3di"), "QUAD=...\n ");
    EXPECT_FALSE(fs::exists(nombre + ".$$$"));
    std::string texto, motivo;
    EXPECT_FALSE(LeeTextoFichero(dir.string().c_str(), texto, &motivo));
    EXPECT_EQ(motivo, "Is a directory");
}

TEST_F(ArchivoScript, SwitchesAreToldFromAbsolutePaths) {
    Escribe("x", "");
    for (const char* opcion : {"-platform", "--help", "", "/s", "/embedding"})
        EXPECT_TRUE(EsOpcionLineaOrdenes(opcion)) << opcion;
    // Files, folders and absolute paths with folders, existing or not.
    for (const std::string fichero : {"house.3di", "/home/user/house.3di", "/house.3di", "/tmp", "/", "/s2"})
        EXPECT_FALSE(EsOpcionLineaOrdenes(fichero.c_str())) << fichero;
    EXPECT_FALSE(EsOpcionLineaOrdenes(Ruta("x").c_str()));
}
