// Scripts made to keep the reader busy: each of them once took seconds or gigabytes
// (the editor reads the script again on every keystroke). The tests read them for a
// clear result; the hostile benchmark times them.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace hostiles {

inline std::string Repite(const std::string& trozo, size_t veces) {
    std::string s;
    s.reserve(trozo.size() * veces);
    for (size_t i = 0; i < veces; ++i)
        s += trozo;
    return s;
}

// 200 KB of lines without "=": one message each, quoting the line.
inline std::string LineasMalas() {
    return Repite("THIS LINE IS NOT A COMMAND AND HOLDS NO EQUALS SIGN 0123456789\n", 3200);
}

// 10,000 definitions, then a line using three of them.
inline std::string MilesDeDefines() {
    std::string s = "#define D0=1\n";
    for (int i = 1; i < 10000; ++i)
        s += "#define D" + std::to_string(i) + "=" + std::to_string(i) + "\n";
    return s + "CENTER=[D0,D9999,D5000]\n";
}

// A 19,800-character formula defined once and used 20 times.
inline std::string FormulaDefinida() {
    return "#define F=1" + Repite("+2*3-1", 3300) + "\n" + Repite("CENTER=[F,0,0]\n", 20);
}

// 10 lines of 9,990 nested parentheses.
inline std::string ParentesisAnidados() {
    return Repite("CENTER=[" + std::string(9990, '(') + "1" + std::string(9990, ')') + ",0,0]\n", 10);
}

// 50 extrusions of 1024 x 1024 grid points from a 1 KB script.
inline std::string MallasEnormes() {
    std::string s = "#define S0=[0,0,0]:[1,0,0]\n#define R0=[0,0,0]:1:[0,0,1]:1\n";
    for (int i = 1; i < 10; ++i) {
        const std::string a = std::to_string(i - 1), b = std::to_string(i);
        s += "#define S" + b + "=S" + a + ":S" + a + "\n#define R" + b + "=R" + a + ":R" + a + "\n";
    }
    return s + Repite("XTRUSION=[0,0,0]|S9|R9\n", 50);
}

// One name for 19,980 bytes, used on 1,000 lines: 20 MB once replaced, past the limit.
inline std::string ExpansionEnorme() {
    return "#define F=" + std::string(19980, 'x') + "\n" + Repite("F\n", 1000);
}

// The same formula on 1,000 lines: the most work a limit on the replaced text allows.
inline std::string FormulaRepetida() {
    return "#define F=1" + Repite("+2*3-1", 3300) + "\n" + Repite("CENTER=[F,0,0]\n", 1000);
}

inline std::vector<std::pair<const char*, std::string>> Todos() {
    return {{"lineas_malas", LineasMalas()},         {"miles_de_defines", MilesDeDefines()},
            {"formula_definida", FormulaDefinida()}, {"parentesis_anidados", ParentesisAnidados()},
            {"mallas_enormes", MallasEnormes()},     {"expansion_enorme", ExpansionEnorme()},
            {"formula_repetida", FormulaRepetida()}};
}

} // namespace hostiles
