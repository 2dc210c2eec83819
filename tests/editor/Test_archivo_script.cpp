// The editor's file helpers the window's tests do not reach.
#include "editor/Ajustes_editor.h"
#include "editor/Archivo_script.h"
#include "editor/Textura_escritorio.h"

#include "Carpeta_prueba.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

class ArchivoScript : public prueba::Carpeta {};

} // namespace

TEST_F(ArchivoScript, AFolderCannotBeReadAsAScript) {
    const auto texto = LeeTextoFichero(dir.string().c_str());
    ASSERT_FALSE(texto);
    EXPECT_STREQ(texto.Mensaje().c_str(), "Is a directory");
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

// Any byte string comes back from the settings exactly; a UTF-8 name is stored as it is.
TEST(NombresGuardados, AnyNameComesBackExactly) {
    const struct {
        std::string nombre, guardado;
    } casos[] = {
        {"/home/ana/casa \xc3\xb1.3di", "/home/ana/casa \xc3\xb1.3di"},
        {"/tmp/na\xffme.3di", "/tmp/na%FFme.3di"},
        {"/a/100%.3di", "/a/100%25.3di"},
        {"/a/line\nbreak\r.3di", "/a/line%0Abreak%0D.3di"},
        {"/a/\xc3(\xe0\x80\x80\xed\xa0\x80\xf4\x90\x80\x80\xc3", "/a/%C3(%E0%80%80%ED%A0%80%F4%90%80%80%C3"},
        {"\xf0\x9f\x98\x80\xe2\x82\xac", "\xf0\x9f\x98\x80\xe2\x82\xac"},
    };
    for (const auto& c : casos) {
        EXPECT_EQ(EscapaNombre(c.nombre), c.guardado);
        EXPECT_EQ(RecuperaNombre(c.guardado), c.nombre);
    }
    // A value an older version stored with a "%" of its own reads as it was.
    EXPECT_EQ(RecuperaNombre("/a/50%off%z.3di%4"), "/a/50%off%z.3di%4");
}

// Only an image the textures take goes to the desktop's opener.
TEST_F(ArchivoScript, OnlyTextureImagesGoToTheDesktop) {
    Escribe("a.png", "\x89PNG\r\n\x1A\n and the rest");
    Escribe("a.JPEG", "\xFF\xD8\xFF\xE0");
    Escribe("a.tiff", std::string("MM\0*", 4));
    Escribe("a.ico", std::string("\0\0\1\0", 4));
    Escribe("a.rs", "\x59\xA6\x6A\x95");
    Escribe("b.bmp", "BM");
    Escribe("fake.png", "[Desktop Entry]\nExec=rm -rf ~\n");
    Escribe("short.gif", "GIF8");
    Escribe("evil.desktop", "[Desktop Entry]\nExec=rm -rf ~\n");
    ASSERT_EQ(::mkfifo(Ruta("pipe.png").c_str(), 0600), 0);
    fs::create_directory(dir / "folder.bmp");
    for (const char* nombre : {"a.png", "a.JPEG", "a.tiff", "a.ico", "a.rs", "b.bmp"}) {
        const auto abrible = TexturaParaEscritorio(Ruta(nombre).c_str());
        EXPECT_TRUE(abrible) << nombre << ": " << abrible.Mensaje().c_str();
    }
    const std::pair<const char*, const char*> rechazos[] = {
        {"fake.png", "does not begin as a PNG file does"},
        {"short.gif", "does not begin as a GIF file does"},
        {"evil.desktop", "is not an image file the textures take"},
        {"pipe.png", "is not a regular file"},
        {"folder.bmp", "is not a regular file"},
        {"missing.bmp", "cannot be read (No such file or directory)"},
    };
    for (const auto& [nombre, razon] : rechazos) {
        EXPECT_EQ(MensajeDe(TexturaParaEscritorio(Ruta(nombre).c_str())).c_str(), Ruta(nombre) + " " + razon)
            << nombre;
    }
}
