// Cost of the per-point work that every repaint does: transforming points by a 4x4
// matrix and shading colours with the scene light.
#include <benchmark/benchmark.h>

#include <vector>

#include "geometry/Luz_normals.h"
#include "geometry/Matrix3.h"

namespace {

std::vector<vector3D> Puntos(int n) {
    std::vector<vector3D> puntos;
    puntos.reserve(n);
    for (int i = 0; i < n; ++i)
        puntos.emplace_back(i * 0.01, 1.0 - i * 0.02, 0.5 * i);
    return puntos;
}

void BM_TransformaMatriz4(benchmark::State& state) {
    const auto puntos = Puntos(static_cast<int>(state.range(0)));
    const TMatriz4 M = MatrizGiroRecta({0, 0, 0}, {1, 2, 3}, 0.7) * MatrizTraslacion({1, 2, 3});
    for (auto _ : state) {
        for (const vector3D& p : puntos)
            benchmark::DoNotOptimize(Transforma(M, p));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_TransformaMatriz4)->Arg(1024);

void BM_Ilumina(benchmark::State& state) {
    auto normales = Puntos(static_cast<int>(state.range(0)));
    for (vector3D& n : normales)
        Normaliza(n);
    for (auto _ : state) {
        for (const vector3D& n : normales) {
            uint32_t color = 0xFF80C0;
            Ilumina(luzEscena, color, n, false);
            benchmark::DoNotOptimize(color);
        }
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Ilumina)->Arg(1024);

} // namespace
