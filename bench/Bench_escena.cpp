// The keystroke path of the editor: parse a whole script from memory, and parse plus
// paint it headless at the preview's size (413 x 455). A third argument above 0 textures
// that many elements from one 1024 x 1024 PNG (to set against the same script untextured).
#include "geometry/Luz_normals.h"
#include "render/Idc_opengl.h"
#include "render/Superficie_egl.h"
#include "render/Vista_previa.h"
#include "script/Objetos_3d.h"
#include "script/Pinta_vista.h"
#include "support/Ficheroqordatos.h"

#include "Script_generado.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

// Reports the time per script line next to the time per iteration.
void CuentaPorLinea(benchmark::State& state, int lineas) {
    state.counters["per_line"] =
        benchmark::Counter(static_cast<double>(lineas),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

bool Lee(TObjeto3D& escena, const std::string& texto) {
    TFicheroQORdatos f(fqLeeTexto, texto.data(), static_cast<int32_t>(texto.size()));
    DString error;
    return escena.Lee(f, nullptr, error);
}

// The script of the arguments; false (the run skipped) when its texture cannot be made.
bool ScriptDe(benchmark::State& state, std::string& texto) {
    if (ScriptTexturado(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)),
                        static_cast<int>(state.range(2)), texto))
        return true;
    state.SkipWithError("ImageMagick's convert could not make the texture");
    return false;
}

void ArgumentosEscena(benchmark::internal::Benchmark* b) {
    for (auto argumentos :
         {std::vector<int64_t>{100, 16, 0}, {1000, 16, 0}, {1000, 8, 0}, {1000, 16, 100}, {1000, 8, 100}})
        b->Args(argumentos);
    b->ArgNames({"lines", "commands", "textured"});
}

void BM_LeeScript(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    std::string texto;
    if (!ScriptDe(state, texto)) return;
    TObjeto3D escena;
    for (auto _ : state)
        benchmark::DoNotOptimize(Lee(escena, texto));
    CuentaPorLinea(state, n);
}
BENCHMARK(BM_LeeScript)->Apply(ArgumentosEscena)->Unit(benchmark::kMillisecond);

// Parse and paint: what one keystroke in the editor costs.
void BM_LeeYPintaScript(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    std::string texto;
    if (!ScriptDe(state, texto)) return;
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
    CuentaPorLinea(state, n);
}
BENCHMARK(BM_LeeYPintaScript)->Apply(ArgumentosEscena)->Unit(benchmark::kMillisecond);

} // namespace
