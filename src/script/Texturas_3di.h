// The scene's textures: TEXTURET makes an image file the current texture of the elements
// that follow it, until the next TEXTURET.
//
// The texture cache. Every read of the script, that is every keystroke in the editor,
// starts with an empty list of textures and fills it from the TEXTURET lines of the new
// text. Decoding an image costs far more than reading a script, so the textures made
// from the decoded images are handed from one read to the next (TTexturas3Di is
// copied), keyed by the texture's full name, the file's size and modification time and
// the alpha option: a TEXTURET whose file is unchanged takes the very texture of the
// read before, a file changed on disk is read again at the next read, and what a read
// no longer names is dropped at its end. Textures and images are shared and never
// changed once made, so the scenes and the elements of several reads can hold them,
// and the drawing device can keep their uploaded textures keyed by the image; nothing
// here touches OpenGL.
#pragma once

#include "support/Dstring.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TDibIG;

struct TTextura3Di {
    DString nombre; // the file's full name as resolved (see SeleccionaTextura)
    // The image as the device takes it: 32 bits with an alpha channel when `mezcla`.
    std::shared_ptr<const TDibIG> imagen;
    bool mezcla = false; // the alpha option: blended, without the depth test
};

class TTexturas3Di {
public:
    // The start of a read (on a copy of the read before's): an empty list, no current
    // texture, nothing named yet.
    void Vacia();
    // The end of a read: the cached textures the read did not name are dropped.
    void TerminaLectura();
    // The texture at the current index, or null.
    const TTextura3Di* TexturaActual() const;

    int32_t actual = -1;
    std::vector<std::shared_ptr<const TTextura3Di>> lista;
    // The full name of every image file the read's TEXTURET lines named, in order and
    // once each, those that could not be read as well.
    std::vector<DString> nombradas;
    // Image files read so far, failed reads included (the cache spares the others).
    int64_t cargas = 0;

private:
    struct TImagenGuardada {
        DString nombre;
        uintmax_t tamano = 0;
        int64_t fecha = 0; // modification time in nanoseconds
        bool mezcla = false;
        std::shared_ptr<const TTextura3Di> textura;
        bool nombrada = true; // by the read under way
    };
    std::vector<TImagenGuardada> guardadas;

    friend bool SeleccionaTextura(TTexturas3Di& texturas, const DString& nombre, const DString& script,
                                  bool alfa, DString& error);
};

// The TEXTURET handler, for a script that stands for the file `script`: false (with the
// message in `error`) when the texture cannot be made current; the read then stops.
bool LeeTextura(TTexturas3Di& texturas, const DString& parametros, const DString& script, DString& error);
// Makes the file `nombre` current, resolved against the folder of `script` (the current
// folder when there is no script file), from the list when it is there (names compared
// ignoring case), else from the cache or the file.
bool SeleccionaTextura(TTexturas3Di& texturas, const DString& nombre, const DString& script, bool alfa,
                       DString& error);
// Reads the image file into the texture and checks its size (each side one of 32 to
// 1024, a power of two); with `alfa`, a 24-bit image becomes 32-bit and opaque.
bool CargaTextura(TTextura3Di& textura, const DString& nombreCompleto, bool alfa, DString& error);
const TTextura3Di* TexturaActual(const TTexturas3Di& texturas);
