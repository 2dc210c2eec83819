// Cost of a repaint of the preview through the headless surface: clearing, drawing N lit
// spheres in immediate mode and finishing the frame, at the editor's preview size; and
// reading the picture back as the 2D icon export does.
#include <benchmark/benchmark.h>

#include "image/Tdibig.h"
#include "render/Idc_opengl.h"
#include "render/Superficie_egl.h"

#include <memory>

namespace {

struct TBanco {
    TBanco(int ancho, int alto) : superficie(ancho, alto) {
        int bits = 0;
        activo = dc.SetWindow(&superficie, bits, colorAzul, {0, 0, ancho, alto}, 512).Correcto();
        dc.luz = luzEscena;
        TMatriz4 proyeccion;
        proyeccion(2, 2) = -1.0;
        dc.SetProjection(TMatriz4(), proyeccion);
    }
    TSuperficieEGL superficie;
    IDCOpenGL dc;
    bool activo = false;
};

void BM_EsferasIluminadas(benchmark::State& state) {
    TBanco banco(413, 455);
    if (!banco.activo) {
        state.SkipWithError("no OpenGL surface");
        return;
    }
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        banco.dc.Clear();
        for (int i = 0; i < n; ++i) {
            const double x = -0.8 + 1.6 * (i % 10) / 9.0, y = -0.8 + 1.6 * (i / 10 % 10) / 9.0;
            banco.dc.Sphere({x, y, 0.0}, 0.15, 0xFFFFFF, modoRelleno);
        }
        banco.dc.Swap();
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_EsferasIluminadas)->Arg(1)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);

void BM_LeePixeles(benchmark::State& state) {
    const int ancho = static_cast<int>(state.range(0)), alto = static_cast<int>(state.range(1));
    TBanco banco(ancho, alto);
    if (!banco.activo) {
        state.SkipWithError("no OpenGL surface");
        return;
    }
    banco.dc.Clear();
    banco.dc.Sphere({0, 0, 0}, 0.5, 0xFFFFFF, modoRelleno);
    banco.dc.Swap();
    TDibIG imagen;
    for (auto _ : state) {
        banco.dc.ReadPixels(imagen);
        benchmark::DoNotOptimize(imagen.Bits());
    }
    state.SetBytesProcessed(state.iterations() * int64_t{ancho} * alto * 3);
}
BENCHMARK(BM_LeePixeles)->Args({413, 455})->Args({256, 256})->Unit(benchmark::kMicrosecond);

} // namespace
