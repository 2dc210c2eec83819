// Every format read through the loader from files that ImageMagick makes at test time,
// compared pixel by pixel with ImageMagick's own decoding of the same file.
#include "Imagemagick_prueba.h"

#include "image/Tdibigformat.h"

#include <gtest/gtest.h>

namespace {

using prueba::TRGBA;

// N distinct colours over a 16 x 16 picture: colour (x + 16 y) mod N.
prueba::TPintura Colores(int n) {
    return [n](int x, int y) {
        const int i = (x + 16 * y) % n;
        return TRGBA{static_cast<uint8_t>(i * 37), static_cast<uint8_t>(i * 91 + 7),
                     static_cast<uint8_t>(i * 53 + 3)};
    };
}

TRGBA Degradado(int x, int y) {
    return {static_cast<uint8_t>(x * 16), static_cast<uint8_t>(y * 16),
            static_cast<uint8_t>(255 - x * 8 - y * 8)};
}

struct TCaso {
    const char* nombre;   // the file ImageMagick writes, extension included
    const char* opciones; // ImageMagick's options before the output name
    prueba::TPintura pintura;
    int bits;           // the loaded image's depth
    int colores;        // its colour-table entries
    bool arribaAbajo;   // stored top-down
    int tolerancia = 0; // per channel
    bool alfa = false;  // compare the alpha (of ConvierteConAlfa below 32 bits)
    // A shell command that writes the file from "origen.ppm" in place of ImageMagick.
    const char* escritor = nullptr;
};

class FormatosImagen : public prueba::Carpeta {
protected:
    void Compara(const TCaso& c) {
        SCOPED_TRACE(c.nombre);
        prueba::EscribePAM(dir / "origen.pam", 16, 16, c.pintura);
        const std::string destino = Ruta(c.nombre);
        // A format prefix ("PNG24:") in the options goes in front of the output name.
        const std::string opciones = c.opciones;
        const bool prefijo = !opciones.empty() && opciones.back() == ':';
        const auto corte = prefijo ? opciones.rfind(' ') + 1 : opciones.size();
        if (c.escritor) {
            ASSERT_TRUE(prueba::Convert(Ruta("origen.pam") + " -alpha off " + Ruta("origen.ppm")));
            ASSERT_EQ(std::system(("cd " + dir.string() + " && " + c.escritor + " > " + destino).c_str()), 0);
        } else {
            ASSERT_TRUE(prueba::Convert(Ruta("origen.pam") + " " + opciones.substr(0, corte) + " " +
                                        opciones.substr(corte) + destino));
        }
        TDibIGformat img;
        const auto leida = img.LeeImagen(destino.c_str());
        ASSERT_TRUE(leida) << leida.Mensaje().c_str();
        EXPECT_EQ(img.Ancho(), 16);
        EXPECT_EQ(img.AltoAbsoluto(), 16);
        EXPECT_EQ(img.BitsPixel(), c.bits);
        EXPECT_EQ(img.NumColores(), c.colores);
        EXPECT_EQ(img.Alto() < 0, c.arribaAbajo);
        if (c.alfa) {
            ASSERT_TRUE(img.ConvierteConAlfa());
        }
        const auto referencia = prueba::DecodificaIM(destino);
        ASSERT_EQ(referencia.size(), 256u);
        int distintos = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                TRGBA esperado = referencia[static_cast<size_t>(y * 16 + x)];
                TRGBA leido = prueba::ColorCargado(img, x, y);
                if (!c.alfa) esperado.a = leido.a = 255;
                if (esperado.a == 0 && leido.a == 0) continue; // no colour shows there
                const auto lejos = [&](uint8_t a, uint8_t b) { return std::abs(a - b) > c.tolerancia; };
                if (lejos(esperado.r, leido.r) || lejos(esperado.g, leido.g) || lejos(esperado.b, leido.b) ||
                    esperado.a != leido.a)
                    ++distintos;
            }
        EXPECT_EQ(distintos, 0);
    }
};

TRGBA ConAlfa(int x, int y) {
    TRGBA c = Degradado(x, y);
    c.a = static_cast<uint8_t>((x + y) * 8);
    return c;
}

// 256 colours (more than an 8-bit icon keeps), the alpha of ConAlfa.
TRGBA ColoresConAlfa(int x, int y) {
    TRGBA c = Colores(256)(x, y);
    c.r = static_cast<uint8_t>(x * 16 + y);
    c.a = ConAlfa(x, y).a;
    return c;
}

// The left half opaque, the right half fully transparent.
TRGBA MitadTransparente(int x, int y) {
    TRGBA c = Colores(5)(x, y);
    c.a = x < 8 ? 255 : 0;
    return c;
}

} // namespace

TEST_F(FormatosImagen, EveryFormatMatchesImageMagick) {
    const TCaso casos[] = {
        // GIF: the colour table's size sets the depth (17 colours need a table of 32, so 8 bits).
        {"c2.gif", "", Colores(2), 1, 2, false},
        {"c16.gif", "", Colores(16), 4, 16, false},
        {"c17.gif", "", Colores(17), 8, 256, false},
        {"interlaced.gif", "-interlace GIF", Colores(5), 4, 16, false},
        // A transparent index becomes the alpha of its entry.
        {"transparent.gif", "", MitadTransparente, 4, 16, false, 0, true},
        // PNG: palette and grey at 8 bits, RGB at 24, RGB with alpha at 32; 16-bit
        // channels and interlacing give the same pixels.
        {"palette.png",
         "-alpha off -define png:bit-depth=8 -define png:color-type=3 -define png:exclude-chunk=bKGD",
         Colores(16), 8, 16, false},
        {"grey.png", "-colorspace Gray -define png:color-type=0 -define png:bit-depth=8", Degradado, 8, 256,
         false},
        {"rgb.png", "PNG24:", Degradado, 24, 0, false},
        {"rgba.png", "PNG32:", ConAlfa, 32, 0, false, 0, true},
        {"interlaced.png", "-interlace PNG PNG24:", Degradado, 24, 0, false},
        {"rgb16.png", "-depth 16 PNG48:", Degradado, 24, 0, false},
        {"rgba16.png", "-depth 16 PNG64:", ConAlfa, 32, 0, false, 0, true},
        {"grey_alpha.png", "-colorspace Gray -define png:color-type=4", ConAlfa, 32, 0, false, 0, true},
        // Sun raster: 8 bits with a colour map, 24 bits (ImageMagick writes them red first).
        {"palette.ras", "-type Palette", Colores(40), 8, 256, true},
        {"truecolor.ras", "-type TrueColor", Degradado, 24, 0, true},
        // Run-length encoded (type 2), as netpbm writes it.
        {"rle.ras", "", Colores(40), 8, 256, true, 0, false, "pnmtorast -rle origen.ppm"},
        // BMP with the 124-byte header ImageMagick writes: 24 bits, 16-bit 5-6-5 bit fields
        // (ImageMagick widens 5 bits by repeating them; the reader scales), 32 bits with alpha.
        {"v5_24.bmp", "-alpha off BMP:", Degradado, 24, 0, false},
        {"v5_565.bmp", "-alpha off -define bmp:subtype=RGB565 BMP:", Degradado, 24, 0, false, 1},
        {"v5_alpha.bmp", "-alpha on BMP:", ConAlfa, 32, 0, false, 0, true},
        // An icon of more colours than 8 bits leave room for: 32 bits with its alpha.
        {"colours_256.ico", "", ColoresConAlfa, 32, 0, false, 0, true},
        // JPEG through the codec module, colour and grey.
        {"colour.jpg", "-quality 92", Degradado, 24, 0, true, 2},
        {"grey.jpg", "-colorspace Gray -quality 92", Degradado, 8, 256, true, 2},
        // TIFF through the codec module: RGB comes out blue first; a palette stays one.
        {"rgb.tif", "-type TrueColor", Degradado, 24, 0, true},
        {"palette.tif", "-type Palette", Colores(40), 8, 256, true},
        {"lzw_tiles.tif", "-alpha off -compress LZW -define tiff:tile-geometry=8x8", Degradado, 24, 0, true},
    };
    for (const TCaso& c : casos)
        Compara(c);
}
