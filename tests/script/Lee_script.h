// Test helpers: parse a script text into a scene as the editor does.
#pragma once

#include "script/Objetos_3d.h"
#include "support/Ficheroqordatos.h"

#include <string>

struct TResultadoLectura {
    bool correcto = false;
    std::string errores;
    std::string expandido;
};

inline TResultadoLectura LeeScript(TObjeto3D& escena, const std::string& texto) {
    TFicheroQORdatos fichero(fqLeeTexto, texto.data(), static_cast<int32_t>(texto.size()));
    DString error, expandido;
    TResultadoLectura r;
    r.correcto = escena.Lee(fichero, &expandido, error);
    r.errores = error.c_str();
    r.expandido = expandido.c_str();
    return r;
}

template <class T> T& ElementoComo(TObjeto3D& escena, int i) {
    return dynamic_cast<T&>(escena[i]);
}
