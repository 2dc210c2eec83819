// The keystroke path of the editor: parse a whole script from memory, and parse plus
// paint it headless at the preview's size (413 x 455).
#include "geometry/Luz_normals.h"
#include "render/Idc_opengl.h"
#include "render/Superficie_egl.h"
#include "render/Vista_previa.h"
#include "script/Objetos_3d.h"
#include "script/Pinta_vista.h"
#include "support/Ficheroqordatos.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

// A script of `n` lines using every command: primitives of each family, formulas,
// macros and transforms, laid out on a grid.
std::string ScriptMixto(int n) {
    std::string s = "#define R=0.4\n#define UP=[0,0,1]\nCENTER=[0,0,0]\n";
    for (int i = 0; i < n; ++i) {
        const std::string x = std::to_string(i % 20 - 10) + "*0.5";
        const std::string y = std::to_string(i / 20 % 20 - 10) + "*0.5";
        switch (i % 16) {
        case 0:
            s += "COLOR=(" + std::to_string(i % 256) + ",128,64)\n";
            break;
        case 1:
            s += "QUAD=[" + x + "," + y + ",0]:[" + x + "+R," + y + ",0]:[" + x + "+R," + y + "+R,0]:[" + x +
                 "," + y + "+R,0]\n";
            break;
        case 2:
            s += "TRIANGLE=[" + x + "," + y + ",1]:[" + x + "+R," + y + ",1]:[" + x + "," + y +
                 "+R*cos(0.3),1]\n";
            break;
        case 3:
            s += "LINE=[" + x + "," + y + ",0]:[" + x + "," + y + ",2]\n";
            break;
        case 4:
            s += "DISK=[" + x + "," + y + ",0.5]:UP:R\n";
            break;
        case 5:
            s += "PUSHTURN=UP|" + std::to_string(i % 360) + "\n";
            break;
        case 6:
            s += "CIRCLE=[" + x + "," + y + ",0.2]:UP:R*2\n";
            break;
        case 7:
            s += "POP\n";
            break;
        case 8:
            s += "CONE=[" + x + "," + y + ",0]:[" + x + "," + y + ",1]:R:0\n";
            break;
        case 9:
            s += "CYLINDER=[" + x + "," + y + ",0]:[" + x + "," + y + ",1]:R\n";
            break;
        case 10:
            s += "SPHERE=[" + x + "," + y + ",1]:R\n";
            break;
        case 11:
            s += "ELIPSOID=[" + x + "," + y + ",1]:[1,0,0]:[0,1,0]:R:R/2:R\n";
            break;
        case 12:
            s += "CUBE=[" + x + "," + y + ",0]:R:0\n";
            break;
        case 13:
            s += "PRISM=[" + x + "," + y + ",0]:[R,R*2,R/2]:0\n";
            break;
        case 14:
            s += "XTRUSION=[" + x + "," + y +
                 ",0]|[-0.2,-0.2,0]:[0.2,-0.2,0]:[0.2,0.2,0]:[-0.2,0.2,0]:[-0.2,-0.2,0]"
                 "|[0,0,0]:1:[0,0,1]:0.5\n";
            break;
        default:
            s += "REVOLUTION=[" + x + "," + y + ",0]|[" + x + "," + y +
                 ",1]|[0.3,0,1]:[0.4,0,0.5]:[0.3,0,0]\n";
            break;
        }
    }
    return s;
}

bool Lee(TObjeto3D& escena, const std::string& texto) {
    TFicheroQORdatos f(fqLeeTexto, texto.data(), static_cast<int32_t>(texto.size()));
    DString error;
    return escena.Lee(f, nullptr, error);
}

void BM_LeeScript(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::string texto = ScriptMixto(n);
    TObjeto3D escena;
    for (auto _ : state)
        benchmark::DoNotOptimize(Lee(escena, texto));
    state.counters["per_line"] = benchmark::Counter(
        static_cast<double>(n), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_LeeScript)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

// Parse and paint: what one keystroke in the editor costs.
void BM_LeeYPintaScript(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::string texto = ScriptMixto(n);
    TSuperficieEGL superficie(413, 455);
    IDCOpenGL dc;
    dc.luz = luzEscena;
    TRectanguloGL rect;
    rect.derecha = 413;
    rect.abajo = 455;
    int bits = 0;
    DString error;
    if (!dc.SetWindow(&superficie, bits, colorAzul, rect, 512, error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    TVistaPrevia vista;
    vista.ResetView();
    TObjeto3D escena;
    for (auto _ : state) {
        Lee(escena, texto);
        PintaVista(dc, escena, vista); // ends with the swap, which waits for the frame
    }
    state.counters["per_line"] = benchmark::Counter(
        static_cast<double>(n), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_LeeYPintaScript)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

} // namespace
