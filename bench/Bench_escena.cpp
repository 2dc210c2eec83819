// The keystroke path of the editor, headless at the preview's size (413 x 455): a whole
// script read afresh, a read after a one-line change (the elements of the other lines
// taken back), that read with its frame, and a frame alone against the bound of one
// plain vertex-array draw of the frame's own triangles.
#include "geometry/Luz_normals.h"
#include "render/Geometria_escena.h"
#include "render/Idc_opengl.h"
#include "render/Pinta_vista.h"
#include "render/Superficie_egl.h"
#include "script/Lectura_escena.h"

#include "Script_generado.h"

#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <string>

namespace {

// Reports the time per script line next to the time per iteration.
void CuentaPorLinea(benchmark::State& state, int lineas) {
    state.counters["per_line"] =
        benchmark::Counter(static_cast<double>(lineas),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The read of `texto` after `anterior`, or a fresh one.
TLecturaEscena Lee(const std::string& texto, const TLecturaEscena* anterior = nullptr) {
    return LeeEscena(TFuenteEscena::Texto(texto, DString()), anterior);
}

// The script and the same script with one line in its middle changed, in turn: what
// one key typed there changes.
struct TTecleo {
    explicit TTecleo(const benchmark::State& state)
        : n(static_cast<int>(state.range(0))), texto(ScriptMixto(n, static_cast<int>(state.range(1)))),
          cambiado(texto) {
        cambiado.insert(cambiado.find('=', ColumnaLinea(n / 2)) + 1, " ");
    }
    const std::string& Siguiente() { return (otro = !otro) ? cambiado : texto; }
    // Where script line `linea` begins.
    size_t ColumnaLinea(int linea) const {
        size_t p = 0;
        for (int i = 0; i < linea; ++i)
            p = texto.find('\n', p) + 1;
        return p;
    }
    int n;
    std::string texto, cambiado;
    bool otro = false;
};

void BM_LeeScript(benchmark::State& state) {
    const TTecleo t(state);
    for (auto _ : state)
        benchmark::DoNotOptimize(Lee(t.texto));
    CuentaPorLinea(state, t.n);
}
BENCHMARK(BM_LeeScript)->Args({100, 16})->Args({1000, 16})->Args({1000, 8})->Unit(benchmark::kMillisecond);

void BM_LeeUnaLineaCambiada(benchmark::State& state) {
    TTecleo t(state);
    TLecturaEscena lectura;
    for (auto _ : state)
        benchmark::DoNotOptimize(lectura = Lee(t.Siguiente(), &lectura));
    CuentaPorLinea(state, t.n);
}
BENCHMARK(BM_LeeUnaLineaCambiada)
    ->Args({1000, 16})
    ->Args({1000, 8})
    ->Args({5000, 8})
    ->Unit(benchmark::kMillisecond);

// A headless device at the preview's size and the editor's view.
struct TBanco {
    TBanco() {
        dc.luz = luzEscena;
        TRectanguloGL rect;
        rect.derecha = 413;
        rect.abajo = 455;
        int bits = 0;
        activo = dc.SetWindow(&superficie, bits, colorAzul, rect, 512).Correcto();
        vista.camara.ResetView();
    }
    bool Listo(benchmark::State& state) const {
        if (!activo) state.SkipWithError("no OpenGL surface");
        return activo;
    }
    TSuperficieEGL superficie{413, 455};
    IDCOpenGL dc;
    TVistaEscena vista;
    bool activo = false;
};

// A key typed in the middle of the script: the read and the frame.
void BM_LeeYPintaScript(benchmark::State& state) {
    TTecleo t(state);
    TBanco banco;
    if (!banco.Listo(state)) return;
    TLecturaEscena lectura;
    for (auto _ : state) {
        lectura = Lee(t.Siguiente(), &lectura);
        banco.vista.Muestra(lectura.escena);
        // Ends with the swap, which waits for the frame.
        if (!banco.vista.Pinta(banco.dc)) state.SkipWithError("painting failed");
    }
    CuentaPorLinea(state, t.n);
}
BENCHMARK(BM_LeeYPintaScript)
    ->Args({100, 16})
    ->Args({1000, 16})
    ->Args({1000, 8})
    ->Args({5000, 8})
    ->Unit(benchmark::kMillisecond);

// The script of the arguments read and shown; false (the run skipped) without a surface.
bool LeeParaCuadros(benchmark::State& state, TBanco& banco) {
    if (!banco.Listo(state)) return false;
    banco.vista.Muestra(Lee(TTecleo(state).texto).escena);
    return true;
}

// A frame of a scene read before: the painter's own cost beside the bound below.
void BM_PintaEscena(benchmark::State& state) {
    TBanco banco;
    if (!LeeParaCuadros(state, banco)) return;
    for (auto _ : state)
        if (!banco.vista.Pinta(banco.dc)) state.SkipWithError("painting failed");
    state.counters["triangles"] = static_cast<double>(TriangulosEscena(banco.vista.Escena()).size() / 3);
}
BENCHMARK(BM_PintaEscena)->Args({1000, 16})->Args({1000, 8})->Unit(benchmark::kMillisecond);

// The bound: the same triangles in the same colours, under the same view, in one draw
// from one array (the generated script has no scene transform of its own: no CENTER
// away from the origin, no SCALE).
void BM_DibujoDesnudo(benchmark::State& state) {
    TBanco banco;
    if (!LeeParaCuadros(state, banco)) return;
    const std::vector<TVerticeColor> triangulos = TriangulosEscena(banco.vista.Escena());
    for (auto _ : state) {
        CargaVista(banco.dc, banco.vista.camara);
        banco.dc.Clear();
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_COLOR_ARRAY);
        glVertexPointer(3, GL_FLOAT, sizeof(TVerticeColor), triangulos.data()->posicion);
        glColorPointer(4, GL_FLOAT, sizeof(TVerticeColor), triangulos.data()->color);
        glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(triangulos.size()));
        glDisableClientState(GL_COLOR_ARRAY);
        glDisableClientState(GL_VERTEX_ARRAY);
        banco.dc.Swap();
    }
    state.counters["triangles"] = static_cast<double>(triangulos.size() / 3);
}
BENCHMARK(BM_DibujoDesnudo)->Args({1000, 16})->Args({1000, 8})->Unit(benchmark::kMillisecond);

} // namespace
