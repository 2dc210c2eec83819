// The icon export of examples/mushroom.3di at the seven default sizes into an icon file.
// BM_ComandoExporta is the whole `pictomolder-cli export mushroom.3di -o x.ico`, meant to
// take under 150 ms. The rest tell where that time goes:
//   BM_ComandoCheck       the process and the parse alone (`pictomolder-cli check`);
//   BM_ComandoRender1x1   with the OpenGL driver's start and its first frame added (a
//                         1 x 1 `render`, whose shaders the driver compiles on first use);
//   BM_ExportaIcono       in a running process: framing and the seven pictures (each
//                         drawn at 4 times its side and averaged);
//   BM_ExportaLado/N      one size without framing;
//   BM_CodificaICO        writing the seven pictures as an icon file in memory;
//   BM_PintaVista         one frame of the model in the preview (413 x 455);
//   BM_EncuadraVista      Fit to View there, meant to cost at most two such frames.
// BM_LoteExporta is 20 copies of the script exported by one `export ... --outdir` call,
// BM_VeinteComandos the same by 20 single-script commands: the batch pays the process
// and the OpenGL driver's start once, and is meant to take at most half as long.
#include "geometry/Luz_normals.h"
#include "image/Graba_ico.h"
#include "render/Exporta_icono.h"
#include "render/Idc_opengl.h"
#include "render/Pinta_vista.h"
#include "render/Superficie_egl.h"
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

// Twenty copies of the mushroom in a scratch folder, removed afterwards.
struct TVeinteScripts {
    TVeinteScripts() {
        std::filesystem::create_directories(carpeta);
        for (int i = 0; i < 20; ++i) {
            scripts.push_back(carpeta + "/hongo" + std::to_string(i) + ".3di");
            std::filesystem::copy_file(champinon, scripts.back(),
                                       std::filesystem::copy_options::overwrite_existing);
        }
    }
    ~TVeinteScripts() { std::filesystem::remove_all(carpeta); }
    const std::string carpeta = Temporal("_lote");
    std::vector<std::string> scripts;
};

void BM_LoteExporta(benchmark::State& state) {
    TVeinteScripts v;
    std::vector<std::string> argumentos{PM_CLI, "export"};
    argumentos.insert(argumentos.end(), v.scripts.begin(), v.scripts.end());
    argumentos.insert(argumentos.end(), {"--outdir", v.carpeta + "/iconos"});
    Comando(state, argumentos);
}

void BM_VeinteComandos(benchmark::State& state) {
    TVeinteScripts v;
    for (auto _ : state)
        for (const std::string& script : v.scripts)
            if (!Ejecuta({PM_CLI, "export", script, "-o", script + ".ico"}))
                state.SkipWithError("pictomolder-cli failed");
}

struct TChampinon {
    TChampinon() : lectura(LeeEscena(TFuenteEscena::Fichero(champinon.c_str()))) {
        opciones.camara.ResetView();
    }
    bool Exporta(TImagenesIcono& imagenes) {
        auto exportadas = ExportaIcono(lectura.escena, opciones);
        if (!exportadas) return false;
        imagenes = std::move(*exportadas);
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

// The preview (413 x 455) showing the model at the editor's default view: one frame, and
// Fit to View (meant to cost at most two frames).
struct TVistaPrevia {
    TVistaPrevia() {
        dc.luz = luzEscena;
        int bits = 0;
        activa = dc.SetWindow(&superficie, bits, colorAzul, {0, 0, 413, 455}, 512).Correcto();
        vista.camara.ResetView();
        activa = activa && vista.Pinta(dc).Correcto();
    }
    bool Activa(benchmark::State& state) {
        if (!activa) state.SkipWithError("no OpenGL surface");
        return activa;
    }
    TChampinon c;
    TSuperficieEGL superficie{413, 455};
    IDCOpenGL dc;
    TVistaEscena vista{c.lectura.escena};
    bool activa = false;
};

void BM_PintaVista(benchmark::State& state) {
    TVistaPrevia p;
    if (!p.Activa(state)) return;
    for (auto _ : state)
        if (!p.vista.Pinta(p.dc)) state.SkipWithError("painting failed");
}

void BM_EncuadraVista(benchmark::State& state) {
    TVistaPrevia p;
    if (!p.Activa(state)) return;
    const TCamara inicial = p.vista.camara;
    for (auto _ : state) {
        p.vista.camara = inicial;
        if (!p.vista.Encuadra(p.dc)) state.SkipWithError("nothing to frame");
    }
}

} // namespace

BENCHMARK(BM_ComandoExporta)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ComandoCheck)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ComandoRender1x1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ExportaIcono)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ExportaLado)->Arg(16)->Arg(64)->Arg(128)->Arg(256)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PintaVista)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_EncuadraVista)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CodificaICO)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoteExporta)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_VeinteComandos)->Unit(benchmark::kMillisecond)->UseRealTime();
