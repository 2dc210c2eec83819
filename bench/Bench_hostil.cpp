// Hostile scripts (tests/script/Scripts_hostiles.h): the time and the peak memory of
// reading each one, as the editor does on every keystroke. Each should stay under a
// second and 256 MB. The peak ("pico_MB") is the process's resident peak, set back
// before each script.
#include "Pico_memoria.h"
#include "Scripts_hostiles.h"

#include "script/Lectura_escena.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

void LeeHostil(benchmark::State& estado, const std::string& texto) {
    PonACeroPico();
    for (auto _ : estado)
        benchmark::DoNotOptimize(LeeEscena(TFuenteEscena::Texto(texto, DString())));
    estado.counters["pico_MB"] = PicoMB();
}

const bool registrados = [] {
    for (auto& [nombre, texto] : hostiles::Todos())
        benchmark::RegisterBenchmark(nombre, [texto = std::move(texto)](benchmark::State& s) {
            LeeHostil(s, texto);
        })->Unit(benchmark::kMillisecond);
    return true;
}();

} // namespace
