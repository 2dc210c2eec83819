// Building bitmaps: Crea, Prepara, DesdeBitmap, and images without pixels.
#include "Bmp_prueba.h"

#include "support/Throw_qor.h"

#include <gtest/gtest.h>

#include <functional>

using namespace prueba;

TEST(TDibIG, EmptyImagesAndImagesWithoutPixelsAreSafe) {
    TDibIG vacia;
    EXPECT_EQ(vacia.BuscaIndice(0, true), -1);
    TImagen sinPixeles(4, 4, 24, false);
    TImagen fuente(4, 4, 24);
    for (TDibIG* img : {static_cast<TDibIG*>(&vacia), static_cast<TDibIG*>(&sinPixeles)}) {
        img->PonPixel(1, 1, 0xFFFFFF);
        img->PonIndice(1, 1, 1);
        img->Rellena(0xFFFFFF);
        img->IntercambiaRojoAzul();
        EXPECT_EQ(img->Pixel(1, 1), 0u);
        EXPECT_EQ(img->Indice(1, 1), 0u);
        EXPECT_FALSE(img->Convierte(32));
    }
    EXPECT_FALSE(vacia.ReduceA256(fuente));
    EXPECT_TRUE(TDibIG(sinPixeles, false, true).Vacia());
    TDibIG reducida;
    EXPECT_TRUE(sinPixeles.ReduceA256(reducida)); // every pixel reads black
    EXPECT_EQ(reducida.Indice(0, 0), 1u);
}

TEST(TDibIG, CreaGivesADefaultTable) {
    TImagen img(5, -3, 8);
    // Without a palette: a grey ramp.
    EXPECT_EQ(img.ColorTabla(128), ColorRGB(128, 128, 128));
    EXPECT_EQ(img.ColorTabla(255), 0xFFFFFFu);
    img.Crea(2, 2, 8, 1, nullptr, true); // a single grey: black, not a division by zero
    EXPECT_EQ(img.NumColores(), 1);
    EXPECT_EQ(img.ColorTabla(0), 0u);
    const TColorPaleta paleta[3] = {{1, 2, 3, 99}, {4, 5, 6, 99}, {7, 8, 9, 99}};
    img.Crea(2, 2, 8, 3, paleta, true);
    EXPECT_EQ(img.NumColores(), 3);
    EXPECT_EQ(img.ColorTabla(2), ColorRGB(9, 8, 7));
    EXPECT_EQ(img.TablaColores()[1].reservado, 0);
}

TEST(TDibIG, SizesThatCannotBeHeldRaise) {
    TDibIG img;
    TCabeceraDIB cab;
    cab.tamano = 12; // only the 40-byte header is held
    cab.ancho = cab.alto = 1;
    cab.bitsPixel = 24;
    cab.tamanoImagen = 4;
    const std::pair<std::function<void()>, const char*> casos[] = {
        {[&] { img.Crea(-1, 4, 24, 0, nullptr, true); }, "TXOutOfMemory::Raise()"},
        {[&] { img.Crea(4, INT32_MIN, 32, 0, nullptr, true); }, "TXOutOfMemory::Raise()"},
        {[&] { img.Prepara(70000, 70000, 24, 0, nullptr); }, "TXOutOfMemory::Raise()"},
        {[&] { img.Reserva(cab); }, "TXGdi::Raise(IDS_INVALIDDIBHANDLE)"}};
    for (const auto& [f, mensaje] : casos) {
        try {
            f();
            ADD_FAILURE() << mensaje << " not raised";
        } catch (const TXTextoQOR& e) {
            EXPECT_STREQ(e.what(), mensaje);
        }
        EXPECT_TRUE(img.Vacia());
    }
}

TEST(TDibIG, PreparaKeepsAMatchingImage) {
    TDibIG img;
    ASSERT_TRUE(img.Prepara(4, 3, 24, 0, nullptr));
    img.PonPixel(1, 1, 0x123456);
    ASSERT_TRUE(img.Prepara(4, 3, 24, 0, nullptr));
    EXPECT_EQ(img.Pixel(1, 1), 0x123456u);
    std::vector<TColorPaleta> paleta(300, TColorPaleta{10, 20, 30, 40});
    img.Prepara(2, 2, 8, 300, paleta.data()); // never beyond the 256 entries
    EXPECT_EQ(img.NumColores(), 256);
    EXPECT_EQ(img.ColorTabla(255), ColorRGB(30, 20, 10));
    EXPECT_EQ(img.TablaColores()[0].reservado, 0);
}

TEST(TDibIG, DesdeBitmapKeepsThePictureWhateverTheRowOrder) {
    for (int32_t altoFuente : {3, -3}) {
        TImagen fuente(4, altoFuente, 24);
        Dibuja(fuente);
        // Picture row t (from the top) lies in memory row t of a top-down image and
        // row |h| - 1 - t of a bottom-up one.
        const auto arriba = [](const TDibIG& i, int x, int t) {
            return i.Pixel(x, i.Alto() < 0 ? t : i.AltoAbsoluto() - 1 - t);
        };
        for (bool abajoArriba : {true, false}) {
            SCOPED_TRACE(testing::Message() << altoFuente << " " << abajoArriba);
            TDibIG img;
            ASSERT_TRUE(img.DesdeBitmap(fuente, false, abajoArriba));
            EXPECT_EQ(img.Alto(), abajoArriba ? 3 : -3);
            for (int t = 0; t < 3; ++t)
                for (int x = 0; x < 4; ++x)
                    EXPECT_EQ(arriba(img, x, t), arriba(fuente, x, t));
        }
    }
}

TEST(TDibIG, DesdeBitmapTableConversionAndItself) {
    TImagen ocho(3, 2, 8);
    ocho.TablaColores()[5] = {1, 2, 3, 0};
    ocho.PonIndice(1, 1, 5);
    TDibIG img(ocho, false, true);
    EXPECT_EQ(img.Cabecera()->coloresImportantes, 256u);
    EXPECT_EQ(img.Pixel(1, 1), ColorRGB(3, 2, 1));

    TImagen dieciseis(2, 2, 16);
    dieciseis.PonIndice(0, 0, 0x7C00);
    ASSERT_TRUE(img.DesdeBitmap(dieciseis, true, true));
    EXPECT_EQ(img.BitsPixel(), 24);
    EXPECT_EQ(img.Pixel(0, 0), ColorRGB(248, 0, 0));
    ASSERT_TRUE(img.DesdeBitmap(img, false, false)); // rebuilt from itself
    EXPECT_EQ(img.Alto(), -2);
    EXPECT_EQ(img.Pixel(0, 1), ColorRGB(248, 0, 0));
    TDibIG vacia;
    EXPECT_FALSE(img.DesdeBitmap(vacia, false, true));
    EXPECT_TRUE(img.Vacia());
}

TEST(TDibIG, EntregaCopiaHandsOverAnEqualCopy) {
    struct TReceptor : TReceptorDibIG {
        void Recibe(TDibIG& copia, const TDibIG& original) override {
            ++veces;
            origen = &original;
            ASSERT_EQ(copia.Alto(), original.Alto());
            for (int y = 0; y < copia.AltoAbsoluto(); ++y)
                for (int x = 0; x < copia.Ancho(); ++x)
                    EXPECT_EQ(copia.Pixel(x, y), original.Pixel(x, y));
        }
        int veces = 0;
        const TDibIG* origen = nullptr;
    } receptor;
    TImagen imagen(4, -3, 24);
    Dibuja(imagen);
    imagen.EntregaCopia(receptor);
    EXPECT_EQ(receptor.veces, 1);
    EXPECT_EQ(receptor.origen, &imagen);
    TDibIG().EntregaCopia(receptor); // an empty image hands over nothing
    EXPECT_EQ(receptor.veces, 1);
}
