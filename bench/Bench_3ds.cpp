// A 3D Studio mesh of 1,000,000 triangles, written at the start of the run: importing
// it into scene elements (and, when assimp is installed, assimp's importer reading the
// same file), the heap that the imported scene holds per triangle, and painting it
// headless at the preview's size (413 x 455) against a plain vertex-array draw of the
// same lit triangles.
#include "Escritor_3ds.h"

#include "geometry/Luz_normals.h"
#include "render/Idc_opengl.h"
#include "render/Pinta_vista.h"
#include "render/Superficie_egl.h"
#include "script/Colores_idc.h"
#include "script/Lectura_escena.h"
#include "script/Objetos_3d.h"
#include "script/Objetos_3d_planos.h"

#include <GL/gl.h>
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#ifdef PM_CON_ASSIMP
#include <assimp/Importer.hpp>
#include <assimp/scene.h>
#endif

#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <numeric>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// 16 tiles of 250 x 125 cells, two triangles a cell: 1,000,000 triangles in 16 meshes
// (a mesh holds at most 65,535 faces), over 16 x 8 units of a rippled surface.
constexpr int numMallas = 16;
constexpr int columnas = 250;
constexpr int filas = 125;
constexpr int numTriangulos = numMallas * columnas * filas * 2;

std::string MallaGrande() {
    using namespace prueba3ds;
    const char* const materiales[] = {"Clay", "Moss", "Sand", "Slate"};
    std::string editor = Material(materiales[0], 190, 90, 60) + Material(materiales[1], 80, 140, 60) +
                         Material(materiales[2], 220, 200, 140) + Material(materiales[3], 90, 100, 120);
    for (int t = 0; t < numMallas; ++t) {
        const float x0 = -8.0f + 4.0f * static_cast<float>(t % 4);
        const float y0 = -4.0f + 2.0f * static_cast<float>(t / 4);
        std::vector<TPunto> v;
        for (int j = 0; j <= filas; ++j)
            for (int i = 0; i <= columnas; ++i) {
                const float x = x0 + 4.0f * static_cast<float>(i) / columnas;
                const float y = y0 + 2.0f * static_cast<float>(j) / filas;
                v.push_back({x, y, 0.3f * std::sin(2.0f * x) * std::cos(3.0f * y)});
            }
        std::vector<TTriangulo> c;
        for (int j = 0; j < filas; ++j)
            for (int i = 0; i < columnas; ++i) {
                const auto k = static_cast<uint16_t>(j * (columnas + 1) + i);
                const auto arriba = static_cast<uint16_t>(k + columnas + 1);
                c.push_back({k, static_cast<uint16_t>(k + 1), static_cast<uint16_t>(arriba + 1)});
                c.push_back({k, static_cast<uint16_t>(arriba + 1), arriba});
            }
        std::vector<uint16_t> todas(c.size());
        std::iota(todas.begin(), todas.end(), uint16_t{0});
        editor += Objeto("Tile" + std::to_string(t),
                         Vertices(v) + Caras(c, GrupoMaterial(materiales[t % 4], todas)));
    }
    return Fichero(editor);
}

// The file, written once per run and removed at its end.
struct TFicheroMalla {
    TFicheroMalla()
        : ruta(fs::temp_directory_path() / ("pm_bench_3ds_" + std::to_string(::getpid()) + ".3ds")) {
        std::ofstream(ruta, std::ios::binary) << MallaGrande();
    }
    ~TFicheroMalla() { fs::remove(ruta); }
    fs::path ruta;
};

const std::string& RutaMalla() {
    static const TFicheroMalla fichero;
    static const std::string ruta = fichero.ruta.string();
    return ruta;
}

size_t HeapEnUso() {
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
}

bool Importa(benchmark::State& state, TObjeto3D& escena) {
    const auto importada = ImportScene3DS(escena, RutaMalla().c_str());
    if (importada) return true;
    state.SkipWithError(importada.Mensaje().c_str());
    return false;
}

void BM_ImportScene3DS(benchmark::State& state) {
    RutaMalla();
    {
        // What a scene of these triangles keeps on the heap once the import is over.
        const size_t antes = HeapEnUso();
        TObjeto3D escena;
        if (!Importa(state, escena)) return;
        state.counters["heap_bytes_per_triangle"] =
            static_cast<double>(HeapEnUso() - antes) / static_cast<double>(numTriangulos);
    }
    TObjeto3D escena;
    for (auto _ : state)
        if (!Importa(state, escena)) return;
    state.SetItemsProcessed(state.iterations() * numTriangulos);
}
BENCHMARK(BM_ImportScene3DS)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// A file of more faces than one import takes (65 meshes of 65,535 faces, 34 MB): its
// refusal must cost under 50 ms and 64 MB. "memoria_MB" is how far the process's resident
// peak rose above where it stood before the first import.
struct TFicheroExcesivo {
    TFicheroExcesivo()
        : ruta(fs::temp_directory_path() / ("pm_bench_3ds_excesivo_" + std::to_string(::getpid()) + ".3ds")) {
        using namespace prueba3ds;
        std::ofstream fichero(ruta, std::ios::binary);
        EscribeFichero(fichero,
                       Objeto("Full", Vertices({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}) +
                                          Caras(std::vector<TTriangulo>(65535, TTriangulo{0, 1, 2}))),
                       maxCaras3DS / 65535 + 1);
    }
    ~TFicheroExcesivo() { fs::remove(ruta); }
    fs::path ruta;
};

double ResidenteKB(const char* campo) {
    std::ifstream estado("/proc/self/status");
    for (std::string linea; std::getline(estado, linea);)
        if (linea.rfind(campo, 0) == 0) return std::stod(linea.substr(std::strlen(campo)));
    return 0.0;
}

void BM_RefusaMallaExcesiva3DS(benchmark::State& state) {
    const TFicheroExcesivo fichero;
    std::ofstream("/proc/self/clear_refs") << "5"; // the peak starts again from here
    const double antes = ResidenteKB("VmRSS:");
    for (auto _ : state) {
        if (LeeEscena(TFuenteEscena::Fichero(fichero.ruta.c_str())).Correcta()) {
            state.SkipWithError("the file was not refused");
            return;
        }
    }
    state.counters["memoria_MB"] = (ResidenteKB("VmHWM:") - antes) / 1024.0;
}
BENCHMARK(BM_RefusaMallaExcesiva3DS)->Unit(benchmark::kMillisecond)->UseRealTime();

#ifdef PM_CON_ASSIMP
// The reference: assimp's importer reading the same file into its own scene, with no
// post-processing asked for.
void BM_AssimpReadFile(benchmark::State& state) {
    RutaMalla();
    Assimp::Importer importador;
    for (auto _ : state) {
        const aiScene* escena = importador.ReadFile(RutaMalla(), 0);
        if (!escena) {
            state.SkipWithError(importador.GetErrorString());
            return;
        }
        benchmark::DoNotOptimize(escena);
    }
    state.SetItemsProcessed(state.iterations() * numTriangulos);
}
BENCHMARK(BM_AssimpReadFile)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
#endif

// A headless device at the preview's size, the editor's default view, the mesh imported.
struct TBancoPintura {
    TBancoPintura() {
        dc.luz = luzEscena;
        int bits = 0;
        activo = dc.SetWindow(&superficie, bits, colorAzul, {0, 0, 413, 455}, 512).Correcto();
        vista.camara.ResetView();
    }
    // Whether the device works and the mesh is the scene shown.
    bool Listo(benchmark::State& state) {
        if (!activo) state.SkipWithError("no OpenGL surface");
        const auto escena = std::make_shared<TObjeto3D>();
        if (!activo || !Importa(state, *escena)) return false;
        vista.Muestra(escena);
        return true;
    }
    TSuperficieEGL superficie{413, 455};
    IDCOpenGL dc;
    TVistaEscena vista;
    bool activo = false;
};

void BM_PintaEscena3DS(benchmark::State& state) {
    TBancoPintura banco;
    if (!banco.Listo(state)) return;
    // The first paint makes the mesh into the frame's arrays, which the next ones keep
    // (as the bare draw below makes its arrays before it is timed); it is reported apart.
    const auto inicio = std::chrono::steady_clock::now();
    if (!banco.vista.Pinta(banco.dc)) state.SkipWithError("painting failed");
    state.counters["first_frame_ms"] =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - inicio).count();
    for (auto _ : state)
        if (!banco.vista.Pinta(banco.dc)) state.SkipWithError("painting failed"); // ends with the swap
    state.SetItemsProcessed(state.iterations() * numTriangulos);
}
BENCHMARK(BM_PintaEscena3DS)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();

// The same triangles in the same lit colours, under the same transforms, from two arrays.
void BM_PintaArrayVertices(benchmark::State& state) {
    TBancoPintura banco;
    if (!banco.Listo(state)) return;
    std::vector<float> posiciones;
    std::vector<float> colores;
    banco.vista.Escena().ParaCada([&](const TElementoObj3D& e) {
        const auto& t = dynamic_cast<const TElementoTriang3D&>(e);
        uint32_t c = t.color;
        Ilumina(luzEscena, c, t.normal, true);
        for (int k = 0; k < 3; ++k) {
            for (const double x : {t.puntos[k].x, t.puntos[k].y, t.puntos[k].z})
                posiciones.push_back(static_cast<float>(x));
            for (const uint32_t canal : {c & 0xFF, c >> 8 & 0xFF, c >> 16 & 0xFF, 0u})
                colores.push_back(static_cast<float>(canal) / 256.0f);
        }
    });
    const auto angulo = static_cast<float>(banco.vista.Escena().anguloGiro * 180.0 / std::numbers::pi);
    for (auto _ : state) {
        CargaVista(banco.dc, banco.vista.camara);
        banco.dc.Clear();
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glRotatef(angulo, 0.0f, 0.0f, 1.0f);
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_COLOR_ARRAY);
        glVertexPointer(3, GL_FLOAT, 0, posiciones.data());
        glColorPointer(4, GL_FLOAT, 0, colores.data());
        glDrawArrays(GL_TRIANGLES, 0, 3 * numTriangulos);
        glDisableClientState(GL_COLOR_ARRAY);
        glDisableClientState(GL_VERTEX_ARRAY);
        glPopMatrix();
        banco.dc.Swap();
    }
    state.SetItemsProcessed(state.iterations() * numTriangulos);
}
BENCHMARK(BM_PintaArrayVertices)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();

} // namespace
