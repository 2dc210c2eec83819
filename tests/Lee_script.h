// Test helpers: read a script text into a scene as the editor does.
#pragma once

#include "script/Lectura_escena.h"

#include <initializer_list>
#include <string>

struct TResultadoLectura {
    bool correcto = false;
    std::string errores;
    std::string expandido;
};

// Reads `texto` after the read `lectura` (taking back what it can) and puts the new read
// in its place.
inline TResultadoLectura LeeScript(TLecturaEscena& lectura, const std::string& texto) {
    DString expandido;
    TFuenteEscena fuente = TFuenteEscena::Texto(texto, lectura.nombreFichero);
    fuente.textoExpandido = &expandido;
    lectura = LeeEscena(fuente, &lectura);
    TResultadoLectura r;
    r.correcto = lectura.Correcta();
    r.errores = lectura.informe.Mensajes().c_str();
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

template <class T> const T& ElementoComo(const TLecturaEscena& lectura, int i) {
    return dynamic_cast<const T&>(lectura.Escena()[i]);
}
