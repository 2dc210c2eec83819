// A read that takes back the elements of the one before gives what a fresh read gives:
// the same elements, the same errors and the same picture, over random edits of the
// examples and of the scripts that use every command.
#include "Lee_script.h"
#include "Scripts_hostiles.h"

#include "image/Tdibig.h"
#include "render/Idc_opengl.h"
#include "render/Pinta_vista.h"
#include "render/Superficie_egl.h"
#include "script/Lectura_escena.h"
#include "script/Volcado_json.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int lado = 96;

std::string LeeFichero(const std::filesystem::path& ruta) {
    std::ifstream f(ruta, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), {}};
}

std::vector<std::string> Lineas(const std::string& texto) {
    std::vector<std::string> lineas;
    std::stringstream s(texto);
    for (std::string l; std::getline(s, l);)
        lineas.push_back(l);
    return lineas;
}

std::string Une(const std::vector<std::string>& lineas) {
    std::string texto;
    for (const std::string& l : lineas)
        texto += l + "\n";
    return texto;
}

// One edit as a person typing makes them: a character typed or taken away, a number
// changed, a line taken away, repeated or moved.
std::string Edita(const std::string& texto, std::mt19937& azar) {
    const auto hasta = [&](size_t n) {
        return n == 0 ? size_t{0} : std::uniform_int_distribution<size_t>(0, n - 1)(azar);
    };
    const std::string teclas = " 0123456789.,:|[]-+*/=()\n;#QSCLPOUX";
    std::string t = texto;
    std::vector<std::string> lineas = Lineas(t);
    switch (hasta(7)) {
    case 0:
        return t.insert(hasta(t.size() + 1), 1, teclas[hasta(teclas.size())]);
    case 1:
        return t.empty() ? t : t.erase(hasta(t.size()), 1);
    case 2:
    case 3: {
        const size_t p = t.find_first_of("0123456789", hasta(t.size()));
        if (p != std::string::npos) t[p] = static_cast<char>('0' + hasta(10));
        return t;
    }
    case 4:
        if (!lineas.empty()) lineas.erase(lineas.begin() + static_cast<std::ptrdiff_t>(hasta(lineas.size())));
        return Une(lineas);
    case 5:
        if (!lineas.empty()) {
            const size_t i = hasta(lineas.size());
            lineas.insert(lineas.begin() + static_cast<std::ptrdiff_t>(hasta(lineas.size())), lineas[i]);
        }
        return Une(lineas);
    default:
        if (lineas.size() > 1) {
            const size_t i = hasta(lineas.size() - 1);
            std::swap(lineas[i], lineas[i + 1]);
        }
        return Une(lineas);
    }
}

// The read of `texto` after `anterior`, or a fresh one.
TLecturaEscena Lee(const std::string& texto, const TLecturaEscena* anterior = nullptr) {
    return LeeEscena(TFuenteEscena::Texto(texto, DString()), anterior);
}

std::string Vuelca(const TObjeto3D& escena, const TLecturaEscena& lectura) {
    return VuelcaEscena(escena, true, lectura.informe.Mensajes().c_str());
}

struct TPantalla {
    TPantalla() {
        int bits = 0;
        activa = dc.SetWindow(&superficie, bits, colorAzul, {0, 0, lado, lado}, 512).Correcto();
        dc.luz = luzEscena;
        camara.ResetView();
        camara.escala = 5.0;
    }
    // Lines take the width that was set last, also in the frame before: each frame
    // starts from the same one.
    std::vector<uint8_t> Pinta(TVistaEscena& vista) {
        glLineWidth(1.0f);
        vista.camara = camara;
        vista.camara.TomaCabecera(vista.Escena());
        EXPECT_TRUE(vista.Pinta(dc));
        TDibIG imagen;
        dc.ReadPixels(imagen);
        return std::vector<uint8_t>(imagen.Bits(), imagen.Bits() + imagen.BytesPixeles());
    }
    TSuperficieEGL superficie{lado, lado};
    IDCOpenGL dc;
    TCamara camara;
    bool activa = false;
};

TEST(LecturaIncremental, GivesWhatAFreshReadGivesOverRandomEdits) {
    TPantalla pantalla;
    ASSERT_TRUE(pantalla.activa);
    std::mt19937 azar(13);
    std::vector<std::filesystem::path> scripts;
    for (const char* carpeta : {PM_EXAMPLES, PM_TEST_DATA "/referencia"})
        for (const auto& e : std::filesystem::directory_iterator(carpeta))
            if (e.path().extension() == ".3di") scripts.push_back(e.path());
    ASSERT_GE(scripts.size(), 10u);
    std::sort(scripts.begin(), scripts.end());
    int tomados = 0;
    for (const auto& ruta : scripts) {
        std::string texto = LeeFichero(ruta);
        TLecturaEscena incremental = Lee(texto);
        // The painter of the incremental reads keeps its frame from one to the next.
        TVistaEscena vistaIncremental;
        for (int paso = 0; paso < 30; ++paso) {
            texto = Edita(texto, azar);
            const std::vector<TObjeto3D::TElemento> antes = incremental.Escena().Elementos();
            const TLecturaEscena fresca = Lee(texto);
            incremental = Lee(texto, &incremental);
            ASSERT_EQ(incremental.Correcta(), fresca.Correcta()) << ruta << " " << paso;
            // A script without CENTER keeps the centre of the read before: that is the
            // scene's, not the elements'.
            auto frescaCentrada = std::make_shared<TObjeto3D>(fresca.Escena());
            frescaCentrada->centro = incremental.Escena().centro;
            ASSERT_EQ(Vuelca(incremental.Escena(), incremental), Vuelca(*frescaCentrada, fresca))
                << ruta << " " << paso << "\n"
                << texto;
            incremental.Escena().ParaCada([&](const TElementoObj3D& e) {
                tomados +=
                    std::any_of(antes.begin(), antes.end(), [&](const auto& a) { return a.get() == &e; });
            });
            // A line of the script highlighted, at one of its fields.
            const TSeleccion seleccion{static_cast<int>(azar() % 30), static_cast<int>(azar() % 4)};
            vistaIncremental.Muestra(incremental.escena);
            vistaIncremental.seleccion = seleccion;
            TVistaEscena vistaFresca(frescaCentrada);
            vistaFresca.seleccion = seleccion;
            ASSERT_EQ(pantalla.Pinta(vistaIncremental), pantalla.Pinta(vistaFresca))
                << ruta << " " << paso << "\n"
                << texto;
        }
    }
    // Most elements were taken back, not read again.
    EXPECT_GT(tomados, 3000);
}

// An element taken back makes its changes of the reader state again, with their checks:
// a POP without its PUSH, the work of the definitions.
TEST(LecturaIncremental, TheBoundsHoldForElementsTakenBack) {
    // A value that is long to replace and quick to evaluate (blanks go first).
    const std::string formula = "#define F=" + std::string(18000, ' ') + "1\n";
    const std::string casos[][2] = {
        {"PUSHSCALE=2\nSPHERE=[0,0,0]:1\nPOP\nPOP\n", "SPHERE=[0,0,0]:1\nPOP\nPOP\n"},
        {formula + hostiles::Repite("SPHERE=[F,0,0]:1\n", 250),
         formula + hostiles::Repite("SPHERE=[F,0,0]:1\n", 249)},
    };
    for (const auto& [antes, despues] : casos) {
        const TLecturaEscena primera = Lee(antes);
        const TLecturaEscena incremental = Lee(despues, &primera);
        const TLecturaEscena fresca = Lee(despues);
        EXPECT_EQ(incremental.Correcta(), fresca.Correcta());
        EXPECT_FALSE(fresca.informe.correcto);
        EXPECT_EQ(Vuelca(incremental.Escena(), incremental), Vuelca(fresca.Escena(), fresca));
    }
}

} // namespace
