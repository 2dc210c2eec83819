// Each file of tests/data/<format>/{built,malformed} gives the result its folder's
// expected.txt lists (tests/data/genera_imagenes.py): the loader's message and an empty
// image, or an image of the listed size, depth and pixels; a cut file never crashes.
#include "Imagemagick_prueba.h"

#include "image/Tdibigformat.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

// The BMP reader's own malformed files give only its message's suffix (Test_bmp_malformados.cpp).
const char* const carpetas[] = {"bmp/built",     "gif/built",     "gif/malformed", "png/built",
                                "png/malformed", "ico/built",     "ico/malformed", "ras/built",
                                "ras/malformed", "jpg/malformed", "tif/built",     "tif/malformed"};

struct TEsperado {
    std::string fichero;
    std::string resultado;
};

std::vector<TEsperado> Esperados(const fs::path& carpeta) {
    std::vector<TEsperado> lista;
    std::ifstream f(carpeta / "expected.txt");
    std::string linea;
    while (std::getline(f, linea)) {
        const auto barra = linea.find('|');
        if (barra != std::string::npos) lista.push_back({linea.substr(0, barra), linea.substr(barra + 1)});
    }
    return lista;
}

void Comprueba(const fs::path& ruta, const std::string& esperado) {
    TDibIGformat img;
    const auto lectura = img.LeeImagen(ruta.c_str());
    const bool correcto = lectura.Correcto();
    const DString error = MensajeDe(lectura);
    if (esperado.rfind("ok ", 0) == 0) {
        ASSERT_TRUE(correcto) << error.c_str();
        std::istringstream s(esperado.substr(3));
        int ancho = 0, alto = 0, bits = 0;
        std::string crc;
        s >> ancho >> alto >> bits >> crc;
        EXPECT_EQ(img.Ancho(), ancho);
        EXPECT_EQ(img.AltoAbsoluto(), alto);
        EXPECT_EQ(img.BitsPixel(), bits);
        if (!crc.empty()) {
            char texto[9];
            std::snprintf(texto, sizeof texto, "%08X", prueba::CrcPintura(img));
            EXPECT_EQ(texto, crc);
        }
        return;
    }
    EXPECT_FALSE(correcto);
    EXPECT_TRUE(img.Vacia());
    std::string mensaje = esperado;
    if (const auto marca = mensaje.find("%s"); marca != std::string::npos)
        mensaje.replace(marca, 2, ruta.string());
    const std::string texto = error.c_str();
    if (!mensaje.empty() && mensaje.back() == '*')
        EXPECT_EQ(texto.substr(0, mensaje.size() - 1), mensaje.substr(0, mensaje.size() - 1)) << texto;
    else
        EXPECT_EQ(texto, mensaje);
}

class FicherosImagen : public prueba::Carpeta {};

} // namespace

TEST_F(FicherosImagen, EveryFileGivesItsListedResult) {
    int vistos = 0;
    for (const char* carpeta : carpetas) {
        const fs::path dir = fs::path(PM_TEST_DATA) / carpeta;
        const auto esperados = Esperados(dir);
        // Every file of the folder is listed, and every listed file is there.
        EXPECT_EQ(esperados.size() + 1, static_cast<size_t>(std::distance(fs::directory_iterator(dir), {})))
            << carpeta;
        for (const TEsperado& e : esperados) {
            SCOPED_TRACE(std::string(carpeta) + "/" + e.fichero);
            Comprueba(dir / e.fichero, e.resultado);
            ++vistos;
        }
    }
    EXPECT_GT(vistos, 180);
}

// Each cut of one valid file per format.
TEST_F(FicherosImagen, EveryCutOfAValidFileEndsCleanly) {
    const char* const validos[] = {"gif/built/reference_4x4.gif",       "png/built/reference_rgb.png",
                                   "ico/built/bmp_8_bit_with_mask.ico", "ras/built/8_bit_map_768.ras",
                                   "tif/built/rgb_strip.tif",           "jpg/malformed/no_end_marker.jpg"};
    for (const char* valido : validos) {
        const std::string datos = prueba::LeeFichero(fs::path(PM_TEST_DATA) / valido);
        ASSERT_FALSE(datos.empty()) << valido;
        const std::string nombre = "cut" + fs::path(valido).extension().string();
        for (size_t n = 0; n < datos.size(); n += 1 + n / 64) {
            const std::string ruta = Escribe(nombre.c_str(), datos.substr(0, n));
            TDibIGformat img;
            if (const auto leida = img.LeeImagen(ruta.c_str()); !leida) {
                EXPECT_FALSE(leida.Mensaje().IsEmpty()) << valido << " cut at " << n;
                EXPECT_TRUE(img.Vacia());
            } else {
                EXPECT_GT(img.Ancho(), 0) << valido << " cut at " << n;
            }
        }
    }
}
