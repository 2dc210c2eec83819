// The icon export of examples/mushroom.3di at the seven default sizes into an icon file.
// BM_ComandoExporta is the whole `pictomolder-cli export mushroom.3di -o x.ico`, meant to
// take under 150 ms. The rest tell where that time goes:
//   BM_ComandoCheck       the process and the parse alone (`pictomolder-cli check`);
//   BM_ComandoRender1x1   with the OpenGL driver's start and its first frame added (a
//                         1 x 1 `render`, whose shaders the driver compiles on first use);
//   BM_ExportaIcono       in a running process: framing and the seven pictures (each
//                         drawn at 4 to 16 times its side and averaged);
//   BM_ExportaLado/N      one size without framing;
//   BM_CodificaICO        writing the seven pictures as an icon file in memory.
#include "image/Graba_ico.h"
#include "render/Exporta_icono.h"
#include "script/Lectura_escena.h"

#include "Ejecuta_programa.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

namespace {

const std::string champinon = std::string(PM_EXAMPLES) + "/mushroom.3di";

std::string Temporal(const char* nombre) {
    return (std::filesystem::temp_directory_path() /
            ("pm_bench_exporta_" + std::to_string(::getpid()) + nombre))
        .string();
}

void Comando(benchmark::State& state, const std::vector<std::string>& argumentos) {
    for (auto _ : state)
        if (!Ejecuta(argumentos)) state.SkipWithError("pictomolder-cli failed");
}

void BM_ComandoExporta(benchmark::State& state) {
    const std::string ico = Temporal(".ico");
    Comando(state, {PM_CLI, "export", champinon, "-o", ico});
    std::filesystem::remove(ico);
}

void BM_ComandoCheck(benchmark::State& state) {
    Comando(state, {PM_CLI, "check", champinon});
}

void BM_ComandoRender1x1(benchmark::State& state) {
    const std::string bmp = Temporal(".bmp");
    Comando(state, {PM_CLI, "render", champinon, "-o", bmp, "--size", "1x1"});
    std::filesystem::remove(bmp);
}

struct TChampinon {
    TChampinon() : lectura(LeeEscena(TFuenteEscena::Fichero(champinon.c_str()))) {
        opciones.camara.ResetView();
    }
    bool Exporta(TImagenesIcono& imagenes) {
        TResultado<TImagenesIcono> exportadas = ExportaIcono(lectura.escena, opciones);
        if (!exportadas) return false;
        imagenes = std::move(exportadas).Valor();
        return true;
    }
    TLecturaEscena lectura;
    TOpcionesIcono opciones;
};

void BM_ExportaIcono(benchmark::State& state) {
    TChampinon c;
    TImagenesIcono imagenes;
    for (auto _ : state)
        if (!c.Exporta(imagenes)) state.SkipWithError("export failed");
}

void BM_ExportaLado(benchmark::State& state) {
    TChampinon c;
    c.opciones.lados = {static_cast<int>(state.range(0))};
    c.opciones.encuadra = false;
    TImagenesIcono imagenes;
    for (auto _ : state)
        if (!c.Exporta(imagenes)) state.SkipWithError("export failed");
}

void BM_CodificaICO(benchmark::State& state) {
    TChampinon c;
    TImagenesIcono imagenes;
    if (!c.Exporta(imagenes)) state.SkipWithError("export failed");
    std::vector<const TDibIG*> punteros;
    for (const auto& i : imagenes)
        punteros.push_back(i.get());
    size_t bytes = 0;
    for (auto _ : state) {
        const auto datos = CodificaICO(punteros);
        if (!datos) state.SkipWithError("encoding failed");
        bytes = datos ? datos->size() : 0;
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}

} // namespace

BENCHMARK(BM_ComandoExporta)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ComandoCheck)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ComandoRender1x1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ExportaIcono)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ExportaLado)->Arg(16)->Arg(64)->Arg(128)->Arg(256)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CodificaICO)->Unit(benchmark::kMillisecond)->UseRealTime();
