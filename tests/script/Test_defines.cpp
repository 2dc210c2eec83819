#include "script/Defines_3di.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

// Runs the lines through ProcesaLinea in order, as the scene reader does: the line as
// it comes out, and whether it was a definition.
std::vector<std::pair<bool, std::string>> Procesa(TDefines3Di& d, std::initializer_list<const char*> lineas) {
    std::vector<std::pair<bool, std::string>> r;
    for (const char* l : lineas) {
        DString linea(l);
        const bool def = ProcesaLinea(d, linea);
        r.emplace_back(def, linea.c_str());
    }
    return r;
}

std::string Tras(TDefines3Di& d, std::initializer_list<const char*> definiciones, const char* linea) {
    Procesa(d, definiciones);
    DString l(linea);
    EXPECT_FALSE(ProcesaLinea(d, l));
    return l.c_str();
}

std::vector<std::pair<std::string, std::string>> Lista(const TDefines3Di& d) {
    std::vector<std::pair<std::string, std::string>> r;
    d.ParaCada([&r](const TDefine3Di& x) { r.emplace_back(x.nombre.c_str(), x.valor.c_str()); });
    return r;
}

using Pares = std::vector<std::pair<std::string, std::string>>;

} // namespace

TEST(Defines, NamesAreReplacedAsWholeWordsOnly) {
    TDefines3Di d;
    const auto r = Procesa(d, {"#define R=5", "CONE=[0,0,0]:[0,0,R]:R", "X=RR+R_1+_R+R2", "X=(R),R,", "X=r"});
    EXPECT_TRUE(r[0].first);
    EXPECT_EQ(r[0].second, "#define R=5"); // a definition line stays as written
    EXPECT_FALSE(r[1].first);
    EXPECT_EQ(r[1].second, "CONE=[0,0,0]:[0,0,5]:5");
    EXPECT_EQ(r[2].second, "X=RR+R_1+_R+R2");
    EXPECT_EQ(r[3].second, "X=(5),5,");
    EXPECT_EQ(r[4].second, "X=r");
}

TEST(Defines, OnlyAnExactLowerCaseDefineWithOneSpaceDefines) {
    for (const char* l :
         {" #define R=5", "#DEFINE R=5", "#define\tR=5", "#defineR=5", "#Define R=5", "#define"}) {
        TDefines3Di d;
        DString linea(l);
        EXPECT_FALSE(ProcesaLinea(d, linea)) << l;
        EXPECT_EQ(d.Count(), 0) << l;
        EXPECT_STREQ(linea.c_str(), l);
    }
}

TEST(Defines, EmptyNameOrValueIsSkippedButDefinesNothing) {
    TDefines3Di d;
    const auto r = Procesa(d, {"#define R=", "#define =5", "#define =", "X=R"});
    EXPECT_TRUE(r[0].first);
    EXPECT_TRUE(r[1].first);
    EXPECT_TRUE(r[2].first);
    EXPECT_EQ(d.Count(), 0);
    EXPECT_EQ(r[3].second, "X=R");
}

TEST(Defines, MoreThanOneEqualsIsNotADefinitionAndIsSubstituted) {
    TDefines3Di d;
    const auto r = Procesa(d, {"#define B=7", "#define A=B=C", "#define R==", "#define D=B"});
    EXPECT_FALSE(r[1].first);
    EXPECT_EQ(r[1].second, "#define A=7=C");
    EXPECT_FALSE(r[2].first);
    EXPECT_EQ(r[2].second, "#define R==");
    EXPECT_TRUE(r[3].first);
    EXPECT_EQ(Lista(d), (Pares{{"B", "7"}, {"D", "7"}}));
}

TEST(Defines, ValuesExpandOnceAndTheFirstDefinitionWins) {
    TDefines3Di d;
    EXPECT_EQ(Tras(d, {"#define A=1", "#define B=A+1", "#define A=5"}, "X=A,B"), "X=1,1+1");
    // Two entries named A: the name of a definition line is never substituted.
    EXPECT_EQ(Lista(d), (Pares{{"A", "1"}, {"B", "1+1"}, {"A", "5"}}));
}

TEST(Defines, UseBeforeTheDefinitionIsNotRevisited) {
    TDefines3Di d;
    const auto r = Procesa(d, {"X=R", "#define R=5", "X=R"});
    EXPECT_EQ(r[0].second, "X=R");
    EXPECT_EQ(r[2].second, "X=5");
}

TEST(Defines, AKeywordCanBeAMacroName) {
    TDefines3Di d;
    EXPECT_EQ(Tras(d, {"#define QUAD=LINE"}, "QUAD=[0,0,0]:[1,1,1]"), "LINE=[0,0,0]:[1,1,1]");
}

TEST(Defines, SpacesAroundTheEqualsStayInNameAndValue) {
    TDefines3Di d;
    Procesa(d, {"#define R = 5"});
    EXPECT_EQ(Lista(d), (Pares{{"R ", " 5"}}));
    DString a("X=R +1");
    ProcesaLinea(d, a);
    EXPECT_STREQ(a.c_str(), "X= 5+1");
    DString b("X=R+1");
    ProcesaLinea(d, b);
    EXPECT_STREQ(b.c_str(), "X=R+1");
}

TEST(Defines, AValueHoldingItsOwnNameTerminates) {
    TDefines3Di d;
    EXPECT_EQ(Tras(d, {"#define A=A+1"}, "X=A"), "X=A+1");
    EXPECT_EQ(Tras(d, {}, "X=A*A"), "X=A+1*A+1");
    TDefines3Di e;
    EXPECT_EQ(Tras(e, {"#define A=B", "#define B=A"}, "X=A,B"), "X=B,B");
    EXPECT_EQ(Lista(e), (Pares{{"A", "B"}, {"B", "B"}}));
}

TEST(Defines, ManyDefinitionsGrowTheList) {
    TDefines3Di d;
    EXPECT_EQ(d.Capacity(), 10);
    std::string linea = "X=";
    for (int i = 0; i < 25; ++i) {
        DString def;
        def.Format("#define N%d=%d", i, i * 2);
        EXPECT_TRUE(ProcesaLinea(d, def));
        linea += "N" + std::to_string(i) + ",";
    }
    EXPECT_EQ(d.Count(), 25);
    DString l(linea.c_str());
    ProcesaLinea(d, l);
    std::string esperado = "X=";
    for (int i = 0; i < 25; ++i)
        esperado += std::to_string(i * 2) + ",";
    EXPECT_EQ(l.c_str(), esperado);
}

TEST(Defines, AgregaDefineRefusesEmptyTexts) {
    TDefines3Di d;
    AgregaDefine(d, "", "1");
    AgregaDefine(d, "A", "");
    AgregaDefine(d, DString(), DString());
    EXPECT_EQ(d.Count(), 0);
    AgregaDefine(d, "A", "1");
    EXPECT_EQ(Lista(d), (Pares{{"A", "1"}}));
}
