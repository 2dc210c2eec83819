#include "script/Defines_3di.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using Pares = std::vector<std::pair<std::string, std::string>>;

Pares Lista(const TDefines3Di& d) {
    Pares r;
    d.ParaCada([&r](const TDefine3Di& x) { r.emplace_back(x.nombre.c_str(), x.valor.c_str()); });
    return r;
}

// Runs the line through ProcesaLinea as the scene reader does: the line as it comes out.
std::string Procesa(TDefines3Di& d, const char* texto, bool esDefinicion) {
    DString linea(texto);
    EXPECT_EQ(ProcesaLinea(d, linea), esDefinicion) << texto;
    return linea.c_str();
}

} // namespace

TEST(Defines, WholeWordReplacementOfEarlierDefinitions) {
    struct Caso {
        std::vector<const char*> definiciones;
        const char *linea, *resultado;
    };
    const Caso casos[] = {
        {{"#define R=5"}, "CONE=[0,0,0]:[0,0,R]:(R),r", "CONE=[0,0,0]:[0,0,5]:(5),r"},
        {{"#define R=5"}, "X=RR+R_1+_R+R2", "X=RR+R_1+_R+R2"},
        // Values expand once, and the first definition of a name wins.
        {{"#define A=1", "#define B=A+1", "#define A=5"}, "X=A,B", "X=1,1+1"},
        {{"#define QUAD=LINE"}, "QUAD=[0,0,0]:[1,1,1]", "LINE=[0,0,0]:[1,1,1]"}, // a keyword as a name
        // Spaces around the equals stay in name and value.
        {{"#define R = 5"}, "X=R +1", "X= 5+1"},
        {{"#define R = 5"}, "X=R+1", "X=R+1"},
        // A value holding its own name terminates.
        {{"#define A=A+1"}, "X=A*A", "X=A+1*A+1"},
        {{"#define A=B", "#define B=A"}, "X=A,B", "X=B,B"},
        // An empty name or value is skipped but defines nothing.
        {{"#define R=", "#define =5", "#define ="}, "X=R", "X=R"},
    };
    for (const Caso& c : casos) {
        TDefines3Di d;
        for (const char* definicion : c.definiciones)
            EXPECT_EQ(Procesa(d, definicion, true), definicion); // a definition line stays as written
        EXPECT_EQ(Procesa(d, c.linea, false), c.resultado);
    }
}

TEST(Defines, WhatCountsAsADefinition) {
    for (const char* l : {" #define R=5", "#DEFINE R=5", "#define\tR=5", "#defineR=5", "#define"}) {
        TDefines3Di d;
        EXPECT_EQ(Procesa(d, l, false), l);
        EXPECT_EQ(d.Count(), 0) << l;
    }
    // More than one equals is no definition, and is substituted.
    TDefines3Di d;
    Procesa(d, "#define B=7", true);
    EXPECT_EQ(Procesa(d, "#define A=B=C", false), "#define A=7=C");
    EXPECT_EQ(Procesa(d, "#define R==", false), "#define R==");
    Procesa(d, "#define D=B", true);
    EXPECT_EQ(Lista(d), (Pares{{"B", "7"}, {"D", "7"}}));
    // The name of a definition line is never substituted: two entries named A.
    TDefines3Di e;
    for (const char* l : {"#define A=1", "#define A=5", "#define S = 5", "#define C=A", "#define C=C"})
        Procesa(e, l, true);
    EXPECT_EQ(Lista(e), (Pares{{"A", "1"}, {"A", "5"}, {"S ", " 5"}, {"C", "1"}, {"C", "1"}}));
}
