// The language features of the server over its open documents: diagnostics from the
// read, hover (a command's reference from the manual, a #define's value, a TEXTURET
// image's size and format), completion (the commands with their fields, the #define
// names in force, image files for TEXTURET), definition and references of #define
// names, and the document's symbols. The answers are the protocol's JSON values.
#pragma once

#include "lsp/Documento_lsp.h"
#include "lsp/Manual_lsp.h"

#include <nlohmann/json.hpp>

#include <map>
#include <memory>
#include <string>

class TLenguajeLsp {
public:
    TLenguajeLsp();

    // What the server offers, for initialize's answer.
    static nlohmann::json Capacidades();

    // The documents the client has open, by URI. Documento raises TErrorRpc for one it
    // has not opened.
    TDocumentoLsp& Abre(const std::string& uri, std::string texto, int64_t version);
    void Cierra(const std::string& uri) { documentos.erase(uri); }
    TDocumentoLsp& Documento(const nlohmann::json& parametros);

    // The answers to the requests, from their parameters.
    nlohmann::json Hover(const nlohmann::json& parametros);
    nlohmann::json Completa(const nlohmann::json& parametros);
    nlohmann::json Definicion(const nlohmann::json& parametros);
    nlohmann::json Referencias(const nlohmann::json& parametros);
    nlohmann::json Simbolos(const nlohmann::json& parametros);

private:
    TManualLsp manual;
    std::map<std::string, std::unique_ptr<TDocumentoLsp>> documentos;
};
