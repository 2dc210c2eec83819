// pictomolder-cli export: the files it writes and the command lines it refuses.
#include "image/Lector_ico.h"
#include "image/Qor_png.h"

#include "Carpeta_prueba.h"
#include "Cli_prueba.h"

#include <vector>

namespace {

const std::string esfera = "COLOR=(250,220,40)\nSPHERE=[0,0,0]:2\n";

// The sizes of an icon file, as our reader lists them.
std::string SizesNuestros(const std::string& ico) {
    std::vector<TImagenDirectorio> lista;
    std::string s;
    if (ListaICO(ico.c_str(), lista))
        for (const auto& i : lista)
            s += std::to_string(i.ancho) + "x" + std::to_string(i.alto) + ",";
    return s;
}

} // namespace

TEST_F(Cli, ExportWritesAnIconFileWithTheSizesAsked) {
    const std::string ico = Ruta("m.ico");
    auto s = Ejecuta("export " + std::string(PM_EXAMPLES) + "/mushroom.3di -o " + ico);
    EXPECT_EQ(s.estado, 0) << s.errores;
    EXPECT_EQ(SizesNuestros(ico), "16x16,24x24,32x32,48x48,64x64,128x128,256x256,");

    s = Ejecuta("export " + Escribe("e.3di", esfera) + " --sizes 48,16,48 -o " + ico);
    EXPECT_EQ(s.estado, 0) << s.errores;
    EXPECT_EQ(SizesNuestros(ico), "48x48,16x16,");
}

// A script with errors still gives its picture, with status 1 and the errors told.
TEST_F(Cli, ExportOfAScriptWithErrorsStillWritesThePicture) {
    const std::string png = Ruta("e.png");
    auto s = Ejecuta("export " + Escribe("e.3di", esfera + "SPHERE=[0,0\n") + " -o " + png +
                     " --background '#FF0000'");
    EXPECT_EQ(s.estado, 1);
    EXPECT_NE(s.errores.find("2:"), std::string::npos) << s.errores;
    TDibIG img;
    const auto leida = LeePNG(png.c_str(), img, nullptr);
    ASSERT_TRUE(leida) << leida.Mensaje().c_str();
    ASSERT_EQ(img.Ancho(), 256); // a PNG file's size when none is given
    ASSERT_EQ(img.BitsPixel(), 32);
    for (int esquina : {0, 255}) {
        EXPECT_EQ(img.Pixel(esquina, esquina), ColorRGB(255, 0, 0));
        EXPECT_EQ(img.Bits()[static_cast<size_t>(esquina) * img.BytesFila() + 4 * esquina + 3], 255);
    }
}

TEST_F(Cli, ExportFillsAnIconThemeFolder) {
    auto s = Ejecuta("export " + Escribe("e.3di", esfera) + " --icon-theme " + Ruta("tema") +
                     " --name prueba --sizes 16,32,128");
    EXPECT_EQ(s.estado, 0) << s.errores;
    std::vector<std::string> ficheros;
    for (const auto& e : fs::recursive_directory_iterator(dir / "tema"))
        if (e.is_regular_file()) ficheros.push_back(fs::relative(e.path(), dir / "tema").string());
    std::sort(ficheros.begin(), ficheros.end());
    EXPECT_EQ(ficheros, (std::vector<std::string>{"128x128/apps/prueba.png", "16x16/apps/prueba.png",
                                                  "32x32/apps/prueba.png"}));
}

TEST_F(Cli, ExportRefusesWhatItCannotWrite) {
    const std::string e = Escribe("e.3di", esfera);
    const struct {
        std::string argumentos;
        const char* mensaje;
    } casos[] = {
        {"-o " + Ruta("a.bmp"), "-o wants a file name ending in .ico, .png or .icns"},
        {"-o " + Ruta("a.ico") + " --sizes 16,300", "an icon file holds sizes up to 256"},
        {"-o " + Ruta("a.png") + " --sizes 16,32", "a PNG file holds one size"},
        {"-o " + Ruta("a.ico") + " --size 0", "--size wants whole numbers from 1 to 1024"},
        {"-o " + Ruta("a.ico") + " --icon-theme " + Ruta("t"), "give one of -o OUT"},
        {"--icon-theme " + Ruta("t"), "--icon-theme needs --name NAME"},
        {"-o " + Ruta("a.ico") + " --background red", "--background wants none or #RRGGBB"},
        {"-o " + Ruta("a.ico") + " --frame", "unknown option for export: --frame"},
        {"--icon-theme " + Ruta("t") + " --name a/b", "An icon's name in a theme is a plain file name"},
        {"-o " + Ruta("no/such/folder/a.ico"), "Can't write"},
    };
    for (const auto& c : casos) {
        const auto s = Ejecuta("export " + e + " " + c.argumentos);
        EXPECT_EQ(s.estado, 2) << c.argumentos;
        EXPECT_NE(s.errores.find(c.mensaje), std::string::npos) << c.argumentos << "\n" << s.errores;
    }
    // Without an OpenGL driver (none that EGL finds).
    EXPECT_EQ(Sistema("__EGL_VENDOR_LIBRARY_FILENAMES=/nonexistent " + std::string(PM_CLI) + " export " + e +
                      " -o " + Ruta("a.ico") + " 2>" + Ruta("err.txt")),
              2);
    EXPECT_NE(Contenido("err.txt").find("No OpenGL context without a display (EGL) for the icon"),
              std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "a.ico"));
    EXPECT_FALSE(fs::exists(dir / "t"));
    EXPECT_NE(Ejecuta("export --help").texto.find("--icon-theme DIR --name NAME"), std::string::npos);
}
