#include "Carpeta_prueba.h"

#include "support/Ficheroqor.h"
#include "support/Ficheroqordatos.h"
#include "support/Monitor_procesos.h"
#include "support/Throw_qor.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <sys/resource.h>
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

// Runs in a child process: saves safely while writes beyond 100 bytes fail.
[[noreturn]] void GuardaConDiscoLleno(const std::string& ruta) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limite{};
    limite.rlim_cur = limite.rlim_max = 100;
    setrlimit(RLIMIT_FSIZE, &limite);
    TFicheroQOR f;
    if (!f.Abre(ruta.c_str(), fqGrabaTexto | fqSeguro)) std::exit(2);
    f.EscribeDatoTexto(std::string(100000, 'x').c_str());
    std::exit(f.Cierra() ? 3 : 0);
}

using Carpeta = prueba::Carpeta;

} // namespace

TEST(LeeLinea, LineEndsCommentsVoidAndNumbering) {
    const Lineas abc{{0, "A=1"}, {1, "B=2"}, {2, "C=3"}};
    const std::pair<std::string, Lineas> casos[] = {
        {"A=1\nB=2\nC=3\n", abc},
        {"A=1\r\nB=2\r\nC=3\r\n", abc},
        {"A=1\rB=2\rC=3", abc},
        // Blank lines, indentation and blank-only lines are skipped but counted.
        {"\n\n  \t\r\n   QUAD=1  \t\n\n  X=2", {{3, "QUAD=1"}, {5, "X=2"}}},
        {"QUAD=1,2;comment\nB=1", {{0, "QUAD=1,2"}, {1, "B=1"}}},
        {"; only a comment\r\n;another\r\nA=1 ; c\r\n", {{2, "A=1"}}},
        {"TEXTURET=a;b.bmp\n", {{0, "TEXTURET=a"}}},
        {";\n;\n", {}},
        {"A=1\nVOID\nB=2\n", {{0, "A=1"}}},
        {"A=1\nVOID ;end\nB=2\n", {{0, "A=1"}}},
        {"A=1\nVOIDX\n", {{0, "A=1"}, {1, "VOIDX"}}},
        {std::string("A=1\0B=2\n", 8), {{0, "A=1"}, {0, "B=2"}}}, // a zero byte ends a line
        {std::string(25000, 'x') + "\nB=1\n", {{0, std::string(19999, 'x')}, {1, "B=1"}}},
    };
    for (const auto& [texto, esperado] : casos)
        EXPECT_EQ(LeeTexto(texto), esperado) << texto.substr(0, 40);
}

TEST(FicheroDatos, EndOfFilePositionsAndPieces) {
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

    TFicheroQORdatos b(fqLeeBinario, "0123456789", 10);
    b.Posiciona(11);
    EXPECT_EQ(b.Posicion(), 0);
    b.Posiciona(10);
    EXPECT_FALSE(b.FinFichero());
    EXPECT_EQ(b.LeeCaracter(), 0);
    EXPECT_TRUE(b.FinFichero());
    b.Posiciona(8);
    char dos[3] = {};
    EXPECT_FALSE(b.LeeBloque(dos, 3));
    EXPECT_TRUE(b.LeeBloque(dos, 2));
    EXPECT_STREQ(dos, "89");
    b.Posiciona(2);
    b.Salta(3);
    EXPECT_EQ(b.LeeCaracter(), '5');
    EXPECT_THROW(b.EscribeBloque("x", 1), TXTextoQOR); // the caller's block is never written
    EXPECT_THROW(b.get_dato_texto(linea), TXTextoQOR);

    const std::string datos = "12  \"a b\"\tc\nsiguiente";
    TFicheroQORdatos t(fqLeeTexto, datos.data(), static_cast<int32_t>(datos.size()));
    for (const char* esperado : {"12", "\"a b\"", "c", "siguiente"}) {
        t.get_dato_texto(linea);
        EXPECT_STREQ(linea.c_str(), esperado);
    }

    TFicheroQORdatos propio(fqGrabaTexto);
    EXPECT_TRUE(propio.EscribeBloque(std::string(5000, 'z').data(), 5000));
    EXPECT_TRUE(propio.EscribeDatoTexto("fin"));
    EXPECT_EQ(std::string(propio.Datos() + 5000, static_cast<size_t>(propio.Tamano() - 5000)), "fin ");
}

TEST_F(Carpeta, WritingOpeningRulesAndBakCopy) {
    TFicheroQOR f;
    ASSERT_TRUE(f.Abre(Ruta("t.txt").c_str(), fqGrabaTexto));
    f.EscribeDatoTexto("abc");
    EXPECT_TRUE(f.Cierra());
    EXPECT_EQ(Contenido("t.txt"), "abc ");
    ASSERT_TRUE(f.Abre(Ruta("b.bin").c_str(), fqGrabaBinario));
    f.EscribeDatoTexto("ab");
    f.Cierra();
    EXPECT_EQ(Contenido("b.bin"), std::string("\x02\x00"
                                              "ab\x00",
                                              5));

    EXPECT_FALSE(f.Abre(Ruta("missing.3di").c_str(), fqLeeTexto));
    EXPECT_THROW(f.Abre(Ruta("x").c_str(), fqLectura | fqEscritura), TXTextoQOR);
    EXPECT_THROW(f.Abre(Ruta("x").c_str(), fqTexto), TXTextoQOR);
    ASSERT_TRUE(f.Abre(Ruta("x").c_str(), fqGrabaTexto));
    EXPECT_THROW(f.Abre(Ruta("x").c_str(), fqGrabaTexto), TXTextoQOR);
    f.Cierra();
    Escribe("h.txt", "  7 QUAD=1\nB=2\n");
    ASSERT_TRUE(f.Abre(Ruta("h.txt").c_str(), fqLeeTexto | fqCabecera));
    EXPECT_EQ(f.version, 7);
    DString linea;
    f.LeeLinea(linea);
    EXPECT_STREQ(linea.c_str(), "QUAD=1");
    f.Cierra();

    Escribe("s.3di", "old");
    ASSERT_TRUE(f.Abre(Ruta("s.3di").c_str(), fqGrabaTexto | fqCopiaBak));
    f.EscribeDatoTexto("new");
    f.Cierra();
    EXPECT_EQ(Contenido("s.BAK"), "old");
    EXPECT_EQ(Contenido("s.3di"), "new ");
}

TEST_F(Carpeta, SafeSaveReplacesTheFileOnlyWhenTheWriteCompletes) {
    Escribe("s.3di", "old");
    TFicheroQOR f;
    ASSERT_TRUE(f.Abre(Ruta("s.3di").c_str(), fqGrabaTexto | fqSeguro));
    f.EscribeDatoTexto("new");
    EXPECT_EQ(Contenido("s.3di"), "old"); // untouched until the save completes
    EXPECT_TRUE(fs::exists(dir / "s.3di.$$$"));
    EXPECT_TRUE(f.Cierra());
    EXPECT_EQ(Contenido("s.3di"), "new ");
    EXPECT_EQ(Contenido("s.BAK"), "old");
    EXPECT_FALSE(fs::exists(dir / "s.3di.$$$"));
    fs::permissions(dir / "s.3di", fs::perms::owner_read | fs::perms::group_read);
    EXPECT_FALSE(f.Abre(Ruta("s.3di").c_str(), fqGrabaTexto | fqSeguro));

    // A child process with a tiny file-size limit stands in for a full disk.
    Escribe("p.3di", "precious");
    EXPECT_EXIT(GuardaConDiscoLleno(Ruta("p.3di")), ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(Contenido("p.3di"), "precious");
    EXPECT_FALSE(fs::exists(dir / "p.3di.$$$"));
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
    std::string leido(30000, '\0');
    EXPECT_TRUE(f.LeeBloque(leido.data(), 25000, &progreso, 10000));
    EXPECT_EQ(leido.substr(0, 25000), datos);
    f.Posiciona(0);
    EXPECT_FALSE(f.LeeBloque(leido.data(), 30000)); // more than the file holds
    EXPECT_TRUE(f.LeeBloque(leido.data(), 0));
}
