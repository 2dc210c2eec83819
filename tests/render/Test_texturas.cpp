// TEXTURET: loading and checking texture images, resolving their names, the cache that
// keeps images and their device textures across reads, and the textured elements,
// probed through the headless surface at the editor's default view.
#include "Carpeta_prueba.h"
#include "Imagen_prueba.h"
#include "Pinta_prueba.h"
#include "image/Imagemagick_prueba.h"

#include "script/Ficheros_leidos.h"
#include "script/Texturas_3di.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr uint32_t rojo = ColorRGB(255, 0, 0), verde = ColorRGB(0, 255, 0), amarillo = ColorRGB(255, 255, 0),
                   magenta = ColorRGB(255, 0, 255);

// The four quarters of a picture: red top-left, green top-right, yellow bottom-left,
// magenta bottom-right.
uint32_t Cuartos(int x, int y, int ancho, int alto) {
    if (y < alto / 2) return x < ancho / 2 ? rojo : verde;
    return x < ancho / 2 ? amarillo : magenta;
}

// A face in the x-z plane, corner 0 top-left as the default view shows it.
const std::string quadFrente = "QUAD=[-4,0,4]:[4,0,4]:[4,0,-4]:[-4,0,-4]\n";

bool Rojizo(uint32_t c) {
    return RojoDe(c) > 60 && RojoDe(c) > 2 * VerdeDe(c) && RojoDe(c) > 2 * AzulDe(c);
}
bool Verdoso(uint32_t c) {
    return VerdeDe(c) > 60 && VerdeDe(c) > 2 * RojoDe(c) && VerdeDe(c) > 2 * AzulDe(c);
}

class Texturas : public prueba::Carpeta {
protected:
    // A 24-bit BMP of the picture `dibujo` (x, y from the top, width, height).
    std::string Bmp(const char* nombre, int ancho, int alto,
                    uint32_t (*dibujo)(int, int, int, int) = Cuartos) const {
        const auto imagen =
            Imagen(ancho, alto, true, [&](int x, int y) { return dibujo(x, y, ancho, alto); });
        EXPECT_TRUE(imagen->GrabaBMP(Ruta(nombre).c_str()));
        return Ruta(nombre);
    }
    // A PNG with alpha: the left half opaque red, the right half green and transparent.
    std::string PngMitad(const char* nombre, int ancho, int alto) const {
        prueba::EscribePAM(dir / "mitad.pam", ancho, alto, [&](int x, int) {
            return x < ancho / 2 ? prueba::TRGBA{255, 0, 0, 255} : prueba::TRGBA{0, 255, 0, 0};
        });
        EXPECT_TRUE(prueba::Convert((dir / "mitad.pam").string() + " PNG32:" + Ruta(nombre)));
        return Ruta(nombre);
    }
    TResultadoLectura Lee(const std::string& script) { return v.Lee(script); }

    TVistaPrueba v;
};

} // namespace

// The image's top-left corner on corner 0 whatever its size: as it stands (64 x 64),
// shrunk to the device's limit of 512 (1024 x 1024, 32 x 1024) or padded to a square
// (128 x 32). Mended: the corners took positions of the texture's side, so a padded
// image fell back to a plain face and a shrunk one showed only its top-left quarter.
// The face is drawn in white under the image, and its own colour stays as read.
TEST_F(Texturas, AQuadShowsTheWholeImageCornerToCorner) {
    ASSERT_TRUE(v.activo);
    for (auto [ancho, alto] : {std::pair{64, 64}, {1024, 1024}, {32, 1024}, {128, 32}}) {
        SCOPED_TRACE(std::to_string(ancho) + " x " + std::to_string(alto));
        const std::string imagen = Bmp("cuartos.bmp", ancho, alto);
        v.Pinta("COLOR=(200,10,10)\nTEXTURET=" + imagen + "\n" + quadFrente);
        EXPECT_LE(Diferencia(v.EnModelo(-2, 0, 2), rojo), 3);
        EXPECT_LE(Diferencia(v.EnModelo(2, 0, 2), verde), 3);
        EXPECT_LE(Diferencia(v.EnModelo(-2, 0, -2), amarillo), 3);
        EXPECT_LE(Diferencia(v.EnModelo(2, 0, -2), magenta), 3);
        EXPECT_EQ(v.Escena()[0].color, ColorRGB(200, 10, 10));
    }
}

// Mended too: the alpha of an image that is shrunk or padded on its way to the device was
// lost, which made the whole face transparent.
TEST_F(Texturas, TheAlphaOptionShowsTheBackgroundThroughTransparentPixels) {
    ASSERT_TRUE(v.activo);
    const struct {
        int ancho, alto;
        const char* alfa;
        bool fondo;
    } casos[] = {
        {256, 256, ",1", true}, {256, 256, "", false}, {128, 64, ",1", true}, {1024, 1024, ",1", true}};
    for (const auto& c : casos) {
        SCOPED_TRACE(std::to_string(c.ancho) + " x " + std::to_string(c.alto) + c.alfa);
        const std::string png = PngMitad("mitad.png", c.ancho, c.alto);
        v.Pinta("TEXTURET=" + png + c.alfa + "\n" + quadFrente);
        EXPECT_TRUE(Rojizo(v.EnModelo(-2, 0, 0)));
        EXPECT_EQ(v.EsFondo(v.EnModelo(2, 0, 0)), c.fondo);
    }
    // A 24-bit image loaded for blending becomes 32-bit and opaque.
    const std::string bmp = Bmp("opaca.bmp", 64, 64);
    v.Pinta("TEXTURET=\"" + bmp + "\",1\n" + quadFrente);
    const TTextura3Di* t = v.Escena()[0].textura;
    ASSERT_NE(t, nullptr);
    EXPECT_TRUE(t->mezcla);
    EXPECT_EQ(t->imagen->BitsPixel(), 32);
    EXPECT_EQ(t->imagen->Bits()[3], 0xFF);
    EXPECT_LE(Diferencia(v.EnModelo(2, 0, -2), magenta), 3);
}

TEST_F(Texturas, SizesNamesAndFailuresStopTheReadWithTheLineNumber) {
    const std::string d = dir.string() + "/";
    Bmp("wood.bmp", 32, 1024);
    Bmp("my wood.bmp", 64, 32);
    ASSERT_EQ(::mkfifo(Ruta("pipe.gif").c_str(), 0600), 0);
    fs::create_directory(Ruta("folder.png"));
    fs::copy_file(Ruta("wood.bmp"), Ruta("bmp.png"));
    Escribe("map.ecw", "x");
    const std::string tamano =
        "1: Texture images must measure 2^n x 2^m:  example 128x128, 256x1024, etc..\r\n";
    v.lectura.nombreFichero = (dir / "icon.3di").string().c_str();
    const struct {
        std::string texturet; // the rest of the TEXTURET line
        std::string nombre;   // the texture's full name, or the message
    } casos[] = {
        {"wood.bmp", d + "wood.bmp"},
        {"\"my wood.bmp\"  ", d + "my wood.bmp"},
        {Bmp("100x50.bmp", 100, 50), tamano},
        {Bmp("16x16.bmp", 16, 16), tamano},
        {Bmp("2048x32.bmp", 2048, 32), tamano},
        // Names beginning with a separator or holding a drive letter are taken as written.
        {"\\img\\wood.bmp", "1: Error: File not found: \\img\\wood.bmp\r\n"},
        {"c:\\img\\wood.bmp", "1: Error: File not found: c:\\img\\wood.bmp\r\n"},
        {"missing.bmp", "1: Error: File not found: " + d + "missing.bmp\r\n"},
        {"pipe.gif", "1: Error opening " + d + "pipe.gif\r\n"},
        {"folder.png", "1: Can't open file: " + d + "folder.png\r\n"},
        {"bmp.png", "1: Error reading PNG file.\r\n"},
        // Mended: a map format failed without a word.
        {"map.ecw", "1: Error reading the texture file " + d + "map.ecw\r\n"},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.texturet);
        const auto r = Lee(quadFrente + "TEXTURET=" + c.texturet + "\n" + quadFrente);
        if (c.nombre.rfind("1: ", 0) == 0) {
            EXPECT_FALSE(r.correcto);
            EXPECT_EQ(r.errores, c.nombre);
            EXPECT_EQ(v.Escena().Count(), 1);
            EXPECT_EQ(v.lectura.Texturas().TexturaActual(), nullptr);
            // A file that could not be read is among those the read used: it may come.
            EXPECT_EQ(FicherosLeidos(v.Escena()).size(), 2u);
            continue;
        }
        EXPECT_EQ(r.errores, "");
        ASSERT_EQ(v.Escena().Count(), 2);
        EXPECT_EQ(v.Escena()[0].textura, nullptr);
        ASSERT_NE(v.Escena()[1].textura, nullptr);
        EXPECT_EQ(std::string(v.Escena()[1].textura->nombre.c_str()), c.nombre);
        EXPECT_EQ(FicherosLeidos(v.Escena()), (std::vector<fs::path>{dir / "icon.3di", c.nombre}));
    }
    // A script without a file (the editor's new pane, standard input): the current folder.
    v.lectura.nombreFichero = "";
    const std::string antes = fs::current_path().string();
    fs::current_path(dir);
    const auto r = Lee("TEXTURET=wood.bmp\n" + quadFrente);
    fs::current_path(antes);
    EXPECT_EQ(r.errores, "");
    ASSERT_EQ(v.Escena().Count(), 1);
    EXPECT_EQ(std::string(v.Escena()[0].textura->nombre.c_str()), d + "wood.bmp");
}

// Every read of the script (every keystroke in the editor) empties the list; the images
// and their device textures are kept while the files stay as they are and are named.
// Mended: the cache was keyed by the spelling of the name, so one file named many ways
// was decoded and held once for each.
TEST_F(Texturas, ImagesAreDecodedAndUploadedOnceAcrossReads) {
    ASSERT_TRUE(v.activo);
    Bmp("Wood.bmp", 64, 64);
    fs::create_symlink(Ruta("Wood.bmp"), Ruta("enlace.bmp"));
    const std::string texturet = "TEXTURET=" + Ruta("Wood.bmp") + "\n";
    const std::string otraVez = "TEXTURET=" + dir.string() + "/./enlace.bmp,1\n";
    const std::string script = texturet + quadFrente + otraVez + "SPHERE=[0,-5,0]:1\n";
    const auto texturas = [&]() -> const TTexturas3Di& { return v.lectura.Texturas(); };
    const TAlmacenTexturasIG& almacen = v.dc.almacenTexturas;
    for (int lectura = 0; lectura < 3; ++lectura) {
        v.Pinta(script);
        v.Pinta();
    }
    // The textured elements are taken back by the next read, as the others are.
    EXPECT_EQ(LeeEscena(TFuenteEscena::Texto(script, DString()), &v.lectura).Escena().Elementos(),
              v.Escena().Elementos());
    // Named twice (another spelling, through a link, with another alpha option): one
    // texture with the first line's option, loaded and uploaded once.
    EXPECT_EQ(texturas().lista.size(), 1u);
    EXPECT_EQ(v.Escena()[1].textura, v.Escena()[0].textura);
    EXPECT_FALSE(v.Escena()[0].textura->mezcla);
    EXPECT_EQ(texturas().cargas, 1);
    EXPECT_EQ(almacen.Subidas(), 1);

    // Changed on disk: read and uploaded again at the next read, the old texture deleted.
    Bmp("Wood.bmp", 64, 64, [](int, int, int, int) { return verde; });
    ASSERT_EQ(::utimensat(AT_FDCWD, Ruta("Wood.bmp").c_str(), nullptr, 0), 0);
    v.Pinta(script);
    EXPECT_EQ(texturas().cargas, 2);
    EXPECT_EQ(almacen.Subidas(), 2);
    EXPECT_EQ(almacen.Cuenta(), 1u);
    EXPECT_LE(Diferencia(v.EnModelo(-2, 0, 2), verde), 3);

    // No longer named: dropped from the cache and from the device, then read anew.
    v.Pinta(quadFrente);
    EXPECT_EQ(almacen.Cuenta(), 0u);
    v.Pinta(script);
    EXPECT_EQ(texturas().cargas, 3);
    EXPECT_EQ(almacen.Subidas(), 3);
    // The alpha option makes another image of the same file.
    v.Pinta("TEXTURET=" + Ruta("Wood.bmp") + ",1\n" + quadFrente);
    EXPECT_EQ(texturas().cargas, 4);
}

// ELIPSOID maps the longitude and latitude onto the image, XTRUSION the route and the
// section, REVOLUTION the turn and the profile. Mended: the ellipsoid drew the whole
// surface in one texel's colour, and an image padded into its texture showed the grey
// padding on the extrusions.
TEST_F(Texturas, TexturedEllipsoidExtrusionAndRevolution) {
    ASSERT_TRUE(v.activo);
    const auto mitades = [](int, int y, int, int alto) { return y < alto / 2 ? rojo : verde; };
    const std::string arribaAbajo = Bmp("arriba_abajo.bmp", 64, 64, mitades);
    const std::string alta = Bmp("alta.bmp", 32, 64, mitades);
    const std::string izquierdaDerecha = Bmp("izquierda_derecha.bmp", 64, 64, [](int x, int, int ancho, int) {
        return x < ancho / 2 ? rojo : verde;
    });

    // The picture's top on the upper half.
    v.Pinta("TEXTURET=" + arribaAbajo + "\nELIPSOID=[0,0,0]:[1,0,0]:[0,1,0]:4:4:4\n");
    EXPECT_TRUE(Rojizo(v.EnModelo(0, 0, 2.5)));
    EXPECT_TRUE(Verdoso(v.EnModelo(0, 0, -5)));
    // The route's first half in the picture's left half.
    v.Pinta("TEXTURET=" + izquierdaDerecha +
            "\nXTRUSION=[0,0,0]|[-2,-2,0]:[2,-2,0]:[2,2,0]:[-2,2,0]:[-2,-2,0]|[0,0,-4]:1:[0,0,4]:1\n");
    EXPECT_TRUE(Rojizo(v.EnModelo(0, -2, -2)));
    EXPECT_TRUE(Verdoso(v.EnModelo(0, -2, 2)));
    // The profile from the picture's bottom (its first point) to its top, all round.
    v.Pinta("TEXTURET=" + alta + "\nREVOLUTION=[0,0,0]|[0,0,1]|[3,0,-4]:[3,0,4]\n");
    EXPECT_TRUE(Verdoso(v.EnModelo(0, -3, -2)));
    EXPECT_TRUE(Rojizo(v.EnModelo(0, -3, 2)));
}

// Two names that differ in letter case are two files; a name with a colon is relative.
// Mended: both were taken for others (the first texture again, a name of the current
// folder).
TEST_F(Texturas, NamesAreComparedExactlyAndOnlyADriveIsAbsolute) {
    const auto verdeTodo = [](int, int, int, int) { return verde; };
    Bmp("A.bmp", 32, 32);
    Bmp("a.bmp", 32, 32, verdeTodo);
    Bmp("wood:1.bmp", 64, 32);
    v.lectura.nombreFichero = (dir / "icon.3di").string().c_str();
    const auto r = Lee("TEXTURET=a.bmp\n" + quadFrente + "TEXTURET=A.bmp\n" + quadFrente +
                       "TEXTURET=wood:1.bmp\n" + quadFrente);
    EXPECT_EQ(r.errores, "");
    ASSERT_EQ(v.Escena().Count(), 3);
    EXPECT_EQ(v.Escena()[0].textura->imagen->Pixel(0, 0), verde);
    EXPECT_EQ(v.Escena()[1].textura->imagen->Pixel(0, 0), amarillo); // bottom-left of the quarters
    EXPECT_EQ(std::string(v.Escena()[2].textura->nombre.c_str()), Ruta("wood:1.bmp"));
}

// A file that fails is not read again while it stays as it is, a missing one is looked
// for at each read, and a fixed one loads at the next. Mended: every read (every
// keystroke) decoded a failing file anew.
TEST_F(Texturas, AFailureIsRememberedUntilTheFileChanges) {
    const auto texturas = [&]() -> const TTexturas3Di& { return v.lectura.Texturas(); };
    Escribe("roto.png", "not a png at all");
    const std::string script = "TEXTURET=" + Ruta("roto.png") + "\n" + quadFrente;
    for (int lectura = 0; lectura < 3; ++lectura)
        EXPECT_EQ(Lee(script).errores, "0: Error reading PNG file.\r\n");
    EXPECT_EQ(texturas().cargas, 1);
    // The same file by another name: the message names it as written now.
    fs::create_symlink(Ruta("roto.png"), Ruta("otro.png"));
    EXPECT_EQ(Lee("TEXTURET=" + Ruta("otro.png") + "\n").errores, "0: Error reading PNG file.\r\n");
    EXPECT_EQ(texturas().cargas, 1);
    fs::remove(Ruta("roto.png"));
    EXPECT_EQ(Lee(script).errores, "0: Can't open file: " + Ruta("roto.png") + "\r\n");
    PngMitad("roto.png", 32, 32);
    EXPECT_EQ(Lee(script).errores, "");
    EXPECT_EQ(texturas().cargas, 3);
}

// The textures of one read hold at most 512 MB, decoded and uploaded: past it a TEXTURET
// fails as an unreadable one does, and the next read tries again.
TEST_F(Texturas, ATextureReadStopsAtTheMemoryBudget) {
    // 1024 x 1024 counts 8 MB (4 bytes a pixel, and as much for its upload): 64 fit.
    prueba::EscribePAM(dir / "gris.pam", 1024, 1024, [](int x, int) {
        return prueba::TRGBA{uint8_t(x), 0, 0};
    });
    ASSERT_TRUE(prueba::Convert((dir / "gris.pam").string() + " -colorspace Gray " + Ruta("t0.png")));
    std::string script;
    for (int i = 0; i < 65; ++i) {
        const std::string nombre = "t" + std::to_string(i) + ".png";
        if (i) fs::copy_file(Ruta("t0.png"), Ruta(nombre.c_str()));
        script += "TEXTURET=" + Ruta(nombre.c_str()) + "\n" + quadFrente;
    }
    EXPECT_EQ(Lee(script).errores, "128: Texture memory exceeded (512 MB): " + Ruta("t64.png") + "\r\n");
    EXPECT_EQ(v.Escena().Count(), 64);
    EXPECT_EQ(Lee("TEXTURET=" + Ruta("t64.png") + "\n" + quadFrente).errores, "");
}
