// Test helpers: parse a script text into a scene as the editor does.
#pragma once

#include "script/Objetos_3d.h"
#include "support/Ficheroqordatos.h"

#include <initializer_list>
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

// The lines joined with CR LF ends, as a script file written on the original platform.
inline std::string Lineas(std::initializer_list<const char*> l) {
    std::string s;
    for (const char* x : l) {
        s += x;
        s += "\r\n";
    }
    return s;
}

template <class T> T& ElementoComo(TObjeto3D& escena, int i) {
    return dynamic_cast<T&>(escena[i]);
}
