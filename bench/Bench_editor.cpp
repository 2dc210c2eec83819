// Keystroke latency of the editor: from a one-character change in the script pane of
// the real window (a script of 1,000 elements) to the end of the preview's repaint
// (the re-parse, the error pane, the paint event and the GPU work).
// It needs a display; run it by hand:  xvfb-run -a build/bench/pm_bench_editor
#include "editor/Aplicacion_editor.h"
#include "editor/Lienzo_gl.h"
#include "editor/Unit_FormTestOpenGL.h"
#include "support/Informa.h"

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

// A script of `n` element lines mixing primitives, formulas, macros and transforms
// (the mix of the parse-and-paint benchmark).
std::string ScriptMixto(int n) {
    std::string s = "#define R=0.4\n#define UP=[0,0,1]\nCENTER=[0,0,0]\n";
    for (int i = 0; i < n; ++i) {
        const std::string x = std::to_string(i % 20 - 10) + "*0.5";
        const std::string y = std::to_string(i / 20 % 20 - 10) + "*0.5";
        switch (i % 8) {
        case 0:
            s += "COLOR=(" + std::to_string(i % 256) + ",128,64)\n";
            break;
        case 1:
            s += "QUAD=[" + x + "," + y + ",0]:[" + x + "+R," + y + ",0]:[" + x + "+R," + y + "+R,0]:[" + x +
                 "," + y + "+R,0]\n";
            break;
        case 2:
            s += "TRIANGLE=[" + x + "," + y + ",1]:[" + x + "+R," + y + ",1]:[" + x + "," + y +
                 "+R*cos(0.3),1]\n";
            break;
        case 3:
            s += "LINE=[" + x + "," + y + ",0]:[" + x + "," + y + ",2]\n";
            break;
        case 4:
            s += "DISK=[" + x + "," + y + ",0.5]:UP:R\n";
            break;
        case 5:
            s += "PUSHTURN=UP|" + std::to_string(i % 360) + "\n";
            break;
        case 6:
            s += "CIRCLE=[" + x + "," + y + ",0.2]:UP:R*2\n";
            break;
        default:
            s += "POP\n";
            break;
        }
    }
    return s;
}

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
    ventana.MemoPrograma->setPlainText(QString::fromStdString(ScriptMixto(n)));
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
BENCHMARK(BM_PulsacionEditor)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

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
