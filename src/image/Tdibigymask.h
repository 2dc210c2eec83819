// TIconIG: one icon loaded from an icon file, with its colour image and its mask.
#pragma once

#include "image/Lector_ico.h"
#include "support/Dstring.h"

#include <memory>

class TIconIG {
public:
    TIconIG() = default;
    virtual ~TIconIG();
    TIconIG(const TIconIG&) = delete;
    TIconIG& operator=(const TIconIG&) = delete;

    // Releases any icon, then loads the file. False when no such file exists; a file that
    // exists but holds no readable icon gives true and no icon.
    bool Carga(const DString& nombre);
    void Suelta();
    // The loaded icon, or null.
    virtual const TImagenIcono* Icono() const { return icono.get(); }

private:
    std::unique_ptr<TImagenIcono> icono;
};
