// The language server on a keystroke: a one-line change of a 1,000-line document, from
// the didChange message as the client frames it to the publishDiagnostics it sends back.
// Its cost over the editor's read of the same change (BM_LeeMismoCambio, the read alone) is
// what the protocol adds: framing, JSON, the change applied by its range and the diagnostics
// built.
#include "lsp/Servidor_lsp.h"
#include "script/Lectura_escena.h"

#include "Script_generado.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

namespace {

using nlohmann::json;

const char* const uri = "file:///bench/script.3di";

std::string Cambio(int version, int linea, int columna, int borrados, const char* texto) {
    const json rango = {{"start", {{"line", linea}, {"character", columna}}},
                        {"end", {{"line", linea}, {"character", columna + borrados}}}};
    return EnmarcaMensaje({{"jsonrpc", "2.0"},
                           {"method", "textDocument/didChange"},
                           {"params",
                            {{"textDocument", {{"uri", uri}, {"version", version}}},
                             {"contentChanges", {{{"range", rango}, {"text", texto}}}}}}});
}

// Hands the server one framed message.
void Envia(TServidorRpc& rpc, const std::string& mensaje) {
    size_t pos = 0;
    TLectorMensajes lector([&](char* destino, size_t maximo) {
        const size_t n = std::min(maximo, mensaje.size() - pos);
        std::memcpy(destino, mensaje.data() + pos, n);
        pos += n;
        return n;
    });
    rpc.Atiende(lector.Siguiente());
}

void BM_CambioUnaLineaLsp(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::string texto = ScriptMixto(n, static_cast<int>(state.range(1)));
    size_t publicados = 0;
    TServidorRpc rpc([&](const std::string& salida) {
        publicados += salida.find("publishDiagnostics") != std::string::npos;
    });
    TLenguajeLsp lenguaje;
    RegistraLenguaje(rpc, lenguaje);
    Envia(rpc, EnmarcaMensaje(
                   {{"jsonrpc", "2.0"}, {"id", 1}, {"method", "initialize"}, {"params", json::object()}}));
    Envia(rpc,
          EnmarcaMensaje({{"jsonrpc", "2.0"},
                          {"method", "textDocument/didOpen"},
                          {"params", {{"textDocument", {{"uri", uri}, {"version", 0}, {"text", texto}}}}}}));
    // A blank typed after the "=" of the middle line, and taken away again.
    size_t inicio = 0;
    for (int i = 0; i < n / 2; ++i)
        inicio = texto.find('\n', inicio) + 1;
    const int columna = static_cast<int>(texto.find('=', inicio) - inicio) + 1;
    const std::string cambios[2] = {Cambio(1, n / 2, columna, 0, " "), Cambio(2, n / 2, columna, 1, "")};
    int k = 0;
    for (auto _ : state)
        Envia(rpc, cambios[k++ & 1]);
    if (publicados != static_cast<size_t>(state.iterations()) + 1)
        state.SkipWithError("a change published no diagnostics");
}
BENCHMARK(BM_CambioUnaLineaLsp)->Args({1000, 16})->Unit(benchmark::kMillisecond);

// The incremental read of the same change, as the editor makes it: the floor of the above.
void BM_LeeMismoCambio(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::string texto = ScriptMixto(n, static_cast<int>(state.range(1)));
    size_t inicio = 0;
    for (int i = 0; i < n / 2; ++i)
        inicio = texto.find('\n', inicio) + 1;
    std::string cambiado = texto;
    cambiado.insert(texto.find('=', inicio) + 1, " ");
    const std::string* textos[2] = {&cambiado, &texto};
    TLecturaEscena lectura = LeeEscena(TFuenteEscena::Texto(texto, DString()));
    int k = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(lectura =
                                     LeeEscena(TFuenteEscena::Texto(*textos[k++ & 1], DString()), &lectura));
}
BENCHMARK(BM_LeeMismoCambio)->Args({1000, 16})->Unit(benchmark::kMillisecond);

} // namespace
