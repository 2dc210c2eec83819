#include "lsp/Servidor_lsp.h"

using nlohmann::json;

void RegistraLenguaje(TServidorRpc& rpc, TLenguajeLsp& lenguaje) {
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
