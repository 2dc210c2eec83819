// #define macros of the 3DI script: a definition line names a value, and every later
// line has that name replaced by the value, as a whole word, before it is read as a
// command. The substitution is purely textual and knows nothing of the commands.
#pragma once

#include "support/Dstring.h"
#include "support/Vectores_dg.h"

#include <string>
#include <unordered_map>
#include <vector>

// One definition; both texts are non-empty and kept exactly as written (not trimmed).
class TDefine3Di {
public:
    TDefine3Di(const DString& n, const DString& v) : nombre(n), valor(v) {}

    DString nombre;
    DString valor;
};

// The definitions in the order they were read; the same name may appear more than once.
// Owns its entries. Beside the list it keeps an index by name, so that a line costs
// the definitions it uses rather than all of them, and the work of the current read.
class TDefines3Di : public VectorP<TDefine3Di> {
public:
    TDefines3Di() : VectorP<TDefine3Di>(10, 10, true) {}

    // The first definition from `desde` on (an index of the list) whose name occurs in
    // the line as a whole word; -1 when none does.
    int PrimeraPresente(const DString& linea, int desde);
    // Counts work of the current read (bytes of text handled); raises TXErrorObjeto3D
    // once the read has done more than a script may ask for.
    void Cuenta(long bytes);
    // The bytes of all the values together.
    long TotalValores();
    // The work counted so far in the current read.
    long Trabajo() const { return trabajo; }

private:
    void Indexa();

    // Definitions by the first run of identifier bytes of their name: wherever the name
    // occurs as a whole word, that run is a whole word of the line too.
    std::unordered_map<std::string, std::vector<int>> porPalabra;
    std::vector<int> sinPalabra; // names without an identifier byte
    int indexadas = 0;
    long totalValores = 0;
    long trabajo = 0;
};

// Handles one script line (without its line end), changing it in place. Returns true
// when the line is a definition, which the caller then skips; otherwise the line has
// every defined name replaced and the caller reads it as a command. Raises
// TXErrorObjeto3D when the replacements would make a line or the values too long, or
// the script as a whole too long once replaced.
bool ProcesaLinea(TDefines3Di& defines, DString& linea);

// Appends a definition when both texts are non-empty; does nothing otherwise.
void AgregaDefine(TDefines3Di& defines, const DString& nombre, const DString& valor);
