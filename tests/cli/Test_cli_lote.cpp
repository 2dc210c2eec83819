// pictomolder-cli export of several scripts into a folder, its dependency file, macOS
// icon files read back by the distribution's readers, HiDPI theme folders and presets.
#include "image/Lector_icns.h"
#include "image/Lector_ico.h"
#include "image/Qor_png.h"

#include "Cli_prueba.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <set>
#include <spawn.h>
#include <thread>
#include <vector>

namespace {

const std::string esfera = "COLOR=(250,220,40)\nSPHERE=[0,0,0]:2\n";

std::vector<int> LadosICO(const std::string& ico) {
    std::vector<TImagenDirectorio> lista;
    std::vector<int> lados;
    if (ListaICO(ico.c_str(), lista))
        for (const auto& i : lista)
            lados.push_back(i.ancho);
    return lados;
}

// Every file under `carpeta`, relative to it, with its PNG side.
std::set<std::string> Ficheros(const fs::path& carpeta) {
    std::set<std::string> ficheros;
    for (const auto& e : fs::recursive_directory_iterator(carpeta)) {
        if (!e.is_regular_file()) continue;
        TMedidasImagen m{};
        const std::string lado = MidePNG(e.path().c_str(), m) ? " " + std::to_string(m.ancho) : "";
        ficheros.insert(fs::relative(e.path(), carpeta).string() + lado);
    }
    return ficheros;
}

// The lines of `fichero` once it holds `cuantas`, or what it holds after 10 s.
std::string EsperaLineas(const fs::path& fichero, size_t cuantas) {
    std::string texto;
    for (int i = 0; i < 200; ++i) {
        texto = prueba::LeeFichero(fichero);
        if (static_cast<size_t>(std::count(texto.begin(), texto.end(), '\n')) >= cuantas) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return texto;
}

} // namespace

// The others are written, each failure named, the status the worst of them; two
// scripts of one name stop the command before anything is drawn.
TEST_F(Cli, ABatchWritesEveryIconItCanAndNamesTheRest) {
    fs::create_directories(dir / "otra");
    const std::string a = Escribe("a.3di", esfera), roto = Escribe("roto.3di", esfera + "SPHERE=[0,0\n");
    auto s = Ejecuta("export " + a + " " + roto + " --outdir " + Ruta("out") + " --sizes 16,32");
    EXPECT_EQ(s.estado, 1);
    EXPECT_NE(s.errores.find(roto + " has errors:\n2:"), std::string::npos) << s.errores;
    EXPECT_EQ(LadosICO(Ruta("out/a.ico")), (std::vector<int>{16, 32}));
    EXPECT_EQ(LadosICO(Ruta("out/roto.ico")), (std::vector<int>{16, 32}));

    s = Ejecuta("export " + a + " " + Ruta("falta.3di") + " --outdir " + Ruta("png") +
                " --format png --size 8");
    EXPECT_EQ(s.estado, 2);
    EXPECT_NE(s.errores.find("cannot read " + Ruta("falta.3di")), std::string::npos) << s.errores;
    EXPECT_EQ(Ficheros(dir / "png"), (std::set<std::string>{"a.png 8"}));

    s = Ejecuta("export " + a + " " + Escribe("otra/a.3di", esfera) + " --outdir " + Ruta("dos"));
    EXPECT_EQ(s.estado, 2);
    EXPECT_NE(s.errores.find("two scripts would make the icon a"), std::string::npos) << s.errores;
    EXPECT_FALSE(fs::exists(dir / "dos"));
}

// The outputs, then the script and the texture it read, named as the command line
// named them (relative to the working folder), spaces escaped for Make.
TEST_F(Cli, TheDependencyFileNamesTheScriptAndItsTexture) {
    fs::create_directories(dir / "s");
    fs::copy_file(std::string(PM_EXAMPLES) + "/wood.bmp", dir / "s/madera.bmp");
    Escribe("s/caja.3di", "TEXTURET=madera.bmp\n" + quad);
    const int estado =
        Sistema("cd " + dir.string() + " && " + PM_CLI +
                " export s/caja.3di --icon-theme 'mi tema' --name caja --sizes 16,32 --depfile caja.d");
    EXPECT_EQ(estado, 0);
    const std::string entradas = ": \\\n  s/caja.3di \\\n  s/madera.bmp\n";
    EXPECT_EQ(Contenido("caja.d"),
              "mi\\ tema/16x16/apps/caja.png" + entradas + "mi\\ tema/32x32/apps/caja.png" + entradas);
}

// Eleven PNG entries under their types, each of its own side, as icns2png lists and
// extracts them and Pillow opens the file.
TEST_F(Cli, AMacOSIconFileIsReadBackByTheDistributionsReaders) {
    const std::string icns = Ruta("e.icns");
    ASSERT_EQ(Ejecuta("export " + Escribe("e.3di", esfera) + " -o " + icns).estado, 0);
    std::vector<TEntradaICNS> entradas;
    ASSERT_TRUE(ListaFicheroICNS(icns.c_str(), entradas));
    std::string nuestra, icns2png;
    for (const auto& e : entradas)
        nuestra += e.tipo + " " + std::to_string(e.ancho) + "x" + std::to_string(e.alto) + ",";
    EXPECT_EQ(nuestra, "icp4 16x16,icp5 32x32,icp6 64x64,ic07 128x128,ic08 256x256,ic09 512x512,"
                       "ic11 32x32,ic12 64x64,ic13 256x256,ic14 512x512,ic10 1024x1024,");

    ASSERT_EQ(Sistema("icns2png -l " + icns + " >" + Ruta("lista.txt") + " 2>&1"), 0);
    const std::string lista = Contenido("lista.txt");
    EXPECT_NE(lista.find("11 elements total"), std::string::npos) << lista;
    for (const auto& e : entradas) {
        // Its PNG data's length, or its pixels when it decodes it.
        const bool decodificada = e.tipo == "ic08" || e.tipo == "ic09" || e.tipo == "ic10";
        const std::string esperada = "'" + e.tipo + "' " +
                                     (decodificada ? std::to_string(e.ancho) + "x" + std::to_string(e.alto)
                                                   : "0x0 0-bit (" + std::to_string(e.bytes) + " bytes)");
        EXPECT_NE(lista.find(esperada), std::string::npos) << esperada << "\n" << lista;
    }
    ASSERT_EQ(Sistema("cd " + dir.string() + " && icns2png -x e.icns >/dev/null 2>&1"), 0);
    for (int lado : {256, 512, 1024}) {
        const std::string png = "e_" + std::to_string(lado) + "x" + std::to_string(lado) + "x32.png";
        TMedidasImagen m{};
        EXPECT_TRUE(MidePNG(Ruta(png.c_str()).c_str(), m) && m.ancho == lado) << png;
    }

    ASSERT_EQ(Sistema("/usr/bin/python3 -c 'import sys; from PIL import Image; im = Image.open(sys.argv[1]); "
                      "print(im.format, im.size, sorted(im.info[\"sizes\"]))' " +
                      icns + " >" + Ruta("pillow.txt")),
              0);
    EXPECT_EQ(Contenido("pillow.txt"),
              "ICNS (1024, 1024) [(16, 16, 1), (16, 16, 2), (32, 32, 1), (32, 32, 2), "
              "(64, 64, 1), (128, 128, 1), (128, 128, 2), (256, 256, 1), (256, 256, 2), "
              "(512, 512, 1), (512, 512, 2)]\n");
}

// A theme's @2 folders hold each size drawn at twice its side.
TEST_F(Cli, AThemeHoldsItsHiDPIFolders) {
    const auto s = Ejecuta("export " + Escribe("e.3di", esfera) + " --outdir " + Ruta("tema") +
                           " --format theme --sizes 16,48 --hidpi");
    EXPECT_EQ(s.estado, 0) << s.errores;
    EXPECT_EQ(Ficheros(dir / "tema"),
              (std::set<std::string>{"16x16/apps/e.png 16", "16x16@2/apps/e.png 32", "48x48/apps/e.png 48",
                                     "48x48@2/apps/e.png 96"}));
}

TEST_F(Cli, PresetsGiveTheirPlatformsSizes) {
    const std::string e = Escribe("e.3di", esfera);
    auto s = Ejecuta("export " + e + " --preset windows -o " + Ruta("w.ico"));
    EXPECT_EQ(s.estado, 0) << s.errores;
    EXPECT_EQ(LadosICO(Ruta("w.ico")),
              (std::vector<int>{16, 20, 24, 30, 32, 36, 40, 48, 60, 64, 72, 80, 96, 256}));
    s = Ejecuta("export " + e + " --preset windows --sizes 16,24 -o " + Ruta("w.ico"));
    EXPECT_EQ(LadosICO(Ruta("w.ico")), (std::vector<int>{16, 24}));

    s = Ejecuta("export " + e + " --preset hicolor --icon-theme " + Ruta("t") + " --name e");
    EXPECT_EQ(s.estado, 0) << s.errores;
    std::set<std::string> esperados;
    for (int lado : {16, 22, 24, 32, 48, 64, 96, 128, 256, 512}) {
        const std::string n = std::to_string(lado) + "x" + std::to_string(lado);
        esperados.insert(n + "/apps/e.png " + std::to_string(lado));
        esperados.insert(n + "@2/apps/e.png " + std::to_string(2 * lado));
    }
    EXPECT_EQ(Ficheros(dir / "t"), esperados);

    s = Ejecuta("export " + e + " --preset macos -o " + Ruta("m.ico"));
    EXPECT_EQ(s.estado, 2);
    EXPECT_NE(s.errores.find("an icon file holds sizes up to 256"), std::string::npos) << s.errores;
    s = Ejecuta("export " + e + " --sizes 16,48 -o " + Ruta("m.icns"));
    EXPECT_NE(s.errores.find("a macOS icon file holds the sizes 16, 32, 64, 128, 256, 512, 1024, not 48"),
              std::string::npos)
        << s.errores;
}

// A burst of saves of a texture gives one export more; Ctrl+C ends the watch cleanly.
TEST_F(Cli, WatchDrawsAgainOnceForABurstOfSaves) {
    fs::copy_file(std::string(PM_EXAMPLES) + "/wood.bmp", dir / "madera.bmp");
    const std::string script = Escribe("caja.3di", "TEXTURET=madera.bmp\n" + quad);
    const std::string salida = Ruta("vigila.txt");
    std::vector<std::string> argumentos{PM_CLI,           "export",  script, "-o",
                                        Ruta("caja.ico"), "--sizes", "16",   "--watch"};
    std::vector<char*> argv;
    for (auto& a : argumentos)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t acciones;
    posix_spawn_file_actions_init(&acciones);
    posix_spawn_file_actions_addopen(&acciones, STDOUT_FILENO, salida.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    pid_t hijo = -1;
    ASSERT_EQ(posix_spawn(&hijo, PM_CLI, &acciones, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&acciones);

    const std::string linea = script + ": written " + Ruta("caja.ico") + "\n";
    EXPECT_EQ(EsperaLineas(salida, 1), linea);
    fs::remove(dir / "caja.ico");
    // Saved three times, as an editor does: a new file renamed over the old.
    for (int i = 0; i < 3; ++i) {
        fs::copy_file(dir / "madera.bmp", dir / "nueva.bmp", fs::copy_options::overwrite_existing);
        fs::rename(dir / "nueva.bmp", dir / "madera.bmp");
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
    }
    EXPECT_EQ(EsperaLineas(salida, 2), linea + linea);
    EXPECT_TRUE(fs::exists(dir / "caja.ico"));
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    EXPECT_EQ(Contenido("vigila.txt"), linea + linea);

    ::kill(hijo, SIGINT);
    int estado = -1;
    ASSERT_EQ(::waitpid(hijo, &estado, 0), hijo);
    EXPECT_TRUE(WIFEXITED(estado) && WEXITSTATUS(estado) == 0) << estado;
}
