// Keystroke latency of the editor, in the real window (the preview 413 x 455):
// - BM_PulsacionEditor: from a one-character change in a line in the middle of the
//   script to the end of the preview's repaint (the read, the error pane, the paint event
//   and the GPU work); BM_PulsacionEditorTexturada the same with a third argument: that
//   many elements textured from one 1024 x 1024 PNG; `from_copy` is the share of frames
//   drawn from the copy of the frame before (from the typed line on);
// - BM_TecleoEditor: 40 keys typed at 20 keys a second into the 1,000-line script of
//   every command, and the time from the last key to the frame that shows it on screen.
// It needs a display; run it by hand:  xvfb-run -a build/bin/pm_bench_editor
#include "editor/Aplicacion_editor.h"
#include "editor/Lienzo_gl.h"
#include "editor/Unit_FormTestOpenGL.h"

#include "Script_generado.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTimer>

#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

// Waits in the event loop as the editor does between events, for the condition or `ms`
// milliseconds: a wait that spun would take a core from the OpenGL driver's threads and
// add its own cost to every figure. A timer wakes the loop now and then, so that the
// time limit holds when no event comes.
bool Espera(const std::function<bool()>& condicion, int ms = 10000) {
    QElapsedTimer reloj;
    reloj.start();
    QTimer despertador;
    despertador.start(5);
    while (!condicion()) {
        if (reloj.elapsed() > ms) return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// The window with a generated script, its preview bound and drawn.
struct TVentanaBanco {
    TVentanaBanco(benchmark::State& state, int lineas, int comandos, int texturados = 0) {
        qputenv("XDG_CONFIG_HOME", configuracion.path().toLocal8Bit());
        ventana = std::make_unique<TFormTestOpenGL>();
        ventana->show();
        if (!Espera([&] { return ventana->PaintBox3D->Enlazado(); })) {
            state.SkipWithError("the preview has no OpenGL context");
            return;
        }
        std::string texto;
        if (!ScriptTexturado(lineas, comandos, texturados, texto)) {
            state.SkipWithError("ImageMagick's convert could not make the texture");
            return;
        }
        // The window sized so that the preview is (within a few pixels) 413 x 455, whatever the
        // default layout gives it: the figures stay comparable between layouts.
        for (int i = 0; i < 4 && ventana->PaintBox3D->size() != QSize(413, 455); ++i) {
            ventana->resize(ventana->size() - (ventana->PaintBox3D->size() - QSize(413, 455)));
            Espera([] { return false; }, 50);
        }
        ventana->MemoPrograma->setPlainText(QString::fromStdString(texto));
        listo = Espera([&] { return ventana->PaintBox3D->Cuadros() > 0 && !ventana->lecturaPendiente; });
        // The caret just after the "=[" of a line in the middle (an element's line).
        const QTextBlock bloque = ventana->MemoPrograma->document()->findBlockByNumber(lineas / 2);
        cursor = QTextCursor(bloque);
        cursor.setPosition(bloque.position() + static_cast<int>(bloque.text().indexOf('=')) + 2);
        ventana->MemoPrograma->setTextCursor(cursor);
        ventana->MemoPrograma->setFocus();
    }
    ~TVentanaBanco() {
        if (ventana) ventana->modificado = false;
    }
    TLienzoGL& Lienzo() { return *ventana->PaintBox3D; }

    QTemporaryDir configuracion;
    std::unique_ptr<TFormTestOpenGL> ventana;
    QTextCursor cursor;
    bool listo = false;
};

void Pulsaciones(benchmark::State& state, int texturados) {
    TVentanaBanco banco(state, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)),
                        texturados);
    if (!banco.listo) return;
    // Each keystroke types a blank in the line's first formula or takes it away again (a
    // blank the formulas skip), so that the line is read again and the script keeps its
    // size.
    bool escribir = true;
    const int64_t copias = banco.ventana->idc.cuadroGuardado.Restauraciones();
    for (auto _ : state) {
        const long antes = banco.Lienzo().Cuadros();
        if (escribir)
            banco.cursor.insertText(" ");
        else
            banco.cursor.deletePreviousChar();
        escribir = !escribir;
        if (!Espera([&] { return banco.Lienzo().Cuadros() > antes; })) {
            state.SkipWithError("no repaint");
            break;
        }
        banco.Lienzo().HazActual();
        glFinish();
    }
    state.counters["elements"] = banco.ventana->vista.Escena().Count();
    // The share of frames drawn from the copy of the frame before (from the typed line on).
    state.counters["from_copy"] =
        static_cast<double>(banco.ventana->idc.cuadroGuardado.Restauraciones() - copias) /
        static_cast<double>(std::max<int64_t>(state.iterations(), 1));
}
void BM_PulsacionEditor(benchmark::State& state) {
    Pulsaciones(state, 0);
}
void BM_PulsacionEditorTexturada(benchmark::State& state) {
    Pulsaciones(state, static_cast<int>(state.range(2)));
}
BENCHMARK(BM_PulsacionEditorTexturada)
    ->ArgNames({"lines", "commands", "textured"})
    ->Args({1000, 16, 100})
    ->Args({1000, 8, 100})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_PulsacionEditor)
    ->Args({100, 16})
    ->Args({1000, 16})
    ->Args({1000, 8})
    ->Args({5000, 8})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Keys come as the window system delivers them: posted to the script pane, one every 50
// ms. A key is on screen when a frame painted after the pane handled it is shown
// (the widget's picture is flushed to the window right after its paint event).
void BM_TecleoEditor(benchmark::State& state) {
    constexpr int teclas = 40;
    constexpr int intervaloMs = 50;
    TVentanaBanco banco(state, 1000, 16);
    if (!banco.listo) return;
    TFormTestOpenGL& v = *banco.ventana;
    double peor = 0.0;
    for (auto _ : state) {
        QElapsedTimer reloj;
        reloj.start();
        std::vector<qint64> enviada(teclas, -1), mostrada(teclas, -1);
        std::vector<long> cuadroAlTratar(teclas, -1);
        int tratadas = 0, enviadas = 0;
        const auto cambio = QObject::connect(v.MemoPrograma, &QPlainTextEdit::textChanged, [&] {
            if (tratadas < enviadas)
                cuadroAlTratar[static_cast<size_t>(tratadas++)] = banco.Lienzo().Cuadros();
        });
        const auto cuadro = QObject::connect(&banco.Lienzo(), &TLienzoGL::cuadroMostrado, [&] {
            for (int k = 0; k < tratadas; ++k)
                if (mostrada[static_cast<size_t>(k)] < 0 &&
                    banco.Lienzo().Cuadros() > cuadroAlTratar[static_cast<size_t>(k)])
                    mostrada[static_cast<size_t>(k)] = reloj.nsecsElapsed();
        });
        QTimer envio;
        envio.setInterval(intervaloMs);
        QObject::connect(&envio, &QTimer::timeout, [&] {
            if (enviadas == teclas) return;
            // Zeros in front of the first coordinate: the point stays where it was, and
            // the line is read again at every key.
            enviada[static_cast<size_t>(enviadas++)] = reloj.nsecsElapsed();
            QCoreApplication::postEvent(v.MemoPrograma,
                                        new QKeyEvent(QEvent::KeyPress, Qt::Key_0, Qt::NoModifier, "0"));
            QCoreApplication::postEvent(v.MemoPrograma,
                                        new QKeyEvent(QEvent::KeyRelease, Qt::Key_0, Qt::NoModifier, "0"));
        });
        envio.start();
        const bool visto = Espera([&] { return mostrada[teclas - 1] >= 0; });
        QObject::disconnect(cambio);
        QObject::disconnect(cuadro);
        if (!visto) {
            state.SkipWithError("the last key never showed");
            return;
        }
        const double ultima = static_cast<double>(mostrada[teclas - 1] - enviada[teclas - 1]) * 1e-9;
        for (int k = 0; k < teclas; ++k)
            peor = std::max(peor, static_cast<double>(mostrada[static_cast<size_t>(k)] -
                                                      enviada[static_cast<size_t>(k)]) *
                                      1e-9);
        state.SetIterationTime(ultima);
        // Back to the script as it was, for the next round.
        for (int k = 0; k < teclas; ++k)
            v.MemoPrograma->textCursor().deletePreviousChar();
        Espera([&] { return !v.lecturaPendiente; });
    }
    state.counters["worst_key_ms"] = peor * 1e3;
}
BENCHMARK(BM_TecleoEditor)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) {
        std::printf("pm_bench_editor: skipped, no display (run it as: xvfb-run -a %s)\n", argv[0]);
        return 0;
    }
    PreparaFormatoGL();
    QApplication aplicacion(argc, argv);
    InstalaGanchosQt();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
