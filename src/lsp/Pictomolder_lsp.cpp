// pictomolder-lsp: the language server of 3DI scripts, for the editors people already
// use. It speaks the Language Server Protocol on standard input and output; its
// diagnostics are the editor's error pane, read as the editor reads on a keystroke.
#include "lsp/Lenguaje_lsp.h"
#include "lsp/Protocolo_lsp.h"

#include <cstdio>
#include <cstring>
#include <unistd.h>

using nlohmann::json;

namespace {

// Reads standard input as it comes: a message is answered as soon as it is whole.
size_t LeeEntrada(char* destino, size_t maximo) {
    for (;;) {
        const ssize_t n = ::read(STDIN_FILENO, destino, maximo);
        if (n >= 0) return static_cast<size_t>(n);
        if (errno != EINTR) return 0;
    }
}

void Escribe(const std::string& texto) {
    std::fwrite(texto.data(), 1, texto.size(), stdout);
    std::fflush(stdout);
}

void Registra(TServidorRpc& rpc, TLenguajeLsp& lenguaje) {
    const auto publica = [&rpc](TDocumentoLsp& doc) {
        doc.Lee();
        rpc.Notifica("textDocument/publishDiagnostics", doc.Diagnosticos());
    };
    rpc.Peticion("initialize", [](const json&) { return TLenguajeLsp::Capacidades(); });
    rpc.Aviso("initialized", [](const json&) {});
    rpc.Aviso("textDocument/didOpen", [&, publica](const json& p) {
        const json& d = p.at("textDocument");
        publica(lenguaje.Abre(d.at("uri").get<std::string>(), d.at("text").get<std::string>(),
                              d.value("version", int64_t{0})));
    });
    rpc.Aviso("textDocument/didChange", [&, publica](const json& p) {
        TDocumentoLsp& doc = lenguaje.Documento(p);
        if (!doc.Cambia(p.at("contentChanges"), p.at("textDocument").value("version", int64_t{0}))) {
            rpc.Notifica(
                "window/showMessage",
                {{"type", 1}, {"message", "pictomolder-lsp: the document passes 64 MB; change ignored"}});
            return;
        }
        publica(doc);
    });
    rpc.Aviso("textDocument/didClose", [&](const json& p) {
        const std::string uri = p.at("textDocument").at("uri").get<std::string>();
        lenguaje.Cierra(uri);
        rpc.Notifica("textDocument/publishDiagnostics", {{"uri", uri}, {"diagnostics", json::array()}});
    });
    rpc.Peticion("textDocument/hover", [&](const json& p) { return lenguaje.Hover(p); });
    rpc.Peticion("textDocument/completion", [&](const json& p) { return lenguaje.Completa(p); });
    rpc.Peticion("textDocument/definition", [&](const json& p) { return lenguaje.Definicion(p); });
    rpc.Peticion("textDocument/references", [&](const json& p) { return lenguaje.Referencias(p); });
    rpc.Peticion("textDocument/documentSymbol", [&](const json& p) { return lenguaje.Simbolos(p); });
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--stdio") != 0) {
        std::fputs("Usage: pictomolder-lsp [--stdio]\n"
                   "The language server of 3DI scripts: it speaks the Language Server Protocol on\n"
                   "standard input and output. Start it from the editor, not by hand.\n",
                   std::strcmp(argv[1], "--help") == 0 ? stdout : stderr);
        return std::strcmp(argv[1], "--help") == 0 ? 0 : 2;
    }
    TServidorRpc rpc(Escribe);
    TLenguajeLsp lenguaje;
    Registra(rpc, lenguaje);
    TLectorMensajes lector(LeeEntrada);
    return rpc.Sirve(lector);
}
