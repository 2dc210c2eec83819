// The loader: the extension table, the wait cursor, the codec modules' presence check
// and their answers.
#include "Imagemagick_prueba.h"

#include "image/Lector_jpg.h"
#include "image/Lector_tif.h"
#include "image/Tdibigformat.h"
#include "image/Tdibigymask.h"
#include "support/Monitor_procesos.h"
#include "support/Reloj_tierra.h"
#include "support/Rutas.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

class Cargador : public prueba::Carpeta {};

int cambiosCursor = 0;
CursorQOR cursorActual = cursorNormal;

CursorQOR PonCursor(CursorQOR c) {
    ++cambiosCursor;
    return std::exchange(cursorActual, c);
}

} // namespace

// Which reader each name reaches shows in its message for a file that is not there.
// Mended: a FIFO named as an image made the PNG, GIF, icon, JPEG and TIFF readers wait
// for a writer; a FIFO or a folder now fails at once as a missing file does. Mended too:
// ".tiff", the usual spelling on Linux, and ".jpe" were unknown extensions.
TEST_F(Cargador, ExtensionsChooseTheReader) {
    const std::string d = dir.string() + "/";
    const struct {
        std::string nombre;
        std::string mensaje;
    } casos[] = {
        {d + "a.Jpeg", "Error reading JPG"},
        {d + "a.JPG", "Error reading JPG"},
        {d + "a.tar.bmp", "Error: File not found: " + d + "a.tar.bmp"},
        {d + "a.tif", "Error reading TIF header *"},
        {d + "a.tiff", "Error reading TIF header *"},
        {d + "a.jpe", "Error reading JPG"},
        {d + "a.ICO", "Error loading " + d + "a.ICO"},
        {d + "a.png", "Can't open file: " + d + "a.png"},
        {d + "a.gif", "Error opening " + d + "a.gif"},
        {d + "a.rs", "Error: File " + d + "a.rs not found."},
        {d + "a.RAS", "Error: File " + d + "a.RAS not found."},
        {d + "noextension", "Unknown bitmap file extension: " + d + "noextension"},
        {d + "a.ecw", ""}, // map formats fail without a word
        {d + "a.KAP", ""},
    };
    for (const char* forma : {"missing", "FIFO", "folder"}) {
        for (const auto& c : casos) {
            SCOPED_TRACE(c.nombre + " as " + forma);
            if (forma[0] == 'F') {
                ASSERT_EQ(::mkfifo(c.nombre.c_str(), 0600), 0);
            } else if (forma[0] == 'f') {
                ASSERT_TRUE(fs::create_directory(c.nombre));
            }
            TDibIGformat img;
            img.Crea(2, 2, 24, 0, nullptr, true);
            const auto leida = img.LeeImagen(c.nombre.c_str());
            ASSERT_FALSE(leida);
            EXPECT_TRUE(img.Vacia());
            const std::string texto = leida.Mensaje().c_str();
            if (!c.mensaje.empty() && c.mensaje.back() == '*')
                EXPECT_EQ(texto.substr(0, c.mensaje.size() - 1), c.mensaje.substr(0, c.mensaje.size() - 1));
            else
                EXPECT_EQ(texto, c.mensaje);
            fs::remove(c.nombre);
        }
    }
}

// A progress record given to the loader reaches the reader of every format.
TEST_F(Cargador, ProgressReachesEveryReader) {
    const std::string jpg = Ruta("grey.jpg");
    ASSERT_TRUE(prueba::Convert("-size 8x6 gradient: " + jpg));
    for (const std::string& nombre : {std::string(PM_TEST_DATA "/gif/built/code_size_11.gif"),
                                      std::string(PM_TEST_DATA "/png/built/grey_2_bit.png"),
                                      std::string(PM_TEST_DATA "/ras/built/24_bit_type_1_bgr.ras"),
                                      std::string(PM_TEST_DATA "/ico/built/bmp_24_bit_with_mask.ico"),
                                      std::string(PM_TEST_DATA "/tif/built/palette_4_bit.tif"), jpg}) {
        TDibIGformat img;
        TMonitorProcesos progreso;
        const auto leida = img.LeeImagen(nombre.c_str(), &progreso);
        ASSERT_TRUE(leida) << nombre << ": " << MensajeDe(leida).c_str();
        EXPECT_GT(progreso.total, 0) << nombre;
        EXPECT_GT(progreso.hechas, 0) << nombre;
    }
}

TEST_F(Cargador, WaitCursorForTheWholeLoad) {
    const PonCursorQOR previo = InstalaCursorQOR(PonCursor);
    cambiosCursor = 0;
    TDibIGformat img;
    EXPECT_FALSE(img.LeeImagen((dir / "none.gif").c_str()));
    InstalaCursorQOR(previo);
    EXPECT_EQ(cambiosCursor, 2);
    EXPECT_EQ(cursorActual, cursorNormal);
}

// A TIFF's pixels stay with the module until the image lets them go; a new load or a
// conversion releases them (the sanitizers see any leak or stale read).
TEST_F(Cargador, TiffPixelsLiveAsLongAsTheImage) {
    TDibIGformat img;
    const std::string tif = std::string(PM_TEST_DATA) + "/tif/built/rgb_strip.tif";
    const auto leida = img.LeeImagen(tif.c_str());
    ASSERT_TRUE(leida) << leida.Mensaje().c_str();
    ASSERT_TRUE(img.LeeImagen(tif.c_str()));
    EXPECT_EQ(img.Pixel(0, 0), ColorRGB(255, 0, 0));
    ASSERT_TRUE(img.Convierte(32));
    EXPECT_EQ(img.Pixel(0, 0), ColorRGB(255, 0, 0));
    EXPECT_TRUE(img.GrabaBMP(Ruta("copia.bmp").c_str()));
}

TEST(ModulosCodec, MissingWrongAndOutdatedModules) {
    TModuloCodec modulo;
    const auto ausente = modulo.Abre("pm_absent.so");
    ASSERT_FALSE(ausente);
    EXPECT_EQ(ausente.Causa(), TCausa::entradaSalida);
    EXPECT_EQ(std::string(ausente.Mensaje().c_str()),
              "Error: It\xB4s necesary to install the pm_absent.so to make this "
              "operation.\r\n(" +
                  (CarpetaPrograma() / "pm_absent.so").string() + ")\r\n");

    // Any file of that name is taken for the module, but it must load.
    const fs::path falso = CarpetaPrograma() / "pm_not_a_module.so";
    std::ofstream(falso) << "not a shared object";
    const auto falsa = modulo.Abre("pm_not_a_module.so", " ");
    fs::remove(falso);
    EXPECT_STREQ(MensajeDe(falsa).c_str(), "Wrong pm_not_a_module.so file. Please update it. ");

    // Modules that answer another interface version.
    TDibIG img;
    const auto jpgAntiguo = [](const char*, TRegistroJPG* r) {
        r->respuesta = 0;
        return 1;
    };
    EXPECT_STREQ(MensajeDe(LeeJPGcon({jpgAntiguo}, "x.jpg", img, nullptr)).c_str(),
                 "Wrong qorjpg.so file. Please update it.");
    TEntradasTIFF tiffAntiguo;
    tiffAntiguo.geo = [](const char*, TBufferGeoTIFF* b) {
        b->version = 12;
        return 1;
    };
    EXPECT_STREQ(MensajeDe(LeeTIFcon(tiffAntiguo, TModuloCodec(), "x.tif", img, nullptr)).c_str(),
                 "Wrong qorgeotiff.so file. Please update it. ");
}

TEST_F(Cargador, ReservedColourTakesIndexZero) {
    TDibIGformat img;
    ASSERT_TRUE(img.LeeImagen((std::string(PM_TEST_DATA) + "/ico/built/reserved_colour_pixels.ico").c_str()));
    for (int32_t x = 0; x < 4; ++x)
        EXPECT_EQ(img.Indice(x, 0) == 0, img.Pixel(x, 0) == ColorRGB(99, 99, 99)) << x;
    EXPECT_EQ(img.Indice(0, 3), 0u);
}

// A palette's transparency stays with the loaded image (partial tRNS values too) and
// turns into alpha on demand; a BMP written from the image is the bitmap as loaded.
TEST_F(Cargador, PaletteTransparencyIsKeptBesideTheBitmap) {
    TDibIGformat img;
    const auto leida = img.LeeImagen(PM_TEST_DATA "/png/built/palette_with_trns.png");
    ASSERT_TRUE(leida) << leida.Mensaje().c_str();
    EXPECT_EQ(img.AlfaTabla(), (std::vector<uint8_t>{0, 128, 255, 255}));
    ASSERT_TRUE(img.GrabaBMP(Ruta("tal_cual.bmp").c_str()));
    TDibIG escrita;
    ASSERT_TRUE(escrita.LeeBMP(Ruta("tal_cual.bmp").c_str()));
    EXPECT_EQ(escrita.BitsPixel(), 8);
    EXPECT_EQ(escrita.TablaColores()[0].reservado, 0);
    ASSERT_TRUE(img.ConvierteConAlfa());
    const uint8_t* p = img.Bits();
    EXPECT_EQ((std::vector<uint8_t>{p[3], p[7], p[11], p[15]}), (std::vector<uint8_t>{0, 128, 255, 255}));
}
