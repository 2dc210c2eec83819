// Reading and writing BMP files: round trips, the header variants, offsets and
// files written by another program.
#include "Bmp_prueba.h"

#include "support/Ficheroqor.h"
#include "support/Ficheroqordatos.h"
#include "support/Monitor_procesos.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

using namespace prueba;

namespace {

class BMP : public Carpeta {};

void EsperaIguales(const TDibIG& a, const TDibIG& b) {
    ASSERT_FALSE(a.Vacia());
    ASSERT_FALSE(b.Vacia());
    EXPECT_EQ(0, std::memcmp(a.Cabecera(), b.Cabecera(), sizeof(TCabeceraDIB)));
    ASSERT_EQ(a.NumColores(), b.NumColores());
    if (a.NumColores()) {
        EXPECT_EQ(0, std::memcmp(a.TablaColores(), b.TablaColores(), a.NumColores() * sizeof(TColorPaleta)));
    }
    ASSERT_EQ(a.Cabecera()->tamanoImagen, b.Cabecera()->tamanoImagen);
    EXPECT_EQ(0, std::memcmp(a.Bits(), b.Bits(), a.Cabecera()->tamanoImagen));
}

// Reads the bytes, with or without their file header: the error, empty when read.
std::string LeeDeMemoria(TDibIG& img, const Bytes& datos, bool conCabecera = true) {
    TFicheroQORdatos f(fqLeeBinario, reinterpret_cast<const char*>(datos.data()),
                       static_cast<int32_t>(datos.size()));
    const auto leida = img.LeeDIB(f, conCabecera);
    return leida ? "" : "failed: " + std::string(leida.Mensaje().c_str());
}

// The numbers of a P3 file: width, height, maximum, then red, green and blue of every
// pixel from the top row down.
std::vector<int> LeePPM(const std::string& ruta) {
    std::ifstream f(ruta);
    std::vector<int> numeros;
    for (std::string palabra; f >> palabra;) {
        if (palabra[0] == '#')
            std::getline(f, palabra);
        else if (palabra != "P3")
            numeros.push_back(std::stoi(palabra));
    }
    return numeros;
}

} // namespace

TEST_F(BMP, RoundTripEveryDepth) {
    for (int32_t bits : {1, 4, 8, 16, 24, 32}) {
        for (int32_t alto : {5, -5}) {
            SCOPED_TRACE(testing::Message() << bits << " bits, height " << alto);
            TImagen original(7, alto, bits);
            Dibuja(original);
            const std::string ruta = Ruta("r.bmp");
            ASSERT_TRUE(original.GrabaBMP(ruta.c_str()));
            TDibIG leida;
            const auto resultado = leida.LeeBMP(ruta.c_str());
            ASSERT_TRUE(resultado) << resultado.Mensaje().c_str();
            EsperaIguales(original, leida); // header, table and bits byte for byte
            // The same in memory without the file header, as a DIB inside another container.
            TFicheroQORdatos salida(fqGrabaBinario);
            ASSERT_TRUE(original.GrabaDIB(salida, false));
            EXPECT_EQ(salida.Tamano(), 40 + 4 * original.NumColores() + original.BytesPixeles());
            TDibIG sinCabecera;
            ASSERT_EQ(
                LeeDeMemoria(sinCabecera, Bytes(salida.Datos(), salida.Datos() + salida.Tamano()), false),
                "");
            EsperaIguales(original, sinCabecera);
        }
    }
}

TEST_F(BMP, Written24BitFileIsHeaderPlusPixels) {
    TImagen img(5, 3, 24);
    img.Rellena(ColorRGB(1, 2, 3));
    ASSERT_TRUE(img.GrabaBMP(Ruta("a.bmp").c_str()));
    const Bytes b = LeeBytes(Ruta("a.bmp"));
    ASSERT_EQ(b.size(), 54u + 16 * 3);
    EXPECT_EQ(std::string(b.begin(), b.begin() + 2), "BM");
    EXPECT_EQ(b[2] | b[3] << 8 | b[4] << 16 | b[5] << 24, static_cast<int>(b.size()));
    EXPECT_EQ(b[10] | b[11] << 8 | b[12] << 16 | b[13] << 24, 54);
    EXPECT_EQ(b[54] * 100 + b[56], 301); // blue first
}

TEST_F(BMP, WriteFailures) {
    TImagen img(2, 2, 24);
    EXPECT_FALSE(img.GrabaBMP("/nonexistent-folder/x.bmp"));
    TFicheroQORdatos salida(fqGrabaBinario);
    TImagen sinPixeles(2, 2, 24, false);
    EXPECT_FALSE(sinPixeles.GrabaDIB(salida, true));
    EXPECT_EQ(salida.Tamano(), 0);
}

// A deep image may carry a short table; its pixels follow it.
TEST_F(BMP, DeepImageWithAColourTable) {
    TDibIG img;
    Bytes conTabla = CabeceraWindows(1, 1, 24, 0, 2);
    Anade(conTabla, {1, 1, 1, 0, 2, 2, 2, 0, 10, 20, 30, 0});
    ASSERT_EQ(LeeDeMemoria(img, Fichero(conTabla)), "");
    EXPECT_EQ(img.NumColores(), 2);
    EXPECT_EQ(img.Pixel(0, 0), ColorRGB(30, 20, 10));
}

TEST_F(BMP, BitFieldsReadMasksThenPixelsFromTheOffset) {
    Bytes dib = CabeceraWindows(2, 1, 16, 3);
    U32(dib, 0x7C00);
    U32(dib, 0x03E0);
    U32(dib, 0x001F);
    Anade(dib, Bytes(6, 0xEE)); // a gap before the pixels
    U16(dib, 0x7C00);           // red
    U16(dib, 0x001F);           // blue
    TDibIG img;
    ASSERT_EQ(LeeDeMemoria(img, Fichero(dib, 14 + 40 + 12 + 6)), "");
    ASSERT_NE(img.Mascaras(), nullptr);
    EXPECT_EQ(img.Mascaras()[0], 0x7C00u);
    EXPECT_EQ(img.Mascaras()[2], 0x1Fu);
    EXPECT_EQ(img.Pixel(0, 0), ColorRGB(248, 0, 0));
    EXPECT_EQ(img.Pixel(1, 0), ColorRGB(0, 0, 248));

    // Written back, the masks stay between header and pixels.
    TFicheroQORdatos salida(fqGrabaBinario);
    ASSERT_TRUE(img.GrabaDIB(salida, true));
    EXPECT_EQ(salida.Tamano(), 14 + 40 + 12 + 4);
    const Bytes escrito(salida.Datos(), salida.Datos() + salida.Tamano());
    EXPECT_EQ(escrito[10], 14 + 40 + 12);
    TDibIG otra;
    ASSERT_EQ(LeeDeMemoria(otra, escrito), "");
    EsperaIguales(img, otra);
}

TEST_F(BMP, PixelOffsetSkipsAGapOrIsIgnored) {
    Bytes tabla;
    for (int i = 0; i < 256; ++i)
        Anade(tabla, {static_cast<uint8_t>(i), 0, 0, 0});
    const Bytes pixeles{9, 200, 0, 0};
    Bytes junto = CabeceraWindows(2, 1, 8);
    Anade(junto, tabla);
    Bytes conHueco = junto;
    Anade(junto, pixeles);
    Anade(conHueco, Bytes(10, 0xEE));
    Anade(conHueco, pixeles);
    const uint32_t sinHueco = 14 + 40 + 1024;
    struct Caso {
        Bytes datos;
        uint32_t desplazamiento;
    };
    for (const Caso& c : {Caso{junto, 0}, Caso{junto, 3}, Caso{conHueco, sinHueco + 10}}) {
        SCOPED_TRACE(c.desplazamiento);
        TDibIG img;
        ASSERT_EQ(LeeDeMemoria(img, Fichero(c.datos, c.desplazamiento)), "");
        EXPECT_EQ(img.Indice(0, 0), 9u);
        EXPECT_EQ(img.Indice(1, 0), 200u);
    }
}

TEST_F(BMP, FilesWrittenByImageMagick) {
    const std::string carpeta = PM_TEST_DATA "/bmp/";
    const std::vector<int> ppm = LeePPM(carpeta + "imagemagick_5x3.ppm");
    ASSERT_EQ(ppm.size(), 3u + 15 * 3);
    struct Caso {
        const char* nombre;
        int32_t bits;
    };
    for (const Caso& c : {Caso{"imagemagick_5x3_24.bmp", 24}, Caso{"imagemagick_5x3_4.bmp", 4},
                          Caso{"imagemagick_5x3_os2.bmp", 4}}) {
        SCOPED_TRACE(c.nombre);
        TDibIG img;
        const auto leida = img.LeeBMP((carpeta + c.nombre).c_str());
        ASSERT_TRUE(leida) << leida.Mensaje().c_str();
        EXPECT_EQ(img.BitsPixel(), c.bits);
        ASSERT_EQ(img.Ancho(), ppm[0]);
        ASSERT_EQ(img.Alto(), ppm[1]); // bottom-up
        for (int y = 0, i = 3; y < 3; ++y)
            for (int x = 0; x < 5; ++x, i += 3)
                EXPECT_EQ(img.Pixel(x, 2 - y), ColorRGB(ppm[i], ppm[i + 1], ppm[i + 2])) << x << "," << y;
    }
}

TEST_F(BMP, ProgressCountsAndCancels) {
    TImagen img(200, 100, 24);
    Dibuja(img);
    const std::string ruta = Ruta("p.bmp");
    TMonitorProcesos escritura;
    ASSERT_TRUE(img.GrabaBMP(ruta.c_str(), &escritura));
    EXPECT_EQ(escritura.total, 60000);
    EXPECT_EQ(escritura.hechas, 60000);

    TDibIG leida;
    TMonitorProcesos progreso;
    ASSERT_TRUE(leida.LeeBMP(ruta.c_str(), &progreso));
    EXPECT_EQ(progreso.hechas, 60000);

    TMonitorProcesos cancelado;
    cancelado.cancelado = true;
    EXPECT_STREQ(MensajeDe(leida.LeeBMP(ruta.c_str(), &cancelado)).c_str(),
                 "Error reading the BMP file.Could not read DIB bits");
    EXPECT_EQ(cancelado.hechas, 10000); // the first chunk only
    EXPECT_FALSE(img.GrabaBMP(Ruta("q.bmp").c_str(), &cancelado));
}
