#include "Carpeta_prueba.h"

#include "support/Var_config.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <iterator>
#include <sys/stat.h>

namespace {

// Points the configuration folder at the test's own folder.
class Config : public prueba::Carpeta {
protected:
    void SetUp() override {
        Carpeta::SetUp();
        setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    }
    fs::path Ini() const { return dir / "pictomolder" / "3d_edit.ini"; }
    std::string Texto() const { return prueba::LeeFichero(Ini()); }
};

} // namespace

TEST_F(Config, MissingKeysDefaultsAndTheAbsentMarker) {
    EXPECT_EQ(RutaPerfil("3d_edit.ini"), Ini());
    TstringConfig c(true, "File", "Name", "3d_edit.ini", "");
    EXPECT_TRUE(c.Valor().IsEmpty());
    EXPECT_EQ(Texto(), "[File]\nName=\n"); // the default is written at once
    c.Asigna("/home/u/a.3di");
    TstringConfig otra(true, "File", "Name", "3d_edit.ini", "ignored");
    EXPECT_STREQ(otra.Valor().c_str(), "/home/u/a.3di");
    // Assigning the same value writes nothing.
    fs::remove(Ini());
    otra.Asigna("/home/u/a.3di");
    EXPECT_FALSE(fs::exists(Ini()));

    // A value equal to the absent marker reads as missing.
    TvarConfig v(true, "File", "Name", "3d_edit.ini");
    v.Escribe("foca_noE");
    DString leido;
    EXPECT_FALSE(v.LeeValor(leido));
    TstringConfig d(true, "File", "Name", "3d_edit.ini", "def");
    EXPECT_STREQ(d.Valor().c_str(), "def");
    EXPECT_TRUE(v.LeeValor(leido));
    EXPECT_STREQ(leido.c_str(), "def");
}

TEST_F(Config, LongValuesAndLineBreaksSurviveARoundTrip) {
    const std::string largo(137, 'v');
    const std::string conSaltos = "line one\r\nline two\nthree\rend";
    {
        TstringConfig a(true, "File", "Name", "3d_edit.ini", "");
        a.Asigna(largo.c_str());
        TstringConfig b(true, "Other", "Text", "3d_edit.ini", "");
        b.Asigna(conSaltos.c_str());
    }
    TstringConfig a(true, "File", "Name", "3d_edit.ini", "");
    TstringConfig b(true, "other", "TEXT", "3d_edit.ini", ""); // names compare without case
    EXPECT_EQ(a.Valor().c_str(), largo);
    EXPECT_EQ(b.Valor().c_str(), conSaltos);
    // One line per value in the file: the breaks are stored as bytes 254 and 255.
    EXPECT_EQ(Texto(), "[File]\nName=" + largo +
                           "\n[Other]\nText=line one\xFE\xFFline two\xFFthree\xFE"
                           "end\n");
}

TEST_F(Config, OtherSectionsAndKeysAreKept) {
    fs::create_directories(Ini().parent_path());
    std::ofstream(Ini()) << "; a comment\n[View]\nZoom=3\n\n[File]\nName=old.3di\nOther=1\n";
    TstringConfig c(true, "File", "Name", "3d_edit.ini", "");
    EXPECT_STREQ(c.Valor().c_str(), "old.3di");
    c.Asigna("new.3di");
    TstringConfig z(true, "View", "Pan", "3d_edit.ini", "0");
    EXPECT_EQ(Texto(), "; a comment\n[View]\nZoom=3\nPan=0\n\n[File]\nName=new.3di\nOther=1\n");
}

// Mended: a FIFO in place of the settings file blocked the start until someone wrote to
// it. Now it reads as no settings and is never replaced (nor is a link: see the editor's
// tests).
TEST_F(Config, AFifoInPlaceOfTheSettingsNeitherBlocksNorIsReplaced) {
    fs::create_directories(Ini().parent_path());
    ASSERT_EQ(::mkfifo(Ini().c_str(), 0600), 0);
    TstringConfig c(true, "File", "Name", "3d_edit.ini", "def");
    EXPECT_STREQ(c.Valor().c_str(), "def");
    EXPECT_FALSE(EscribePerfil("File", "Name", "x", "3d_edit.ini"));
    EXPECT_TRUE(fs::is_fifo(Ini()));
    EXPECT_EQ(std::distance(fs::directory_iterator(Ini().parent_path()), fs::directory_iterator()), 1);
}
