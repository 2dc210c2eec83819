// Keystroke latency of the editor: from a one-character change in the script pane of
// the real window (a script of 1,000 elements) to the end of the preview's repaint
// (the re-parse, the error pane, the paint event and the GPU work); a third argument
// above 0 textures that many elements from one 1024 x 1024 PNG.
// It needs a display; run it by hand:  xvfb-run -a build/bin/pm_bench_editor
#include "editor/Aplicacion_editor.h"
#include "editor/Lienzo_gl.h"
#include "editor/Unit_FormTestOpenGL.h"
#include "support/Informa.h"

#include "Script_generado.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextCursor>

#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

bool EsperaCuadro(TLienzoGL& lienzo, long antes) {
    QElapsedTimer reloj;
    reloj.start();
    while (lienzo.Cuadros() <= antes) {
        if (reloj.elapsed() > 10000) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

void BM_PulsacionEditor(benchmark::State& state) {
    QTemporaryDir configuracion;
    qputenv("XDG_CONFIG_HOME", configuracion.path().toLocal8Bit());
    TFormTestOpenGL ventana;
    ventana.show();
    QElapsedTimer reloj;
    reloj.start();
    while (!ventana.PaintBox3D->Enlazado() && reloj.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    if (!ventana.PaintBox3D->Enlazado()) {
        state.SkipWithError("the preview has no OpenGL context");
        return;
    }
    const int n = static_cast<int>(state.range(0));
    std::string texto;
    if (!ScriptTexturado(n, static_cast<int>(state.range(1)), static_cast<int>(state.range(2)), texto)) {
        state.SkipWithError("ImageMagick's convert could not make the texture");
        return;
    }
    ventana.MemoPrograma->setPlainText(QString::fromStdString(texto));
    EsperaCuadro(*ventana.PaintBox3D, 0);
    // Each keystroke types a blank at the end of the first line or takes it away again,
    // so the script keeps its size.
    QTextCursor cursor(ventana.MemoPrograma->document());
    cursor.movePosition(QTextCursor::EndOfLine);
    bool escribir = true;
    for (auto _ : state) {
        const long antes = ventana.PaintBox3D->Cuadros();
        if (escribir)
            cursor.insertText(" ");
        else
            cursor.deletePreviousChar();
        escribir = !escribir;
        if (!EsperaCuadro(*ventana.PaintBox3D, antes)) {
            state.SkipWithError("no repaint");
            break;
        }
        ventana.PaintBox3D->makeCurrent();
        glFinish();
    }
    state.counters["elements"] = ventana.objeto.Count();
    ventana.modificado = false;
}
BENCHMARK(BM_PulsacionEditor)
    ->ArgNames({"lines", "commands", "textured"})
    ->Args({100, 16, 0})
    ->Args({1000, 16, 0})
    ->Args({1000, 8, 0})
    ->Args({1000, 16, 100})
    ->Args({1000, 8, 100})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) {
        std::printf("pm_bench_editor: skipped, no display (run it as: xvfb-run -a %s)\n", argv[0]);
        return 0;
    }
    PreparaFormatoGL();
    QApplication aplicacion(argc, argv);
    InstalaGanchosQt();
    InstalaInformador(nullptr);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
