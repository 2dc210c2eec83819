#include "script/Formula.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

namespace {

vector3D Lee(const char* texto) {
    vector3D v;
    EXPECT_TRUE(ReadVector(texto, v));
    return v;
}

double X(const char* texto) {
    return Lee(texto).x;
}

double F(const char* texto) {
    return EvaluateFormula(texto);
}

} // namespace

#define EXPECT_VEC(v, ex, ey, ez)                                                                            \
    do {                                                                                                     \
        const vector3D r_ = (v);                                                                             \
        EXPECT_DOUBLE_EQ(r_.x, ex);                                                                          \
        EXPECT_DOUBLE_EQ(r_.y, ey);                                                                          \
        EXPECT_DOUBLE_EQ(r_.z, ez);                                                                          \
    } while (0)

TEST(Formula, VectorSumsRunBeforeDifferences) {
    EXPECT_VEC(Lee("[1,2,3]+[4,5,6]"), 5, 7, 9);
    // The + pass first: [1,2,3] minus (1,1,2).
    EXPECT_VEC(Lee("[1,2,3]-[1,1,1]+[0,0,1]"), 0, 1, 1);
    EXPECT_VEC(Lee("[1,2,3]-[1,1,1]-[1,1,1]"), -1, 0, 1);
    EXPECT_VEC(Lee("-[1,2,3]"), -1, -2, -3);
    EXPECT_VEC(Lee("[1,2,3]+[1,1,1]+[1,1,1]"), 3, 4, 5);
    // Components are formulas in operands too; '-' and '+' inside brackets stay scalar.
    EXPECT_VEC(Lee("[1-2,2+3,0]-[cos(0),1/2,-1]"), -2, 4.5, 1);
    // An operand that is not a literal counts as the origin.
    EXPECT_VEC(Lee("[1,2,3]+5"), 1, 2, 3);
    EXPECT_VEC(Lee("5-3"), 0, 0, 0);
}

TEST(Formula, BlanksAnywhereAreIgnored) {
    EXPECT_VEC(Lee("[ 1 , 2 , 3 ]"), 1, 2, 3);
    EXPECT_VEC(Lee("\t[1 ,\t2,3\t]\t"), 1, 2, 3);
    EXPECT_VEC(Lee(" [1,2,3] \t+ [ 1 , 1 , 1 ] "), 2, 3, 4);
    EXPECT_VEC(Lee("[1 0, 2 * 3, c o s (0)]"), 10, 6, 1);
    EXPECT_DOUBLE_EQ(F(" 2 *\t3 "), 6);
}

TEST(Formula, MalformedLiteralsLeaveTheTargetAlone) {
    for (const char* t :
         {"[1,2]", "1,2,3", "", "[", "[]", "[1,2,3", "1,2,3]", "[1,2]3]", "[1,2,]", "((1,2,3))"}) {
        vector3D v(7, 8, 9);
        EXPECT_TRUE(ReadVector(t, v)) << t;
        EXPECT_VEC(v, 7, 8, 9);
        vector3D w(7, 8, 9);
        EXPECT_FALSE(ParseVectorLiteral(t, w)) << t;
        EXPECT_VEC(w, 7, 8, 9);
    }
    // A fourth field stays in the third, which then reads up to its comma.
    EXPECT_VEC(Lee("[1,2,3,4]"), 1, 2, 3);
    // An empty field between two commas reads 0.
    EXPECT_VEC(Lee("[1,,3]"), 1, 0, 3);
    // The inside ends at the first ']'.
    EXPECT_VEC(Lee("[1,2,3]]"), 1, 2, 3);
}

TEST(Formula, ScalarOperatorsAndFunctions) {
    EXPECT_VEC(Lee("[1+1,2*3,8/2/2]"), 2, 6, 2);
    EXPECT_VEC(Lee("[2*(1+2),(4),cos(0)]"), 6, 4, 1);
    EXPECT_VEC(Lee("[sin(0),cos(0)+1,2]"), 0, 2, 2);
    EXPECT_DOUBLE_EQ(X("[6-4*5,0,0]"), -14);
    EXPECT_DOUBLE_EQ(X("[2+-3*-4,0,0]"), 14);
    EXPECT_DOUBLE_EQ(X("[-2+3,0,0]"), 1);
    // The + pass runs before the - pass: 10-5.
    EXPECT_DOUBLE_EQ(X("[10-2+3,0,0]"), 5);
    EXPECT_DOUBLE_EQ(X("[5*,0,0]"), 0);
    EXPECT_DOUBLE_EQ(F("1-2-3"), -4);
    EXPECT_DOUBLE_EQ(F("3--5"), 8);
    EXPECT_DOUBLE_EQ(F("--5"), -5);
    EXPECT_DOUBLE_EQ(F("5-"), 5);
    EXPECT_DOUBLE_EQ(F("-3*2"), -6);
    EXPECT_DOUBLE_EQ(F("2*x"), 0);
    EXPECT_DOUBLE_EQ(F(""), 0);
    EXPECT_DOUBLE_EQ(F("abc"), 0);
}

TEST(Formula, EveryIntermediateIsRoundedToSixDecimals) {
    EXPECT_DOUBLE_EQ(X("[1/3*3,0,0]"), 0.999999);
    EXPECT_DOUBLE_EQ(F("2/3"), 0.666667);
    EXPECT_DOUBLE_EQ(F("1/3+1/3+1/3"), 0.999999);
    EXPECT_DOUBLE_EQ(F("2*cos(0.5)"), 1.755166); // cos(0.5) = 0.877583
    EXPECT_DOUBLE_EQ(F("(1/3)*3"), 0.999999);
    EXPECT_DOUBLE_EQ(F("0.0000004*1*10"), 0);
}

TEST(Formula, ParenthesesInnermostFirst) {
    EXPECT_DOUBLE_EQ(F("((1+2)*(3+4))"), 21);
    EXPECT_DOUBLE_EQ(F("2*(3*(1+1))"), 12);
    EXPECT_DOUBLE_EQ(F("(((5)))"), 5);
    EXPECT_DOUBLE_EQ(F("10-(2+3)"), 5);
    EXPECT_DOUBLE_EQ(F("3-(1-2)"), 4);
    EXPECT_DOUBLE_EQ(F("-(2)"), -2);
    // An unmatched '(' stops the step and stays in the text, where it reads as 0.
    EXPECT_DOUBLE_EQ(F("(1+2"), 0);
    EXPECT_DOUBLE_EQ(F("2*(3"), 0.0000003); // 2 times '(' (0), written before the 3
    EXPECT_DOUBLE_EQ(F("1)+(2"), 1);
}

TEST(Formula, UnmatchedClosingParenthesisIsDropped) {
    EXPECT_DOUBLE_EQ(F("2)*3"), 6);
    EXPECT_DOUBLE_EQ(F("1+2)"), 3);
    EXPECT_DOUBLE_EQ(F("(1))*2"), 2);
    EXPECT_DOUBLE_EQ(F(")))"), 0);
    EXPECT_DOUBLE_EQ(F("2*(3))-1"), 5);
    EXPECT_VEC(Lee("[1),2,(3))]"), 1, 2, 3);
}

TEST(Formula, CosBeforeSinAndTheArgumentRule) {
    // cos first: sin then reads the number cos left behind.
    EXPECT_DOUBLE_EQ(F("sincos0"), 0.841471);
    // cos reads the 's' as its operand (0), leaving "in0" behind.
    EXPECT_DOUBLE_EQ(F("cossin0"), 1);
    EXPECT_DOUBLE_EQ(F("cos0.5*2"), 1.755166);
    EXPECT_DOUBLE_EQ(F("cos-0"), 1);
    EXPECT_DOUBLE_EQ(F("sin-1.5707963"), -1);
    EXPECT_DOUBLE_EQ(F("cos"), 1);
    EXPECT_DOUBLE_EQ(F("sin"), 0);
    EXPECT_DOUBLE_EQ(F("cosx"), 1);
    EXPECT_DOUBLE_EQ(F("sin-"), 0);
    EXPECT_DOUBLE_EQ(F("-cos(0)"), -1);
    EXPECT_DOUBLE_EQ(F("1-cos(0)"), 0);
    // Case-sensitive names: COS is not a function.
    EXPECT_DOUBLE_EQ(F("COS0+1"), 0);
}

TEST(Formula, DivisionByZeroGivesZero) {
    EXPECT_DOUBLE_EQ(F("1/0"), 0);
    EXPECT_DOUBLE_EQ(F("0/0"), 0);
    EXPECT_DOUBLE_EQ(F("-3/0"), 0);
    EXPECT_DOUBLE_EQ(F("1/0+2"), 2);
    EXPECT_DOUBLE_EQ(F("5/(2-2)"), 0);
    EXPECT_DOUBLE_EQ(F("7/"), 0);
    // 1/3000000 is written back as 0.000000 before it divides.
    EXPECT_DOUBLE_EQ(F("1/(1/3000000)"), 0);
    EXPECT_VEC(Lee("[1/0,2/0.,3/-0]+[1,1,1]"), 1, 1, 1);
}

TEST(Formula, SignAfterANonNumberIsPartOfTheNumber) {
    // These would otherwise rewrite themselves forever (0 - 5 written back behind 'e').
    EXPECT_DOUBLE_EQ(F("1e-5"), 1e-5);
    EXPECT_DOUBLE_EQ(F("a-5"), 0);
    EXPECT_DOUBLE_EQ(F("x1-2"), 0);
    EXPECT_DOUBLE_EQ(F("a-5-3"), 0);
    EXPECT_VEC(Lee("[1e-2,-2e-1,3]"), 0.01, -0.2, 3);
}

TEST(Formula, HugeNumbersStayFinite) {
    // "%f" of these is a text of 300 digits and more; it must read back.
    const std::string nueves(300, '9');
    const double v = F((nueves + "*10").c_str());
    EXPECT_NEAR(v / 1e301, 1.0, 1e-12);
    EXPECT_TRUE(std::isinf(F((nueves + "*" + nueves).c_str())));
    EXPECT_TRUE(std::isinf(F("1e999")));
    EXPECT_TRUE(std::isinf(F("1e999*1e999")));
    const double n = F(("cos" + std::string(400, '9')).c_str());
    EXPECT_TRUE(std::isnan(n));
}

TEST(Formula, HostileTextAlwaysReturns) {
    const char* fijos[] = {"((((",
                           "))))",
                           "cos",
                           "sin",
                           "--",
                           "---",
                           "[[[",
                           "]]]",
                           "sin-",
                           "cos-",
                           "-",
                           "+",
                           "*",
                           "/",
                           ".",
                           "1e999*1e999",
                           "[-]",
                           "[+,+,+]",
                           "[,,]",
                           "-[",
                           "]-[",
                           "[1]-",
                           "-]",
                           "sicos"
                           "9999999999999999999999999999999999999999999999999999999999",
                           "e-1-1-1",
                           "x-.5",
                           "inf-inf",
                           "nan-1",
                           "1e999-1e999",
                           "(-)",
                           "[(,),(]",
                           "[1,2,3]-[",
                           "[1,2,3]+]",
                           "[[1,2,3]]",
                           "[1,2,3][4,5,6]",
                           "cossinsincos",
                           "1/0/0/0",
                           "-0-0-0",
                           "1-.-.-",
                           "a-b-3",
                           "2e--5"};
    for (const char* t : fijos) {
        vector3D v;
        ReadVector(t, v);
        EvaluateFormula(t);
        ParseVectorLiteral(t, v);
    }
    const std::string sicos = "si" + std::string("cos") + std::string(320, '9') + "-1";
    EvaluateFormula(sicos.c_str());

    // Long lines (the line reader keeps at most 19,999 characters).
    const std::string largos[] = {
        [] {
            std::string s;
            while (s.size() < 19990)
                s += "1-";
            return s;
        }(),
        [] {
            std::string s;
            while (s.size() < 19990)
                s += "x-9";
            return s;
        }(),
        std::string(9995, '(') + "1" + std::string(9995, ')'),
        std::string(19999, '-'),
        std::string(19999, '['),
        std::string(19999, ')'),
        [] {
            std::string s;
            while (s.size() < 19990)
                s += "cos";
            return s;
        }(),
        [] {
            std::string s = "[0,0,0]";
            while (s.size() < 19990)
                s += "+[1,1,1]";
            return s;
        }(),
        [] {
            std::string s = "[0,0,0]";
            while (s.size() < 19990)
                s += "-[1,-1,1]";
            return s;
        }(),
        [] {
            std::string s = "[1,2,";
            while (s.size() < 19990)
                s += "3*2/";
            return s + "1]";
        }(),
    };
    for (const std::string& t : largos) {
        vector3D v;
        ReadVector(t.c_str(), v);
        EvaluateFormula(t.c_str());
    }
    vector3D suma;
    ReadVector(largos[7].c_str(), suma);
    EXPECT_DOUBLE_EQ(suma.x, static_cast<double>((largos[7].size() - 7) / 8));

    // Random texts over the characters the evaluator reacts to.
    const std::string alfabeto = "0123456789..--+*/()[],,cosinx e\t";
    std::mt19937 azar(12345);
    std::uniform_int_distribution<size_t> letra(0, alfabeto.size() - 1);
    std::uniform_int_distribution<int> largo(0, 40);
    for (int i = 0; i < 20000; ++i) {
        std::string t;
        const int n = largo(azar);
        for (int k = 0; k < n; ++k)
            t += alfabeto[letra(azar)];
        vector3D v;
        ReadVector(t.c_str(), v);
        EvaluateFormula(t.c_str());
    }
}
