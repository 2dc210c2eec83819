#include "script/Defines_3di.h"

#include <memory>

namespace {

// Replaces every defined name, whole words only and case-sensitively, in list order:
// when a name is defined twice the first definition takes every occurrence. A value
// that holds its own name does not loop: ReplaceWord then goes on after the text it
// has just inserted.
void SustituyeDefines(const TDefines3Di& defines, DString& linea) {
    defines.ParaCada(
        [&linea](const TDefine3Di& d) { linea.ReplaceWord(d.nombre.c_str(), d.valor.c_str(), true); });
}

} // namespace

void AgregaDefine(TDefines3Di& defines, const DString& nombre, const DString& valor) {
    if (nombre.IsEmpty() || valor.IsEmpty()) return;
    defines.Insert(std::make_unique<TDefine3Di>(nombre, valor));
}

bool ProcesaLinea(TDefines3Di& defines, DString& linea) {
    // Exactly "#define " with one space, case-sensitive, at the very start of the line.
    if (linea.CompareN("#define ", 8) == 0) {
        const DString resto(linea.c_str() + 8);
        Vector<DString> piezas;
        resto.Split("=", piezas, -1, true);
        // Split leaves out the empty piece after a final "="; count it, so that the rule
        // is "exactly one '='": "#define R=" is a definition with an empty value (it
        // defines nothing and is skipped) and "#define R==" is not a definition.
        if (resto.Length() > 0 && resto.CharAt(resto.Length() - 1) == '=') piezas.AddNew();
        if (piezas.Count() == 2) {
            // The value gets the earlier definitions now; the name is never substituted.
            DString valor(piezas[piezas.Base() + 1]);
            SustituyeDefines(defines, valor);
            AgregaDefine(defines, piezas[piezas.Base()], valor);
            return true;
        }
        // "#define A=B=C" or "#define X": not a definition; read as an ordinary line.
    }
    SustituyeDefines(defines, linea);
    return false;
}
