// Formula evaluator on the vector fields typical of icon scripts.
#include "script/Formula.h"

#include <benchmark/benchmark.h>

namespace {

void LeeCampo(benchmark::State& state, const char* texto) {
    const DString campo(texto);
    for (auto _ : state) {
        vector3D v;
        ReadVector(campo, v);
        benchmark::DoNotOptimize(v.x);
    }
}

void BM_ReadVectorLiteral(benchmark::State& state) {
    LeeCampo(state, "[10,-5.5,0]");
}
void BM_ReadVectorFunctions(benchmark::State& state) {
    LeeCampo(state, "[2*cos(0.5),2*sin(0.5),3+4*2]");
}
void BM_ReadVectorSums(benchmark::State& state) {
    LeeCampo(state, "[1,2,3]+[4,5,6]-[1,1,1]");
}
void BM_ReadVectorNested(benchmark::State& state) {
    LeeCampo(state, "[ (1+2)*(3-(4/5)) , -cos(0.25)*10 , 1/3*3 ]");
}

void BM_EvaluateFormula(benchmark::State& state) {
    const DString formula("2*cos(0.5)+3*sin(1.2)-4/7");
    for (auto _ : state)
        benchmark::DoNotOptimize(EvaluateFormula(formula));
}

} // namespace

BENCHMARK(BM_ReadVectorLiteral);
BENCHMARK(BM_ReadVectorFunctions);
BENCHMARK(BM_ReadVectorSums);
BENCHMARK(BM_ReadVectorNested);
BENCHMARK(BM_EvaluateFormula);
