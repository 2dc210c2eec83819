#include "support/Informa.h"

#include <cstdio>

namespace {

void InformaEnConsola(const char* texto, const char* titulo) {
    std::fprintf(stderr, "%s: %s\n", titulo ? titulo : "", texto ? texto : "");
}

InformadorQOR informadorActual = InformaEnConsola; // replaced by the editor at start-up

} // namespace

InformadorQOR InstalaInformador(InformadorQOR informador) {
    const InformadorQOR previo = informadorActual;
    informadorActual = informador ? informador : InformaEnConsola;
    return previo;
}

void Informa(const char* texto, const char* titulo) {
    informadorActual(texto, titulo);
}
