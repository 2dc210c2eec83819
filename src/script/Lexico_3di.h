// The tokenizer of the script: where a line holds its code and its comment, whether it is
// a definition, which command it gives and with what parameters, and what TEXTURET
// names. The reader follows these rules (the line reader of the file class cuts the
// code from a line of the text, Ficheroqor.h; the parser and the macros take it apart
// here), and the editor asks them of a line as written: its highlighter and its
// texture shortcut see a line as the reader does.
#pragma once

#include "support/Dstring.h"

#include <cstddef>
#include <string_view>

// Whether two words are the same but for the case of ASCII letters, as command words
// are compared.
bool IgualSinCaso(std::string_view a, std::string_view b);

// A line of the text as written, without its line end. The code runs from its first
// character that is not blank (space, tab) to the comment (';') or the end, without the
// blanks that end it; it is empty on a blank or comment line.
struct TLineaCodigo {
    size_t inicio = 0;
    size_t fin = 0;
    size_t comentario = std::string_view::npos; // where the ';' is
    // The code is VOID, which ends the script there.
    bool finScript = false;
    std::string_view Codigo(std::string_view linea) const { return linea.substr(inicio, fin - inicio); }
};
TLineaCodigo CodigoDeLinea(std::string_view linea);

// A definition: "#define " (exactly so: lower case, one space) at the start of the code,
// then NAME=VALUE with exactly one "=" (either may be empty).
bool LeeDefinicion(std::string_view codigo, std::string_view& nombre, std::string_view& valor);

// The command of a line of code and its parameters: the command is the text before the
// first "=" as written (any case, blanks kept), the parameters the text after it up to
// the next "=" ("A=B=C" gives "B"). A line gives a command with its parameters when
// something follows its first "="; without, it is a command only when it is POP (the
// word alone, or POP in any case with its "="): the parser reports the others as
// "'=' needed".
struct TOrdenLinea {
    std::string_view comando;
    std::string_view parametros;
    bool conIgual = false;
    bool conParametros = false;
    bool EsPopSinParametro() const;
    bool Completa() const { return conParametros || EsPopSinParametro(); }
};
TOrdenLinea OrdenDeLinea(std::string_view codigo);

// The fields of TEXTURET's parameters: the file name (trimmed, without its double quotes)
// and the alpha option (an integer other than 0 after a comma).
struct TCamposTextura {
    DString nombre;
    bool alfa = false;
};
TCamposTextura CamposTextura(const DString& parametros);

// The file a line of the text names with TEXTURET (as written, before any macro is
// replaced); false when the line gives no TEXTURET with parameters.
bool TexturaDeLinea(std::string_view linea, DString& nombre);
