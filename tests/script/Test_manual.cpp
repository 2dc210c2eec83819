// The manual documents the language as the parser reads it: every command has an
// entry of its own, and every example reads without an error.
#include "Imagen_prueba.h"
#include "Lee_script.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct TManual {
    std::set<std::string> entradas;                    // the "### NAME" headings
    std::vector<std::pair<int, std::string>> ejemplos; // line, script
};

TManual LeeManual() {
    std::ifstream f(PM_MANUAL);
    TManual m;
    std::string linea;
    int numero = 0;
    while (std::getline(f, linea)) {
        ++numero;
        if (linea.rfind("### ", 0) == 0) m.entradas.insert(linea.substr(4));
        if (linea != "```3di") continue;
        std::string script;
        const int inicio = numero;
        while (std::getline(f, linea) && linea != "```") {
            ++numero;
            script += linea + "\n";
        }
        ++numero;
        m.ejemplos.emplace_back(inicio, script);
    }
    return m;
}

} // namespace

TEST(Manual, EveryCommandHasAnEntryAndEveryExampleReads) {
    const TManual m = LeeManual();
    ASSERT_FALSE(m.ejemplos.empty()) << PM_MANUAL;
    for (const char* orden : Comandos3Di())
        EXPECT_TRUE(m.entradas.count(orden)) << "no entry for " << orden;
    for (const char* orden : {"#define", "VOID"})
        EXPECT_TRUE(m.entradas.count(orden)) << "no entry for " << orden;
    // The examples read beside the image that the TEXTURET example names, as the build
    // draws them beside the one it makes.
    const auto carpeta = std::filesystem::temp_directory_path() / ("pm_manual_" + std::to_string(::getpid()));
    std::filesystem::create_directories(carpeta);
    ASSERT_TRUE(Imagen(64, 64, true, [](int x, int y) {
                    return (x / 16 + y / 16) % 2 ? 0x282828u : 0x3CC8EBu;
                })->GrabaBMP((carpeta / "checker.bmp").c_str()));
    for (const auto& [linea, script] : m.ejemplos) {
        TLecturaEscena escena;
        escena.nombreFichero = (carpeta / "example.3di").c_str();
        const auto r = LeeScript(escena, script);
        EXPECT_TRUE(r.correcto && r.errores.empty()) << "manual line " << linea << ": " << r.errores;
        EXPECT_GT(escena.Escena().Count(), 0) << "manual line " << linea << " draws nothing";
    }
    std::filesystem::remove_all(carpeta);
}
