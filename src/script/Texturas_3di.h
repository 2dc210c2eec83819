// The scene's texture list: TEXTURET makes an image file the current texture of the
// elements that follow it.
#pragma once

#include "support/Dstring.h"
#include "support/Vectores_dg.h"

class TObjeto3D;

struct TTextura3Di {
    DString nombre;
    bool alfa = false; // drawn blended with its alpha channel
};

class TTexturas3Di {
public:
    TTexturas3Di() : lista(10, 10, true) {}
    void Vacia();
    // The texture at the current index, or null.
    TTextura3Di* TexturaActual() const;

    int32_t actual = -1;
    VectorP<TTextura3Di> lista;
};

// The TEXTURET handler: false (with the message in `error`) when the texture cannot
// be made current; the scene then stops reading.
bool LeeTextura(TObjeto3D& escena, const DString& parametros, DString& error);
