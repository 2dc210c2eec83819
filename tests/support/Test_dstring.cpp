#include "support/Dstring.h"
#include "support/Vectores_dg.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Trozos(const char* texto, const char* seps, int max, bool keepEmpty) {
    Vector<DString> out;
    DString(texto).Split(seps, out, max, keepEmpty);
    std::vector<std::string> r;
    for (int i = out.Base(); i < out.Fin(); ++i)
        r.emplace_back(out[i].c_str());
    return r;
}

using V = std::vector<std::string>;

} // namespace

TEST(DString, EmptyAndNeverAssignedStringsCompareAlike) {
    DString nunca;
    DString vacio("");
    EXPECT_EQ(nunca.Compare(""), 0);
    EXPECT_EQ(nunca.Compare(nullptr), 0);
    EXPECT_NE(nunca.Compare("A"), 0);
    EXPECT_EQ(nunca.Compare(vacio), 0);
    EXPECT_STREQ(nunca.c_str(), "");
    EXPECT_EQ(nunca.Length(), 0);
    EXPECT_NE(nunca.CompareN("A", 1), 0);
    EXPECT_EQ(DString("#define X").CompareN("#define ", 8), 0);
    EXPECT_EQ(DString("abc").CompareNoCase("ABC"), 0);
    EXPECT_EQ(nunca.FindLast('\0'), 0);
    EXPECT_EQ(nunca.CharAt(0), '\0');
}

TEST(DString, StorageGrowsByTheRuleAndNeverShrinks) {
    DString s;
    s.Reserve(0);
    EXPECT_EQ(s.Capacity(), 13);
    s.Reserve(11); // 13 >= 11 + 2: fits
    EXPECT_EQ(s.Capacity(), 13);
    s.Reserve(12); // (12 + 2) * 1.3 + 11 = 29.2
    EXPECT_EQ(s.Capacity(), 29);
    s = "x";
    EXPECT_EQ(s.Capacity(), 29);
    DString t;
    t = nullptr; // assigning nothing allocates nothing
    EXPECT_EQ(t.Capacity(), 0);
    std::string largo;
    for (int i = 0; i < 5000; ++i) {
        t += static_cast<char>('a' + i % 26);
        largo += static_cast<char>('a' + i % 26);
    }
    EXPECT_EQ(t.c_str(), largo);
    t.At(0) = '\0';
    EXPECT_TRUE(t.IsEmpty());
}

TEST(DString, AppendingAndFormatting) {
    DString s("a");
    s += 12;
    s += -7L;
    s += 'z';
    s += DString();
    s += static_cast<const char*>(nullptr);
    EXPECT_STREQ(s.c_str(), "a12-7z");
    s += s.c_str() + 1; // appending a piece of itself
    EXPECT_STREQ(s.c_str(), "a12-7z12-7z");

    DString f;
    EXPECT_EQ(f.Format("%d: %s", 3, "x"), 4);
    EXPECT_STREQ(f.c_str(), "3: x");
    // Much longer than any fixed scratch buffer: grows instead of overrunning.
    const std::string enorme(30000, 'q');
    EXPECT_EQ(f.Format("<%s>", enorme.c_str()), 30002);
    EXPECT_EQ(f.Length(), 30002);
    f.Format("%s%s", f.c_str(), "!"); // an argument may be the string itself
    EXPECT_EQ(f.Length(), 30003);
}

TEST(DString, SplitFollowsTheSeparatorRules) {
    EXPECT_EQ(Trozos("QUAD=1,2", "=", -1, false), (V{"QUAD", "1,2"}));
    EXPECT_EQ(Trozos("=5", "=", -1, true), (V{"", "5"}));
    EXPECT_EQ(Trozos("=5", "=", -1, false), (V{"=5"}));
    EXPECT_EQ(Trozos("a==b", "=", -1, true), (V{"a", "", "b"}));
    EXPECT_EQ(Trozos("a==b", "=", -1, false), (V{"a", "b"}));
    EXPECT_EQ(Trozos("QUAD=", "=", -1, true), (V{"QUAD"}));
    EXPECT_EQ(Trozos("", "=", -1, true), V{});
    EXPECT_EQ(Trozos(" a = b ", "=", -1, false), (V{" a ", " b "}));
    EXPECT_EQ(Trozos("a,b;c", ",;", -1, false), (V{"a", "b", "c"}));
}

TEST(DString, SplitLimitKeepsTheRestInTheLastPiece) {
    EXPECT_EQ(Trozos("a=b=c", "=", 2, false), (V{"a", "b=c"}));
    EXPECT_EQ(Trozos("[0,0,1]", "|", 2, true), (V{"[0,0,1]"}));
    EXPECT_EQ(Trozos("[0,0,1]|90|5", "|", 2, true), (V{"[0,0,1]", "90|5"}));
    EXPECT_EQ(Trozos("1:2:3:", ":", 4, true), (V{"1", "2", "3"}));
    EXPECT_EQ(Trozos("1::3:4", ":", 4, true), (V{"1", "", "3", "4"}));
    EXPECT_EQ(Trozos("1:2:3:4:5", ":", 3, true), (V{"1", "2", "3:4:5"}));
    EXPECT_EQ(Trozos("1:2:", ":", 2, true), (V{"1", "2"})); // nothing remains after the last separator
    EXPECT_EQ(Trozos("1:2:3", ":", 2, true), (V{"1", "2:3"}));
    EXPECT_EQ(Trozos("1:2", ":", 0, true), V{});
}

TEST(DString, FindWordHonoursWholeWordAndCase) {
    const DString s("X+X1+AX+_X+x");
    EXPECT_EQ(s.FindWord("X", 0, true, false), 0);
    EXPECT_EQ(s.FindWord("X", 1, true, false), -1); // X1, AX and _X are parts of identifiers
    EXPECT_EQ(s.FindWord("X", 1, true, true), 11);  // x matches when case is ignored
    EXPECT_EQ(s.FindWord("X", 1, false, false), 2);
    EXPECT_EQ(DString("(R),R.").FindWord("R", 2, true, false), 4);
}

TEST(DString, ReplaceWordReplacesWholeWordsOnly) {
    DString s("X+X1+AX");
    EXPECT_EQ(s.ReplaceWord("X", "7", true), 1);
    EXPECT_STREQ(s.c_str(), "7+X1+AX");
    s = "X+X0";
    s.ReplaceWord("X", "7", true);
    EXPECT_STREQ(s.c_str(), "7+X0");
    s = "R*(R)+RR+R_1";
    EXPECT_EQ(s.ReplaceWord("R", "5", true), 2);
    EXPECT_STREQ(s.c_str(), "5*(5)+RR+R_1");
    s = "aab";
    EXPECT_EQ(s.ReplaceWord("ab", "b", false), 2);
    EXPECT_STREQ(s.c_str(), "b"); // the search restarts at 0 and finds the "ab" the first replacement made
}

TEST(DString, ReplaceWordTerminatesWhenTheReplacementHoldsTheWord) {
    DString s("A+A");
    EXPECT_EQ(s.ReplaceWord("A", "A*2", true), 2);
    EXPECT_STREQ(s.c_str(), "A*2+A*2");
    s = "x x";
    EXPECT_EQ(s.ReplaceWord("x", "xx", false), 2);
    EXPECT_STREQ(s.c_str(), "xx xx");
}

TEST(DString, UnquoteAndUnparen) {
    DString s("  \"tex.bmp\"  ");
    EXPECT_TRUE(s.Unquote());
    EXPECT_STREQ(s.c_str(), "tex.bmp");
    s = "tex.bmp\"";
    EXPECT_FALSE(s.Unquote());
    EXPECT_STREQ(s.c_str(), "tex.bmp"); // the closing quote stays removed
    s = "tex.bmp";
    EXPECT_FALSE(s.Unquote());
    s = "\"";
    EXPECT_FALSE(s.Unquote());

    s = "(1,2,3)x";
    EXPECT_TRUE(s.Unparen());
    EXPECT_STREQ(s.c_str(), "1,2,3");
    s = "1,2)";
    EXPECT_FALSE(s.Unparen());
    EXPECT_STREQ(s.c_str(), "1,2"); // cut even though false is returned
    s = ")1";
    EXPECT_FALSE(s.Unparen());
    EXPECT_STREQ(s.c_str(), ")1");
    s = "(1,2";
    EXPECT_FALSE(s.Unparen());
}

TEST(DString, ParensSetsAndTrim) {
    int a = 0, c = 0;
    EXPECT_TRUE(DString("(1+(2*3))").FindParens(a, c));
    EXPECT_EQ(a, 3);
    EXPECT_EQ(c, 7);
    EXPECT_FALSE(DString("2*(3").FindParens(a, c));
    EXPECT_EQ(DString("ab  \"c d\" e").FirstOfSet(" "), 4);
    EXPECT_EQ(DString("\"a b\"c").FirstOfSet(" "), -1);
    EXPECT_EQ(DString("ab   ").FirstOfSet(" "), -1); // the run reaches the end
    DString t("  a b \t ");
    t.Trim();
    EXPECT_STREQ(t.c_str(), "a b \t"); // only spaces are trimmed
    t = "a,b,,c";
    EXPECT_EQ(t.ReplaceChar(',', ';'), 3);
    t.RemoveChars(";b");
    EXPECT_STREQ(t.c_str(), "ac");
    t = "hola";
    t.ToUpper();
    EXPECT_STREQ(t.c_str(), "HOLA");
}

TEST(DString, ToDoubleLikeAtof) {
    EXPECT_EQ(DString().ToDouble(), 0.0);
    EXPECT_EQ(DString("2.5abc").ToDouble(), 2.5);
    EXPECT_EQ(DString("2,5").ToDouble(), 2.0);
    EXPECT_EQ(DString("2,5").ToDouble(true), 2.5);
    EXPECT_EQ(DString("  -1e2").ToDouble(), -100.0);
    EXPECT_EQ(ConvierteEntero(" 42x"), 42);
    EXPECT_STREQ(FormateaReal(1.0 / 3.0).c_str(), "0.333333");
    EXPECT_STREQ(FormateaReal(-2.5).c_str(), "-2.500000");
}
