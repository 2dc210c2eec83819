// The command-line tool driven as users and scripts drive it.
#include "image/Tdibig.h"
#include "image/Tdibigformat.h"

#include "Carpeta_prueba.h"
#include "Cli_prueba.h"
#include "Escritor_3ds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <sys/stat.h>

TEST_F(Cli, CheckPrintsWhatTheErrorPaneShows) {
    auto s = Ejecuta("check " + Escribe("a.3di", quad));
    EXPECT_EQ(s.estado, 0);
    EXPECT_EQ(s.texto, "ok\n");
    s = Ejecuta("check -", quad + "FOO=1\nCOLOR=(1,2)\n");
    EXPECT_EQ(s.estado, 1);
    EXPECT_EQ(s.texto, "1: Undefined command:FOO\r\n2: Error reading color\r\n");
    s = Ejecuta("check -", "PUSHSCALE=2\n");
    EXPECT_EQ(s.estado, 1);
    EXPECT_EQ(s.texto, "POPs needed!\n");
    // Standard input and a named file parse alike.
    s = Ejecuta("check " + Escribe("b.3di", "\r\n\r\nQUAD=1\r\n"));
    EXPECT_EQ(s.texto, "2: Error reading Quad\r\n");
    EXPECT_EQ(Ejecuta("check -", "\r\n\r\nQUAD=1\r\n").texto, s.texto);
}

TEST_F(Cli, FileAndUsageErrors) {
    auto s = Ejecuta("check " + Ruta("missing.3di"));
    EXPECT_EQ(s.estado, 2);
    EXPECT_NE(s.errores.find("cannot read"), std::string::npos) << s.errores;
    s = Ejecuta("check " + dir.string()); // a folder
    EXPECT_EQ(s.estado, 2);
    s = Ejecuta("check " + Escribe("model.txt", quad));
    EXPECT_EQ(s.estado, 1);
    EXPECT_EQ(s.texto, "Format unknown: " + Ruta("model.txt") + "\n");
    for (const char* malo :
         {"", "frobnicate x.3di", "check a b", "render x.3di -o", "render x.3di -o y.bmp --size 0x10",
          "dump x --zoom 2", "render x -o y --zoom abc", "render x -o y --view sideways", "icon - --fit",
          // Mended: a line or point beyond the int range was converted with undefined results.
          "render x -o y --highlight 1e12", "render x -o y --highlight 0:-3e9", "image a.gif b.gif"}) {
        s = Ejecuta(malo);
        EXPECT_EQ(s.estado, 2) << malo;
        // One line that names the mistake, not the whole help.
        EXPECT_TRUE(s.errores.starts_with("pictomolder-cli: ")) << malo;
        EXPECT_TRUE(s.errores.ends_with(" (see pictomolder-cli --help)\n")) << malo << ": " << s.errores;
        EXPECT_EQ(std::count(s.errores.begin(), s.errores.end(), '\n'), 1) << malo;
    }
    EXPECT_EQ(Ejecuta("frobnicate x.3di").errores,
              "pictomolder-cli: unknown command: frobnicate (see pictomolder-cli --help)\n");
    EXPECT_TRUE(Ejecuta("export x.3di").errores.ends_with(" (see pictomolder-cli export --help)\n"));
    s = Ejecuta("--help");
    EXPECT_EQ(s.estado, 0);
    EXPECT_NE(s.texto.find("render FILE -o OUT.bmp"), std::string::npos);

    // Mended: a FIFO as the script kept the tool waiting for a writer, and endless
    // standard input made it grow without end.
    ASSERT_EQ(::mkfifo(Ruta("pipe.3di").c_str(), 0600), 0);
    s = Ejecuta("check " + Ruta("pipe.3di"));
    EXPECT_EQ(s.estado, 2);
    EXPECT_NE(s.errores.find("Not a regular file"), std::string::npos) << s.errores;
    EXPECT_EQ(Sistema(std::string(PM_CLI) + " check - </dev/zero 2>" + Ruta("err.txt")), 2);
    EXPECT_NE(Contenido("err.txt").find("more than 64 MB"), std::string::npos);
}

TEST_F(Cli, DumpShowsTheSceneAsJson) {
    const auto s = Ejecuta("dump -", "CENTER=[1,2,3]\nCOLOR=(255,0,0)\nLINEWIDTH=3\n" + quad +
                                         "DISK=[0,0,5]:[0,0,1]:4.5\nPUSHTRANS=[1,0,0]\nPOP\nBAD=\"x\"\t\n");
    EXPECT_EQ(s.estado, 1);
    const std::string& j = s.texto;
    EXPECT_EQ(j.rfind("{\"ok\": false, \"errors\": \"7: Undefined command:BAD\\r\\n\", \"centro\": [1,2,3], "
                      "\"escala\": 1, \"anguloGiro\": 0, \"giroEnY\": false, \"elements\": [",
                      0),
              0u)
        << j;
    EXPECT_NE(j.find("{\"class\": \"TElementoQuad3D\", \"linea\": 3, \"color\": 255, \"grosorLinea\": 3, "
                     "\"textura\": null, \"puntos\": [[-2,-2,0],[2,-2,0],[2,2,0],[-2,2,0],[-2,-2,0]], "
                     "\"normal\": [0,0,1]}"),
              std::string::npos)
        << j;
    EXPECT_NE(j.find("\"radio\": 4.5, \"relleno\": true"), std::string::npos);
    EXPECT_NE(j.find("\"matriz\": [1,0,0,0,0,1,0,0,0,0,1,0,1,0,0,1]"), std::string::npos);
    EXPECT_EQ(j.substr(j.size() - 3), "]}\n");
    // Latin-1 bytes in messages come out as JSON escapes.
    const auto l = Ejecuta("dump -", "X\xB4=1\n");
    EXPECT_NE(l.texto.find("Undefined command:X\\u00b4"), std::string::npos) << l.texto;

    // "textura" holds the texture's full name: from the script's folder, or from the
    // current folder for a script on standard input.
    TDibIG imagen;
    imagen.Crea(64, 64, 24, 0, nullptr, true);
    ASSERT_TRUE(imagen.GrabaBMP(Ruta("t.bmp").c_str()));
    const std::string textura = "\"textura\": \"" + Ruta("t.bmp") + "\"";
    const auto t = Ejecuta("dump " + Escribe("s.3di", "TEXTURET=t.bmp\n" + quad));
    EXPECT_NE(t.texto.find(textura), std::string::npos) << t.texto;
    ASSERT_EQ(Sistema("cd '" + dir.string() + "' && " + PM_CLI + " dump - <s.3di >dump.json"), 0);
    EXPECT_NE(Contenido("dump.json").find(textura), std::string::npos);
}

TEST_F(Cli, RenderWritesTheBitmapEvenWhenTheScriptHasErrors) {
    const std::string script = Escribe("a.3di", quad);
    auto s = Ejecuta("render " + script + " -o " + Ruta("a.bmp"));
    EXPECT_EQ(s.estado, 0) << s.errores;
    TDibIG imagen;
    ASSERT_TRUE(LeeBmp(imagen, Ruta("a.bmp")));
    EXPECT_EQ(imagen.Ancho(), 256);
    EXPECT_EQ(imagen.BitsPixel(), 24);
    EXPECT_EQ(imagen.Pixel(0, 0), 0xFE0000u);
    EXPECT_NE(imagen.Pixel(128, 128), 0xFE0000u);

    s = Ejecuta("render - -o " + Ruta("b.bmp") + " --size 64x32 --zoom 5 --angles -0.7,0.2 --pan 0.5,0",
                quad + "FOO=1\n");
    EXPECT_EQ(s.estado, 1);
    EXPECT_NE(s.errores.find("1: Undefined command:FOO"), std::string::npos);
    ASSERT_TRUE(LeeBmp(imagen, Ruta("b.bmp")));
    EXPECT_EQ(imagen.Ancho(), 64);
    EXPECT_EQ(imagen.Alto(), 32);
    EXPECT_NE(imagen.Pixel(48, 16), 0xFE0000u); // panned right by a quarter of the width
    EXPECT_EQ(imagen.Pixel(32, 16), 0xFE0000u);

    // The highlighted corner carries the black tripod.
    s = Ejecuta("render " + script + " -o " + Ruta("d.bmp") + " --highlight 0:1");
    EXPECT_EQ(s.estado, 0);
    ASSERT_TRUE(LeeBmp(imagen, Ruta("d.bmp")));
    // The vertical axis line above the corner (2, -2, 0).
    EXPECT_TRUE(imagen.Pixel(167, 200) == 0u || imagen.Pixel(168, 200) == 0u);
    s = Ejecuta("render " + script + " -o " + Ruta("no/such/folder/c.bmp"));
    EXPECT_EQ(s.estado, 2);
    EXPECT_NE(s.errores.find("cannot write"), std::string::npos);
    // Mended: a write that failed half way (a full disk, here a file-size limit) left a
    // truncated picture in place of the old one.
    const std::string antes = prueba::LeeFichero(Ruta("d.bmp"));
    EXPECT_EQ(Sistema("trap '' XFSZ; ulimit -f 16; " + std::string(PM_CLI) + " render " + script + " -o " +
                      Ruta("d.bmp") + " 2>/dev/null"),
              2);
    EXPECT_EQ(prueba::LeeFichero(Ruta("d.bmp")), antes);
}

// How each view draws is the render tests' business; here, that the options reach it.
TEST_F(Cli, RenderTakesTheEditorsViews) {
    const std::string caja = "COLOR=(255,0,0)\nQUAD=[-1,-1,-1]:[1,-1,-1]:[1,-1,1]:[-1,-1,1]\n"
                             "COLOR=(0,255,0)\nQUAD=[-1,-1,1]:[1,-1,1]:[1,1,1]:[-1,1,1]\n";
    TDibIG imagen;
    // The drawn (not background) pixels: how many, and the widest span across or down.
    const auto dibuja = [&](const std::string& opciones) {
        const auto s = Ejecuta("render - -o " + Ruta("v.bmp") + " " + opciones, caja);
        EXPECT_EQ(s.estado, 0) << opciones << s.errores;
        EXPECT_TRUE(LeeBmp(imagen, Ruta("v.bmp"))) << opciones;
        int pixeles = 0, x0 = 256, x1 = -1, y0 = 256, y1 = -1;
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x)
                if (imagen.Pixel(x, y) != 0xFE0000u) {
                    ++pixeles;
                    x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
                }
        return std::pair{pixeles, std::max(x1 - x0, y1 - y0)};
    };
    const int paralela = dibuja("").first;
    const int lejos = dibuja("--perspective --distance 30").first;
    EXPECT_GT(lejos, 0);
    EXPECT_LT(lejos, paralela / 4);
    dibuja("--view front");
    EXPECT_GT(RojoDe(imagen.Pixel(128, 128)), 100);
    dibuja("--view top --perspective");
    EXPECT_GT(VerdeDe(imagen.Pixel(128, 128)), 100);
    // --fit frames a small model drawn off the middle: 90 % of the picture.
    EXPECT_NEAR(dibuja("--zoom 2 --pan 0.6,0.6 --fit").second, 230, 4);
}

TEST_F(Cli, IconIsA32By32BitmapBesideTheScript) {
    const std::string script = Escribe("casa.3di", quad);
    auto s = Ejecuta("icon " + script + " --size 300x200");
    EXPECT_EQ(s.estado, 0) << s.errores;
    TDibIG icono;
    ASSERT_TRUE(LeeBmp(icono, script + ".bmp"));
    EXPECT_EQ(icono.Ancho(), 32);
    EXPECT_EQ(icono.Alto(), -32); // written top-down
    EXPECT_GE(AzulDe(icono.Pixel(31, 31)), 254);
    EXPECT_LT(AzulDe(icono.Pixel(16, 16)), 254); // the quad, shrunk into the middle
    EXPECT_EQ(Ejecuta("icon - -o " + Ruta("otro.bmp"), quad).estado, 0);
    EXPECT_TRUE(fs::exists(Ruta("otro.bmp")));
}

// Mended: "render -o x.png" wrote a BMP file under the PNG name. The name's extension
// chooses the format; a name that says neither is refused, and nothing is written.
TEST_F(Cli, RenderAndIconWriteTheFormatTheirOutputNames) {
    const std::string script = Escribe("a.3di", quad);
    const auto identifica = [&](const char* salida) {
        Sistema("identify -format '%m %wx%h' '" + Ruta(salida) + "' >" + Ruta("id.txt") + " 2>&1");
        return Contenido("id.txt");
    };
    EXPECT_EQ(Ejecuta("render " + script + " -o " + Ruta("a.png") + " --size 40x30").estado, 0);
    EXPECT_EQ(identifica("a.png"), "PNG 40x30");
    EXPECT_EQ(Ejecuta("render " + script + " -o " + Ruta("a.BMP")).estado, 0);
    EXPECT_EQ(identifica("a.BMP"), "BMP3 256x256");
    EXPECT_EQ(Ejecuta("icon " + script + " -o " + Ruta("i.PNG")).estado, 0);
    EXPECT_EQ(identifica("i.PNG"), "PNG 32x32");
    for (const char* salida : {"a.jpg", "a", "a.png.txt"}) {
        const auto s = Ejecuta("render " + script + " -o " + Ruta(salida));
        EXPECT_EQ(s.estado, 2) << salida;
        EXPECT_NE(s.errores.find("-o wants a file name ending in .bmp or .png"), std::string::npos)
            << s.errores;
        EXPECT_FALSE(fs::exists(Ruta(salida))) << salida;
    }
}

TEST_F(Cli, A3DStudioMeshIsTakenByItsExtensionInAnyCase) {
    const std::string malla = Ruta("VASE.3Ds");
    fs::copy_file(PM_EXAMPLES "/vase.3ds", malla);
    EXPECT_EQ(Ejecuta("icon " + malla).estado, 0);
    EXPECT_TRUE(fs::exists(malla + ".bmp"));

    const std::string rota = Escribe("broken.3ds", "MM");
    const std::string motivo =
        "Error reading the 3DS file " + rota + ": it is too short for a 3D Studio file";
    auto s = Ejecuta("check " + rota);
    EXPECT_EQ(s.estado, 1);
    EXPECT_EQ(s.texto, motivo + "\n");
    EXPECT_EQ(Ejecuta("render " + rota + " -o " + Ruta("broken.bmp")).errores, motivo + "\n");
}

// How the examples draw is the render tests' business; here, that each one checks clean.
TEST_F(Cli, EveryExampleChecks) {
    int vistos = 0;
    for (const auto& e : fs::directory_iterator(PM_EXAMPLES)) {
        if (e.path().extension() != ".3di" && e.path().extension() != ".3ds") continue;
        ++vistos;
        const auto c = Ejecuta("check " + e.path().string());
        EXPECT_EQ(c.estado, 0) << e.path();
        EXPECT_EQ(c.texto, "ok\n") << e.path();
    }
    EXPECT_GE(vistos, 4);
}

TEST_F(Cli, ImageDescribesTheLoadedBitmap) {
    // One file for each depth and row order the description and the copy must carry; libtiff
    // warns about the tiff's unknown tag, and nothing reaches the terminal.
    const std::string datos = PM_TEST_DATA;
    for (const auto& [fichero, json] :
         {std::pair{"/bmp/imagemagick_5x3_4.bmp",
                    "\"width\": 5, \"height\": 3, \"bits\": 4, \"colours\": 16, \"topDown\": false"},
          {"/tif/built/unknown_tag.tif",
           "\"width\": 3, \"height\": 2, \"bits\": 24, \"colours\": 0, \"topDown\": true"}}) {
        const auto s = Ejecuta("image " + datos + fichero + " -o " + Ruta("out.bmp"));
        EXPECT_EQ(s.estado, 0) << fichero << s.texto;
        EXPECT_EQ(s.texto, "{" + std::string(json) + "}\n");
        EXPECT_EQ(s.errores, "") << fichero;
        // The BMP holds the bitmap unchanged.
        TDibIGformat cargada;
        TDibIG escrita;
        ASSERT_TRUE(cargada.LeeImagen((datos + fichero).c_str()));
        ASSERT_TRUE(LeeBmp(escrita, Ruta("out.bmp")));
        ASSERT_EQ(escrita.BytesPixeles(), cargada.BytesPixeles());
        EXPECT_EQ(escrita.Alto(), cargada.Alto());
        EXPECT_EQ(escrita.NumColores(), cargada.NumColores());
        EXPECT_EQ(std::memcmp(escrita.Bits(), cargada.Bits(), escrita.BytesPixeles()), 0) << fichero;
    }
    // A refused file: the loader's message on standard output (empty for a map format).
    auto s = Ejecuta("image " + Ruta("missing.gif"));
    EXPECT_EQ(s.estado, 1);
    EXPECT_EQ(s.texto, "Error opening " + Ruta("missing.gif") + "\n");
    s = Ejecuta("image " + Escribe("map.ecw", "x"));
    EXPECT_EQ(s.estado, 1);
    EXPECT_EQ(s.texto, "\n");
    EXPECT_EQ(
        Ejecuta("image " + datos + "/gif/built/reference_4x4.gif -o " + Ruta("no/such/folder/x.bmp")).estado,
        2);
}

// Mended: "render h.3di -o h.3di" left a bitmap where the script was, and so did every
// other output option over an input, by its name or through a link. Every output of
// every writing subcommand is checked against the script, mesh or image named on the
// command line and the textures the script read (refused ones too), hard and symbolic
// links alike: the command stops with status 2, naming both, and writes nothing.
TEST_F(Cli, AnOutputNeverReplacesAnInput) {
    TDibIG imagen;
    imagen.Crea(32, 32, 24, 0, nullptr, true);
    ASSERT_TRUE(imagen.GrabaBMP(Ruta("tex.bmp").c_str()));
    imagen.Crea(40, 40, 24, 0, nullptr, true); // refused for its size
    ASSERT_TRUE(imagen.GrabaBMP(Ruta("big.bmp").c_str()));
    Escribe("h.3di", quad);
    Escribe("t.3di", "TEXTURET=tex.bmp\n" + quad);
    Escribe("r.3di", "TEXTURET=big.bmp\n" + quad);
    using namespace prueba3ds;
    Escribe("m.3ds", Fichero(Tira("Strip", 2, 0)));
    const struct {
        std::string orden; // OUT stands for the output, made a link to `entrada`
        const char* salida;
        const char* entrada;
        const char* nombrada = nullptr; // how the message names the input, when not so
    } casos[] = {
        {"render h.3di -o OUT", "out.bmp", "h.3di"},
        {"icon h.3di -o OUT", "out.bmp", "h.3di"},
        {"icon h.3di", "h.3di.bmp", "h.3di"}, // the default output
        {"image tex.bmp -o OUT", "out.bmp", "tex.bmp"},
        {"export h.3di -o OUT", "out.png", "h.3di"},
        {"export h.3di -o OUT --size 16", "out.ico", "h.3di"},
        {"export h.3di --icon-theme theme --name app --sizes 16,32", "theme/32x32/apps/app.png", "h.3di"},
        {"render t.3di -o OUT", "out.bmp", "tex.bmp"},
        {"render - -o OUT <t.3di", "out.bmp", "tex.bmp"},
        {"render - -o OUT <h.3di", "out.bmp", "h.3di", "/dev/stdin"}, // standard input is a file too
        {"render r.3di -o OUT", "out.bmp", "big.bmp"},
        {"export m.3ds -o OUT", "out.png", "m.3ds"},
    };
    const std::string originales[] = {Contenido("h.3di"), Contenido("t.3di"), Contenido("tex.bmp"),
                                      Contenido("big.bmp"), Contenido("m.3ds")};
    const auto sinCambios = [&] {
        const char* nombres[] = {"h.3di", "t.3di", "tex.bmp", "big.bmp", "m.3ds"};
        return std::equal(std::begin(nombres), std::end(nombres), std::begin(originales),
                          [&](const char* n, const std::string& o) { return Contenido(n) == o; });
    };
    const auto comprueba = [&](const std::string& orden, const std::string& entrada) {
        const int estado =
            Sistema("cd '" + dir.string() + "' && " + PM_CLI + " " + orden + " >/dev/null 2>err.txt");
        EXPECT_EQ(estado, 2) << orden;
        EXPECT_NE(Contenido("err.txt").find("is the same file as the input "), std::string::npos)
            << orden << "\n"
            << Contenido("err.txt");
        EXPECT_NE(Contenido("err.txt").find(entrada), std::string::npos) << orden;
        EXPECT_TRUE(sinCambios()) << orden;
    };
    for (const bool simbolico : {true, false})
        for (const auto& c : casos) {
            SCOPED_TRACE(std::string(simbolico ? "symbolic link: " : "hard link: ") + c.orden);
            const fs::path salida = dir / c.salida;
            fs::create_directories(salida.parent_path());
            fs::remove(salida);
            if (simbolico)
                fs::create_symlink(dir / c.entrada, salida);
            else
                fs::create_hard_link(dir / c.entrada, salida);
            std::string orden = c.orden;
            if (const size_t p = orden.find("OUT"); p != std::string::npos) orden.replace(p, 3, c.salida);
            comprueba(orden, c.nombrada ? c.nombrada : c.entrada);
            fs::remove(salida);
        }
    // By its own name (a script's name is no picture's: refused before anything is read).
    EXPECT_EQ(Sistema("cd '" + dir.string() + "' && " + PM_CLI + " render h.3di -o h.3di 2>/dev/null"), 2);
    EXPECT_TRUE(sinCambios());
    comprueba("image tex.bmp -o ./tex.bmp", "tex.bmp");
    // Other outputs are written as before.
    EXPECT_EQ(Sistema("cd '" + dir.string() + "' && " + PM_CLI + " render t.3di -o out.bmp"), 0);
}
