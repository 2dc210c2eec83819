#include "image/Modulo_codec.h"

#include "support/Rutas.h"
#include "support/Verifica_dll.h"

#include <dlfcn.h>

void TModuloCodec::TCierra::operator()(void* m) const {
    dlclose(m);
}

TResultado<void> TModuloCodec::Abre(const char* n, const char* final) {
    manejador.reset();
    if (auto presente = VerificaDLL(n, msgInstalaLibreria); !presente) return presente;
    const std::string ruta = (CarpetaPrograma() / n).string();
    manejador.reset(dlopen(ruta.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE));
    if (manejador) return {};
    return ModuloErroneo(n, final);
}

TFallo ModuloErroneo(const char* nombre, const char* final) {
    TFallo f = FalloNombrando(TCausa::entradaSalida, "Wrong ", nombre, " file. Please update it.");
    f.mensaje += final;
    return f;
}

void* TModuloCodec::Simbolo(const char* entrada) const {
    return manejador ? dlsym(manejador.get(), entrada) : nullptr;
}
