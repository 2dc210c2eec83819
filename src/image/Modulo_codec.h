// A codec module loaded from the program's own folder, kept loaded for the process
// once opened (its libraries hold state of their own), and released by its handle.
#pragma once

#include "support/Dstring.h"
#include "support/Resultado.h"

#include <memory>

class TModuloCodec {
public:
    TModuloCodec() = default;
    // The presence check first: when the file is missing the message says how to install
    // it. Then the module is opened; when it cannot be, the message is ModuloErroneo's.
    TResultado<void> Abre(const char* nombre, const char* final = "");
    // The entry point `entrada` as a function of type F; null when missing.
    template <typename F> F Entrada(const char* entrada) const {
        return reinterpret_cast<F>(Simbolo(entrada));
    }

private:
    void* Simbolo(const char* entrada) const;
    struct TCierra {
        void operator()(void* manejador) const;
    };
    std::unique_ptr<void, TCierra> manejador;
};

// "Wrong NAME file. Please update it." followed by `final`: a module that is there but
// does not answer as this program expects.
TFallo ModuloErroneo(const char* nombre, const char* final = "");
