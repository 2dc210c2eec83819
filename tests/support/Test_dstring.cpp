#include "support/Dstring.h"
#include "support/Vectores_dg.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

using V = std::vector<std::string>;

TEST(DString, EmptyAndNeverAssignedStringsCompareAlike) {
    DString nunca;
    EXPECT_EQ(nunca.Compare(""), 0);
    EXPECT_EQ(nunca.Compare(nullptr), 0);
    EXPECT_NE(nunca.Compare("A"), 0);
}

TEST(DString, AppendingAndFormatting) {
    DString s("a");
    s += 12;
    s += -7L;
    s += 'z';
    s += static_cast<const char*>(nullptr);
    s += s.c_str() + 1; // appending a piece of itself
    EXPECT_STREQ(s.c_str(), "a12-7z12-7z");
    DString f;
    EXPECT_EQ(f.Format("%d: %s", 3, "x"), 4);
    EXPECT_STREQ(f.c_str(), "3: x");
    // Much longer than any fixed scratch buffer: grows instead of overrunning.
    EXPECT_EQ(f.Format("<%s>", std::string(30000, 'q').c_str()), 30002);
    f.Format("%s%s", f.c_str(), "!"); // an argument may be the string itself
    EXPECT_EQ(f.Length(), 30003);
}

TEST(DString, SplitFollowsTheSeparatorRulesAndTheLimit) {
    struct Caso {
        const char *texto, *seps;
        int max;
        bool keepEmpty;
        V trozos;
    };
    const Caso casos[] = {
        {"=5", "=", -1, true, {"", "5"}},
        {"a==b", "=", -1, true, {"a", "", "b"}},
        {"QUAD=", "=", -1, true, {"QUAD"}},
        {"", "=", -1, true, {}},
        {" a = b ", "=", -1, false, {" a ", " b "}},
        {"a,b;c", ",;", -1, false, {"a", "b", "c"}},
        // A limit keeps the rest in the last piece.
        {"[0,0,1]|90|5", "|", 2, true, {"[0,0,1]", "90|5"}},
        {"1:2:", ":", 2, true, {"1", "2"}}, // nothing remains after the last separator
        {"1:2", ":", 0, true, {}},
    };
    for (const Caso& c : casos) {
        Vector<DString> out;
        DString(c.texto).Split(c.seps, out, c.max, c.keepEmpty);
        V r;
        for (int i = out.Base(); i < out.Fin(); ++i)
            r.emplace_back(out[i].c_str());
        EXPECT_EQ(r, c.trozos) << c.texto << " max " << c.max << " keepEmpty " << c.keepEmpty;
    }
}

TEST(DString, FindWordHonoursWholeWordAndCase) {
    const DString s("X+X1+AX+_X+x");
    EXPECT_EQ(s.FindWord("X", 0, true, false), 0);
    EXPECT_EQ(s.FindWord("X", 1, true, false), -1); // X1, AX and _X are parts of identifiers
    EXPECT_EQ(s.FindWord("X", 1, true, true), 11);  // x matches when case is ignored
    EXPECT_EQ(s.FindWord("X", 1, false, false), 2);
    EXPECT_EQ(DString("(R),R.").FindWord("R", 2, true, false), 4);
}

TEST(DString, ReplaceWordReplacesWholeWordsAndTerminates) {
    struct Caso {
        const char *texto, *palabra, *reemplazo;
        bool entera;
        int veces;
        const char* resultado;
    };
    const Caso casos[] = {
        {"X+X1+AX", "X", "7", true, 1, "7+X1+AX"},
        {"R*(R)+RR+R_1", "R", "5", true, 2, "5*(5)+RR+R_1"},
        // The search restarts at 0 and finds the "ab" the first replacement made.
        {"aab", "ab", "b", false, 2, "b"},
        // A replacement holding the word is not replaced again.
        {"A+A", "A", "A*2", true, 2, "A*2+A*2"},
    };
    for (const Caso& c : casos) {
        DString s(c.texto);
        EXPECT_EQ(s.ReplaceWord(c.palabra, c.reemplazo, c.entera), c.veces) << c.texto;
        EXPECT_STREQ(s.c_str(), c.resultado);
    }
}

TEST(DString, UnquoteAndUnparen) {
    // Quotes or parentheses, text, whether it succeeds, and what is left (the closing mark
    // is cut even on failure).
    const std::tuple<bool, const char*, bool, const char*> casos[] = {
        {true, "  \"tex.bmp\"  ", true, "tex.bmp"},
        {true, "tex.bmp\"", false, "tex.bmp"},
        {true, "tex.bmp", false, "tex.bmp"},
        {true, "\"", false, nullptr},
        {false, "(1,2,3)x", true, "1,2,3"},
        {false, "1,2)", false, "1,2"},
        {false, ")1", false, ")1"},
        {false, "(1,2", false, nullptr}};
    for (const auto& [comillas, texto, bien, queda] : casos) {
        DString s(texto);
        EXPECT_EQ(comillas ? s.Unquote() : s.Unparen(), bien) << texto;
        if (queda) {
            EXPECT_STREQ(s.c_str(), queda);
        }
    }
}

TEST(DString, FindParensTakesTheInnermostLastPair) {
    // Text, open, close, found: the last "(" and the first ")" after it.
    const std::tuple<const char*, int, int, bool> casos[] = {
        {"a(b)(c(d)e)", 6, 8, true}, {"x)(", 2, -1, false}, {"a)b", -1, 1, true}, {"", -1, -1, false}};
    for (const auto& [texto, abre, cierra, hay] : casos) {
        int a = 0, c = 0;
        EXPECT_EQ(DString(texto).FindParens(a, c), hay) << texto;
        EXPECT_EQ(a, abre) << texto;
        EXPECT_EQ(c, cierra) << texto;
    }
}

TEST(DString, SetsAndTrim) {
    EXPECT_EQ(DString("ab  \"c d\" e").FirstOfSet(" "), 4);
    EXPECT_EQ(DString("\"a b\"c").FirstOfSet(" "), -1);
    EXPECT_EQ(DString("ab   ").FirstOfSet(" "), -1); // the run reaches the end
    DString t("  a b \t ");
    t.Trim();
    EXPECT_STREQ(t.c_str(), "a b \t"); // only spaces are trimmed
    t = "a,b,,c";
    EXPECT_EQ(t.ReplaceChar(',', ';'), 3);
    t.RemoveChar(';');
    EXPECT_STREQ(t.c_str(), "abc");
    t = "a-b_c-";
    t.RemoveChars("-_");
    EXPECT_STREQ(t.c_str(), "abc");
    EXPECT_EQ(t.CompareN("abX", 2), 0);
    EXPECT_NE(t.CompareN("abX", 3), 0);
    EXPECT_NE(DString().CompareN("a", 1), 0);
}

// The length is kept with the text; every change made in place keeps it right.
TEST(DString, TheKeptLengthFollowsEveryChange) {
    DString s("  \"a;b\"  ");
    s.Unquote();
    EXPECT_EQ(s.Length(), 3);
    s.ReplaceChar(';', '\0');
    EXPECT_EQ(s.Length(), 1);
    s.At(1) = 'x';
    s.At(2) = '\0';
    s += "z";
    EXPECT_STREQ(s.c_str(), "axz");
    DString t(std::move(s));
    EXPECT_EQ(s.Length(), 0);
    EXPECT_EQ(t.Length(), 3);
    t = "(1)";
    t.Unparen();
    EXPECT_EQ(t.Length(), 1);
}

TEST(DString, ToDoubleLikeAtof) {
    EXPECT_EQ(DString("2.5abc").ToDouble(), 2.5);
    EXPECT_EQ(DString("2,5").ToDouble(), 2.0);
    EXPECT_EQ(DString("2,5").ToDouble(true), 2.5);
    EXPECT_EQ(ConvierteEntero(" 42x"), 42);
    EXPECT_STREQ(FormateaReal(-1.0 / 3.0).c_str(), "-0.333333");
}
