// Line reader and string split over script-sized texts.
#include "support/Dstring.h"
#include "support/Ficheroqordatos.h"
#include "support/Vectores_dg.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

// A script of `n` lines mixing commands, comments, blank lines and long formulas.
std::string ScriptGrande(int n) {
    std::string s;
    for (int i = 0; i < n; ++i) {
        switch (i % 5) {
        case 0:
            s += "QUAD=[0,0,0]:[10,0,0]:[10,10,0]:[0,10,0] ; a face\r\n";
            break;
        case 1:
            s += "\r\n   ; only a comment\r\n";
            break;
        case 2:
            s += "  SPHERE=[2*cos(0.5),2*sin(0.5),R+1]:4.5\r\n";
            break;
        case 3:
            s += "COLOR=(255,128,0)\n";
            break;
        default:
            s += "XTRUSION=[0,0,0]|[-5,-5,0]:[5,-5,0]:[5,5,0]:[-5,5,0]|[0,0,0]:1:[0,0,20]:0.5\n";
            break;
        }
    }
    return s;
}

void BM_LeeLinea(benchmark::State& state) {
    const std::string texto = ScriptGrande(static_cast<int>(state.range(0)));
    int64_t lineas = 0;
    for (auto _ : state) {
        TFicheroQORdatos f(fqLeeTexto, texto.data(), static_cast<int32_t>(texto.size()));
        DString linea;
        for (f.LeeLinea(linea); !linea.IsEmpty(); f.LeeLinea(linea))
            ++lineas;
    }
    state.SetItemsProcessed(lineas);
    state.SetBytesProcessed(static_cast<int64_t>(texto.size()) * state.iterations());
}
BENCHMARK(BM_LeeLinea)->Arg(1000)->Arg(20000);

void BM_Split(benchmark::State& state) {
    const DString ruta("[0,0,0]:1:[0,0,10]:0.9:[0,0,20]:0.8:[0,0,30]:0.7:[0,0,40]:0.6:[0,0,50]:0.5");
    Vector<DString> trozos(2, 1, true);
    for (auto _ : state)
        benchmark::DoNotOptimize(ruta.Split(":", trozos, -1, true));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Split);

void BM_SplitLimitado(benchmark::State& state) {
    const DString quad("[0,0,0]:[10,0,0]:[10,10,0]:[0,10,0]");
    Vector<DString> trozos(2, 1, true);
    for (auto _ : state)
        benchmark::DoNotOptimize(quad.Split(":", trozos, 4, true));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SplitLimitado);

} // namespace
