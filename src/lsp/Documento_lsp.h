// An open document of the language server: its text as the client keeps it (whole or
// changed by ranges, positions in UTF-16 code units), its read, made as the editor makes
// it on a keystroke (taking back what the read before made), and what the features need
// of its text: lines, words, the #define lines.
#pragma once

#include "script/Diagnosticos_3di.h"
#include "script/Lectura_escena.h"

#include <nlohmann/json.hpp>

#include <string>
#include <string_view>
#include <vector>

// A place in the text: the line, and the byte in it.
struct TLugarTexto {
    size_t linea = 0;
    size_t byte = 0;
};

// A #define line: where its name stands (bytes of the line) and what it names.
struct TDefinicionLsp {
    size_t linea = 0;
    size_t columna = 0;
    std::string nombre;
    std::string valor;
};

class TDocumentoLsp {
public:
    // `uri` names the document; a file: URI gives the file whose folder TEXTURET names
    // are resolved against.
    TDocumentoLsp(std::string uri, std::string texto, int64_t version);
    // Its lines point into its text: it stays where it was made.
    TDocumentoLsp(const TDocumentoLsp&) = delete;
    TDocumentoLsp& operator=(const TDocumentoLsp&) = delete;

    // Applies didChange's contentChanges in order: a change with a range replaces it,
    // one without replaces the whole text. False, with the text left as it was, when
    // the text would grow past the most a message may hold.
    bool Cambia(const nlohmann::json& cambios, int64_t nuevaVersion);
    // Reads the text as the editor reads its pane.
    void Lee();
    // The parameters of textDocument/publishDiagnostics for the last read.
    nlohmann::json Diagnosticos() const;

    const std::string& Texto() const { return texto; }
    const std::string& Ruta() const { return ruta; }
    const TLecturaEscena& Lectura() const { return lectura; }
    const TLineasTexto& Lineas() const { return lineas; }
    std::string_view Linea(size_t n) const { return lineas[n]; }

    // Between protocol positions and places of the text.
    TLugarTexto Lugar(const nlohmann::json& posicion) const;
    nlohmann::json Posicion(size_t linea, size_t byte) const;
    nlohmann::json Rango(size_t linea, size_t desde, size_t hasta) const;
    // The lines the reader reads: up to the VOID line that ends the script.
    size_t LineasLeidas() const;
    // The #define lines that make a definition (name and value not empty), in order.
    std::vector<TDefinicionLsp> Definiciones() const;

    std::string uri;

private:
    std::string texto;
    TLineasTexto lineas{std::string_view()};
    std::string ruta;
    int64_t version = 0;
    TLecturaEscena lectura;
};

// The bytes of the identifier word of a line that holds `byte` (or ends just before
// it); empty (desde == hasta) for none.
struct TPalabraLsp {
    size_t desde = 0;
    size_t hasta = 0;
};
TPalabraLsp PalabraEn(std::string_view linea, size_t byte);
