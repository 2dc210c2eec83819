#include "support/Rutas.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

namespace {
bool EsSeparador(char c) {
    return c == '/' || c == '\\';
}

// Index of the name's last folder separator; -1 without one.
int UltimoSeparador(const DString& nombre) {
    return std::max(nombre.FindLast('/'), nombre.FindLast('\\'));
}
} // namespace

DString Extension(const char* nombre) {
    const DString n(nombre);
    const int punto = n.FindLast('.');
    return punto < 0 ? DString() : n.Mid(punto + 1);
}

DString CambiaExtension(const char* nombre, const char* extension) {
    DString n(nombre);
    const int punto = n.FindLast('.');
    if (punto > UltimoSeparador(n)) n.Truncate(punto); // a dot in a folder name is no extension
    n += '.';
    n += extension;
    return n;
}

bool EsRutaAbsoluta(const char* nombre) {
    if (!nombre || !*nombre) return false;
    if (EsSeparador(nombre[0])) return true;
    // A drive: one letter, a colon and a separator. Other colons are ordinary characters.
    return std::isalpha(static_cast<unsigned char>(nombre[0])) && nombre[1] == ':' && EsSeparador(nombre[2]);
}

DString Carpeta(const char* nombre) {
    const DString n(nombre);
    const int ultimo = UltimoSeparador(n);
    return ultimo < 0 ? DString() : n.Mid(0, ultimo + 1);
}

DString ResuelveRuta(const char* nombre, const char* referencia) {
    if (EsRutaAbsoluta(nombre)) return DString(nombre);
    DString r;
    if (referencia && *referencia) {
        r = Carpeta(referencia);
    } else {
        std::error_code ec;
        r = fs::current_path(ec).string().c_str();
        if (!r.IsEmpty() && !EsSeparador(r.CharAt(r.Length() - 1))) r += '/';
    }
    r += nombre;
    return r;
}

fs::path RutaSistema(const char* nombre) {
    std::string s(nombre ? nombre : "");
    for (char& c : s)
        if (c == '\\') c = '/';
    return fs::path(s);
}

bool ExisteFichero(const char* nombre) {
    std::error_code ec;
    return nombre && *nombre && fs::is_regular_file(RutaSistema(nombre), ec);
}

fs::path CarpetaPrograma() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::current_path(ec) : exe.parent_path();
}
