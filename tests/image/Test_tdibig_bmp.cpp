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

bool LeeDeMemoria(TDibIG& img, const Bytes& datos, bool conCabecera, DString& error) {
    TFicheroQORdatos f(fqLeeBinario, reinterpret_cast<const char*>(datos.data()),
                       static_cast<int32_t>(datos.size()));
    return img.LeeDIB(f, conCabecera, error);
}

// A P3 file: width, height, then red, green and blue of every pixel from the top row down.
struct TImagenPPM {
    int ancho = 0, alto = 0;
    std::vector<uint32_t> colores;
    uint32_t En(int x, int yArriba) const { return colores[static_cast<size_t>(yArriba * ancho + x)]; }
};

TImagenPPM LeePPM(const std::string& ruta) {
    std::ifstream f(ruta);
    std::string palabra;
    std::vector<int> numeros;
    while (f >> palabra) {
        if (palabra[0] == '#') {
            std::getline(f, palabra);
            continue;
        }
        if (palabra != "P3") numeros.push_back(std::stoi(palabra));
    }
    TImagenPPM ppm;
    ppm.ancho = numeros.at(0);
    ppm.alto = numeros.at(1);
    for (size_t i = 3; i + 2 < numeros.size(); i += 3)
        ppm.colores.push_back(ColorRGB(numeros[i], numeros[i + 1], numeros[i + 2]));
    return ppm;
}

} // namespace

TEST(BMP, RoundTripEveryDepth) {
    CarpetaTemporal dir;
    for (int32_t bits : {1, 4, 8, 16, 24, 32}) {
        for (int32_t alto : {5, -5}) {
            SCOPED_TRACE(testing::Message() << bits << " bits, height " << alto);
            TDibIG original;
            original.Crea(7, alto, bits, 0, nullptr, true);
            Dibuja(original);
            const std::string ruta = dir.Ruta("r.bmp");
            ASSERT_TRUE(original.GrabaBMP(ruta.c_str()));
            TDibIG leida;
            DString error;
            ASSERT_TRUE(leida.LeeBMP(ruta.c_str(), error)) << error.c_str();
            EsperaIguales(original, leida);
            EXPECT_EQ(leida.Alto(), alto);
            for (int32_t y = 0; y < 5; ++y)
                for (int32_t x = 0; x < 7; ++x)
                    ASSERT_EQ(leida.Pixel(x, y), original.Pixel(x, y));
        }
    }
}

TEST(BMP, WithoutFileHeaderInMemory) {
    TDibIG original;
    original.Crea(3, 2, 8, 0, nullptr, true);
    Dibuja(original);
    TFicheroQORdatos salida(fqGrabaBinario);
    ASSERT_TRUE(original.GrabaDIB(salida, false));
    EXPECT_EQ(salida.Tamano(), 40 + 1024 + 8);
    const Bytes datos(salida.Datos(), salida.Datos() + salida.Tamano());
    TDibIG leida;
    DString error;
    ASSERT_TRUE(LeeDeMemoria(leida, datos, false, error)) << error.c_str();
    EsperaIguales(original, leida);
}

TEST(BMP, Written24BitFileIsHeaderPlusPixels) {
    CarpetaTemporal dir;
    TDibIG img;
    img.Crea(5, 3, 24, 0, nullptr, true);
    img.Rellena(ColorRGB(1, 2, 3));
    const std::string ruta = dir.Ruta("a.bmp");
    ASSERT_TRUE(img.GrabaBMP(ruta.c_str()));
    const Bytes b = LeeTodo(ruta);
    ASSERT_EQ(b.size(), 54u + 16 * 3);
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(b[2] | b[3] << 8 | b[4] << 16 | b[5] << 24, static_cast<int>(b.size()));
    EXPECT_EQ(b[10] | b[11] << 8 | b[12] << 16 | b[13] << 24, 54);
    EXPECT_EQ(b[54], 3); // blue first
    EXPECT_EQ(b[56], 1);
}

TEST(BMP, WriteFailures) {
    TDibIG vacia;
    EXPECT_FALSE(vacia.GrabaBMP("/nonexistent-folder/x.bmp"));
    TDibIG img;
    img.Crea(2, 2, 24, 0, nullptr, true);
    EXPECT_FALSE(img.GrabaBMP("/nonexistent-folder/x.bmp"));
    TFicheroQORdatos salida(fqGrabaBinario);
    EXPECT_FALSE(vacia.GrabaDIB(salida, true));
    TDibIG sinPixeles;
    sinPixeles.Crea(2, 2, 24, 0, nullptr, false);
    EXPECT_FALSE(sinPixeles.GrabaDIB(salida, true));
    EXPECT_EQ(salida.Tamano(), 0);
}

TEST(BMP, OS2HeaderExpandsTheColourTable) {
    Bytes dib = CabeceraOS2(3, 2, 8);
    for (int i = 0; i < 256; ++i) {
        dib.push_back(static_cast<uint8_t>(i));       // blue
        dib.push_back(static_cast<uint8_t>(255 - i)); // green
        dib.push_back(static_cast<uint8_t>(i / 2));   // red
    }
    Anade(dib, {0, 1, 2, 0, 253, 254, 255, 0});
    TDibIG img;
    DString error;
    ASSERT_TRUE(LeeDeMemoria(img, Fichero(dib), true, error)) << error.c_str();
    EXPECT_EQ(img.Cabecera()->tamano, 40u);
    EXPECT_EQ(img.Ancho(), 3);
    EXPECT_EQ(img.Alto(), 2);
    EXPECT_EQ(img.Cabecera()->compresion, 0u);
    EXPECT_EQ(img.Cabecera()->coloresUsados, 256u);
    ASSERT_EQ(img.NumColores(), 256);
    for (int i = 0; i < 256; ++i) {
        const TColorPaleta& c = img.TablaColores()[i];
        ASSERT_EQ(c.azul, i);
        ASSERT_EQ(c.verde, 255 - i);
        ASSERT_EQ(c.rojo, i / 2);
        ASSERT_EQ(c.reservado, 0);
    }
    EXPECT_EQ(img.Pixel(1, 0), ColorRGB(0, 254, 1));
    EXPECT_EQ(img.Pixel(2, 1), ColorRGB(127, 0, 255));
}

TEST(BMP, ColourTableSizes) {
    TDibIG img;
    DString error;
    Bytes ocho = CabeceraWindows(1, 1, 8);
    Anade(ocho, Bytes(1024 + 4, 7));
    ASSERT_TRUE(LeeDeMemoria(img, Fichero(ocho), true, error));
    EXPECT_EQ(img.NumColores(), 256);
    Bytes veinticuatro = CabeceraWindows(1, 1, 24);
    Anade(veinticuatro, {10, 20, 30, 0});
    ASSERT_TRUE(LeeDeMemoria(img, Fichero(veinticuatro), true, error));
    EXPECT_EQ(img.NumColores(), 0);
    EXPECT_EQ(img.TablaColores(), nullptr);
    EXPECT_EQ(img.Pixel(0, 0), ColorRGB(30, 20, 10));
    // A deep image may carry a short table; its pixels follow it.
    Bytes conTabla = CabeceraWindows(1, 1, 24, 0, 2);
    Anade(conTabla, {1, 1, 1, 0, 2, 2, 2, 0, 10, 20, 30, 0});
    ASSERT_TRUE(LeeDeMemoria(img, Fichero(conTabla), true, error));
    EXPECT_EQ(img.NumColores(), 2);
    EXPECT_EQ(img.Pixel(0, 0), ColorRGB(30, 20, 10));
}

TEST(BMP, TopDownFileKeepsItsHeight) {
    Bytes dib = CabeceraWindows(2, -2, 24);
    Anade(dib, {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0});
    TDibIG img;
    DString error;
    ASSERT_TRUE(LeeDeMemoria(img, Fichero(dib), true, error)) << error.c_str();
    EXPECT_EQ(img.Alto(), -2);
    EXPECT_EQ(img.AltoAbsoluto(), 2);
    EXPECT_EQ(img.Pixel(0, 0), ColorRGB(3, 2, 1)); // the first stored row: the top one
    EXPECT_EQ(img.Pixel(1, 1), ColorRGB(12, 11, 10));
}

TEST(BMP, BitFieldsReadMasksThenPixelsFromTheOffset) {
    Bytes dib = CabeceraWindows(2, 1, 16, 3);
    U32(dib, 0x7C00);
    U32(dib, 0x03E0);
    U32(dib, 0x001F);
    Anade(dib, Bytes(6, 0xEE)); // a gap before the pixels
    U16(dib, 0x7C00);           // red
    U16(dib, 0x001F);           // blue
    TDibIG img;
    DString error;
    ASSERT_TRUE(LeeDeMemoria(img, Fichero(dib, 14 + 40 + 12 + 6), true, error)) << error.c_str();
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
    ASSERT_TRUE(LeeDeMemoria(otra, escrito, true, error));
    EsperaIguales(img, otra);
}

TEST(BMP, PixelOffsetSkipsAGapOrIsIgnored) {
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
    for (const Caso& c : {Caso{junto, 0}, Caso{junto, sinHueco}, Caso{junto, 14}, Caso{junto, 3},
                          Caso{conHueco, sinHueco + 10}}) {
        SCOPED_TRACE(c.desplazamiento);
        TDibIG img;
        DString error;
        ASSERT_TRUE(LeeDeMemoria(img, Fichero(c.datos, c.desplazamiento), true, error)) << error.c_str();
        EXPECT_EQ(img.Indice(0, 0), 9u);
        EXPECT_EQ(img.Indice(1, 0), 200u);
    }
}

TEST(BMP, FilesWrittenByImageMagick) {
    const std::string carpeta = PM_TEST_DATA "/bmp/";
    const TImagenPPM ppm = LeePPM(carpeta + "imagemagick_5x3.ppm");
    ASSERT_EQ(ppm.colores.size(), 15u);
    struct Caso {
        const char* nombre;
        int32_t bits;
    };
    for (const Caso& c : {Caso{"imagemagick_5x3_24.bmp", 24}, Caso{"imagemagick_5x3_4.bmp", 4},
                          Caso{"imagemagick_5x3_os2.bmp", 4}}) {
        SCOPED_TRACE(c.nombre);
        TDibIG img;
        DString error;
        ASSERT_TRUE(img.LeeBMP((carpeta + c.nombre).c_str(), error)) << error.c_str();
        EXPECT_EQ(img.BitsPixel(), c.bits);
        ASSERT_EQ(img.Ancho(), ppm.ancho);
        ASSERT_EQ(img.Alto(), ppm.alto); // bottom-up
        for (int y = 0; y < ppm.alto; ++y)
            for (int x = 0; x < ppm.ancho; ++x)
                EXPECT_EQ(img.Pixel(x, ppm.alto - 1 - y), ppm.En(x, y)) << x << "," << y;
    }
}

TEST(BMP, ProgressCountsAndCancels) {
    CarpetaTemporal dir;
    TDibIG img;
    img.Crea(200, 100, 24, 0, nullptr, true);
    Dibuja(img);
    const std::string ruta = dir.Ruta("p.bmp");
    TMonitorProcesos escritura;
    ASSERT_TRUE(img.GrabaBMP(ruta.c_str(), &escritura));
    EXPECT_EQ(escritura.total, 60000);
    EXPECT_EQ(escritura.hechas, 60000);

    TDibIG leida;
    DString error;
    TMonitorProcesos progreso;
    ASSERT_TRUE(leida.LeeBMP(ruta.c_str(), error, &progreso));
    EXPECT_EQ(progreso.hechas, 60000);

    TMonitorProcesos cancelado;
    cancelado.cancelado = true;
    EXPECT_FALSE(leida.LeeBMP(ruta.c_str(), error, &cancelado));
    EXPECT_STREQ(error.c_str(), "Error reading the BMP file.Could not read DIB bits");
    EXPECT_EQ(cancelado.hechas, 10000); // the first chunk only
    EXPECT_FALSE(img.GrabaBMP(dir.Ruta("q.bmp").c_str(), &cancelado));
}

TEST(BMP, MissingFile) {
    TDibIG img;
    DString error;
    EXPECT_FALSE(img.LeeBMP("/nonexistent-folder/none.bmp", error));
    EXPECT_STREQ(error.c_str(), "Error: File not found: /nonexistent-folder/none.bmp");
    CarpetaTemporal dir;
    error = "";
    EXPECT_FALSE(img.LeeBMP(dir.Ruta("").c_str(), error)); // a folder, not a file
    EXPECT_FALSE(error.IsEmpty());
}
