#include "Carpeta_prueba.h"

#include "support/Ficheroqor.h"
#include "support/Ficheroqordatos.h"
#include "support/Guardado_seguro.h"

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <utility>
#include <vector>

namespace {

using Lineas = std::vector<std::pair<int, std::string>>;

// Every line the reader yields from the text, with its number, up to the end.
Lineas LeeTexto(const std::string& texto) {
    TFicheroQORdatos f(fqLeeTexto, texto.data(), static_cast<int32_t>(texto.size()));
    Lineas r;
    DString linea;
    for (int n = f.LeeLinea(linea); !linea.IsEmpty(); n = f.LeeLinea(linea))
        r.emplace_back(n, linea.c_str());
    return r;
}

// Runs in a child process: saves `texto` safely while writes beyond `limite` bytes fail
// (a nearly full disk); exits with 0 when the save reported success.
[[noreturn]] void GuardaConLimite(const std::string& ruta, const std::string& texto, rlim_t limite,
                                  int32_t modo = fqGrabaTexto | fqSeguro) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit r{};
    r.rlim_cur = r.rlim_max = limite;
    setrlimit(RLIMIT_FSIZE, &r);
    TFicheroQOR f;
    if (!f.Abre(ruta.c_str(), modo)) std::exit(2);
    f.EscribeDatoTexto(texto.c_str());
    std::exit(f.Cierra() ? 0 : 1);
}

bool Guarda(const std::string& ruta, const std::string& texto, int32_t modo = fqGrabaTexto | fqSeguro) {
    TFicheroQOR f;
    if (!f.Abre(ruta.c_str(), modo)) return false;
    const bool escrito = f.EscribeDatoTexto(texto.data(), texto.size());
    return f.Cierra() && escrito;
}

using Carpeta = prueba::Carpeta;

} // namespace

TEST(LeeLinea, LineEndsCommentsVoidAndNumbering) {
    const Lineas abc{{0, "A=1"}, {1, "B=2"}, {2, "C=3"}};
    const std::pair<std::string, Lineas> casos[] = {
        {"A=1\nB=2\nC=3\n", abc},
        {"A=1\r\nB=2\r\nC=3\r\n", abc},
        // Blank lines, indentation and blank-only lines are skipped but counted.
        {"\n\n  \t\r\n   QUAD=1  \t\n\n  X=2", {{3, "QUAD=1"}, {5, "X=2"}}},
        {"; only a comment\r\n;another\r\nA=1 ; c\r\n", {{2, "A=1"}}},
        {"TEXTURET=a;b.bmp\n", {{0, "TEXTURET=a"}}},
        {"A=1\nVOID\nB=2\n", {{0, "A=1"}}},
        {"A=1\nVOIDX\n", {{0, "A=1"}, {1, "VOIDX"}}},
        {std::string("A=1\0B=2\n", 8), {{0, "A=1"}, {0, "B=2"}}}, // a zero byte ends a line
        {std::string(25000, 'x') + "\nB=1\n", {{0, std::string(19999, 'x')}, {1, "B=1"}}},
    };
    for (const auto& [texto, esperado] : casos)
        EXPECT_EQ(LeeTexto(texto), esperado) << texto.substr(0, 40);
}

TEST(FicheroDatos, EndOfFileAndPieces) {
    const std::string texto = "QUAD=1";
    TFicheroQORdatos f(fqLeeTexto, texto.data(), static_cast<int32_t>(texto.size()));
    DString linea;
    f.LeeLinea(linea);
    f.LeeLinea(linea);
    EXPECT_TRUE(f.FinFichero());
    f.LeeLinea(linea); // reading on past the end stays at the end
    EXPECT_TRUE(linea.IsEmpty());

    const std::string datos = "12  \"a b\"\tc\nsiguiente";
    TFicheroQORdatos t(fqLeeTexto, datos.data(), static_cast<int32_t>(datos.size()));
    for (const char* esperado : {"12", "\"a b\"", "c", "siguiente"}) {
        t.get_dato_texto(linea);
        EXPECT_STREQ(linea.c_str(), esperado);
    }
}

TEST_F(Carpeta, WritingOpeningRulesAndBakCopy) {
    TFicheroQOR f;
    ASSERT_TRUE(f.Abre(Ruta("b.bin").c_str(), fqGrabaBinario));
    f.EscribeDatoTexto("ab");
    f.Cierra();
    EXPECT_EQ(Contenido("b.bin"), std::string("\x02\x00"
                                              "ab\x00",
                                              5));

    EXPECT_FALSE(f.Abre(Ruta("missing.3di").c_str(), fqLeeTexto));

    Escribe("s.3di", "old");
    ASSERT_TRUE(f.Abre(Ruta("s.3di").c_str(), fqGrabaTexto | fqCopiaBak));
    f.EscribeDatoTexto("new");
    f.Cierra();
    EXPECT_EQ(Contenido("s.BAK"), "old");
    EXPECT_EQ(Contenido("s.3di"), "new ");
}

class GuardadoSeguro : public Carpeta {
protected:
    // What saves leave in the folder besides the files themselves.
    std::vector<std::string> Temporales() const {
        std::vector<std::string> r;
        for (const auto& e : fs::directory_iterator(dir))
            if (e.path().filename().string().find(".$$$") != std::string::npos)
                r.push_back(e.path().string());
        return r;
    }
    fs::perms Permisos(const char* nombre) const { return fs::status(dir / nombre).permissions(); }
};

TEST_F(GuardadoSeguro, ReplacesTheFileOnlyWhenTheWriteCompletes) {
    Escribe("s.3di", "old");
    TFicheroQOR f;
    ASSERT_TRUE(f.Abre(Ruta("s.3di").c_str(), fqGrabaTexto | fqSeguro));
    // Mended: the text went out up to its first zero byte; now every byte does.
    EXPECT_TRUE(f.EscribeDatoTexto("a\0b", 3));
    EXPECT_EQ(Contenido("s.3di"), "old"); // untouched until the save completes
    EXPECT_TRUE(f.Cierra());
    EXPECT_EQ(Contenido("s.3di"), std::string("a\0b ", 4));
    EXPECT_EQ(Contenido("s.BAK"), "old");
    EXPECT_TRUE(Temporales().empty());
    EXPECT_STREQ(f.Motivo(), "");

    // An autosave copy keeps no backup; a new file gets the usual permissions.
    EXPECT_TRUE(Guarda(Ruta("n.3di"), "1", fqGrabaTexto | fqSeguro | fqSinCopiaBak));
    EXPECT_TRUE(Guarda(Ruta("n.3di"), "2", fqGrabaTexto | fqSeguro | fqSinCopiaBak));
    EXPECT_FALSE(fs::exists(dir / "n.BAK"));
    EXPECT_EQ(Permisos("n.3di"), fs::perms(PermisosNuevos()));

    EXPECT_FALSE(f.Abre(Ruta("none/s.3di").c_str(), fqGrabaTexto | fqSeguro));
    EXPECT_STREQ(f.Motivo(), "No such file or directory");

    // A child process with a tiny file-size limit stands in for a full disk.
    Escribe("p.3di", "precious");
    EXPECT_EXIT(GuardaConLimite(Ruta("p.3di"), std::string(100000, 'x'), 100), ::testing::ExitedWithCode(1),
                "");
    EXPECT_EQ(Contenido("p.3di"), "precious");
    EXPECT_TRUE(Temporales().empty());
}

// Mended: on a nearly full disk the backup was cut short (8 KB of 30) and the save still
// replaced the file, so the old version was lost. The backup is a second link to the old
// file now, which writes nothing; a backup that cannot be made fails the save.
TEST_F(GuardadoSeguro, TheBackupIsWholeOrTheSaveFails) {
    const std::string antiguo(30000, 'o');
    Escribe("s.3di", antiguo);
    EXPECT_EXIT(GuardaConLimite(Ruta("s.3di"), "new", 8192), ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(Contenido("s.3di"), "new ");
    EXPECT_EQ(Contenido("s.BAK"), antiguo);
    // A plain write's backup is a copy, which the disk cannot hold here.
    Escribe("c.3di", antiguo);
    EXPECT_EXIT(GuardaConLimite(Ruta("c.3di"), "new", 8192, fqGrabaTexto | fqCopiaBak),
                ::testing::ExitedWithCode(2), "");
    EXPECT_EQ(Contenido("c.3di"), antiguo);
    EXPECT_FALSE(fs::exists(dir / "c.BAK"));
}

// Mended: every save wrote "NAME.$$$", so two saves at once wrote into one file and
// 79 of 600 left a mixed or empty script while reporting success.
TEST_F(GuardadoSeguro, SavesAtTheSameTimeNeverMix) {
    Escribe("s.3di", "start");
    std::vector<std::thread> hilos;
    std::atomic<int> mezclas = 0, fallos = 0;
    for (char letra = 'a'; letra < 'a' + 6; ++letra)
        hilos.emplace_back([&, letra] {
            for (int i = 0; i < 40; ++i) {
                if (!Guarda(Ruta("s.3di"), std::string(20000, letra))) ++fallos;
                const std::string leido = Contenido("s.3di");
                if (leido.size() != 20001 || leido.find_first_not_of(leido[0]) != 20000) ++mezclas;
            }
        });
    for (auto& h : hilos)
        h.join();
    EXPECT_EQ(fallos, 0);
    EXPECT_EQ(mezclas, 0);
    EXPECT_TRUE(Temporales().empty());
}

// Mended: links planted under the temporary or the backup name made the save write
// through them into other files; then a link at the backup's name was replaced. The
// backup is the program's own file: a link or a folder in its place is left alone, the
// script is saved without it, and the save says so.
TEST_F(GuardadoSeguro, PlantedLinksAreNeverWrittenThroughNorReplaced) {
    Escribe("victim1", "one");
    Escribe("victim2", "two");
    fs::create_symlink(dir / "victim1", dir / "s.3di.$$$");
    fs::create_symlink(dir / "victim2", dir / "s.BAK");
    fs::create_directories(dir / "f.BAK" / "in");
    for (const char* nombre : {"s", "f"}) {
        const std::string script = Escribe((std::string(nombre) + ".3di").c_str(), "old");
        TFicheroQOR f;
        ASSERT_TRUE(f.Abre(script.c_str(), fqGrabaTexto | fqSeguro));
        EXPECT_TRUE(f.EscribeDatoTexto("new"));
        EXPECT_TRUE(f.Cierra());
        EXPECT_EQ(prueba::LeeFichero(script), "new ");
        const std::string bak = Ruta((std::string(nombre) + ".BAK").c_str());
        EXPECT_EQ(f.Aviso(), "No backup was kept: " + bak +
                                 (nombre[0] == 's' ? " is a symbolic link" : " is not a regular file") +
                                 ", left alone");
    }
    EXPECT_EQ(Contenido("victim1"), "one");
    EXPECT_EQ(Contenido("victim2"), "two");
    EXPECT_TRUE(fs::is_symlink(dir / "s.BAK"));
    EXPECT_TRUE(fs::is_directory(dir / "f.BAK" / "in"));
}

// Mended: a save made every script 644 (a private one world-readable) and replaced a
// link by a regular file, leaving the linked file with the old text.
TEST_F(GuardadoSeguro, KeepsPermissionsAndLinksAndRefusesSpecialFiles) {
    for (const auto modo : {fs::perms::owner_read | fs::perms::owner_write,
                            fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                fs::perms::others_read | fs::perms::others_exec}) {
        Escribe("m.3di", "old");
        fs::permissions(dir / "m.3di", modo);
        EXPECT_TRUE(Guarda(Ruta("m.3di"), "new"));
        EXPECT_EQ(Permisos("m.3di"), modo);
    }

    fs::create_directory(dir / "real");
    Escribe("real/t.3di", "old");
    fs::create_symlink("real/t.3di", dir / "link.3di");
    EXPECT_TRUE(Guarda(Ruta("link.3di"), "new"));
    EXPECT_TRUE(fs::is_symlink(dir / "link.3di"));
    EXPECT_EQ(Contenido("real/t.3di"), "new ");
    EXPECT_EQ(Contenido("real/t.BAK"), "old");

    // A FIFO is neither replaced nor waited on, for writing or for reading.
    ASSERT_EQ(::mkfifo(Ruta("pipe.3di").c_str(), 0600), 0);
    TFicheroQOR f;
    for (const int32_t modo : {fqGrabaTexto | fqSeguro, fqLeeTexto, fqGrabaBinario})
        EXPECT_FALSE(f.Abre(Ruta("pipe.3di").c_str(), modo));
    EXPECT_TRUE(fs::is_fifo(dir / "pipe.3di"));
    EXPECT_FALSE(f.Abre("/dev/zero", fqLeeTexto));
    EXPECT_FALSE(f.Abre(dir.c_str(), fqGrabaTexto | fqSeguro));
}

TEST_F(GuardadoSeguro, LinksAreFollowedToTheEndAndALoopIsRefusedWithTheSystemsReason) {
    fs::create_directory(dir / "d");
    fs::create_symlink("d/b", dir / "a");
    fs::create_symlink("c", dir / "d/b");
    const auto real = ResuelveEnlaces(Ruta("a"));
    ASSERT_TRUE(real) << real.Mensaje().c_str();
    EXPECT_EQ(fs::path(*real), dir / "d/c"); // need not exist

    fs::create_symlink("y", dir / "x");
    fs::create_symlink("x", dir / "y");
    const auto bucle = ResuelveEnlaces(Ruta("x"));
    ASSERT_FALSE(bucle);
    EXPECT_EQ(bucle.Causa(), TCausa::entradaSalida);
    EXPECT_STREQ(bucle.Mensaje().c_str(), std::strerror(ELOOP));
    TFicheroQOR f;
    EXPECT_FALSE(f.Abre(Ruta("x").c_str(), fqGrabaTexto | fqSeguro));
    EXPECT_STREQ(f.Motivo(), std::strerror(ELOOP));
}
