// The errors of a read placed in the script's text, for the tools that point at them
// (the command line's machine formats, the language server): each error's line, the
// bytes of that line that are wrong, and its message on one line. The texts are the
// error pane's; the columns are counted here, in the units each consumer wants.
#pragma once

#include "script/Objetos_3d.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct TDiagnostico3Di {
    int32_t linea = -1; // from 0, as the error pane counts; -1 for the whole script
    size_t inicio = 0;  // bytes of the line, the end excluded
    size_t fin = 0;
    std::string mensaje; // without CR or LF
};

// The lines of a text as the reader counts them: CR LF, a lone CR and a lone LF each end
// one. A text has at least one line (the empty one).
class TLineasTexto {
public:
    explicit TLineasTexto(std::string_view texto);
    size_t Cuantas() const { return inicios.size(); }
    // Line `n` without its line end; empty past the last.
    std::string_view operator[](size_t n) const;
    // Where line `n` begins in the text (the text's end past the last).
    size_t Inicio(size_t n) const { return n < inicios.size() ? inicios[n] : texto.size(); }

private:
    std::string_view texto;
    std::vector<size_t> inicios;
};

// Every error of the report in order, with the bytes of its line that are wrong: the
// command word for an unknown command, the fields after the "=" for an error in them,
// else the line's code (the whole line when it has none). A failed read without a
// message gives one error, the pane's "Undefined error", for the whole script.
std::vector<TDiagnostico3Di> Diagnosticos3Di(std::string_view texto, const TInformeLectura& informe);

// Columns of a line in other units, from a byte offset: characters (code points when
// the text is UTF-8, else bytes, as the editor shows a text that is not) and the UTF-16
// code units of the Language Server Protocol (the text taken as UTF-8, a broken
// sequence counted one unit a byte).
bool EsUtf8(std::string_view texto);
size_t CaracteresHasta(std::string_view linea, size_t bytes, bool utf8);
size_t Utf16Hasta(std::string_view linea, size_t bytes);
// The byte offset of a UTF-16 column (the line's end past it).
size_t BytesDeUtf16(std::string_view linea, size_t unidades);
