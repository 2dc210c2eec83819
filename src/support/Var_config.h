// Named settings kept in an initialisation file (section, key, file). A file name
// without a folder, such as "3d_edit.ini", lives in $XDG_CONFIG_HOME/pictomolder/
// (~/.config/pictomolder/ by default).
#pragma once

#include "support/Dstring.h"

#include <filesystem>
#include <optional>
#include <string>

// The initialisation-file layer. Section and key names compare without regard to
// case; a value is the rest of its line after the first "=".
std::filesystem::path RutaPerfil(const char* fichero);
// The value of the key, or `defecto` when there is none.
std::string LeePerfil(const char* seccion, const char* clave, const char* defecto, const char* fichero);
// Writes the value (CR and LF, which the line format cannot hold, as bytes 254 and 255).
// The file is replaced whole through a new temporary file, and only when it is absent or
// the user's regular file: false, writing nothing, when a link or anything else stands
// in its place.
bool EscribePerfil(const char* seccion, const char* clave, const char* valor, const char* fichero);

class TvarConfig {
public:
    TvarConfig(bool rellenar, const char* seccionConfig, const char* claveConfig, const char* ficheroConfig);
    virtual ~TvarConfig() = default;

    bool Escribe(const char* texto) const;
    bool LeeValor(DString& out) const;

    DString seccion;
    DString clave;
    DString fichero;
};

class TstringConfig : public TvarConfig {
public:
    TstringConfig(bool rellenar, const char* seccionConfig, const char* claveConfig,
                  const char* ficheroConfig, const char* defecto);

    void Asigna(const char* texto);
    const DString& Valor() const { return valor; }

private:
    void Guarda() const;
    DString valor;
};
