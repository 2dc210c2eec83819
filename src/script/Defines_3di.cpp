#include "script/Defines_3di.h"

#include "script/Lexico_3di.h"
#include "script/Objetos_3d.h"

#include <algorithm>
#include <memory>
#include <string_view>

namespace {

// Values built from values can grow without end ("#define A=A A" over and over doubles
// the text each time), so replacement stops with a script error once a line or a value
// would pass this length, twice what the line reader keeps of a line...
constexpr long largoMaximoExpandido = 2 * 19999;
// ...once all the values together would pass this many bytes...
constexpr long totalMaximoValores = 4'000'000;
constexpr const char* msgDemasiadoLargo = "Error: the #define replacements make the text too long";
// ...and once one read has handled this many bytes of lines (after replacement) and of
// replacement work: the editor reads the script again on every keystroke, so no script
// may keep it busy for long.
constexpr long trabajoMaximo = 4'000'000;
constexpr const char* msgDemasiadoTrabajo =
    "Error: the script is too long once its #defines are replaced (over 4,000,000 characters)";

bool EsPalabra(const DString& texto) {
    for (const char* p = texto.c_str(); *p; ++p)
        if (!EsCaracterIdentificador(*p)) return false;
    return true;
}

int CuentaApariciones(const DString& linea, const DString& nombre) {
    int n = 0;
    if (EsPalabra(nombre)) {
        ParaCadaPalabra(linea.c_str(), linea.Length(), [&](int i, int largo) {
            n += largo == nombre.Length() &&
                 std::equal(nombre.c_str(), nombre.c_str() + largo, linea.c_str() + i);
            return true;
        });
        return n;
    }
    for (int p = linea.FindWord(nombre.c_str(), 0, true, false); p >= 0;
         p = linea.FindWord(nombre.c_str(), p + nombre.Length(), true, false))
        ++n;
    return n;
}

// Replaces every defined name, whole words only and case-sensitively, in list order:
// when a name is defined twice the first definition takes every occurrence, and a
// value put in by one definition gets the later definitions. Only the definitions whose
// names occur are visited. A value that holds its own name does not loop: ReplaceWord
// goes on after the text it has just inserted.
void SustituyeDefines(TDefines3Di& defines, DString& linea) {
    for (int i = defines.PrimeraPresente(linea, 0); i >= 0; i = defines.PrimeraPresente(linea, i + 1)) {
        const TDefine3Di& d = defines[i];
        const long crece =
            static_cast<long>(CuentaApariciones(linea, d.nombre)) * (d.valor.Length() - d.nombre.Length());
        if (linea.Length() + crece > largoMaximoExpandido) throw TXErrorObjeto3D(msgDemasiadoLargo);
        defines.Cuenta(linea.Length());
        linea.ReplaceWord(d.nombre.c_str(), d.valor.c_str(), true);
        if (linea.Length() > largoMaximoExpandido) throw TXErrorObjeto3D(msgDemasiadoLargo);
    }
}

} // namespace

long TDefines3Di::TotalValores() {
    Indexa();
    return totalValores;
}

void TDefines3Di::Cuenta(long bytes) {
    trabajo += bytes;
    if (trabajo > trabajoMaximo) throw TXErrorObjeto3D(msgDemasiadoTrabajo);
}

void TDefines3Di::Indexa() {
    if (Count() < indexadas) { // emptied by Clear alone: index again from the start
        porPalabra.clear();
        sinPalabra.clear();
        indexadas = 0;
        totalValores = 0;
    }
    for (; indexadas < Count(); ++indexadas) {
        const DString& nombre = (*this)[Base() + indexadas].nombre;
        totalValores += (*this)[Base() + indexadas].valor.Length();
        bool conPalabra = false;
        ParaCadaPalabra(nombre.c_str(), nombre.Length(), [&](int i, int largo) {
            porPalabra[std::string(nombre.c_str() + i, static_cast<size_t>(largo))].push_back(indexadas);
            conPalabra = true;
            return false; // the first run only
        });
        if (!conPalabra) sinPalabra.push_back(indexadas);
    }
}

int TDefines3Di::PrimeraPresente(const DString& linea, int desde) {
    Indexa();
    int mejor = -1;
    // Whether definition j occurs, given a word of the line that is the first run of its
    // name (of `largoPalabra` bytes, 0 for a name without one): certain when the name is
    // that word, else looked for (and counted as work).
    const auto aparece = [&](int j, int largoPalabra) {
        const DString& nombre = (*this)[Base() + j].nombre;
        if (largoPalabra == nombre.Length()) return true;
        Cuenta(linea.Length());
        return linea.FindWord(nombre.c_str(), 0, true, false) >= 0;
    };
    ParaCadaPalabra(linea.c_str(), linea.Length(), [&](int i, int largo) {
        const auto entrada = porPalabra.find(std::string(linea.c_str() + i, static_cast<size_t>(largo)));
        if (entrada == porPalabra.end()) return true;
        const std::vector<int>& lista = entrada->second;
        for (auto j = std::lower_bound(lista.begin(), lista.end(), desde);
             j != lista.end() && (mejor < 0 || *j < mejor); ++j)
            if (aparece(*j, largo)) {
                mejor = *j;
                break;
            }
        return true;
    });
    for (auto j = std::lower_bound(sinPalabra.begin(), sinPalabra.end(), desde);
         j != sinPalabra.end() && (mejor < 0 || *j < mejor); ++j)
        if (aparece(*j, 0)) {
            mejor = *j;
            break;
        }
    return mejor < 0 ? -1 : Base() + mejor;
}

void AgregaDefine(TDefines3Di& defines, const DString& nombre, const DString& valor) {
    if (nombre.IsEmpty() || valor.IsEmpty()) return;
    defines.Insert(std::make_unique<TDefine3Di>(nombre, valor));
}

bool ProcesaLinea(TDefines3Di& defines, DString& linea) {
    std::string_view nombre, valorEscrito;
    if (LeeDefinicion(std::string_view(linea.c_str(), static_cast<size_t>(linea.Length())), nombre,
                      valorEscrito)) {
        // The value gets the earlier definitions now; the name is never substituted.
        DString valor(valorEscrito.data(), static_cast<int>(valorEscrito.size()));
        SustituyeDefines(defines, valor);
        if (defines.TotalValores() + valor.Length() > totalMaximoValores)
            throw TXErrorObjeto3D(msgDemasiadoLargo);
        defines.Cuenta(linea.Length());
        AgregaDefine(defines, DString(nombre.data(), static_cast<int>(nombre.size())), valor);
        return true;
    }
    // Not a definition ("#define A=B=C" or "#define X" among them): an ordinary line.
    SustituyeDefines(defines, linea);
    defines.Cuenta(linea.Length());
    return false;
}
