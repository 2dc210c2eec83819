// Hostile BMP files: every one must be refused with a message, never crash or read
// out of bounds. The files and the message each must give are made by
// tests/data/bmp/genera_malformados.py.
#include "Bmp_prueba.h"

#include "support/Ficheroqor.h"
#include "support/Ficheroqordatos.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>

namespace {

const std::string prefijo = "Error reading the BMP file.";
const fs::path carpeta = PM_TEST_DATA "/bmp/malformed";

std::map<std::string, std::string> Esperados() {
    std::map<std::string, std::string> esperados;
    std::ifstream f(carpeta / "expected.txt");
    std::string linea;
    while (std::getline(f, linea)) {
        const auto barra = linea.find('|');
        if (barra != std::string::npos) esperados[linea.substr(0, barra)] = linea.substr(barra + 1);
    }
    return esperados;
}

} // namespace

TEST(BMPmalformado, EveryFileIsRefusedWithItsMessage) {
    const auto esperados = Esperados();
    ASSERT_GT(esperados.size(), 50u);
    int vistos = 0;
    for (const auto& entrada : fs::directory_iterator(carpeta)) {
        if (entrada.path().extension() != ".bmp") continue;
        const std::string nombre = entrada.path().filename().string();
        SCOPED_TRACE(nombre);
        ++vistos;
        TDibIG img;
        const auto leida = img.LeeBMP(entrada.path().c_str());
        EXPECT_FALSE(leida);
        const std::string texto = MensajeDe(leida).c_str();
        EXPECT_EQ(texto.rfind(prefijo, 0), 0u) << texto;
        const auto it = esperados.find(nombre);
        ASSERT_NE(it, esperados.end()) << "not listed in expected.txt";
        EXPECT_EQ(texto, prefijo + it->second);
    }
    EXPECT_EQ(vistos, static_cast<int>(esperados.size()));
}

// Every truncation of a valid file is refused with the reader's message.
TEST(BMPmalformado, Truncated) {
    for (const char* valido : {"imagemagick_5x3_24.bmp", "imagemagick_5x3_os2.bmp"}) {
        const prueba::Bytes datos = prueba::LeeBytes(PM_TEST_DATA "/bmp/" + std::string(valido));
        ASSERT_FALSE(datos.empty());
        for (size_t n = 0; n < datos.size(); ++n) {
            TFicheroQORdatos f(fqLeeBinario, reinterpret_cast<const char*>(datos.data()),
                               static_cast<int32_t>(n));
            TDibIG img;
            const auto leida = img.LeeDIB(f, true);
            EXPECT_FALSE(leida) << valido << " cut at " << n;
            EXPECT_EQ(std::string(MensajeDe(leida).c_str()).rfind(prefijo, 0), 0u);
        }
    }
}
