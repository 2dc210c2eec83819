// #define macros of the 3DI script: a definition line names a value, and every later
// line has that name replaced by the value, as a whole word, before it is read as a
// command. The substitution is purely textual and knows nothing of the commands.
#pragma once

#include "support/Dstring.h"
#include "support/Vectores_dg.h"

// One definition; both texts are non-empty and kept exactly as written (not trimmed).
class TDefine3Di {
public:
    TDefine3Di(const DString& n, const DString& v) : nombre(n), valor(v) {}

    DString nombre;
    DString valor;
};

// The definitions in the order they were read; the same name may appear more than once.
// Owns its entries.
class TDefines3Di : public VectorP<TDefine3Di> {
public:
    TDefines3Di() : VectorP<TDefine3Di>(10, 10, true) {}
};

// Handles one script line (without its line end), changing it in place. Returns true
// when the line is a definition, which the caller then skips; otherwise the line has
// every defined name replaced and the caller reads it as a command. Raises
// TXErrorObjeto3D when the replacements would make a line or the values too long.
bool ProcesaLinea(TDefines3Di& defines, DString& linea);

// Appends a definition when both texts are non-empty; does nothing otherwise.
void AgregaDefine(TDefines3Di& defines, const DString& nombre, const DString& valor);
