// `check --format gcc|json`: the messages as tools read them, for every kind of error.
#include "Cli_prueba.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <array>
#include <string>
#include <utility>
#include <vector>

namespace {

// The errors that let the read go on, CR LF line ends, blanks and a comment around a
// command, a letter of two bytes in a command word; then those that end it.
const std::string seguidos =
    "COLOR=(1,2,3)\r\nnoequals here\r\n  Qaud=[0,0,0] ; c\r\nXTRUSION=[0,0,0]|[1,0,0]|x\r\n"
    "\xc3\x84QUAD=1\r\nCOLOR=(1,2)\r\n";

std::string Expansiva() {
    std::string s = "#define A=" + std::string(40, 'x') + "\n";
    for (const char* n : {"B=A", "C=B", "D=C"}) {
        s += std::string("#define ") + n;
        for (int i = 0; i < 9; ++i)
            s += std::string(" ") + n[2];
        s += "\n";
    }
    return s + "SPHERE=[0,0,0]:D\n";
}

} // namespace

TEST_F(Cli, CheckGccFormat) {
    auto s = Ejecuta("check --format=gcc -", seguidos);
    EXPECT_EQ(s.estado, 1);
    EXPECT_EQ(s.texto, "<stdin>:2:1: error: '=' needed in line noequals here\n"
                       "<stdin>:3:3: error: Undefined command:QAUD\n"
                       "<stdin>:4:10: error: Error reading POLYLINE \n"
                       "<stdin>:5:1: error: Undefined command:\xc3\x84QUAD\n"
                       "<stdin>:6:7: error: Error reading color\n");
    const std::string nombre = Escribe("a.3di", "TEXTURET=\"missing.bmp\" ; x\n");
    s = Ejecuta("check --format gcc " + nombre);
    EXPECT_EQ(s.texto, nombre + ":1:10: error: Error: File not found: " + Ruta("missing.bmp") + "\n");
    const std::pair<std::string, std::string> finales[] = {
        {"PUSHTRANS=[0,0,0]\n", "<stdin>: error: POPs needed!\n"},
        {"COLOR=(1,2,3)\rnoequals\n", "<stdin>:2:1: error: '=' needed in line noequals\n"},
        {"CUBE=1:2\n", "<stdin>:1:6: error: Error reading CUBE\n"},
        {"\nPOP\n", "<stdin>:2:1: error: Error invalid POP command\n"},
        {Expansiva(), "<stdin>:4:1: error: Error: the #define replacements make the text too long\n"},
        {quad, ""},
    };
    for (const auto& [script, esperado] : finales)
        EXPECT_EQ(Ejecuta("check --format gcc -", script).texto, esperado) << script;
    EXPECT_EQ(Ejecuta("check --format xml -", quad).estado, 2);
}

TEST_F(Cli, CheckJsonFormat) {
    auto s = Ejecuta("check --format json " + Escribe("b.3di", seguidos));
    EXPECT_EQ(s.estado, 1);
    EXPECT_EQ(s.texto.find('\r'), std::string::npos);
    const auto d = nlohmann::json::parse(s.texto);
    EXPECT_EQ(d["file"], Ruta("b.3di"));
    std::vector<std::array<int, 3>> lugares;
    for (const auto& e : d["diagnostics"]) {
        lugares.push_back({e["line"].get<int>(), e["startColumn"].get<int>(), e["endColumn"].get<int>()});
        EXPECT_EQ(e["severity"], "error");
    }
    // Lines from 0; columns in characters: the two-byte letter counts one.
    const std::vector<std::array<int, 3>> esperados = {
        {1, 0, 13}, {2, 2, 6}, {3, 9, 26}, {4, 0, 5}, {5, 6, 11}};
    EXPECT_EQ(lugares, esperados);
    EXPECT_EQ(d["diagnostics"][2]["message"], "Error reading POLYLINE ");
    // A message for the whole script has no line; a script that is not UTF-8 counts a
    // byte a character, and still gives valid JSON.
    s = Ejecuta("check --format=json -", "PUSHSCALE=2\n");
    EXPECT_EQ(nlohmann::json::parse(s.texto)["diagnostics"][0]["line"], nullptr);
    s = Ejecuta("check --format=json -", "\xc4QUAD=1\n");
    const auto latin1 = nlohmann::json::parse(s.texto)["diagnostics"][0];
    EXPECT_EQ(latin1["endColumn"], 5);
    EXPECT_EQ(latin1["message"], "Undefined command:\xef\xbf\xbdQUAD");
    EXPECT_EQ(nlohmann::json::parse(Ejecuta("check --format json -", quad).texto)["diagnostics"].size(), 0u);
}
