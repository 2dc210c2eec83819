#include "Scripts_hostiles.h"

#include "script/Formula.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

using hostiles::Repite;

struct TValorEsperado {
    const char* texto;
    double valor;
};

TEST(Formula, VectorsSumsBeforeDifferencesAndBlanksIgnored) {
    // The + pass runs before the - pass, in components too; '-' and '+' inside brackets stay
    // scalar. An operand that is not a literal is the origin; a fourth field stays in the third,
    // read up to its comma; an empty field reads 0; the inside ends at the first ']'.
    // clang-format off
    const struct {
        const char* texto;
        vector3D v;
    } casos[] = {
        {"[1,2,3]+[4,5,6]", {5, 7, 9}}, {"-[1,2,3]", {-1, -2, -3}}, {"[1,2,3]-[1,1,1]+[0,0,1]", {0, 1, 1}},
        {"[10-2+3,0,0]", {5, 0, 0}}, {"[1-2,2+3,0]-[cos(0),1/2,-1]", {-2, 4.5, 1}}, {"[1,2,3]+5", {1, 2, 3}},
        {" [1,2,3] \t+ [ 1 , 1 , 1 ] ", {2, 3, 4}}, {"[1 0, 2 * 3, c o s (0)]", {10, 6, 1}},
        {"[1,2,3,4]", {1, 2, 3}}, {"[1,,3]", {1, 0, 3}}, {"[1,2,3]]", {1, 2, 3}}, {"[1),2,(3))]", {1, 2, 3}},
        {"[1/0,2/0.,3/-0]+[1,1,1]", {1, 1, 1}}, {"[1e-2,-2e-1,3]", {0.01, -0.2, 3}}};
    // clang-format on
    for (const auto& c : casos) {
        vector3D v;
        EXPECT_TRUE(ReadVector(c.texto, v)) << c.texto;
        EXPECT_EQ(v, c.v) << c.texto;
    }
}

TEST(Formula, MalformedLiteralsLeaveTheTargetAlone) {
    for (const char* t :
         {"[1,2]", "1,2,3", "", "[", "[]", "[1,2,3", "1,2,3]", "[1,2]3]", "[1,2,]", "((1,2,3))"}) {
        vector3D v(7, 8, 9), w(7, 8, 9);
        EXPECT_TRUE(ReadVector(t, v)) << t;
        EXPECT_FALSE(ParseVectorLiteral(t, w)) << t;
        EXPECT_EQ(v, vector3D(7, 8, 9)) << t;
        EXPECT_EQ(w, vector3D(7, 8, 9)) << t;
    }
}

TEST(Formula, ScalarOperatorsRoundingParenthesesAndFunctions) {
    // Every intermediate is rounded to six decimals. Parentheses innermost first; an unmatched
    // '(' stops the step and reads as 0 (so "2*(3" is 2 times 0 written before the 3); an
    // unmatched ')' is dropped. cos runs before sin, and reads the 's' of "sin" as its operand
    // (0); names are case-sensitive. Division by zero gives zero; 1/3000000 is written back as
    // 0.000000 before it divides. A sign after a non-number is part of it (else 0 - 5 rewrites
    // itself behind 'e' forever).
    // Mended: a number with an exponent is one operand (1e5*2 gave 1e10, 1e-3*1000 gave 0).
    // clang-format off
    const TValorEsperado casos[] = {
        {" 2 *\t3 ", 6}, {"1-2-3", -4}, {"3--5", 8}, {"--5", -5}, {"5-", 5}, {"2*x", 0},
        {"2/3", 0.666667}, {"1/3+1/3+1/3", 0.999999}, {"0.0000004*1*10", 0},
        {"((1+2)*(3+4))", 21}, {"3-(1-2)", 4}, {"-(2)", -2}, {"(1+2", 0}, {"2*(3", 0.0000003},
        {"1)+(2", 1}, {"(1))*2", 2}, {"2*(3))-1", 5},
        {"sincos0", 0.841471}, {"cossin0", 1}, {"cos0.5*2", 1.755166}, {"sin-1.5707963", -1},
        {"cos", 1}, {"-cos(0)", -1}, {"COS0+1", 0},
        {"1/0", 0}, {"1/0+2", 2}, {"5/(2-2)", 0}, {"7/", 0}, {"1/(1/3000000)", 0},
        {"a-5-3", 0}, {"1e5*2", 200000}, {"1e-3*1000", 1}, {"2.5e+2-50", 200}, {"8/2e2", 0.04},
        {"cos0e5", 1}, {"1e5+1e-5", 100000.00001}};
    // clang-format on
    for (const auto& c : casos)
        EXPECT_DOUBLE_EQ(EvaluateFormula(c.texto), c.valor) << c.texto;
}

TEST(Formula, HugeNumbersStayFinite) {
    // "%f" of these is a text of 300 digits and more; it must read back.
    const std::string nueves(300, '9');
    EXPECT_NEAR(EvaluateFormula((nueves + "*10").c_str()) / 1e301, 1.0, 1e-12);
    for (const std::string& t : {nueves + "*" + nueves, std::string("1e999"), std::string("1e999*1e999")})
        EXPECT_TRUE(std::isinf(EvaluateFormula(t.c_str()))) << t;
    EXPECT_TRUE(std::isnan(EvaluateFormula(("cos" + std::string(400, '9')).c_str())));
}

TEST(Formula, HostileTextAlwaysReturns) {
    std::vector<std::string> textos = {
        "((((", "--", "[[[", "cos-", "[-]", "[,,]", "]-[", "e-1-1-1", "inf-inf", "1e999-1e999", "[(,),(]",
        "[1,2,3]-[", "[1,2,3][4,5,6]", "2e--5", "sicos" + std::string(320, '9') + "-1",
        // Long lines (the line reader keeps at most 19,999 characters).
        Repite("1-", 9995), Repite("x-9", 6664), std::string(9995, '(') + "1" + std::string(9995, ')'),
        std::string(19999, '-'), std::string(19999, '['), std::string(19999, ')'), Repite("cos", 6664),
        "[0,0,0]" + Repite("-[1,-1,1]", 2222), "[1,2," + Repite("3*2/", 4998) + "1]"};
    // Random texts over the characters the evaluator reacts to.
    const std::string alfabeto = "0123456789..--+*/()[],,cosinx e\t";
    std::mt19937 azar(12345);
    std::uniform_int_distribution<size_t> letra(0, alfabeto.size() - 1);
    std::uniform_int_distribution<int> largo(0, 40);
    for (int i = 0; i < 20000; ++i) {
        std::string t;
        for (int k = largo(azar); k > 0; --k)
            t += alfabeto[letra(azar)];
        textos.push_back(t);
    }
    for (const std::string& t : textos) {
        vector3D v;
        ReadVector(t.c_str(), v);
        EvaluateFormula(t.c_str());
        ParseVectorLiteral(t.c_str(), v);
    }
    const std::string sumas = "[0,0,0]" + Repite("+[1,1,1]", 2499);
    vector3D suma;
    ReadVector(sumas.c_str(), suma);
    EXPECT_DOUBLE_EQ(suma.x, static_cast<double>((sumas.size() - 7) / 8));
}
