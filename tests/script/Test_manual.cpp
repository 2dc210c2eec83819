// The manual documents the language as the parser reads it: every command has an
// entry of its own, and every example reads without an error.
#include "Lee_script.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>
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
    EXPECT_TRUE(m.entradas.count("#define"));
    EXPECT_TRUE(m.entradas.count("VOID"));
    for (const auto& [linea, script] : m.ejemplos) {
        // The texture's image is made beside the pictures when the manual is built.
        if (script.find("TEXTURET=") != std::string::npos) continue;
        TObjeto3D escena;
        const auto r = LeeScript(escena, script);
        EXPECT_TRUE(r.correcto && r.errores.empty()) << "manual line " << linea << ": " << r.errores;
        EXPECT_GT(escena.Count(), 0) << "manual line " << linea << " draws nothing";
    }
}
