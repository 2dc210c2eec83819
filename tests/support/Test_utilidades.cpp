#include "support/Reloj_tierra.h"
#include "support/Rutas.h"
#include "support/Verifica_dll.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>

namespace {

// A stand-in for the GUI cursor: remembers the current cursor and counts the changes.
CursorQOR cursorActual = cursorNormal;
int cambios = 0;

CursorQOR PonCursorPrueba(CursorQOR c) {
    ++cambios;
    return std::exchange(cursorActual, c);
}

} // namespace

TEST(RelojTierra, NestedGuardsRestoreTheOriginalCursorEvenOnException) {
    {
        InstalaCursorQOR(PonCursorPrueba);
        { TRelojTierra inactivo(false); }
        EXPECT_EQ(cambios, 0);
        {
            TRelojTierra fuera;
            EXPECT_EQ(cursorActual, cursorEspera);
            { TRelojTierra dentro; }
            EXPECT_EQ(cursorActual, cursorEspera);
        }
        EXPECT_EQ(cursorActual, cursorNormal);
        try {
            TRelojTierra r;
            throw 1;
        } catch (int) {
        }
        EXPECT_EQ(cursorActual, cursorNormal);
        InstalaCursorQOR(nullptr);
    }
}

TEST(VerificaDll, MissingModuleMessage) {
    const auto falta = VerificaDLL("zlib.dll", msgDllNoEncontrada);
    ASSERT_FALSE(falta);
    const std::string ruta = (CarpetaPrograma() / "zlib.dll").string();
    EXPECT_EQ(std::string(falta.Mensaje().c_str()), "Error: DLL not found zlib.dll\r\n(" + ruta + ")\r\n");

    // A format holding other printf directives is filled literally, never interpreted.
    const auto literal = VerificaDLL("a%n.dll", "%d %s %n");
    ASSERT_FALSE(literal);
    EXPECT_EQ(std::string(literal.Mensaje().c_str()).substr(0, 12), "%d a%n.dll %");
}

TEST(Rutas, NamesAsWritten) {
    EXPECT_STREQ(Extension("a.b/model.3DS").c_str(), "3DS");
    EXPECT_STREQ(Extension("noext").c_str(), "");
    EXPECT_STREQ(CambiaExtension("dir.x/s.3di", "BAK").c_str(), "dir.x/s.BAK");
    EXPECT_TRUE(EsRutaAbsoluta("/a"));
    EXPECT_TRUE(EsRutaAbsoluta("C:\\a"));
    EXPECT_TRUE(EsRutaAbsoluta("c:/a"));
    // Mended: any ":" made a name absolute; only a drive does.
    EXPECT_FALSE(EsRutaAbsoluta("wood:1.png"));
    EXPECT_FALSE(EsRutaAbsoluta("C:a.png"));
    EXPECT_FALSE(EsRutaAbsoluta("a/b"));
    EXPECT_STREQ(ResuelveRuta("t.bmp", "/icons/house.3di").c_str(), "/icons/t.bmp");
    EXPECT_STREQ(ResuelveRuta("t.bmp", "C:\\icons\\house.3di").c_str(), "C:\\icons\\t.bmp");
    EXPECT_STREQ(ResuelveRuta("t.bmp", "house.3di").c_str(), "t.bmp");
    // Without a script file: the current folder.
    EXPECT_EQ(std::string(ResuelveRuta("t.bmp", "").c_str()),
              (std::filesystem::current_path() / "t.bmp").string());
    EXPECT_EQ(RutaSistema("a\\b.bmp"), std::filesystem::path("a/b.bmp"));
}
