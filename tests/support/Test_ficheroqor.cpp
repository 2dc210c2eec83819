#include "support/Ficheroqor.h"
#include "support/Ficheroqordatos.h"
#include "support/Monitor_procesos.h"
#include "support/Throw_qor.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Lineas = std::vector<std::pair<int, std::string>>;

// Every line the reader yields, with its number, up to the end of the text.
Lineas LeeTodo(TFicheroQOR& f) {
    Lineas r;
    DString linea;
    for (int n = f.LeeLinea(linea); !linea.IsEmpty(); n = f.LeeLinea(linea))
        r.emplace_back(n, linea.c_str());
    return r;
}

Lineas LeeTexto(const std::string& texto) {
    TFicheroQORdatos f(fqLeeTexto, texto.data(), static_cast<int32_t>(texto.size()));
    return LeeTodo(f);
}

std::string Contenido(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), {}};
}

class Carpeta : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("pm_fichero_" + std::to_string(::getpid()) + "_" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string Ruta(const char* nombre) const { return (dir / nombre).string(); }
    fs::path dir;
};

// Runs in a child process: saves safely while writes beyond 100 bytes fail.
[[noreturn]] void GuardaConDiscoLleno(const std::string& ruta) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limite{};
    limite.rlim_cur = limite.rlim_max = 100;
    setrlimit(RLIMIT_FSIZE, &limite);
    TFicheroQOR f;
    if (!f.Abre(ruta.c_str(), fqGrabaTexto | fqSeguro)) std::exit(2);
    const std::string mucho(100000, 'x');
    f.EscribeDatoTexto(mucho.c_str());
    std::exit(f.Cierra() ? 3 : 0);
}

} // namespace

TEST(LeeLinea, NumbersLinesAlikeForEveryLineEnd) {
    const Lineas esperado{{0, "A=1"}, {1, "B=2"}, {2, "C=3"}};
    EXPECT_EQ(LeeTexto("A=1\nB=2\nC=3\n"), esperado);
    EXPECT_EQ(LeeTexto("A=1\r\nB=2\r\nC=3\r\n"), esperado);
    EXPECT_EQ(LeeTexto("A=1\rB=2\rC=3"), esperado);
    // Blank lines, indentation and blank-only lines are skipped but counted.
    EXPECT_EQ(LeeTexto("\n\n  \t\r\n   QUAD=1  \t\n\n  X=2"), (Lineas{{3, "QUAD=1"}, {5, "X=2"}}));
}

TEST(LeeLinea, CommentsEndTheLine) {
    EXPECT_EQ(LeeTexto("QUAD=1,2;comment\nB=1"), (Lineas{{0, "QUAD=1,2"}, {1, "B=1"}}));
    EXPECT_EQ(LeeTexto("; only a comment\r\n;another\r\nA=1 ; c\r\n"), (Lineas{{2, "A=1"}}));
    EXPECT_EQ(LeeTexto("TEXTURET=a;b.bmp\n"), (Lineas{{0, "TEXTURET=a"}}));
    EXPECT_EQ(LeeTexto(";\n;\n"), Lineas{});
}

TEST(LeeLinea, VoidEndsTheTextAndZeroBytesEndLines) {
    EXPECT_EQ(LeeTexto("A=1\nVOID\nB=2\n"), (Lineas{{0, "A=1"}}));
    EXPECT_EQ(LeeTexto("A=1\nVOID ;end\nB=2\n"), (Lineas{{0, "A=1"}}));
    EXPECT_EQ(LeeTexto("A=1\nVOIDX\n"), (Lineas{{0, "A=1"}, {1, "VOIDX"}}));
    const std::string conCero("A=1\0B=2\n", 8);
    EXPECT_EQ(LeeTexto(conCero), (Lineas{{0, "A=1"}, {0, "B=2"}}));
}

TEST(LeeLinea, LongLinesAreCutAt19999Characters) {
    const std::string largo(25000, 'x');
    const auto r = LeeTexto(largo + "\nB=1\n");
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].second, std::string(19999, 'x'));
    EXPECT_EQ(r[1], (std::pair<int, std::string>{1, "B=1"}));
}

TEST(LeeLinea, LastLineWithoutLineEndThenEndOfText) {
    const std::string texto = "QUAD=1";
    TFicheroQORdatos f(fqLeeTexto, texto.data(), static_cast<int32_t>(texto.size()));
    DString linea;
    EXPECT_EQ(f.LeeLinea(linea), 0);
    EXPECT_STREQ(linea.c_str(), "QUAD=1");
    f.LeeLinea(linea);
    EXPECT_TRUE(linea.IsEmpty());
    EXPECT_TRUE(f.FinFichero());
    f.LeeLinea(linea); // reading on past the end stays at the end
    EXPECT_TRUE(linea.IsEmpty());
}

TEST(FicheroDatos, EndOfFileAndPositions) {
    const char diez[10] = {'0', '1', '2', '3', '4', '5', '6', '7', '8', '9'};
    TFicheroQORdatos f(fqLeeBinario, diez, 10);
    f.Posiciona(11);
    EXPECT_EQ(f.Posicion(), 0);
    f.Posiciona(10);
    EXPECT_FALSE(f.FinFichero());
    EXPECT_EQ(f.LeeCaracter(), 0);
    EXPECT_TRUE(f.FinFichero());
    f.Posiciona(8);
    char dos[3] = {};
    EXPECT_FALSE(f.LeeBloque(dos, 3));
    EXPECT_TRUE(f.LeeBloque(dos, 2));
    EXPECT_STREQ(dos, "89");
    f.Posiciona(2);
    f.Salta(3);
    EXPECT_EQ(f.LeeCaracter(), '5');
    // The caller's block can never be written.
    EXPECT_THROW(f.EscribeBloque("x", 1), TXTextoQOR);
}

TEST(FicheroDatos, OwnBlockGrowsAsItIsWritten) {
    TFicheroQORdatos f(fqGrabaTexto);
    const std::string mucho(5000, 'z');
    EXPECT_TRUE(f.EscribeBloque(mucho.data(), static_cast<long>(mucho.size())));
    EXPECT_TRUE(f.EscribeDatoTexto("fin"));
    EXPECT_EQ(f.Tamano(), 5004);
    EXPECT_GE(f.capacidad, 5004);
    EXPECT_EQ(f.capacidad % 4, 0);
    EXPECT_EQ(std::string(f.Datos() + 5000, 4), "fin ");
}

TEST(FicheroDatos, TextDataComeBackPieceByPiece) {
    const std::string texto = "12  \"a b\"\tc\nsiguiente";
    TFicheroQORdatos f(fqLeeTexto, texto.data(), static_cast<int32_t>(texto.size()));
    DString dato;
    f.get_dato_texto(dato);
    EXPECT_STREQ(dato.c_str(), "12");
    f.get_dato_texto(dato);
    EXPECT_STREQ(dato.c_str(), "\"a b\"");
    f.get_dato_texto(dato);
    EXPECT_STREQ(dato.c_str(), "c");
    f.get_dato_texto(dato);
    EXPECT_STREQ(dato.c_str(), "siguiente");
    TFicheroQORdatos binario(fqLeeBinario, texto.data(), 4);
    EXPECT_THROW(binario.get_dato_texto(dato), TXTextoQOR);
}

TEST_F(Carpeta, WritingTextAndBinaryData) {
    TFicheroQOR f;
    ASSERT_TRUE(f.Abre(Ruta("t.txt").c_str(), fqGrabaTexto));
    f.EscribeDatoTexto("abc");
    EXPECT_TRUE(f.Cierra());
    EXPECT_EQ(Contenido(dir / "t.txt"), "abc ");

    ASSERT_TRUE(f.Abre(Ruta("b.bin").c_str(), fqGrabaBinario));
    f.EscribeDatoTexto("ab");
    f.Cierra();
    EXPECT_EQ(Contenido(dir / "b.bin"), std::string("\x02\x00"
                                                    "ab\x00",
                                                    5));
}

TEST_F(Carpeta, OpeningRulesAndMisuse) {
    TFicheroQOR f;
    EXPECT_FALSE(f.Abre(Ruta("missing.3di").c_str(), fqLeeTexto));
    EXPECT_THROW(f.Abre(Ruta("x").c_str(), fqLectura | fqEscritura), TXTextoQOR);
    EXPECT_THROW(f.Abre(Ruta("x").c_str(), fqTexto), TXTextoQOR);
    ASSERT_TRUE(f.Abre(Ruta("x").c_str(), fqGrabaTexto));
    EXPECT_THROW(f.Abre(Ruta("x").c_str(), fqGrabaTexto), TXTextoQOR);
    f.Cierra();

    std::ofstream(dir / "h.txt") << "  7 QUAD=1\nB=2\n";
    ASSERT_TRUE(f.Abre(Ruta("h.txt").c_str(), fqLeeTexto | fqCabecera));
    EXPECT_EQ(f.version, 7);
    DString linea;
    f.LeeLinea(linea);
    EXPECT_STREQ(linea.c_str(), "QUAD=1");
}

TEST_F(Carpeta, BakCopyBeforeWriting) {
    std::ofstream(dir / "s.3di") << "old";
    TFicheroQOR f;
    ASSERT_TRUE(f.Abre(Ruta("s.3di").c_str(), fqGrabaTexto | fqCopiaBak));
    f.EscribeDatoTexto("new");
    f.Cierra();
    EXPECT_EQ(Contenido(dir / "s.BAK"), "old");
    EXPECT_EQ(Contenido(dir / "s.3di"), "new ");
}

TEST_F(Carpeta, SafeSaveReplacesTheFileOnClosing) {
    std::ofstream(dir / "s.3di") << "old";
    TFicheroQOR f;
    ASSERT_TRUE(f.Abre(Ruta("s.3di").c_str(), fqGrabaTexto | fqSeguro));
    f.EscribeDatoTexto("new");
    EXPECT_EQ(Contenido(dir / "s.3di"), "old"); // untouched until the save completes
    EXPECT_TRUE(fs::exists(dir / "s.3di.$$$"));
    EXPECT_TRUE(f.Cierra());
    EXPECT_EQ(Contenido(dir / "s.3di"), "new ");
    EXPECT_EQ(Contenido(dir / "s.BAK"), "old");
    EXPECT_FALSE(fs::exists(dir / "s.3di.$$$"));

    fs::permissions(dir / "s.3di", fs::perms::owner_read | fs::perms::group_read);
    EXPECT_FALSE(f.Abre(Ruta("s.3di").c_str(), fqGrabaTexto | fqSeguro));
}

TEST_F(Carpeta, SafeSaveKeepsTheOldFileWhenTheDiskFills) {
    std::ofstream(dir / "s.3di") << "precious";
    const std::string ruta = Ruta("s.3di");
    // A child process with a tiny file-size limit stands in for a full disk.
    EXPECT_EXIT(GuardaConDiscoLleno(ruta), ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(Contenido(dir / "s.3di"), "precious");
    EXPECT_FALSE(fs::exists(dir / "s.3di.$$$"));
}

TEST_F(Carpeta, BlocksWithProgress) {
    const std::string datos(25000, 'd');
    TFicheroQOR f;
    ASSERT_TRUE(f.Abre(Ruta("d.bin").c_str(), fqGrabaBinario));
    TMonitorProcesos progreso;
    EXPECT_TRUE(f.EscribeBloque(datos.data(), 25000, &progreso, 10000));
    EXPECT_EQ(progreso.hechas, 25000);
    EXPECT_EQ(progreso.total, 25000);
    f.Cierra();

    ASSERT_TRUE(f.Abre(Ruta("d.bin").c_str(), fqLeeBinario));
    EXPECT_EQ(f.Tamano(), 25000);
    std::string leido(25000, '\0');
    TMonitorProcesos lectura;
    EXPECT_TRUE(f.LeeBloque(leido.data(), 25000, &lectura, 10000));
    EXPECT_EQ(leido, datos);
    f.Posiciona(0);
    std::string mas(30000, '\0');
    EXPECT_FALSE(f.LeeBloque(mas.data(), 30000)); // more than the file holds
    EXPECT_TRUE(f.LeeBloque(mas.data(), 0));
}
