// The icon writers: icon files (with a PNG image at 256) read back by our own reader and
// by ImageMagick, and what the writers refuse.
#include "Imagemagick_prueba.h"

#include "image/Graba_ico.h"
#include "image/Graba_icono.h"
#include "image/Lector_ico.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using prueba::TRGBA;

// A picture with every alpha from clear to opaque and colours that tell the pixels apart.
TRGBA Muestra(int x, int y) {
    return {static_cast<uint8_t>(x * 7), static_cast<uint8_t>(y * 5), static_cast<uint8_t>(x + y),
            static_cast<uint8_t>((x * 16 + y) % 256)};
}

std::unique_ptr<TDibIG> Imagen(int lado) {
    auto img = std::make_unique<TDibIG>();
    img->Crea(lado, lado, 32, 0, nullptr, true);
    for (int y = 0; y < lado; ++y)
        for (int x = 0; x < lado; ++x) {
            const TRGBA c = Muestra(x, y);
            uint8_t* p =
                img->Bits() + static_cast<size_t>(prueba::FilaMemoria(*img, y)) * img->BytesFila() + 4 * x;
            p[0] = c.b, p[1] = c.g, p[2] = c.r, p[3] = c.a;
        }
    return img;
}

// The pixels of a picture as they should come back.
void EsperaMuestra(const TDibIG& img, int lado) {
    ASSERT_EQ(img.Ancho(), lado);
    ASSERT_EQ(img.AltoAbsoluto(), lado);
    for (int y = 0; y < lado; ++y)
        for (int x = 0; x < lado; ++x)
            ASSERT_EQ(prueba::ColorCargado(img, x, y), Muestra(x, y)) << lado << ": " << x << "," << y;
}

class EscritorIcono : public prueba::Carpeta {};

} // namespace

TEST_F(EscritorIcono, AnIconFileHoldsEverySizeAsItWasGiven) {
    TImagenesIcono imagenes;
    for (int lado : {16, 24, 48, 256})
        imagenes.push_back(Imagen(lado));
    const std::string ico = Ruta("a.ico");
    const auto grabado = GrabaIcono(imagenes, TFormatoIcono::ico, ico);
    ASSERT_TRUE(grabado) << MensajeDe(grabado).c_str();

    // Our reader: BMP images below 256, a PNG at 256, every pixel and alpha back; the
    // AND mask marks the pixels less than half opaque.
    std::vector<TImagenDirectorio> lista;
    ASSERT_TRUE(ListaICO(ico.c_str(), lista));
    ASSERT_EQ(lista.size(), 4u);
    for (size_t i = 0; i < lista.size(); ++i) {
        const int lado = imagenes[i]->Ancho();
        EXPECT_EQ(lista[i].ancho, lado);
        EXPECT_EQ(lista[i].alto, lado);
        EXPECT_EQ(lista[i].bits, 32);
        EXPECT_EQ(lista[i].png, lado == 256);
        TImagenIcono icono;
        ASSERT_TRUE(DecodificaICO(ico.c_str(), i, icono));
        EsperaMuestra(icono.color, lado);
        for (int y = 0; y < lado; ++y)
            for (int x = 0; x < lado; ++x)
                ASSERT_EQ(icono.mascara.Indice(x, prueba::FilaMemoria(icono.mascara, y)),
                          Muestra(x, y).a < 128 ? 1u : 0u);
    }
    EXPECT_FALSE(DecodificaICO(ico.c_str(), 4, *std::make_unique<TImagenIcono>()));

    // ImageMagick finds the same sizes, and decodes the same pixels.
    FILE* p = ::popen(("identify -format '%wx%h,' '" + ico + "' 2>/dev/null").c_str(), "r");
    char salida[256] = {};
    std::fread(salida, 1, sizeof salida - 1, p);
    ::pclose(p);
    EXPECT_STREQ(salida, "16x16,24x24,48x48,256x256,");
    const auto im = prueba::DecodificaIM(ico);
    ASSERT_EQ(im.size(), 256u);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(im[static_cast<size_t>(i)], Muestra(i % 16, i / 16)) << i;
}

TEST_F(EscritorIcono, WhatCannotBeWrittenIsRefusedWithAReason) {
    TImagenesIcono ninguna, grande, plana, una;
    grande.push_back(Imagen(257));
    plana.push_back(std::make_unique<TDibIG>());
    plana.back()->Crea(16, 16, 24, 0, nullptr, true);
    una.push_back(Imagen(16));
    const std::string fichero = Escribe("fichero", "x");
    struct TCaso {
        const char* que;
        std::function<TResultado<void>()> graba;
        const char* mensaje;
    } casos[] = {
        {"no image", [&] { return GrabaIcono(ninguna, TFormatoIcono::ico, Ruta("a.ico")); },
         "An icon file holds from 1 to 256 images."},
        {"257 pixels", [&] { return GrabaIcono(grande, TFormatoIcono::ico, Ruta("a.ico")); },
         "An icon image is a 32-bit picture of 1 to 256 pixels a side."},
        {"24 bits", [&] { return GrabaIcono(plana, TFormatoIcono::ico, Ruta("a.ico")); },
         "An icon image is a 32-bit picture of 1 to 256 pixels a side."},
        {"two in a PNG",
         [&] {
             una.push_back(Imagen(8));
             auto r = GrabaIcono(una, TFormatoIcono::png, Ruta("a.png"));
             una.pop_back();
             return r;
         },
         "A PNG file holds one size of the icon."},
        {"theme folder over a file", [&] { return GrabaTemaIconos(una, fichero, "x"); },
         "Can't make the folder *"},
    };
    for (auto& c : casos) {
        SCOPED_TRACE(c.que);
        const auto grabado = c.graba();
        EXPECT_FALSE(grabado);
        const std::string mensaje = c.mensaje, texto = MensajeDe(grabado).c_str();
        if (mensaje.back() == '*')
            EXPECT_EQ(texto.substr(0, mensaje.size() - 1), mensaje.substr(0, mensaje.size() - 1));
        else
            EXPECT_EQ(texto, mensaje);
    }
    EXPECT_FALSE(fs::exists(dir / "a.ico"));
    EXPECT_FALSE(fs::exists(dir / "x.png"));
}
