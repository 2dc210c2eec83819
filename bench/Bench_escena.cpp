// The keystroke path of the editor, headless at the preview's size (413 x 455): a whole
// script read afresh, a read after a one-line change (the elements of the other lines
// taken back), that read with its frame, and a frame alone against the bound of one
// plain vertex-array draw of the frame's own triangles.
#include "geometry/Luz_normals.h"
#include "render/Geometria_escena.h"
#include "render/Idc_opengl.h"
#include "render/Pinta_vista.h"
#include "render/Superficie_egl.h"
#include "render/Vista_previa.h"
#include "script/Objetos_3d.h"
#include "support/Ficheroqordatos.h"

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

bool Lee(TObjeto3D& escena, const std::string& texto) {
    TFicheroQORdatos f(fqLeeTexto, texto.data(), static_cast<int32_t>(texto.size()));
    DString error;
    return escena.Lee(f, nullptr, error);
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
    for (auto _ : state) {
        TObjeto3D escena;
        benchmark::DoNotOptimize(Lee(escena, t.texto));
    }
    CuentaPorLinea(state, t.n);
}
BENCHMARK(BM_LeeScript)->Args({100, 16})->Args({1000, 16})->Args({1000, 8})->Unit(benchmark::kMillisecond);

void BM_LeeUnaLineaCambiada(benchmark::State& state) {
    TTecleo t(state);
    TObjeto3D escena;
    for (auto _ : state)
        benchmark::DoNotOptimize(Lee(escena, t.Siguiente()));
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
        DString error;
        activo = dc.SetWindow(&superficie, bits, colorAzul, rect, 512, error);
        vista.ResetView();
    }
    bool Listo(benchmark::State& state) const {
        if (!activo) state.SkipWithError("no OpenGL surface");
        return activo;
    }
    TSuperficieEGL superficie{413, 455};
    IDCOpenGL dc;
    TVistaPrevia vista;
    bool activo = false;
};

// A key typed in the middle of the script: the read and the frame.
void BM_LeeYPintaScript(benchmark::State& state) {
    TTecleo t(state);
    TBanco banco;
    if (!banco.Listo(state)) return;
    TObjeto3D escena;
    for (auto _ : state) {
        Lee(escena, t.Siguiente());
        PintaVista(banco.dc, escena, banco.vista); // ends with the swap, which waits for the frame
    }
    CuentaPorLinea(state, t.n);
}
BENCHMARK(BM_LeeYPintaScript)
    ->Args({100, 16})
    ->Args({1000, 16})
    ->Args({1000, 8})
    ->Args({5000, 8})
    ->Unit(benchmark::kMillisecond);

// The script of the arguments read into `escena`; false (the run skipped) without a
// surface.
bool LeeParaCuadros(benchmark::State& state, const TBanco& banco, TObjeto3D& escena) {
    if (!banco.Listo(state)) return false;
    Lee(escena, TTecleo(state).texto);
    return true;
}

// A frame of a scene read before: the painter's own cost beside the bound below.
void BM_PintaEscena(benchmark::State& state) {
    TBanco banco;
    TObjeto3D escena;
    if (!LeeParaCuadros(state, banco, escena)) return;
    for (auto _ : state)
        PintaVista(banco.dc, escena, banco.vista);
    state.counters["triangles"] = static_cast<double>(TriangulosEscena(escena).size() / 3);
}
BENCHMARK(BM_PintaEscena)->Args({1000, 16})->Args({1000, 8})->Unit(benchmark::kMillisecond);

// The bound: the same triangles in the same colours, under the same view, in one draw
// from one array (the generated script has no scene transform of its own: no CENTER
// away from the origin, no SCALE).
void BM_DibujoDesnudo(benchmark::State& state) {
    TBanco banco;
    TObjeto3D escena;
    if (!LeeParaCuadros(state, banco, escena)) return;
    const std::vector<TVerticeColor> triangulos = TriangulosEscena(escena);
    for (auto _ : state) {
        CargaVista(banco.dc, banco.vista);
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
