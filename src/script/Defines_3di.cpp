#include "script/Defines_3di.h"

#include "script/Objetos_3d.h"

#include <memory>

namespace {

// Values built from values can grow without end ("#define A=A A" over and over doubles
// the text each time), so replacement stops with a script error once a line or a value
// would pass this length, twice what the line reader keeps of a line...
constexpr long largoMaximoExpandido = 2 * 19999;
// ...and once all the values together would pass this many bytes.
constexpr long totalMaximoValores = 4'000'000;
constexpr const char* msgDemasiadoLargo = "Error: the #define replacements make the text too long";

int CuentaPalabras(const DString& texto, const DString& palabra) {
    int n = 0;
    for (int p = texto.FindWord(palabra.c_str(), 0, true, false); p >= 0;
         p = texto.FindWord(palabra.c_str(), p + palabra.Length(), true, false))
        ++n;
    return n;
}

// Replaces every defined name, whole words only and case-sensitively, in list order:
// when a name is defined twice the first definition takes every occurrence. A value
// that holds its own name does not loop: ReplaceWord then goes on after the text it
// has just inserted.
void SustituyeDefines(const TDefines3Di& defines, DString& linea) {
    defines.ParaCada([&linea](const TDefine3Di& d) {
        const int apariciones = CuentaPalabras(linea, d.nombre);
        if (apariciones == 0) return;
        const long crece = static_cast<long>(apariciones) * (d.valor.Length() - d.nombre.Length());
        if (linea.Length() + crece > largoMaximoExpandido) throw TXErrorObjeto3D(msgDemasiadoLargo);
        linea.ReplaceWord(d.nombre.c_str(), d.valor.c_str(), true);
        // New occurrences made by a replacement and its neighbours are replaced too.
        if (linea.Length() > largoMaximoExpandido) throw TXErrorObjeto3D(msgDemasiadoLargo);
    });
}

long TotalValores(const TDefines3Di& defines) {
    long total = 0;
    defines.ParaCada([&total](const TDefine3Di& d) { total += d.valor.Length(); });
    return total;
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
            if (TotalValores(defines) + valor.Length() > totalMaximoValores)
                throw TXErrorObjeto3D(msgDemasiadoLargo);
            AgregaDefine(defines, piezas[piezas.Base()], valor);
            return true;
        }
        // "#define A=B=C" or "#define X": not a definition; read as an ordinary line.
    }
    SustituyeDefines(defines, linea);
    return false;
}
