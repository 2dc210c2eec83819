#include "image/Modulo_codec.h"

#include "support/Rutas.h"
#include "support/Verifica_dll.h"

#include <dlfcn.h>

void TModuloCodec::TCierra::operator()(void* m) const {
    dlclose(m);
}

bool TModuloCodec::Abre(const char* n, DString& error, const char* final) {
    manejador.reset();
    if (!VerificaDLL(n, msgInstalaLibreria, error)) return false;
    const std::string ruta = (CarpetaPrograma() / n).string();
    manejador.reset(dlopen(ruta.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE));
    if (manejador) return true;
    MensajeModuloErroneo(error, n, final);
    return false;
}

void MensajeModuloErroneo(DString& error, const char* nombre, const char* final) {
    error = "Wrong ";
    error += nombre;
    error += " file. Please update it.";
    error += final;
}

void* TModuloCodec::Simbolo(const char* entrada) const {
    return manejador ? dlsym(manejador.get(), entrada) : nullptr;
}
